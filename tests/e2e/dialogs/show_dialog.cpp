// show_dialog: opens the log dialog or the settings sheet of a running vigilo.exe and holds it open for a screenshot.
// Usage: show_dialog log|question|sheet <language 0|1> <seconds>
// "question" confirms the log dialog with the name of an existing file, showing the overwrite question.
#include <windows.h>

#include <prsht.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "monitor_process.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: show_dialog log|question|sheet <language 0|1> <seconds>\n");
    return 2;
  }
  const std::string what = argv[1];
  const std::string ini = std::string("[system]\r\nlanguage=") + argv[2] + "\r\n";
  const int seconds = std::atoi(argv[3]);
  MonitorProcess monitor(ini);
  if (!monitor.Running()) return 1;
  for (const char* text : {"<< open TELLIT monitor >>\n", "demo: counter = 1\n",
                           "demo: counter = 2\n", "demo: done\n"})
    SendToMonitor(text);
  monitor.WaitForConsoleEnding("demo: done\r\n");
  monitor.Command(what == "sheet" ? 103 : 101);
  HWND dialog = monitor.WaitForDialog([](HWND) { return true; });
  if (!dialog) return 1;
  if (what == "log") SetDlgItemTextA(dialog, 1201, "C:\\logs\\messages.log");
  if (what == "question") {
    SetDlgItemTextA(dialog, 1201, monitor.Path("vigilo.ini").c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    dialog = monitor.WaitForDialog([](HWND d) { return GetDlgItem(d, 0xFFFF) != nullptr; });
    if (!dialog) return 1;
  }
  std::printf("shown\n");
  std::fflush(stdout);
  Sleep(static_cast<DWORD>(seconds) * 1000);
  if (what == "log") PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  else if (what == "question") PostMessageA(dialog, WM_COMMAND, IDNO, 0);
  else PostMessageA(dialog, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  monitor.WaitForNoDialog();
  return 0;
}
