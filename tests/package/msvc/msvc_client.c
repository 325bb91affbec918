/* msvc_client.c: a client built as MSVC builds one (clang in MSVC mode, lld-link, no C runtime,
   its own entry point) that passes tellitf and tellitwf the arguments whose passing differs most
   between the ABIs: doubles and 64-bit integers among int and pointer arguments. */
#include "tellit.h"

__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);

/* The C runtime defines it for every program that uses floating point; this one has none. */
int _fltused = 0;

/* The bitness in the text tells which kit was linked. */
#if defined(_WIN64)
#define CLIENT_ARCH "x64"
#define CLIENT_WIDE_ARCH L"x64"
#else
#define CLIENT_ARCH "x86"
#define CLIENT_WIDE_ARCH L"x86"
#endif

void __stdcall start(void) {
  const int narrow = tellitf("msvc %s: %d %.3f %llx %s %5.1e|%-3c|\n", CLIENT_ARCH, -42, 2.5,
                             0x123456789abcdefULL, "narrow", 12345.678, 'z');
  const int wide = tellitwf(L"msvc %s: %u %g %lld %s\n", CLIENT_WIDE_ARCH, 4000000000u, 0.125,
                            -9000000000LL, L"wide");
  ExitProcess(narrow > 0 && wide > 0 ? 0 : 1);
}
