// MonitorHost: the monitor's application record set up in a test process, with a scratch settings file.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/scratch_dir.h"

struct MonitorApp;

// One per test: a fresh scratch folder whose vigilo.ini is settingsPath. The application record,
// the host window (with the English main menu, so command states can be read) and the console in
// it are made once per process and stay, like the monitor's own.
class MonitorHost {
 public:
  MonitorHost();
  ~MonitorHost();
  MonitorHost(const MonitorHost&) = delete;
  MonitorHost& operator=(const MonitorHost&) = delete;

  static HWND Window();
  static MonitorApp& App();
  const std::string& Folder() const { return folder_.path(); }
  std::string Path(const char* name) const { return folder_.File(name); }

  // The settings file's keys of one section, in file order.
  std::vector<std::pair<std::string, std::string>> Section(const char* section) const;
  bool SettingsFileExists() const;
  void WriteSetting(const char* section, const char* key, const char* value) const;

  // Empties the console and puts text into it.
  static void ResetConsole(const std::string& text);
  static std::string ConsoleText();
  // Command state in the main menu: true when enabled.
  static bool CommandEnabled(int command);

 private:
  ScratchDir folder_;
};
