// The programs of the other bitness's build, for the tests that cross bitness: a 64-bit client
// reaching a 32-bit reader and the reverse. Header only, so that tests that link no support
// library can use it too.
#pragma once

#include <windows.h>

#include <string>

struct OtherBitness {
  int bits = 0;         // 32 or 64: the bitness the programs in folder have
  std::string folder;   // their bin folder as a Windows path; empty when they cannot run here
  std::string whyNot;   // why not, when folder is empty
};

// The build names the other tree's bin folder in VIGILO_OTHER_BITNESS_DIR; the test scripts say
// in VIGILO_HOST_RUNS_32BIT whether this host can execute 32-bit programs.
inline OtherBitness FindOtherBitness() {
  OtherBitness other;
  other.bits = sizeof(void*) == 8 ? 32 : 64;
  char value[MAX_PATH] = {};
  if (GetEnvironmentVariableA("VIGILO_OTHER_BITNESS_DIR", value, MAX_PATH) == 0) {
    other.whyNot = "this tree was built without the other bitness's folder (VIGILO_OTHER_BITNESS_DIR)";
    return other;
  }
  std::string folder = value;
  if (other.bits == 32) {
    char runs[8] = {};
    GetEnvironmentVariableA("VIGILO_HOST_RUNS_32BIT", runs, sizeof runs);
    if (std::string(runs) != "1") {
      other.whyNot = "this host cannot execute 32-bit programs";
      return other;
    }
  }
  if (!folder.empty() && folder[0] == '/') folder = "Z:" + folder;  // a Unix path, as CMake knows it
  other.folder = folder;
  return other;
}
