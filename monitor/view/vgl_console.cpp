// VGL_Console: the console child window "VIGILO CONSOLE", its Edit-command states and context menu.
#include "monitor/view/vgl_console.h"

#include "monitor/common/code_page_text.h"

#include <new>

#include "monitor/resources/resource_ids.h"
#include "monitor/settings/settings_file.h"
#include "monitor/common/ui_text.h"
#include "scoped/scoped_win.h"

namespace {

constexpr char kConsoleClass[] = "VIGILO CONSOLE";

// Appends a context-menu item with its text in the current language.
void AddMenuItem(HMENU menu, int command, int label) {
  char text[kUiTextSize];
  LoadUiText(label, text);
  AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(command), text);
}

// Whether the clipboard holds non-empty text the console window could paste.
bool ClipboardHasText(HWND window) {
  const scoped::Clipboard clipboard(window);
  if (!clipboard.opened()) return false;
  const scoped::GlobalLock lock(GetClipboardData(CF_TEXT));
  const auto* text = static_cast<const char*>(lock.data());
  return text && text[0] != '\0';
}

bool RegisterConsoleClass(HINSTANCE instance) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = ConsoleWndProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
  windowClass.lpszClassName = kConsoleClass;
  // Registered once per process and never unregistered: a class that already stands will do.
  return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

LRESULT CALLBACK ConsoleWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    VGL_Console* console = nullptr;
    if (message == WM_CREATE) {
      console = static_cast<VGL_Console*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(console));
    } else {
      console = reinterpret_cast<VGL_Console*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (console) console->Dispatch(window, message, wParam, lParam);
  } catch (...) {
    // Nothing may cross back into the system's dispatcher; the default handling still runs.
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

int VGL_Console::Create(HWND parent) {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE));
  if (!RegisterConsoleClass(instance)) return 0;

  ConsoleSettings loaded;
  ReadConsoleSettings(loaded);
  if (window) return 0;
  settings = loaded;
  parentWindow = parent;
  if (settings.wrapColumn == 0 || settings.bufferSize == 0) return 0;

  // A size the memory cannot give is halved down to 64 KB; the owner tells the user which size it
  // became once its window shows (text.shortOfMemory).
  text.Allocate(static_cast<uint32_t>(settings.bufferSize), static_cast<uint32_t>(settings.maxLines),
                static_cast<uint32_t>(settings.wrapColumn));
  if (!text.HasArrays()) return 0;

  const HWND created = CreateWindowExA(0, kConsoleClass, nullptr, WS_CHILD | WS_VSCROLL | WS_HSCROLL,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       parent, nullptr, instance, this);
  if (!created) return 0;
  ShowWindow(created, SW_SHOW);
  return 1;
}

int VGL_Console::Write(const char* textBytes, int length, int attribute) {
  if (text.selection.state != Selection::kNone) {
    text.selection.Reset();
    SetCommandEnabled(ID_EDIT_COPY, false);
  }
  if (text.used == 0 && length != 0) {
    SetCommandEnabled(ID_EDIT_ALL_COPY, true);
    SetCommandEnabled(ID_EDIT_SELECT_ALL, true);
    SetCommandEnabled(ID_EDIT_ALL_ERASE, true);
  }
  return XConsole::Write(textBytes, length, attribute);
}

int VGL_Console::Copy() {
  const int done = XConsole::Copy();
  if (done < 0) {
    SetCommandEnabled(ID_EDIT_COPY, true);  // the selection stays for another try (All Copy too)
    CommandFailed(ID_EDIT_COPY);
    return done;
  }
  SetCommandEnabled(ID_EDIT_COPY, false);
  return done;
}

int VGL_Console::Paste() { return XConsole::Paste(); }

void VGL_Console::OnLButtonDown(int x, int y) {
  XConsole::OnLButtonDown(x, y);
  SetCommandEnabled(ID_EDIT_COPY, false);
}

void VGL_Console::OnLButtonUp(int x, int y) {
  const int before = text.selection.state;
  XConsole::OnLButtonUp(x, y);
  if (before == Selection::kDragging && text.selection.state == Selection::kFinished) SetCommandEnabled(ID_EDIT_COPY, true);
}

void VGL_Console::OnRButtonDown(int x, int y) {
  const int selectionState = text.selection.state;
  const bool offerPaste = settings.readOnly == 0 && ClipboardHasText(window);
  if (selectionState != Selection::kFinished && !offerPaste && text.used == 0) return;

  const scoped::Menu menu(CreatePopupMenu());
  if (!menu) return;
  bool addedEditItem = false;
  if (selectionState == Selection::kFinished) {
    AddMenuItem(menu.get(), ID_EDIT_COPY, IDS_MENU_COPY);
    addedEditItem = true;
  }
  if (offerPaste) {
    AddMenuItem(menu.get(), ID_EDIT_PASTE, IDS_MENU_PASTE);
    addedEditItem = true;
  }
  if (text.used != 0) {
    if (addedEditItem) AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    AddMenuItem(menu.get(), ID_EDIT_SELECT_ALL, IDS_MENU_SELECT_ALL);
    AddMenuItem(menu.get(), ID_EDIT_ALL_COPY, IDS_MENU_ALL_COPY);
    AddMenuItem(menu.get(), ID_EDIT_ALL_ERASE, IDS_MENU_ALL_ERASE);
  }
  // On a line of a known sender: a view of its process alone, or its lines hidden here.
  menuPid = 0;
  menuProgram.clear();
  POINT cell = {};
  int leftRow = -1, pastRow = -1;
  const int offset = HitTest(x, y, &cell, &leftRow, &pastRow);
  const StoredMessage* message = offset >= 0 ? text.MessageOfLine(text.LineAt(uint32_t(offset))) : nullptr;
  if (message && message->pid != 0) {
    menuPid = message->pid;
    // Kept as the menus and the views' names are: in the ANSI code page.
    Utf8ToAnsiText(text.programs.Name(message->program), menuProgram);
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    AddMenuItem(menu.get(), ID_VIEW_SHOW_ONLY_PROCESS, IDS_MENU_SHOW_ONLY_PROCESS);
    AddMenuItem(menu.get(), ID_VIEW_HIDE_PROCESS, IDS_MENU_HIDE_PROCESS);
  }
  POINT point = {x, y};
  ClientToScreen(window, &point);
  TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, point.x, point.y, 0, parentWindow, nullptr);
}

void VGL_Console::ShowFound(int32_t lo, int32_t hi) {
  SelectRange(lo, hi);
  if (text.selection.state == Selection::kFinished) SetCommandEnabled(ID_EDIT_COPY, true);
}

void VGL_Console::Clear() {
  for (int command : {ID_EDIT_COPY, ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE}) {
    SetCommandEnabled(command, false);
  }
  text.Clear();
  view.ForgetRows();
  hPos = 0;
  vPos = 0;
  UpdateHScrollRange();
  UpdateVScrollRange();
  Invalidate();
}
