/* consumer.c: sends two messages through the packaged tellit.dll; exits 0 only when both were sent. */
#include <wchar.h>

#include "tellit.h"

int main(int argc, char** argv) {
  const char* tag = argc > 1 ? argv[1] : "consumer";
  const int narrow = tellitf("%s: %d-bit consumer reached the monitor\n", tag, (int)(sizeof(void*) * 8));
  const int wide = tellitwf(L"%s: wide text too\n", L"consumer");
  return narrow > 0 && wide > 0 ? 0 : 1;
}
