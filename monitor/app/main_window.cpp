// Start-up, the main window "VIGILO WINDOW" with its toolbar, status bar and console, and layout.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "monitor/app/display_scale.h"
#include "monitor/app/html_help.h"
#include "monitor/app/monitor_app.h"
#include "monitor/app/system_look.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/common/ui_text.h"

namespace {

constexpr char kMainClass[] = "VIGILO WINDOW";
constexpr char kSettingsFile[] = "vigilo.ini";

// The toolbar: separators between the groups Log, Edit, Setting and Help.
TBBUTTON toolbarButtons[12] = {
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {0, ID_FILE_START_LOG, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {1, ID_FILE_STOP_LOG, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {3, ID_EDIT_COPY, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {4, ID_EDIT_ALL_COPY, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {5, ID_EDIT_SELECT_ALL, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {6, ID_EDIT_ALL_ERASE, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {7, ID_FILE_SETTING, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
    {0, 0, TBSTATE_ENABLED, TBSTYLE_SEP, {0}, 0, 0},
    {8, ID_HELP_TOPICS, TBSTATE_ENABLED, TBSTYLE_BUTTON, {0}, 0, 0},
};
// The toolbar bitmaps: nine images side by side, drawn at 16 x 15, 24 x 22 and 32 x 30.
constexpr int kToolbarImages = 9;

int ToolbarBitmap(int size) { return size == 32 ? IDB_TOOLBAR_32 : size == 24 ? IDB_TOOLBAR_24 : IDB_TOOLBAR; }

HINSTANCE InstanceOf(HWND window) {
  return reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
}

void ShowBar(HWND bar, HWND owner, int item, int visible) {
  CheckMenuItem(GetMenu(owner), static_cast<UINT>(item), MF_BYCOMMAND | (visible ? MF_CHECKED : MF_UNCHECKED));
  ShowWindow(bar, visible ? SW_SHOW : SW_HIDE);
}

bool IsItemChecked(HWND owner, int item) {
  const UINT state = GetMenuState(GetMenu(owner), static_cast<UINT>(item), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

// A bar's top and bottom edges in its owner's client coordinates.
RECT BarEdges(HWND bar, HWND owner) {
  RECT rect;
  GetWindowRect(bar, &rect);
  MapWindowPoints(nullptr, owner, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The record this window belongs to: handed over by CreateWindowExA and kept in the window data
// from WM_NCCREATE on; the few messages before it find none.
MonitorApp* AppOf(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* app = static_cast<MonitorApp*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(app));
    return app;
  }
  return reinterpret_cast<MonitorApp*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

}  // namespace

void BuildSettingsPath() {
  char directory[MAX_PATH] = "";
  const DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
  // A directory too long for the path leaves it empty: every settings access is then skipped.
  if (length == 0 || length + 1 + sizeof kSettingsFile > sizeof settingsPath) {
    settingsPath[0] = '\0';
    return;
  }
  std::strcpy(settingsPath, directory);
  std::strcat(settingsPath, "\\");
  std::strcat(settingsPath, kSettingsFile);
}

LRESULT MonitorApp::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The find dialog's registered message has no fixed number to switch on.
  if (message != 0 && message == find.message() && lParam) {
    find.OnFindMessage(*reinterpret_cast<const FINDREPLACEW*>(lParam), ShownConsole());
    return 0;
  }
  switch (message) {
    case WM_CREATE:
      CreateChildren(window);
      return 0;
    case WM_SIZE: {
      const int width = LOWORD(lParam);
      const int height = HIWORD(lParam);
      // Both bars place themselves at the top and the bottom whatever they are given.
      if (toolBar) MoveWindow(toolBar, 0, 0, width, height, TRUE);
      if (status().bar()) MoveWindow(status().bar(), 0, 0, width, height, TRUE);
      Layout(width, height);
      return 0;
    }
    case WM_ACTIVATE:
      if (ShownConsole().window) SetFocus(ShownConsole().window);
      return 0;
    case WM_DROPFILES:
      files().TakeDroppedFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_COPYDATA:
      return lParam && files().TakeHandedFile(*reinterpret_cast<const COPYDATASTRUCT*>(lParam)) ? TRUE : FALSE;
    case kOpenHandedFiles:
      files().OpenHandedFiles();
      return 0;
    case WM_CLOSE:
      KillTimer(mainWindow, kReceiveTimer);
      views().SaveViews();
      intake().Stop();
      DestroyWindow(mainWindow);
      return 0;
    case WM_NOTIFY:
      return OnNotify(lParam);
    case WM_DRAWITEM:
      if (wParam == IDC_VIEW_TABS) {
        views().tabs().Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_COMMAND:
      OnCommand(wParam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_SETTINGCHANGE:
      if (lParam && lstrcmpA(reinterpret_cast<const char*>(lParam), "ImmersiveColorSet") == 0) ApplySystemTheme();
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_TIMER:
      if (wParam == kRefilterTimer) {
        views().RefilterSlice();
        return 0;
      }
      Tick();
      return 0;
    case kWakeMessage:
      Tick();
      return 0;
    case kTroubleMessage:
      ShowTrouble(static_cast<TroubleSink::Trouble>(wParam), static_cast<DWORD>(lParam));
      return 0;
    case WM_DESTROY:
      html_help::Uninitialize(helpCookie_);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    MonitorApp* app = AppOf(window, message, lParam);
    if (!app) return DefWindowProcA(window, message, wParam, lParam);
    return app->OnMessage(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

int InitInstance(MonitorApp& app, HINSTANCE instance, int showCommand) {
  const HWND running = FindWindowA(kMainClass, nullptr);
  // A file for the monitor that runs is handed to it; this start then ends, as every second one.
  if (running && !app.startFile.empty()) HandFileToRunning(running, app.startFile);
  if (running) {
    if (IsIconic(running)) {
      ShowWindow(running, SW_SHOW);
    } else {
      BringWindowToTop(running);
    }
    return 0;
  }

  BuildSettingsPath();
  InitCommonControls();

  language = LanguageFromSetting(ReadSetting(settings_keys::kLanguage));
  if (language == Language::kUnchosen) app.ChooseLanguage();

  app.messageView().AllocateConvertBuffer();
  app.accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCELERATORS));

  WNDCLASSA windowClass = {};
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VIGILO));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszMenuName = MAKEINTRESOURCEA(ResourceInLanguage(IDR_MENU_JAPANESE, IDR_MENU_ENGLISH));
  windowClass.lpszClassName = kMainClass;
  if (!RegisterClassA(&windowClass)) return 0;

  char title[kUiTextSize];
  LoadUiText(IDS_PROGRAM_NAME, title);
  const HWND window = CreateWindowExA(0, kMainClass, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                      nullptr, nullptr, instance, &app);
  app.mainWindow = window;
  if (!window) return 0;
  if (app.dpi > display_scale::kBaseDpi) {
    // The system's first size is made for 96 DPI: grown by the scale, within the work area.
    RECT frame, work;
    GetWindowRect(window, &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = std::min<int>(display_scale::Scaled(frame.right - frame.left, app.dpi), work.right - work.left);
    const int height = std::min<int>(display_scale::Scaled(frame.bottom - frame.top, app.dpi), work.bottom - work.top);
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  for (int command : {ID_FILE_STOP_LOG, ID_EDIT_COPY, ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE}) {
    app.SetCommandEnabled(command, false);
  }
  app.intake().StartReceiver();
  if (ReadSetting(settings_keys::kCaptureDebugOutput) == 1) app.intake().SetDebugCapture(true);
  if (ReadSetting(settings_keys::kCaptureGlobalDebugOutput) == 1) app.intake().SetGlobalDebugCapture(true);

  ShowWindow(window, showCommand);
  UpdateWindow(window);
  if (!app.startFile.empty()) app.files().OpenFile(app.startFile, false);
  return 1;
}

void UnregisterMainClass(HINSTANCE instance) { UnregisterClassA(kMainClass, instance); }

void MonitorApp::CreateChildren(HWND window) {
  mainWindow = window;
  const HINSTANCE instance = InstanceOf(window);

  dpi = WindowDpi(window);
  darkColourDefaults = SystemUsesDarkTheme();
  ApplyDarkTitleBar(window, darkColourDefaults);
  CreateToolbar();
  if (toolBar) ShowBar(toolBar, mainWindow, ID_VIEW_TOOLBAR, ReadSetting(settings_keys::kToolBar));

  const int statusBarVisible = ReadSetting(settings_keys::kStatusBar);
  const HWND statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                         mainWindow, nullptr, instance, nullptr);
  status_.SetBar(statusBar);
  if (statusBar) ShowBar(statusBar, mainWindow, ID_VIEW_STATUS_BAR, statusBarVisible);
  viewFlags_.LoadViewFlags();
  viewFlags_.RestartElapsedTime();

  views_.tabs().Create(mainWindow, dpi);
  console.SetDpi(dpi);
  console.Create(mainWindow);
  DragAcceptFiles(mainWindow, TRUE);
  if (console.text.shortOfMemory) NotifyTrouble(kConsoleMemoryShort, 0);
  views_.LoadViews();
  SetTickPeriod(kTickPeriodMs);
}

void MonitorApp::CreateToolbar() {
  const display_scale::ToolbarImages images = display_scale::ToolbarImagesFor(dpi);
  const HWND created = CreateToolbarEx(
      mainWindow, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS, IDC_TOOLBAR, kToolbarImages,
      InstanceOf(mainWindow), static_cast<UINT_PTR>(ToolbarBitmap(images.size)), toolbarButtons,
      static_cast<int>(sizeof toolbarButtons / sizeof toolbarButtons[0]), 0, 0, images.width, images.height,
      sizeof(TBBUTTON));
  if (!created) return;
  toolBar = created;
  SendMessageA(toolBar, TB_SETBUTTONSIZE, 0,
               MAKELPARAM(display_scale::Scaled(display_scale::kButtonWidth, dpi),
                          display_scale::Scaled(display_scale::kButtonHeight, dpi)));
  SendMessageA(toolBar, TB_AUTOSIZE, 0, 0);
}

void MonitorApp::OnDpiChanged(unsigned newDpi, const RECT& suggested) {
  if (newDpi == 0) return;
  dpi = newDpi;
  SetWindowPos(mainWindow, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The toolbar is made again with the drawing of the new scale, its buttons and states as they were.
  if (toolBar) {
    const bool visible = IsWindowVisible(toolBar) != FALSE;
    LRESULT states[sizeof toolbarButtons / sizeof toolbarButtons[0]] = {};
    for (size_t i = 0; i < sizeof toolbarButtons / sizeof toolbarButtons[0]; ++i) {
      states[i] = SendMessageA(toolBar, TB_GETSTATE, static_cast<WPARAM>(toolbarButtons[i].idCommand), 0);
    }
    DestroyWindow(toolBar);
    toolBar = nullptr;
    CreateToolbar();
    if (toolBar) {
      for (size_t i = 0; i < sizeof toolbarButtons / sizeof toolbarButtons[0]; ++i) {
        if (toolbarButtons[i].idCommand != 0 && states[i] != -1) {
          SendMessageA(toolBar, TB_SETSTATE, static_cast<WPARAM>(toolbarButtons[i].idCommand), states[i]);
        }
      }
      ShowWindow(toolBar, visible ? SW_SHOW : SW_HIDE);
    }
  }
  views_.tabs().SetDpi(dpi);
  views_.ShowViewTabs();
  files_.ForEachConsole([this](VGL_Console& each) {
    each.SetDpi(dpi);
    each.ApplySettings(each.settings);
    each.MeasureFont();
  });
  RECT client;
  GetClientRect(mainWindow, &client);
  if (status_.bar()) SendMessageA(status_.bar(), WM_SIZE, 0, 0);
  Layout(client.right, client.bottom);
}

void MonitorApp::ApplySystemTheme() {
  darkColourDefaults = SystemUsesDarkTheme();
  ApplyDarkTitleBar(mainWindow, darkColourDefaults);
  ConsoleSettings reloaded;
  ReadConsoleSettings(reloaded);
  files_.ForEachConsole([&](VGL_Console& each) { each.ApplySettings(reloaded); });
  views_.ShowViewTabs();
}

void MonitorApp::LayOutClientArea() {
  RECT client;
  GetClientRect(mainWindow, &client);
  Layout(client.right, client.bottom);
}

void MonitorApp::Layout(int width, int height) {
  // The toolbar's bottom edge rather than its height: the control may sit a pixel above the
  // client area (Wine places it at -1 to hide its top border), and the console must still
  // overlap that bottom edge by exactly one pixel.
  int top = 0;
  if (toolBar && IsItemChecked(mainWindow, ID_VIEW_TOOLBAR)) top = BarEdges(toolBar, mainWindow).bottom;
  int bottom = 0;
  if (status_.bar() && IsItemChecked(mainWindow, ID_VIEW_STATUS_BAR)) {
    const RECT edges = BarEdges(status_.bar(), mainWindow);
    bottom = edges.bottom - edges.top;
  }
  // The tabs of the views under the toolbar, overlapping its bottom edge by one pixel.
  int y = top > 0 ? top - 1 : 0;
  const ViewTabs& tabs = views_.tabs();
  if (tabs.window()) {
    MoveWindow(tabs.window(), 0, y, width, tabs.Height(), TRUE);
    y += tabs.Height();
  }
  // The shown console (the live one, or an opened file's in its place) meets the tabs.
  const HWND shown = ShownConsole().window;
  if (!shown) return;
  MoveWindow(shown, 0, y, width, height - y - bottom, TRUE);
}
