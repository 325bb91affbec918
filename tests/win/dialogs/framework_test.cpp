// The dialog framework on real windows: modal results, property-page apply, and the three control records.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialog_template.h"
#include "dialogs/ansi_text.h"
#include "dialogs/check_box_control.h"
#include "dialogs/number_edit.h"
#include "dialogs/radio_group.h"
#include "dialogs/x_dialog.h"
#include "dialogs/x_prop_page.h"

namespace {

constexpr WORD kCheck = 100;
constexpr WORD kRadioFirst = 200;  // three radio buttons 200, 201, 202
constexpr WORD kNumber = 300;
constexpr WORD kOther = 400;       // a push button that is neither OK nor Cancel
constexpr UINT kStep = WM_APP + 1;

DialogTemplate Controls(DWORD style) {
  DialogTemplate t(style | DS_SETFONT, 200, 120, L"framework test");
  t.Add(DialogTemplate::kButton, BS_AUTOCHECKBOX | WS_TABSTOP, 5, 5, 80, 12, kCheck, L"check");
  t.Add(DialogTemplate::kButton, BS_AUTORADIOBUTTON | WS_GROUP, 5, 20, 30, 12, kRadioFirst, L"a");
  t.Add(DialogTemplate::kButton, BS_AUTORADIOBUTTON, 40, 20, 30, 12, kRadioFirst + 1, L"b");
  t.Add(DialogTemplate::kButton, BS_AUTORADIOBUTTON, 75, 20, 30, 12, kRadioFirst + 2, L"c");
  t.Add(DialogTemplate::kEdit, ES_NUMBER | ES_RIGHT | WS_BORDER | WS_TABSTOP | WS_GROUP, 5, 40, 40,
        13, kNumber, L"");
  t.Add(DialogTemplate::kButton, BS_PUSHBUTTON | WS_TABSTOP, 5, 60, 50, 14, kOther, L"other");
  t.Add(DialogTemplate::kButton, BS_PUSHBUTTON | WS_TABSTOP, 60, 60, 50, 14, IDOK, L"OK");
  t.Add(DialogTemplate::kButton, BS_PUSHBUTTON | WS_TABSTOP, 115, 60, 50, 14, IDCANCEL, L"Cancel");
  return t;
}

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

// Keeps the base OnCommand and End; sends itself a command, then asks whether it is still
// open, then sends the closing command.
class ScriptedDialog : public XDialog {
 public:
  explicit ScriptedDialog(WORD closing) : closing_(closing) {}
  void OnInitDialog() override {
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kOther, BN_CLICKED), 0);
    PostMessageA(hwnd, kStep, 0, 0);
  }
  INT_PTR OnMessage(UINT message, WPARAM, LPARAM) override {
    if (message != kStep) return 0;
    // The modal loop stops dispatching once EndDialog was called, so reaching this step means
    // the command before it left the dialog open.
    stillOpenAfterOtherCommand = true;
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(closing_, BN_CLICKED), 0);
    return TRUE;
  }
  bool stillOpenAfterOtherCommand = false;

 private:
  WORD closing_;
};

TEST(XDialog, BaseCommandRuleEndsWithOkOrCancelAndIgnoresOtherCommands) {
  const DialogTemplate t = Controls(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
  for (WORD closing : {WORD(IDOK), WORD(IDCANCEL)}) {
    ScriptedDialog dialog(closing);
    const INT_PTR result = DialogBoxIndirectParamA(Instance(), t.get(), nullptr,
                                                   XDialog::DialogProc,
                                                   reinterpret_cast<LPARAM>(&dialog));
    EXPECT_EQ(result, closing);
    EXPECT_TRUE(dialog.stillOpenAfterOtherCommand) << "closing with " << closing;
    EXPECT_NE(dialog.hwnd, nullptr);
  }
}

// End is reached as a virtual operation, so a subclass can change the result.
class RemappingDialog : public XDialog {
 public:
  void OnInitDialog() override { PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0); }
  void End(int result) override {
    endedWith = result;
    XDialog::End(result == IDCANCEL ? 7 : result);
  }
  int endedWith = 0;
};

TEST(XDialog, BaseCommandRuleCallsTheOverriddenEnd) {
  const DialogTemplate t = Controls(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
  RemappingDialog dialog;
  EXPECT_EQ(DialogBoxIndirectParamA(Instance(), t.get(), nullptr, XDialog::DialogProc,
                                    reinterpret_cast<LPARAM>(&dialog)),
            7);
  EXPECT_EQ(dialog.endedWith, IDCANCEL);
}

// Records what the dialog procedure hands over.
class RecordingDialog : public XDialog {
 public:
  void OnInitDialog() override { ++inits; }
  void OnCommand(const DialogCommand& command) override {
    commands.push_back(command);
    if (throwOnCommand) throw std::runtime_error("must not leave the dialog procedure");
  }
  INT_PTR OnMessage(UINT message, WPARAM, LPARAM) override {
    return message == kStep ? 42 : 0;
  }
  int inits = 0;
  bool throwOnCommand = false;
  std::vector<DialogCommand> commands;
};

// A modeless instance of the control template, destroyed at scope end.
struct Modeless {
  explicit Modeless(XDialog* object)
      : t(Controls(WS_POPUP | WS_CAPTION)),
        window(CreateDialogIndirectParamA(Instance(), t.get(), nullptr, XDialog::DialogProc,
                                          reinterpret_cast<LPARAM>(object))) {}
  ~Modeless() { DestroyWindow(window); }
  DialogTemplate t;
  HWND window;
};

TEST(XDialog, DialogProcBindsTheObjectAndForwardsMessages) {
  RecordingDialog dialog;
  Modeless m(&dialog);
  ASSERT_NE(m.window, nullptr);
  EXPECT_EQ(dialog.hwnd, m.window);
  EXPECT_EQ(dialog.inits, 1);
  EXPECT_EQ(GetWindowLongPtrA(m.window, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&dialog));

  // Taken apart once: the control, its notification and the window that sent it.
  const HWND number = GetDlgItem(m.window, kNumber);
  EXPECT_EQ(XDialog::DialogProc(m.window, WM_COMMAND, MAKEWPARAM(kNumber, EN_KILLFOCUS),
                                reinterpret_cast<LPARAM>(number)),
            TRUE);
  ASSERT_FALSE(dialog.commands.empty());
  EXPECT_EQ(dialog.commands.back().id, kNumber);
  EXPECT_EQ(dialog.commands.back().code, EN_KILLFOCUS);
  EXPECT_EQ(dialog.commands.back().source, number);
  // An accelerator's command: code 1, no control.
  EXPECT_EQ(XDialog::DialogProc(m.window, WM_COMMAND, MAKEWPARAM(IDOK + 100, 1), 0), TRUE);
  EXPECT_EQ(dialog.commands.back().id, IDOK + 100);
  EXPECT_EQ(dialog.commands.back().code, 1);
  EXPECT_EQ(dialog.commands.back().source, nullptr);

  EXPECT_EQ(XDialog::DialogProc(m.window, kStep, 0, 0), 42);
  EXPECT_EQ(XDialog::DialogProc(m.window, WM_APP + 9, 0, 0), 0);
}

TEST(XDialog, ExceptionsStopAtTheDialogProcedure) {
  RecordingDialog dialog;
  Modeless m(&dialog);
  dialog.throwOnCommand = true;
  EXPECT_EQ(XDialog::DialogProc(m.window, WM_COMMAND, kOther, 0), FALSE);
}

TEST(XDialog, WindowWithoutObjectIsAnsweredTrue) {
  const HWND plain = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   Instance(), nullptr);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(XDialog::DialogProc(plain, WM_SETFONT, 0, 0), TRUE);
  EXPECT_EQ(XDialog::DialogProc(plain, WM_COMMAND, IDOK, 0), TRUE);
  EXPECT_EQ(XPropPage::DialogProc(plain, WM_NOTIFY, 0, 0), TRUE);
  DestroyWindow(plain);
}

// A property page that records the operations and presses a sheet button once shown.
class RecordingPage : public XPropPage {
 public:
  explicit RecordingPage(int button) : button_(button) {}
  ~RecordingPage() override { ++*destroyed; }
  void OnInitDialog() override {
    ++inits;
    PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kCheck, BN_CLICKED), 0);
    PostMessageA(GetParent(hwnd), PSM_PRESSBUTTON, button_, 0);
  }
  void OnCommand(const DialogCommand& command) override {
    lastCommand = command.id;
    lastNotification = command.code;
  }
  void OnApply() override { ++applies; }
  int inits = 0;
  int applies = 0;
  int lastCommand = 0;
  int lastNotification = -1;
  int* destroyed = nullptr;

 private:
  int button_;
};

int RunSheet(RecordingPage& page, const DialogTemplate& t) {
  PROPSHEETPAGEA description = {};
  description.dwSize = sizeof description;
  description.dwFlags = PSP_DLGINDIRECT;
  description.hInstance = Instance();
  description.pResource = t.get();
  description.pfnDlgProc = XPropPage::DialogProc;
  description.lParam = reinterpret_cast<LPARAM>(&page);
  HPROPSHEETPAGE handle = CreatePropertySheetPageA(&description);
  if (!handle) return -2;
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = sizeof sheet;
  sheet.dwFlags = PSH_NOAPPLYNOW;
  sheet.hInstance = Instance();
  sheet.pszCaption = "page test";
  sheet.nPages = 1;
  sheet.phpage = &handle;
  return static_cast<int>(PropertySheetA(&sheet));
}

TEST(XPropPage, OkAppliesOnceAndClosesTheSheet) {
  const DialogTemplate t = Controls(WS_CHILD | WS_CAPTION);
  int destroyed = 0;
  {
    RecordingPage page(PSBTN_OK);
    page.destroyed = &destroyed;
    EXPECT_GT(RunSheet(page, t), 0);
    EXPECT_EQ(page.inits, 1);
    EXPECT_EQ(page.applies, 1);
    EXPECT_EQ(page.lastCommand, kCheck);
    EXPECT_EQ(page.lastNotification, BN_CLICKED);
    // The object belongs to its creator: the sheet never deletes it.
    EXPECT_EQ(destroyed, 0);
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(XPropPage, CancelDoesNotApply) {
  const DialogTemplate t = Controls(WS_CHILD | WS_CAPTION);
  int destroyed = 0;
  RecordingPage page(PSBTN_CANCEL);
  page.destroyed = &destroyed;
  EXPECT_EQ(RunSheet(page, t), 0);
  EXPECT_EQ(page.inits, 1);
  EXPECT_EQ(page.applies, 0);
}

// A bare dialog bound to the control template, for the control records.
class PlainDialog : public XDialog {};

TEST(CheckBoxControl, BindChecksAndReads) {
  PlainDialog dialog;
  Modeless m(&dialog);
  CheckBoxControl box;
  box.Bind(m.window, kCheck, 5);  // any nonzero state checks
  EXPECT_EQ(IsDlgButtonChecked(m.window, kCheck), BST_CHECKED);
  EXPECT_EQ(box.IsChecked(), 1);
  CheckDlgButton(m.window, kCheck, BST_UNCHECKED);
  EXPECT_EQ(box.IsChecked(), 0);
  box.Bind(m.window, kCheck, 0);
  EXPECT_EQ(IsDlgButtonChecked(m.window, kCheck), BST_UNCHECKED);
}

TEST(CheckBoxControl, NullDialogLeavesTheBoxAndRecordUnbound) {
  PlainDialog dialog;
  Modeless m(&dialog);
  CheckBoxControl box;
  box.Bind(nullptr, kCheck, 1);
  EXPECT_EQ(box.dialog, nullptr);
  EXPECT_EQ(box.id, 0);
  EXPECT_EQ(box.IsChecked(), 0);
  EXPECT_EQ(IsDlgButtonChecked(m.window, kCheck), BST_UNCHECKED);
}

std::vector<UINT> RadioStates(HWND dialog) {
  std::vector<UINT> states;
  for (int i = 0; i < 3; ++i) states.push_back(IsDlgButtonChecked(dialog, kRadioFirst + i));
  return states;
}

TEST(RadioGroup, BindClickAndSelected) {
  PlainDialog dialog;
  Modeless m(&dialog);
  RadioGroup group;
  EXPECT_EQ(group.Selected(), RadioGroup::kNone);  // unbound
  group.Bind(m.window, kRadioFirst, 3, 0);
  EXPECT_EQ(RadioStates(m.window), (std::vector<UINT>{BST_CHECKED, 0, 0}));
  EXPECT_EQ(group.Selected(), 0);

  group.Click(kRadioFirst + 2);
  EXPECT_EQ(RadioStates(m.window), (std::vector<UINT>{0, 0, BST_CHECKED}));
  EXPECT_EQ(group.Selected(), 2);

  // Identifiers outside the group change nothing, on either side.
  group.Click(kRadioFirst + 3);
  group.Click(kRadioFirst - 1);
  group.Click(kCheck);
  EXPECT_EQ(group.Selected(), 2);
}

TEST(RadioGroup, SelectedIsNoneWhenNoButtonIsChecked) {
  PlainDialog dialog;
  Modeless m(&dialog);
  RadioGroup group;
  group.Bind(m.window, kRadioFirst, 3, 1);
  EXPECT_EQ(group.Selected(), 1);
  for (int i = 0; i < 3; ++i) CheckDlgButton(m.window, kRadioFirst + i, BST_UNCHECKED);
  EXPECT_EQ(group.Selected(), RadioGroup::kNone);
}

TEST(RadioGroup, NullDialogStoresButTouchesNothing) {
  RadioGroup group;
  group.Bind(nullptr, kRadioFirst, 3, 1);
  EXPECT_EQ(group.first, kRadioFirst);
  EXPECT_EQ(group.count, 3);
  group.Click(kRadioFirst);
  EXPECT_EQ(group.Selected(), RadioGroup::kNone);
}

std::string Text(HWND window) {
  char text[64] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND SpinOf(HWND dialog) { return FindWindowExA(dialog, nullptr, UPDOWN_CLASSA, nullptr); }

TEST(NumberEdit, BindCreatesTheSpinControlWhichShowsTheValue) {
  PlainDialog dialog;
  Modeless m(&dialog);
  NumberEdit number;
  number.Bind(m.window, kNumber, 80, 40, 256);
  const HWND box = GetDlgItem(m.window, kNumber);
  EXPECT_EQ(Text(box), "80");
  const HWND spin = SpinOf(m.window);
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)), box);
  int low = 0, high = 0;
  SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 40);
  EXPECT_EQ(high, 256);
  // The arrows step the number inside the box.
  SendMessageA(spin, UDM_SETPOS32, 0, 81);
  EXPECT_EQ(Text(box), "81");
  EXPECT_EQ(number.Read(), 81);
}

struct ReadCase {
  const char* typed;
  int32_t kept;
  const char* shown;
};

TEST(NumberEdit, ReadKeepsValidNumbersAndRevertsTheBox) {
  const ReadCase cases[] = {
      {"100", 100, "100"}, {"300", 80, "80"}, {"", 80, "80"},       {"12abc", 80, "80"},
      {"-50", 80, "80"},   {"256", 256, "256"}, {"040", 40, "40"},
      {"9999999999999999999999999999999", 80, "80"},  // 31 digits overflow
  };
  for (const ReadCase& c : cases) {
    PlainDialog dialog;
    Modeless m(&dialog);
    NumberEdit number;
    number.Bind(m.window, kNumber, 80, 40, 256);
    const HWND box = GetDlgItem(m.window, kNumber);
    // ES_NUMBER only filters typing: text set directly reaches the box as it is.
    SetWindowTextA(box, c.typed);
    EXPECT_EQ(number.Read(), c.kept) << c.typed;
    EXPECT_EQ(number.value, c.kept) << c.typed;
    EXPECT_EQ(Text(box), c.shown) << c.typed;
  }
}

TEST(NumberEdit, AnInvalidEntryRevertsToTheLastAcceptedValue) {
  PlainDialog dialog;
  Modeless m(&dialog);
  NumberEdit number;
  number.Bind(m.window, kNumber, 80, 40, 256);
  const HWND box = GetDlgItem(m.window, kNumber);
  SetWindowTextA(box, "100");
  EXPECT_EQ(number.Read(), 100);
  SetWindowTextA(box, "300");
  EXPECT_EQ(number.Read(), 100);
  EXPECT_EQ(Text(box), "100");
}

TEST(AnsiText, ConvertsAndAlwaysTerminates) {
  char text[16];
  AnsiText(L"Setting", text);
  EXPECT_STREQ(text, "Setting");
  std::memset(text, 'x', sizeof text);
  AnsiText(nullptr, text);
  EXPECT_STREQ(text, "");
  // Too long for the buffer: nothing rather than a cut that could split a double-byte pair.
  char small[4];
  std::memset(small, 'x', sizeof small);
  AnsiText(L"Setting", small);
  EXPECT_STREQ(small, "");
}

}  // namespace

int main(int argc, char** argv) {
  InitCommonControls();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
