/* tellit.h: the three functions of tellit.dll that send printf-style debug messages to the monitor. */
#ifndef TELLIT_H
#define TELLIT_H

/* wchar_t only: stddef.h is freestanding, there for every compiler and for programs without a C
   runtime, and reads the same with MSVC's headers and MinGW's. */
#include <stddef.h>

/* The DLL's own build defines TELLIT_BUILDING_DLL; every client imports. */
#if defined(TELLIT_BUILDING_DLL)
#define TELLIT_API
#else
#define TELLIT_API __declspec(dllimport)
#endif

/* A wrong argument type for the format is a compile-time warning in the caller. */
#if defined(_MSC_VER) && !defined(__clang__)
#include <sal.h>
#define TELLIT_FORMAT_STRING _Printf_format_string_
#define TELLIT_FORMAT_CHECK(format_index, first_argument)
#elif defined(__clang__)
#define TELLIT_FORMAT_STRING
#define TELLIT_FORMAT_CHECK(format_index, first_argument) \
  __attribute__((format(printf, format_index, first_argument)))
#elif defined(__GNUC__)
/* gnu_printf: the library follows C99 (%lld, %ls), not the old msvcrt rules. */
#define TELLIT_FORMAT_STRING
#define TELLIT_FORMAT_CHECK(format_index, first_argument) \
  __attribute__((format(gnu_printf, format_index, first_argument)))
#else
#define TELLIT_FORMAT_STRING
#define TELLIT_FORMAT_CHECK(format_index, first_argument)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Formats a message (text in the ANSI code page) as printf does and sends it to the monitor.
   Every standard directive takes its standard argument: d i o u x X c s f F e E g G a A p n %,
   flags - + space # 0, width and precision as digits or *, and the modifiers hh h l ll j z t L
   and I32 I64 I. %ls, %lc, %S and %C take wide arguments, converted to the ANSI code page; %n
   stores nothing and comes out as written; a directive that ends in no conversion character
   comes out as written and takes no argument. Text longer than the monitor takes (1 MiB with
   its NUL) is cut there, on a character boundary, after an overflow notice. Returns the bytes
   sent (text and NUL), or 0 when nothing was sent: no monitor running, a null format, a failed
   write. In a process whose ANSI code page is UTF-8 the monitor reads the text as UTF-8. */
TELLIT_API int __cdecl tellitf(TELLIT_FORMAT_STRING const char* format, ...) TELLIT_FORMAT_CHECK(1, 2);

/* As tellitf, for a wide format; as the Windows wide printf functions read them, %s and %c take
   wide arguments and %hs, %hc, %S and %C narrow ones (ANSI code page). The text is sent converted
   to the ANSI code page, and exactly as well, every character, where the conversion loses some;
   the result counts the converted bytes. */
TELLIT_API int __cdecl tellitwf(TELLIT_FORMAT_STRING const wchar_t* format, ...);

/* As tellitf, for text in UTF-8: the format and the arguments of %s and %c are UTF-8, and %ls,
   %lc, %S and %C take wide arguments. A cut keeps whole UTF-8 characters. The monitor gets every
   character; a reader that knows only the ANSI code page gets the text converted to it, as from
   tellitwf, and the result counts those bytes. */
TELLIT_API int __cdecl tellitu8f(TELLIT_FORMAT_STRING const char* format, ...) TELLIT_FORMAT_CHECK(1, 2);

#ifdef __cplusplus
}
#endif

#endif /* TELLIT_H */
