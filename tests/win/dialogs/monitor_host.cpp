// MonitorHost: host window, console and scratch settings folder for in-process monitor tests.
#include "monitor_host.h"

#include <cstdio>
#include <sstream>

#include "monitor/app/monitor_app.h"
#include "monitor/settings/settings_file.h"
#include "monitor/resources/resource_ids.h"
#include "support/command_state.h"
#include "tests/support/stored_text.h"

namespace {

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHost() {
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = "DIALOGS TEST HOST";
  RegisterClassA(&windowClass);
  const HWND window = CreateWindowA("DIALOGS TEST HOST", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                    480, nullptr, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MENU_ENGLISH)),
                                    instance, nullptr);
  ShowWindow(window, SW_SHOW);
  MonitorHost::App().SetWindow(window);
  return window;
}

}  // namespace

MonitorApp& MonitorHost::App() {
  // Never destroyed before the host window, whose console points into it: both last until exit.
  static MonitorApp* const app = new MonitorApp;
  return *app;
}

HWND MonitorHost::Window() {
  static const HWND window = CreateHost();
  return window;
}

MonitorHost::MonitorHost() {
  std::snprintf(settingsPath, sizeof settingsPath, "%s", Path("vigilo.ini").c_str());
  language = Language::kEnglish;
  Window();
  MonitorApp& app = App();
  if (!app.liveConsole().window) {
    app.liveConsole().Create(Window());
    MoveWindow(app.liveConsole().window, 0, 0, 600, 400, TRUE);
  }
}

MonitorHost::~MonitorHost() {
  // The log file closes before the scratch folder goes.
  MonitorApp& app = App();
  if (app.log().file().IsOpen()) app.log().Stop();
  settingsPath[0] = '\0';
}

std::vector<std::pair<std::string, std::string>> MonitorHost::Section(const char* section) const {
  std::vector<std::pair<std::string, std::string>> keys;
  std::istringstream lines(ReadWholeFile(settingsPath));
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inside = line == "[" + std::string(section) + "]";
      continue;
    }
    const size_t equals = line.find('=');
    if (inside && equals != std::string::npos)
      keys.emplace_back(line.substr(0, equals), line.substr(equals + 1));
  }
  return keys;
}

bool MonitorHost::SettingsFileExists() const { return FileExists(settingsPath); }

void MonitorHost::WriteSetting(const char* section, const char* key, const char* value) const {
  WritePrivateProfileStringA(section, key, value, settingsPath);
}

void MonitorHost::ResetConsole(const std::string& text) {
  MonitorApp& app = App();
  app.liveConsole().Clear();
  if (!text.empty()) app.liveConsole().Write(text.data(), static_cast<int>(text.size()), 0);
}

std::string MonitorHost::ConsoleText() {
  return StoredText(App().liveConsole().text);
}

bool MonitorHost::CommandEnabled(int command) { return MenuCommandEnabled(GetMenu(Window()), command); }
