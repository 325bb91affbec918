// Finding dialog boxes and acting on them as a user would: the monitor's own dialogs, message
// boxes, property sheets and the common dialogs, in this thread or in another process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Text of a window through WM_GETTEXT, so a control of another process answers too: in the
// ANSI code page, or wide (either language, whatever the code page).
std::string TextOf(HWND window);
std::wstring WideTextOf(HWND window);
std::string ControlText(HWND dialog, int id);

// Whether a window is a dialog box (class #32770), as message boxes, property sheets and the
// common dialogs are too.
bool IsDialogBox(HWND window);
// The first visible dialog box of this thread, or of a process, that passes accept (any dialog
// box without one); null when there is none.
HWND FindThreadDialog(const std::function<bool(HWND)>& accept = nullptr);
HWND FindProcessDialog(DWORD processId, const std::function<bool(HWND)>& accept = nullptr);
// The visible dialog box of this thread that has a control with this identifier.
HWND DialogWithControl(int id);
// The visible top-level window of this thread with this caption.
HWND WindowWithCaption(const wchar_t* caption);

// Presses a push button as a click would: WM_COMMAND with BN_CLICKED, posted.
void PostClick(HWND dialog, int id);

// The common dialogs of this thread. The file chooser, Explorer style or old: the name goes into
// its name box and OK confirms it.
HWND FileChooser();
void ChooseFile(HWND chooser, const std::string& path);
// The colour chooser (ChooseColor): the colour goes into its red, green and blue boxes and OK
// confirms it.
HWND ColourChooser();
void ChooseColour(HWND chooser, COLORREF colour);

// Dispatches this thread's messages for the given time.
void Pump(DWORD milliseconds);

// Drives the modal dialogs that a call shows on this thread, one step per timer tick: a thread
// timer fires inside whatever modal loop runs (dialog, property sheet, message box, common
// dialog); each tick looks for the window the next step waits for and acts on it. One script at a
// time runs on a thread.
class UiScript {
 public:
  using Find = std::function<HWND()>;
  using Act = std::function<void(HWND)>;

  UiScript() = default;
  ~UiScript() { Finish(); }
  UiScript(const UiScript&) = delete;
  UiScript& operator=(const UiScript&) = delete;

  UiScript& Then(Find find, Act act);
  // Runs body, which shows the dialogs. Returns true when every step ran; on a timeout the
  // dialogs still open are cancelled so that body returns.
  bool Run(const std::function<void()>& body, int timeoutMs = 10000);
  // Run in two halves, for a caller that shows the dialogs itself: Start the timer (INFINITE:
  // never cancel), then Finish, which stops it and says whether every step ran in time.
  void Start(DWORD timeoutMs);
  bool Finish();
  bool AllRan() const { return !timedOut_ && next_ == steps_.size(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  struct Step {
    Find find;
    Act act;
  };
  std::vector<Step> steps_;
  size_t next_ = 0;
  bool bounded_ = false;
  DWORD deadline_ = 0;
  bool timedOut_ = false;
  UINT_PTR timer_ = 0;
};

// Runs an action on the first dialog box this thread shows, from inside its modal loop, while
// it is in scope: a one-step UiScript around whatever call shows the dialog.
class DialogDriver {
 public:
  explicit DialogDriver(std::function<void(HWND)> action);
  bool ran() const { return script_.AllRan(); }

 private:
  UiScript script_;
};
