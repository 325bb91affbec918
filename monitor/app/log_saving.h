// LogSaving: the log file of File > Start Log (101) and Stop Log (102): rotated by size as the log
// dialog set it (section "log file", "max size" in MB and "keep"; the name stays, the older files
// become name.1.ext, name.2.ext and so on), its name, its encoding, and the console written into
// it as it starts when the dialog asks so.
#pragma once

#include <windows.h>

#include <cstdio>

#include "code_page/ansi_code_page_decoder.h"
#include "monitor/app/trouble_sink.h"
#include "monitor/common/command_states.h"
#include "monitor/log/log_encoding.h"
#include "monitor/view/vgl_console.h"
#include "receiving/rotating_file.h"

class LogSaving {
 public:
  // `window`: the main window's handle, which owns the dialog and the questions (null before it
  // stands); `console`: the live console, written into the log as it starts.
  LogSaving(const HWND& window, VGL_Console& console, CommandStates& commands, TroubleSink& troubles)
      : window_(window), console_(console), commands_(commands), troubles_(troubles) {}
  ~LogSaving() { logFile.Close(); }
  LogSaving(const LogSaving&) = delete;
  LogSaving& operator=(const LogSaving&) = delete;

  // The log dialog, then the file created (asking before one is overwritten).
  void Start();
  // The file may be closed already: a failed write closes it.
  void Stop();
  // Writes to the open log; a failed or short write stops log saving and tells the user.
  bool WriteLog(const void* bytes, DWORD length);

  bool IsOpen() const { return logFile.IsOpen(); }
  LogEncoding encoding() const { return logEncoding; }
  // The ANSI text of notices and the console, for a UTF-8 log.
  code_page::AnsiCodePageDecoder& decoder() { return ansiDecoder; }
  const char* name() const { return logFileName; }
  // The file itself: tests open one, or hand it a handle that cannot be written to.
  RotatingFile& file() { return logFile; }
  // The name the status bar and the troubles say, for a file opened through file().
  void SetName(const char* name) { std::snprintf(logFileName, sizeof logFileName, "%s", name); }

 private:
  // "save console": the stored text into the log as it starts.
  void WriteConsoleToLog();

  const HWND& window_;
  VGL_Console& console_;
  CommandStates& commands_;
  TroubleSink& troubles_;
  RotatingFile logFile;
  char logFileName[MAX_PATH] = "";
  LogEncoding logEncoding = LogEncoding::kAnsiCodePage;  // of the open log
  code_page::AnsiCodePageDecoder ansiDecoder;
};
