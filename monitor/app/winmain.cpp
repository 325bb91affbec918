// The monitor's entry point and message loop.
#include <windows.h>

#include "monitor/app/html_help.h"
#include "monitor/app/monitor_app.h"
#include "monitor/files/command_line.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int showCommand) {
  // Outlives the main window: closed down (log, listener, channel) once the loop has ended.
  MonitorApp app;
  app.SetStartFile(FileOfCommandLine(commandLine ? commandLine : ""));
  if (!InitInstance(app, instance, showCommand)) return 0;
  html_help::Initialize(&app.helpCookie());

  MSG message;
  // Taken as Unicode, which the find dialog (a Unicode window) needs for every character typed
  // in it; the monitor's own windows get each message converted to their code page.
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (html_help::PreTranslate(&message)) continue;
    if (app.PreTranslate(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  UnregisterMainClass(instance);
  return static_cast<int>(message.wParam);
}
