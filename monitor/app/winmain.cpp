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
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (html_help::PreTranslate(&message)) continue;
    if (app.PreTranslate(&message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  UnregisterMainClass(instance);
  return static_cast<int>(message.wParam);
}
