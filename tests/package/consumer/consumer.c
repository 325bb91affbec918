/* consumer.c: sends three messages through the packaged tellit.dll; exits 0 only when all were sent. */
#include <wchar.h>

#include "tellit.h"

int main(int argc, char** argv) {
  const char* tag = argc > 1 ? argv[1] : "consumer";
  const int narrow = tellitf("%s: %d-bit consumer reached the monitor\n", tag, (int)(sizeof(void*) * 8));
  const int wide = tellitwf(L"%s: wide text too\n", L"consumer");
  const int utf8 = tellitu8f("%s: UTF-8 text too\n", "consumer");
  return narrow > 0 && wide > 0 && utf8 > 0 ? 0 : 1;
}
