// FilterRuleDialog: filling the rule dialog, its colour choosers and sample, and the check of the pattern on OK.
#include "monitor/filters/filter_rule_dialog.h"

#include <commdlg.h>

#include "monitor/common/ui_text.h"
#include "monitor/filters/rule_texts.h"
#include "monitor/filters/savable_pattern.h"
#include "monitor/resources/filter_ids.h"
#include "scoped/scoped_win.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;

// What the sample shows while the pattern is empty, so that the text colour still shows.
constexpr char kEmptySample[] = "Aa";

void FillList(HWND list, int count, std::string (*name)(int), int selected) {
  for (int i = 0; i < count; ++i) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name(i).c_str()));
  SendMessageA(list, CB_SETCURSEL, selected, 0);
}

std::string ActionName(int index) { return ActionText(static_cast<FilterAction>(index)); }
std::string FieldName(int index) { return FieldText(static_cast<FilterField>(index)); }

// The list's choice, or fallback when nothing valid is chosen.
int Chosen(HWND list, int count, int fallback) {
  const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
  return index >= 0 && index < count ? static_cast<int>(index) : fallback;
}

// The text on its background in a rectangle, centred on one line, in the font given.
void PaintSample(HDC dc, const RECT& area, const std::string& text, COLORREF textColour, COLORREF backColour,
                 HFONT font) {
  scoped::SolidBrush back(backColour);
  FillRect(dc, &area, back.get());
  scoped::Select selected(dc, font);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = SetTextColor(dc, textColour);
  RECT inside = area;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &inside,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  FrameRect(dc, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}

}  // namespace

int FilterRuleDialog::Run(HWND owner) {
  const int templateId = ResourceInLanguage(IDD_FILTER_RULE_JA, IDD_FILTER_RULE_EN);
  return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                                          XDialog::DialogProc, reinterpret_cast<LPARAM>(this)));
}

void FilterRuleDialog::OnInitDialog() {
  FillList(GetDlgItem(hwnd, IDC_FILTER_RULE_ACTION), kFilterActionCount, ActionName, static_cast<int>(rule.action));
  FillList(GetDlgItem(hwnd, IDC_FILTER_RULE_FIELD), kFilterFieldCount, FieldName, static_cast<int>(rule.field));
  const HWND pattern = GetDlgItem(hwnd, IDC_FILTER_RULE_PATTERN);
  SendMessageA(pattern, EM_LIMITTEXT, kFilterPatternLimit, 0);
  SetWindowTextA(pattern, rule.pattern.c_str());
  CheckDlgButton(hwnd, IDC_FILTER_RULE_MATCH_CASE, rule.matchCase ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(hwnd, IDC_FILTER_RULE_ENABLED, rule.enabled ? BST_CHECKED : BST_UNCHECKED);
  textColour_ = rule.textColour & filtering::kMaxColour;
  backColour_ = rule.backColour & filtering::kMaxColour;
  for (COLORREF& colour : ownCustomColours_) colour = RGB(255, 255, 255);
  ShowAction();
}

void FilterRuleDialog::OnCommand(const DialogCommand& command) {
  switch (command.id) {
    case IDOK:
      if (Accept()) End(1);
      break;
    case IDCANCEL:  // also Escape and the close box
      End(0);
      break;
    case IDC_FILTER_RULE_ACTION:
      if (command.code == CBN_SELCHANGE) ShowAction();
      break;
    case IDC_FILTER_RULE_PATTERN:
      if (command.code == EN_CHANGE) InvalidateRect(GetDlgItem(hwnd, IDC_FILTER_RULE_SAMPLE), nullptr, FALSE);
      break;
    case IDC_FILTER_RULE_TEXT_COLOUR:
      ChooseColour(textColour_);
      break;
    case IDC_FILTER_RULE_BACK_COLOUR:
      ChooseColour(backColour_);
      break;
    default:
      break;
  }
}

INT_PTR FilterRuleDialog::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message != WM_DRAWITEM) return 0;
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!item || item->CtlID != IDC_FILTER_RULE_SAMPLE) return 0;
  DrawSample(*item);
  return TRUE;
}

bool FilterRuleDialog::Accept() {
  const std::string pattern = Pattern();
  if (!SavablePattern(pattern)) {
    MessageBeep(MB_ICONWARNING);
    // The dialog manager selects the whole text of an edit box that gets the focus this way.
    SendMessageA(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd, IDC_FILTER_RULE_PATTERN)), TRUE);
    return false;
  }
  rule.action = static_cast<FilterAction>(
      Chosen(GetDlgItem(hwnd, IDC_FILTER_RULE_ACTION), kFilterActionCount, static_cast<int>(rule.action)));
  rule.field = static_cast<FilterField>(
      Chosen(GetDlgItem(hwnd, IDC_FILTER_RULE_FIELD), kFilterFieldCount, static_cast<int>(rule.field)));
  rule.pattern = pattern;
  rule.matchCase = IsDlgButtonChecked(hwnd, IDC_FILTER_RULE_MATCH_CASE) == BST_CHECKED;
  rule.enabled = IsDlgButtonChecked(hwnd, IDC_FILTER_RULE_ENABLED) == BST_CHECKED;
  // Kept for every action: a rule turned back into a highlight gets its colours again.
  rule.textColour = textColour_;
  rule.backColour = backColour_;
  return true;
}

std::string FilterRuleDialog::Pattern() const {
  const HWND edit = GetDlgItem(hwnd, IDC_FILTER_RULE_PATTERN);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool FilterRuleDialog::Highlighting() const {
  return Chosen(GetDlgItem(hwnd, IDC_FILTER_RULE_ACTION), kFilterActionCount, -1) ==
         static_cast<int>(FilterAction::kHighlight);
}

void FilterRuleDialog::ShowAction() {
  const BOOL on = Highlighting() ? TRUE : FALSE;
  for (int id : {IDC_FILTER_RULE_TEXT_COLOUR, IDC_FILTER_RULE_BACK_COLOUR, IDC_FILTER_RULE_SAMPLE})
    EnableWindow(GetDlgItem(hwnd, id), on);
  InvalidateRect(GetDlgItem(hwnd, IDC_FILTER_RULE_SAMPLE), nullptr, FALSE);
}

void FilterRuleDialog::ChooseColour(uint32_t& colour) {
  CHOOSECOLORA request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = hwnd;
  request.rgbResult = colour;
  request.lpCustColors = customColours ? customColours : ownCustomColours_;
  request.Flags = CC_RGBINIT;
  if (!ChooseColorA(&request)) return;
  colour = request.rgbResult & filtering::kMaxColour;
  InvalidateRect(GetDlgItem(hwnd, IDC_FILTER_RULE_SAMPLE), nullptr, FALSE);
}

void FilterRuleDialog::DrawSample(const DRAWITEMSTRUCT& item) const {
  std::string text = Pattern();
  if (text.empty()) text = kEmptySample;
  const auto font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
  // Greyed while the rule is no highlight: its colours do nothing then.
  if (!Highlighting()) {
    PaintSample(item.hDC, item.rcItem, text, GetSysColor(COLOR_GRAYTEXT), GetSysColor(COLOR_BTNFACE), font);
  } else {
    PaintSample(item.hDC, item.rcItem, text, textColour_, backColour_, font);
  }
}
