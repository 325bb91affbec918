// The filter dialogs in process, driven as a user drives them: the list's rows, buttons and check
// boxes, the rule dialog with its colour choosers, what OK and Cancel give back, and the patterns
// the rule dialog refuses. English in the default locale, Japanese under code page 932.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "dialogs/ansi_text.h"
#include "filtering/rule_text.h"
#include "monitor/common/language.h"
#include "monitor/filters/filter_dialog.h"
#include "monitor/filters/filter_rule_dialog.h"
#include "monitor/resources/filter_ids.h"
#include "support/dialog_driver.h"
#include "support/screenshot.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;
using filtering::FilterRule;

// What a user of the language reads in the dialogs, written out here apart from the resources.
struct LanguageCase {
  const char* name;
  const char* tag;  // of the screenshots' names
  Language language;
  const wchar_t* actions[3];  // include, exclude, highlight
  const wchar_t* fields[3];   // message text, program name, process id
};

const LanguageCase kEnglish = {"English", "en", Language::kEnglish,
                               {L"Include", L"Exclude", L"Highlight"},
                               {L"Message text", L"Program name", L"Process id"}};
const LanguageCase kJapanese = {"Japanese", "ja", Language::kJapanese,
                                {L"表示する", L"隠す", L"強調する"},
                                {L"メッセージ", L"プログラム名", L"プロセス ID"}};

void PrintTo(const LanguageCase& words, std::ostream* out) { *out << words.name; }

std::string Ansi(const std::wstring& text) {
  char out[512];
  AnsiText(text.c_str(), out);
  return out;
}

std::string ColourName(uint32_t colour) {
  char name[8];
  std::snprintf(name, sizeof name, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
  return name;
}

// The rows as the list must show them: check box, action, field, pattern, colours.
std::vector<std::string> ExpectedRows(const std::vector<FilterRule>& rules, const LanguageCase& words) {
  std::vector<std::string> rows;
  for (const FilterRule& rule : rules) {
    const std::string colours = rule.action == FilterAction::kHighlight
                                    ? ColourName(rule.textColour) + " / " + ColourName(rule.backColour)
                                    : "";
    rows.push_back(std::string(rule.enabled ? "[x] " : "[ ] ") + Ansi(words.actions[static_cast<int>(rule.action)]) +
                   " | " + Ansi(words.fields[static_cast<int>(rule.field)]) + " | " + rule.pattern + " | " + colours);
  }
  return rows;
}

std::string Cell(HWND list, int row, int column) {
  char text[512] = {};
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

std::vector<std::string> Rows(HWND list) {
  std::vector<std::string> rows;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    rows.push_back(std::string(ListView_GetCheckState(list, row) ? "[x] " : "[ ] ") + Cell(list, row, 0) + " | " +
                   Cell(list, row, 1) + " | " + Cell(list, row, 2) + " | " + Cell(list, row, 3));
  }
  return rows;
}

HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_FILTER_LIST); }
int SelectedRow(HWND dialog) {
  return static_cast<int>(SendMessageA(List(dialog), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
void SelectRow(HWND dialog, int row) {
  ListView_SetItemState(List(dialog), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// Edit, Remove, Up and Down, enabled or not, as one word: "ERUD" with '-' for a greyed one.
std::string RowButtons(HWND dialog) {
  std::string state;
  const int ids[] = {IDC_FILTER_EDIT, IDC_FILTER_REMOVE, IDC_FILTER_UP, IDC_FILTER_DOWN};
  for (int i = 0; i < 4; ++i) state += Enabled(dialog, ids[i]) ? "ERUD"[i] : '-';
  return state;
}

// A button pressed in a dialog that stays open: its command is handled before this returns.
void Press(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A drop-down list's entry chosen, with the notification the user's choice sends.
void Choose(HWND dialog, int id, int index) {
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int Chosen(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0)); }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The rule dialog as it opened: action, field, pattern, case, enabled and whether the colour
// buttons can be pressed.
std::string RuleControls(HWND dialog) {
  return std::to_string(Chosen(dialog, IDC_FILTER_RULE_ACTION)) + " " +
         std::to_string(Chosen(dialog, IDC_FILTER_RULE_FIELD)) + " [" + ControlText(dialog, IDC_FILTER_RULE_PATTERN) +
         "] case " + (Checked(dialog, IDC_FILTER_RULE_MATCH_CASE) ? "on" : "off") + ", " +
         (Checked(dialog, IDC_FILTER_RULE_ENABLED) ? "enabled" : "disabled") + ", colours " +
         (Enabled(dialog, IDC_FILTER_RULE_TEXT_COLOUR) && Enabled(dialog, IDC_FILTER_RULE_BACK_COLOUR) ? "on" : "off");
}

HWND RuleDialog() { return ColourChooser() ? nullptr : DialogWithControl(IDC_FILTER_RULE_PATTERN); }
// The list dialog once no rule dialog or colour chooser is open over it.
HWND ListDialog() {
  return ColourChooser() || DialogWithControl(IDC_FILTER_RULE_PATTERN) ? nullptr : DialogWithControl(IDC_FILTER_LIST);
}

// A window found some ticks after find first finds it, so that the modal loop has painted it:
// Wine shows what a window drew only when its thread waits for messages, so a capture must come
// after the loop has run, not after a redraw forced from inside a step.
UiScript::Find Painted(UiScript::Find find) {
  auto ticks = std::make_shared<int>(0);
  return [find, ticks]() -> HWND {
    const HWND window = find();
    if (!window || ++*ticks < 10) return nullptr;
    *ticks = 0;
    return window;
  };
}

// Rules in FilterRule's order: action, field, pattern, match case, text colour, back colour, enabled.
const std::vector<FilterRule> kGiven = {
    {FilterAction::kInclude, FilterField::kText, "error*", false, 0x000000, 0x00FFFF, true},
    {FilterAction::kHighlight, FilterField::kProcessId, "42", false, 0x0000FF, 0xFFFFFF, false},
    {FilterAction::kExclude, FilterField::kProgram, "noisy.exe", true, 0x000000, 0x00FFFF, true},
};

class FilterDialogs : public testing::TestWithParam<LanguageCase> {
 protected:
  void SetUp() override {
    if (words.language == Language::kJapanese) {
      ASSERT_EQ(GetACP(), 932u) << "run with LANG=ja_JP.UTF-8 and LOCPATH naming the built locale";
    }
    saved = language;
    language = words.language;
    dialog.rules = kGiven;
  }
  void TearDown() override { language = saved; }
  std::string Shot(const char* what) const { return std::string("dialogs-") + what + "-" + words.tag; }

  const LanguageCase& words = GetParam();
  Language saved = Language::kEnglish;
  FilterDialog dialog;
};

TEST_P(FilterDialogs, AddEditMoveRemoveAndCheckThenOkGivesTheRulesBack) {
  const FilterRule added = {FilterAction::kHighlight, FilterField::kProgram, "server*", true, 0x563412, 0xEFCDAB, true};
  const FilterRule edited = {FilterAction::kExclude, FilterField::kText, "fatal*", true, 0x000000, 0x00FFFF, true};
  FilterRule editedOff = edited;
  editedOff.enabled = false;
  FilterRule secondOn = kGiven[1];
  secondOn.enabled = true;
  std::string shown, addDefaults, editShows;
  std::vector<std::string> afterAdd, afterEdit, atTop, afterDown, afterRemove, beforeOk;
  std::string buttons[5];
  int selected[4] = {};

  UiScript script;
  script
      .Then(ListDialog,
            [&](HWND list) {
              shown = RowButtons(list);
              EXPECT_EQ(Rows(List(list)), ExpectedRows(kGiven, words));
              PostClick(list, IDC_FILTER_ADD);
            })
      .Then(RuleDialog,
            [&](HWND rule) {
              addDefaults = RuleControls(rule);
              Choose(rule, IDC_FILTER_RULE_ACTION, 2);
              Choose(rule, IDC_FILTER_RULE_FIELD, 1);
              SetDlgItemTextA(rule, IDC_FILTER_RULE_PATTERN, "server*");
              CheckDlgButton(rule, IDC_FILTER_RULE_MATCH_CASE, BST_CHECKED);
              PostClick(rule, IDC_FILTER_RULE_TEXT_COLOUR);
            })
      .Then(ColourChooser, [](HWND chooser) { ChooseColour(chooser, RGB(0x12, 0x34, 0x56)); })
      .Then(RuleDialog, [](HWND rule) { PostClick(rule, IDC_FILTER_RULE_BACK_COLOUR); })
      .Then(ColourChooser, [](HWND chooser) { ChooseColour(chooser, RGB(0xAB, 0xCD, 0xEF)); })
      .Then(Painted(RuleDialog),
            [&](HWND rule) {
              EXPECT_TRUE(SaveScreenshot({rule, GetParent(rule)}, Shot("filter-rule")));
              PostClick(rule, IDOK);
            })
      .Then(ListDialog,
            [&](HWND list) {
              afterAdd = Rows(List(list));
              selected[0] = SelectedRow(list);
              // A double click on the first row's pattern edits that rule.
              RECT cell = {};
              cell.top = 2;  // the pattern column
              cell.left = LVIR_BOUNDS;
              SendMessageA(List(list), LVM_GETSUBITEMRECT, 0, reinterpret_cast<LPARAM>(&cell));
              PostMessageA(List(list), WM_LBUTTONDBLCLK, MK_LBUTTON,
                           MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
            })
      .Then(RuleDialog,
            [&](HWND rule) {
              editShows = RuleControls(rule);
              Choose(rule, IDC_FILTER_RULE_ACTION, 1);
              SetDlgItemTextA(rule, IDC_FILTER_RULE_PATTERN, "fatal*");
              CheckDlgButton(rule, IDC_FILTER_RULE_MATCH_CASE, BST_CHECKED);
              PostClick(rule, IDOK);
            })
      .Then(ListDialog,
            [&](HWND list) {
              afterEdit = Rows(List(list));
              selected[1] = SelectedRow(list);
              buttons[0] = RowButtons(list);  // the first row: nothing above it
              SelectRow(list, 3);
              buttons[1] = RowButtons(list);  // the last row: nothing below it
              for (int i = 0; i < 3; ++i) Press(list, IDC_FILTER_UP);
              atTop = Rows(List(list));
              selected[2] = SelectedRow(list);
              buttons[2] = RowButtons(list);
              Press(list, IDC_FILTER_DOWN);
              afterDown = Rows(List(list));
              buttons[3] = RowButtons(list);
              SelectRow(list, 3);
              Press(list, IDC_FILTER_REMOVE);
              afterRemove = Rows(List(list));
              selected[3] = SelectedRow(list);
              buttons[4] = RowButtons(list);
              ListView_SetCheckState(List(list), 2, TRUE);
              ListView_SetCheckState(List(list), 0, FALSE);
            })
      .Then(Painted(ListDialog), [&](HWND list) {
        beforeOk = Rows(List(list));
        EXPECT_TRUE(SaveScreenshot(list, Shot("filter")));
        // Until OK the dialog works on its copy.
        EXPECT_EQ(dialog.rules.size(), kGiven.size());
        PostClick(list, IDOK);
      });
  int answer = -2;
  ASSERT_TRUE(script.Run([&] { answer = dialog.Run(nullptr); }, 30000));
  EXPECT_EQ(answer, 1);

  EXPECT_EQ(shown, "----") << "nothing is selected at first";
  EXPECT_EQ(addDefaults, "0 0 [] case off, enabled, colours off");
  EXPECT_EQ(afterAdd, ExpectedRows({kGiven[0], kGiven[1], kGiven[2], added}, words));
  EXPECT_EQ(selected[0], 3) << "the added rule is selected";
  EXPECT_EQ(editShows, "0 0 [error*] case off, enabled, colours off");
  EXPECT_EQ(afterEdit, ExpectedRows({edited, kGiven[1], kGiven[2], added}, words));
  EXPECT_EQ(selected[1], 0) << "the edited rule stays selected";
  EXPECT_EQ(buttons[0], "ER-D");
  EXPECT_EQ(buttons[1], "ERU-");
  EXPECT_EQ(atTop, ExpectedRows({added, edited, kGiven[1], kGiven[2]}, words));
  EXPECT_EQ(selected[2], 0) << "the moved rule stays selected";
  EXPECT_EQ(buttons[2], "ER-D");
  EXPECT_EQ(afterDown, ExpectedRows({edited, added, kGiven[1], kGiven[2]}, words));
  EXPECT_EQ(buttons[3], "ERUD");
  EXPECT_EQ(afterRemove, ExpectedRows({edited, added, kGiven[1]}, words));
  EXPECT_EQ(selected[3], 2) << "the new last row takes the selection";
  EXPECT_EQ(buttons[4], "ERU-");
  const std::vector<FilterRule> expected = {editedOff, added, secondOn};
  EXPECT_EQ(beforeOk, ExpectedRows(expected, words));

  ASSERT_EQ(dialog.rules.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const FilterRule& got = dialog.rules[i];
    EXPECT_EQ(static_cast<int>(got.action), static_cast<int>(expected[i].action));
    EXPECT_EQ(static_cast<int>(got.field), static_cast<int>(expected[i].field));
    EXPECT_EQ(got.pattern, expected[i].pattern);
    EXPECT_EQ(got.matchCase, expected[i].matchCase);
    EXPECT_EQ(got.enabled, expected[i].enabled);
    EXPECT_EQ(got.textColour, expected[i].textColour);
    EXPECT_EQ(got.backColour, expected[i].backColour);
    EXPECT_EQ(filtering::FormatRule(got), filtering::FormatRule(expected[i]));
  }
}

TEST_P(FilterDialogs, CancelLeavesTheCallersRules) {
  UiScript script;
  script.Then(ListDialog, [](HWND list) {
    SelectRow(list, 0);
    Press(list, IDC_FILTER_DOWN);
    Press(list, IDC_FILTER_REMOVE);
    ListView_SetCheckState(List(list), 0, FALSE);
    PostClick(list, IDCANCEL);
  });
  int answer = -2;
  ASSERT_TRUE(script.Run([&] { answer = dialog.Run(nullptr); }));
  EXPECT_EQ(answer, 0);
  ASSERT_EQ(dialog.rules.size(), kGiven.size());
  for (size_t i = 0; i < kGiven.size(); ++i)
    EXPECT_EQ(filtering::FormatRule(dialog.rules[i]), filtering::FormatRule(kGiven[i])) << i;
}

// OK with each of these keeps the rule dialog open with the focus on the pattern; the pattern
// after them is taken.
TEST_P(FilterDialogs, RuleDialogRefusesPatternsTheSettingsFileCannotKeep) {
  const char* const refused[] = {"", " ", "ends in a space ", "ends in a tab\t", "a\rCR", "an\nLF"};
  std::vector<std::string> held;
  std::vector<std::string> focus;
  UiScript script;
  for (const char* pattern : refused) {
    script.Then(RuleDialog, [pattern](HWND rule) {
      SetDlgItemTextA(rule, IDC_FILTER_RULE_PATTERN, pattern);
      PostClick(rule, IDOK);
    });
    script.Then(RuleDialog, [&](HWND rule) {
      held.push_back(ControlText(rule, IDC_FILTER_RULE_PATTERN));
      focus.push_back(GetFocus() == GetDlgItem(rule, IDC_FILTER_RULE_PATTERN) ? "pattern" : "elsewhere");
    });
  }
  script.Then(RuleDialog, [](HWND rule) {
    SetDlgItemTextA(rule, IDC_FILTER_RULE_PATTERN, "  leading blanks stay");
    PostClick(rule, IDOK);
  });
  FilterRuleDialog ruleDialog;
  ruleDialog.rule = kGiven[2];
  int answer = -2;
  // A pattern taken too early ends the dialog before the script's last steps.
  EXPECT_TRUE(script.Run([&] { answer = ruleDialog.Run(nullptr); }));
  EXPECT_EQ(answer, 1);
  ASSERT_EQ(held.size(), std::size(refused)) << "the dialog took [" << ruleDialog.rule.pattern << "]";
  for (size_t i = 0; i < held.size(); ++i) {
    EXPECT_EQ(held[i], refused[i]) << "the box keeps what was refused";
    EXPECT_EQ(focus[i], "pattern") << "[" << refused[i] << "]";
  }
  FilterRule expected = kGiven[2];
  expected.pattern = "  leading blanks stay";
  EXPECT_EQ(filtering::FormatRule(ruleDialog.rule), filtering::FormatRule(expected));
}

INSTANTIATE_TEST_SUITE_P(Languages, FilterDialogs, testing::Values(kEnglish, kJapanese),
                         [](const testing::TestParamInfo<LanguageCase>& info) { return info.param.name; });

}  // namespace
