// A client program for the multi-process tests: connects, waits for a start signal, sends numbered messages.
//
//   tellit_sender <tag> <count> [<start event name>]
// Sends "<tag> ready <bits>", then after the named event is set "<tag> <bits> <n>" for n = 0..count-1,
// where <bits> is 32 or 64. Exits with 0 when every call was sent.
#include <windows.h>

#include <cstdlib>

#include "tellit.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const char* tag = argv[1];
  const int count = std::atoi(argv[2]);
  const int bits = static_cast<int>(sizeof(void*) * 8);
  int failures = tellitf("%s ready %d\n", tag, bits) > 0 ? 0 : 1;
  if (argc > 3) {
    HANDLE start = OpenEventA(SYNCHRONIZE, FALSE, argv[3]);
    if (!start || WaitForSingleObject(start, 30000) != WAIT_OBJECT_0) return 3;
    CloseHandle(start);
  }
  for (int n = 0; n < count; ++n) {
    if (tellitf("%s %d %d\n", tag, bits, n) <= 0) ++failures;
  }
  return failures == 0 ? 0 : 1;
}
