// CaptureProcess: starting tellitcap.exe with redirected standard handles.
#include "capture_process.h"

#include <vector>

namespace {

// An inheritable handle of a new file, for a child's standard output or error.
HANDLE InheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES security = {sizeof security, nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &security, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

CaptureProcess::CaptureProcess(const ScratchDir& dir, const std::string& arguments, DWORD flags,
                               const std::string& tag)
    : outputPath_(dir.File(tag + ".stdout")), errorPath_(dir.File(tag + ".stderr")) {
  const HANDLE output = InheritableFile(outputPath_);
  const HANDLE errors = InheritableFile(errorPath_);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = output;
  startup.hStdError = errors;
  std::string line = "\"" + BinDirectory() + "\\tellitcap.exe\" " + arguments;
  std::vector<char> command(line.begin(), line.end());
  command.push_back('\0');
  PROCESS_INFORMATION info = {};
  if (output != INVALID_HANDLE_VALUE && errors != INVALID_HANDLE_VALUE &&
      CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, flags, nullptr, dir.path().c_str(), &startup,
                     &info)) {
    CloseHandle(info.hThread);
    process_ = ChildProcess::Adopt(info.hProcess, info.dwProcessId);
  }
  // The child has its own copies; the driver's are closed so the files can be read and removed.
  if (output != INVALID_HANDLE_VALUE) CloseHandle(output);
  if (errors != INVALID_HANDLE_VALUE) CloseHandle(errors);
}

bool CaptureProcess::WaitUntilListening(DWORD milliseconds) const {
  return WaitUntil([&] { return Wait(0) == STILL_ACTIVE && MailslotExists(); }, milliseconds) &&
         Wait(0) == STILL_ACTIVE;
}
