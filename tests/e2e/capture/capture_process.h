// tellitcap.exe as a child of the test driver: started beside the driver with its standard
// output and error going to files of a scratch folder, waited for until it listens.
#pragma once

#include <windows.h>

#include <string>

#include "support/monitor_process.h"
#include "support/scratch_dir.h"

class CaptureProcess {
 public:
  // Starts tellitcap.exe with the arguments; `flags` go to CreateProcess (a new process group,
  // a console of its own). Each process of a test gets its own output files by its tag.
  CaptureProcess(const ScratchDir& dir, const std::string& arguments, DWORD flags = 0,
                 const std::string& tag = "capture");

  bool started() const { return process_.started(); }
  DWORD id() const { return process_.id(); }
  // Waits until the monitor's mailslot exists; false when the process ended first or the time
  // ran out.
  bool WaitUntilListening(DWORD milliseconds = 10000) const;
  // The exit code, or STILL_ACTIVE when the process did not end within the time.
  DWORD Wait(DWORD milliseconds) const { return process_.Wait(milliseconds); }

  std::string Output() const { return ReadWholeFile(outputPath_); }
  std::string Errors() const { return ReadWholeFile(errorPath_); }

 private:
  std::string outputPath_;
  std::string errorPath_;
  ChildProcess process_;
};

