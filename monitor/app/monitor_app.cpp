// The monitor's application record: its components made and tied together, and the command-state helper.
#include "monitor/app/monitor_app.h"

#include <commctrl.h>

#include "monitor/resources/resource_ids.h"

MonitorApp::MonitorApp(const IntakeOptions& intake)
    : status_([this] { return CurrentStatusFacts(); }),
      viewFlags_(mainWindow, [this] { files_.ForEachConsole([](VGL_Console& each) { each.GutterChanged(); }); }),
      log_(mainWindow, console, *this, *this),
      files_(mainWindow, dpi, console, *this, viewFlags_.gutter(),
             {[this] { LayOutClientArea(); }, [this] { views_.ShowViewTabs(); }, [this] { status_.Update(); },
              [this] { SetTickPeriod(kTickPeriodMs); }}),
      views_(mainWindow, console, find, files_, *this, *this,
             {[this] { LayOutClientArea(); }, [this] { status_.Update(); }}),
      intake_(intake, mainWindow, messageView_, *this, [this](int textId) { status_.ShowNotice(textId); }),
      messageView_(intake_.options().bufferCeiling, console, views_.list(), viewFlags_.gutter(), viewFlags_.stamps(), log_, status_) {
  console.commandStates = this;
  console.view.gutter = &viewFlags_.gutter();
}

MonitorApp::~MonitorApp() {
  // A log file still open when the window closed holds everything received: it closes first,
  // then the listener and the channel.
  log_.file().Close();
  intake_.receiver().debugOutput().Stop();
  intake_.receiver().CloseMailslot();
}

void MonitorApp::SetWindow(HWND window) {
  mainWindow = window;
  if (window) return;
  toolBar = nullptr;
  status_.SetBar(nullptr);
}

StatusFacts MonitorApp::CurrentStatusFacts() {
  StatusFacts facts;
  facts.logName = log_.IsOpen() ? log_.name() : nullptr;
  facts.channelDown = intake_.channelDown();
  facts.hidden = console.text.HiddenMessageCount();
  if (const OpenedFile* file = files_.ShownFile()) facts.fileStatus = file->StatusText();
  return facts;
}

void MonitorApp::SetCommandEnabled(int command, bool enabled) {
  if (!mainWindow) return;
  const HMENU menu = GetMenu(mainWindow);
  if (!menu) return;
  EnableMenuItem(menu, static_cast<UINT>(command), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
  if (toolBar) {
    SendMessageA(toolBar, TB_ENABLEBUTTON, static_cast<WPARAM>(command), MAKELPARAM(enabled ? TRUE : FALSE, 0));
  }
}

void MonitorApp::CommandFailed(int command) {
  if (command != ID_EDIT_COPY) return;
  MessageBeep(MB_ICONWARNING);
  status_.ShowNotice(IDS_STATUS_COPY_FAILED);
}
