// The smallest program that uses tellit.dll: include tellit.h, link libtellit.dll.a, send a few messages.
#include <windows.h>

#include "tellit.h"

int main() {
  // Each call returns the bytes sent, or 0 when no monitor is running; the program goes on either way.
  tellitf("hello from process %d\n", static_cast<int>(GetCurrentProcessId()));
  for (int i = 1; i <= 3; ++i) tellitf("message %d of %d: %s\n", i, 3, "narrow text");
  tellitf("pi is about %5.3f, 2^40 is %lld\n", 3.14159, 1LL << 40);
  tellitwf(L"%s: %d\n", L"wide text", 42);
  return 0;
}
