/* msvc_consumer.c: linked against tellit.lib by lld-link, the MSVC-compatible linker, without any C
   runtime, to show that the MSVC import library resolves every function; exits 0 once sent. */
#include "tellit.h"

__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);

void __stdcall start(void) {
  const int narrow = tellitf("msvc: %d-bit program linked with tellit.lib\n", (int)(sizeof(void*) * 8));
  const int wide = tellitwf(L"msvc: %s\n", L"wide text");
  const int utf8 = tellitu8f("msvc: %s\n", "UTF-8 text");
  ExitProcess(narrow > 0 && wide > 0 && utf8 > 0 ? 0 : 1);
}
