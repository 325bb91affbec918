// Window texts, dialog searches, clicks, the common dialogs and the timer-driven UiScript.
#include "support/dialog_driver.h"

#include <commdlg.h>
#include <dlgs.h>
#include <prsht.h>

#include <string>

namespace {

// The ChooseColor dialog's red, green and blue boxes.
constexpr int kColourRed = 706, kColourGreen = 707, kColourBlue = 708;

struct Search {
  DWORD processId;  // 0: any (the thread's windows are enumerated)
  const std::function<bool(HWND)>* accept;
  HWND found;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (search->processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
  }
  if (!IsWindowVisible(window) || !(*search->accept)(window)) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindThreadWindow(const std::function<bool(HWND)>& accept) {
  Search search{0, &accept, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), VisitWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::function<bool(HWND)> DialogBoxThat(const std::function<bool(HWND)>& accept) {
  return [accept](HWND window) { return IsDialogBox(window) && (!accept || accept(window)); };
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
  if (IsWindowVisible(window) && IsDialogBox(window)) {
    PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);  // property sheets
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  }
  return TRUE;
}

UiScript* active = nullptr;

}  // namespace

std::string TextOf(HWND window) {
  char text[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
  return text;
}

std::wstring WideTextOf(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &copied);
  return text;
}

std::string ControlText(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

bool IsDialogBox(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

HWND FindThreadDialog(const std::function<bool(HWND)>& accept) { return FindThreadWindow(DialogBoxThat(accept)); }

HWND FindProcessDialog(DWORD processId, const std::function<bool(HWND)>& accept) {
  const std::function<bool(HWND)> dialog = DialogBoxThat(accept);
  Search search{processId, &dialog, nullptr};
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND DialogWithControl(int id) {
  return FindThreadDialog([id](HWND window) { return GetDlgItem(window, id) != nullptr; });
}

HWND WindowWithCaption(const wchar_t* caption) {
  return FindThreadWindow([caption](HWND window) { return WideTextOf(window) == caption; });
}

void PostClick(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

HWND FileChooser() {
  // The Explorer-style chooser's name box is a combo box; the old style has an edit box.
  if (const HWND chooser = DialogWithControl(cmb13)) return chooser;
  return DialogWithControl(edt1);
}

void ChooseFile(HWND chooser, const std::string& path) {
  SendMessageA(chooser, CDM_SETCONTROLTEXT, GetDlgItem(chooser, cmb13) ? cmb13 : edt1,
               reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(chooser, WM_COMMAND, IDOK, 0);
}

HWND ColourChooser() { return DialogWithControl(kColourRed); }

void ChooseColour(HWND chooser, COLORREF colour) {
  SetDlgItemInt(chooser, kColourRed, GetRValue(colour), FALSE);
  SetDlgItemInt(chooser, kColourGreen, GetGValue(colour), FALSE);
  SetDlgItemInt(chooser, kColourBlue, GetBValue(colour), FALSE);
  PostMessageA(chooser, WM_COMMAND, IDOK, 0);
}

void Pump(DWORD milliseconds) {
  const DWORD end = GetTickCount() + milliseconds;
  do {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(5);
  } while (static_cast<LONG>(GetTickCount() - end) < 0);
}

UiScript& UiScript::Then(Find find, Act act) {
  steps_.push_back({std::move(find), std::move(act)});
  return *this;
}

bool UiScript::Run(const std::function<void()>& body, int timeoutMs) {
  Start(static_cast<DWORD>(timeoutMs));
  body();
  return Finish();
}

void UiScript::Start(DWORD timeoutMs) {
  Finish();
  next_ = 0;
  timedOut_ = false;
  bounded_ = timeoutMs != INFINITE;
  deadline_ = GetTickCount() + timeoutMs;
  active = this;
  timer_ = SetTimer(nullptr, 0, 30, Tick);
}

bool UiScript::Finish() {
  if (timer_) KillTimer(nullptr, timer_);
  timer_ = 0;
  if (active == this) active = nullptr;
  return AllRan();
}

void CALLBACK UiScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
  UiScript* script = active;
  if (!script) return;
  if (script->next_ < script->steps_.size()) {
    const Step& step = script->steps_[script->next_];
    if (const HWND window = step.find()) {
      ++script->next_;  // before acting: the action may open a nested modal loop
      step.act(window);
      return;
    }
  }
  // Past the deadline every tick cancels what is open, nested dialogs one after the other.
  if (script->bounded_ && static_cast<LONG>(GetTickCount() - script->deadline_) > 0) {
    script->timedOut_ = true;
    EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
  }
}

DialogDriver::DialogDriver(std::function<void(HWND)> action) {
  script_.Then([] { return FindThreadDialog(); }, std::move(action));
  script_.Start(INFINITE);
}
