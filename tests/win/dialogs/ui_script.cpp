// UiScript: the timer-driven steps and the window searches it uses.
#include "ui_script.h"

#include <commctrl.h>
#include <prsht.h>

namespace {

UiScript* active = nullptr;

struct Search {
  std::function<bool(HWND)> accept;
  HWND found = nullptr;
};

BOOL CALLBACK VisitThreadWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (IsWindowVisible(window) && search->accept(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindThreadWindow(std::function<bool(HWND)> accept) {
  Search search{std::move(accept)};
  EnumThreadWindows(GetCurrentThreadId(), VisitThreadWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsDialogClass(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == "#32770";
}

BOOL CALLBACK CancelDialog(HWND window, LPARAM) {
  if (IsWindowVisible(window) && IsDialogClass(window)) {
    PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);  // property sheets
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  }
  return TRUE;
}

}  // namespace

UiScript& UiScript::Then(Find find, Act act) {
  steps_.push_back({std::move(find), std::move(act)});
  return *this;
}

bool UiScript::Run(const std::function<void()>& body, int timeoutMs) {
  next_ = 0;
  timedOut_ = false;
  deadline_ = GetTickCount() + static_cast<DWORD>(timeoutMs);
  active = this;
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
  body();
  KillTimer(nullptr, timer);
  active = nullptr;
  return !timedOut_ && next_ == steps_.size();
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
  if (static_cast<LONG>(GetTickCount() - script->deadline_) > 0) {
    script->timedOut_ = true;
    EnumThreadWindows(GetCurrentThreadId(), CancelDialog, 0);
  }
}

HWND DialogWithControl(int id) {
  return FindThreadWindow(
      [id](HWND window) { return IsDialogClass(window) && GetDlgItem(window, id) != nullptr; });
}

HWND WindowWithCaption(const wchar_t* caption) {
  return FindThreadWindow([caption](HWND window) { return WideTextOf(window) == caption; });
}

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::wstring WideTextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return text;
}

void PostClick(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
