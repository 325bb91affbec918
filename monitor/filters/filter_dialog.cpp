// FilterDialog: the rule list's rows and columns, its buttons, check boxes and colour cells, and OK and Cancel.
#include "monitor/filters/filter_dialog.h"

#include <cstddef>
#include <string>
#include <utility>

#include "monitor/common/ui_text.h"
#include "monitor/filters/filter_rule_dialog.h"
#include "monitor/filters/rule_texts.h"
#include "monitor/resources/filter_ids.h"
#include "monitor/resources/resource_ids.h"

namespace {

using filtering::FilterAction;
using filtering::FilterRule;

enum Column { kActionColumn, kFieldColumn, kPatternColumn, kColoursColumn, kColumnCount };

struct ColumnSpec {
  int heading;  // IDS_ text
  int width;    // dialog units; the four fill the list's 305 less the vertical scroll bar
};
constexpr ColumnSpec kColumns[kColumnCount] = {
    {IDS_FILTER_COLUMN_ACTION, 62},
    {IDS_FILTER_COLUMN_FIELD, 58},
    {IDS_FILTER_COLUMN_PATTERN, 80},
    {IDS_FILTER_COLUMN_COLOURS, 95},
};

// The check box's state image: 1 unchecked, 2 checked.
bool CheckedState(UINT state) { return (state & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2); }

void SetCell(HWND list, int row, int column, std::string text) {
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text.data();
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

int FilterDialog::Run(HWND owner) {
  const int templateId = ResourceInLanguage(IDD_FILTER_JA, IDD_FILTER_EN);
  return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner,
                                          XDialog::DialogProc, reinterpret_cast<LPARAM>(this)));
}

void FilterDialog::OnInitDialog() {
  working_ = rules;
  list_ = GetDlgItem(hwnd, IDC_FILTER_LIST);
  const LPARAM styles = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
  SendMessageA(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, static_cast<WPARAM>(styles), styles);
  AddColumns();
  Fill(-1);
}

void FilterDialog::OnCommand(const DialogCommand& command) {
  switch (command.id) {
    case IDOK:
      rules = working_;
      End(1);
      break;
    case IDCANCEL:  // also Escape and the close box
      End(0);
      break;
    case IDC_FILTER_ADD:
      Add();
      break;
    case IDC_FILTER_EDIT:
      Edit(Selected());
      break;
    case IDC_FILTER_REMOVE:
      Remove(Selected());
      break;
    case IDC_FILTER_UP:
      Move(Selected(), -1);
      break;
    case IDC_FILTER_DOWN:
      Move(Selected(), 1);
      break;
    default:
      break;
  }
}

INT_PTR FilterDialog::OnMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam) {
  if (message != WM_NOTIFY) return 0;
  auto* header = reinterpret_cast<NMHDR*>(lParam);
  if (!header || header->idFrom != IDC_FILTER_LIST) return 0;
  // A dialog procedure answers a notification through the window's message result.
  SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, OnNotify(*header));
  return TRUE;
}

void FilterDialog::AddColumns() const {
  for (int column = 0; column < kColumnCount; ++column) {
    RECT width = {0, 0, kColumns[column].width, 0};
    MapDialogRect(hwnd, &width);
    char heading[kUiTextSize];
    LoadUiText(kColumns[column].heading, heading);
    LVCOLUMNA columnInfo = {};
    columnInfo.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    columnInfo.cx = width.right;
    columnInfo.pszText = heading;
    columnInfo.iSubItem = column;
    SendMessageA(list_, LVM_INSERTCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&columnInfo));
  }
}

void FilterDialog::Fill(int selected) {
  filling_ = true;
  SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
  for (std::size_t i = 0; i < working_.size(); ++i) {
    const FilterRule& rule = working_[i];
    const int row = static_cast<int>(i);
    std::string action = ActionText(rule.action);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = action.data();
    SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SetCell(list_, row, kFieldColumn, FieldText(rule.field));
    SetCell(list_, row, kPatternColumn, rule.pattern);
    SetCell(list_, row, kColoursColumn, ColoursText(rule));
    ListView_SetCheckState(list_, row, rule.enabled ? TRUE : FALSE);
  }
  if (selected >= 0 && selected < static_cast<int>(working_.size())) {
    const UINT marks = LVIS_SELECTED | LVIS_FOCUSED;
    ListView_SetItemState(list_, selected, marks, marks);
    ListView_EnsureVisible(list_, selected, FALSE);
  }
  filling_ = false;
  ShowButtons();
}

int FilterDialog::Selected() const {
  return static_cast<int>(SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void FilterDialog::ShowButtons() const {
  const int selected = Selected();
  const int last = static_cast<int>(working_.size()) - 1;
  const std::pair<int, bool> buttons[] = {{IDC_FILTER_EDIT, selected >= 0},
                                          {IDC_FILTER_REMOVE, selected >= 0},
                                          {IDC_FILTER_UP, selected > 0},
                                          {IDC_FILTER_DOWN, selected >= 0 && selected < last}};
  for (const auto& [id, enabled] : buttons) {
    const HWND button = GetDlgItem(hwnd, id);
    // A button greyed while it has the focus would leave the keyboard nowhere: the list takes it.
    if (!enabled && GetFocus() == button) SendMessageA(hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_), TRUE);
    EnableWindow(button, enabled ? TRUE : FALSE);
  }
}

bool FilterDialog::EditInRuleDialog(FilterRule& rule) {
  FilterRuleDialog dialog;
  dialog.rule = rule;
  dialog.customColours = customColours;
  if (dialog.Run(hwnd) != 1) return false;
  rule = dialog.rule;
  return true;
}

void FilterDialog::Add() {
  FilterRule rule;  // include, message text, any case, enabled, black on yellow
  if (!EditInRuleDialog(rule)) return;
  working_.push_back(rule);
  Fill(static_cast<int>(working_.size()) - 1);
}

void FilterDialog::Edit(int index) {
  if (index < 0 || index >= static_cast<int>(working_.size())) return;
  FilterRule rule = working_[static_cast<std::size_t>(index)];
  if (!EditInRuleDialog(rule)) return;
  working_[static_cast<std::size_t>(index)] = rule;
  Fill(index);
}

void FilterDialog::Remove(int index) {
  if (index < 0 || index >= static_cast<int>(working_.size())) return;
  working_.erase(working_.begin() + index);
  // The row that took its place stays selected, or the new last row.
  Fill(index < static_cast<int>(working_.size()) ? index : index - 1);
}

void FilterDialog::Move(int index, int by) {
  const int to = index + by;
  if (index < 0 || to < 0 || to >= static_cast<int>(working_.size())) return;
  std::swap(working_[static_cast<std::size_t>(index)], working_[static_cast<std::size_t>(to)]);
  Fill(to);
}

LRESULT FilterDialog::OnNotify(NMHDR& header) {
  switch (header.code) {
    case LVN_ITEMCHANGED:
      return OnItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
    case NM_DBLCLK:
      Edit(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);  // -1 below the last row: nothing
      return 0;
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) Remove(Selected());  // as Remove does
      return 0;
    case NM_CUSTOMDRAW:
      return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW&>(header));
    default:
      return 0;
  }
}

LRESULT FilterDialog::OnItemChanged(const NMLISTVIEW& change) {
  if (filling_ || !(change.uChanged & LVIF_STATE)) return 0;
  const UINT changed = change.uNewState ^ change.uOldState;
  if ((changed & LVIS_STATEIMAGEMASK) && change.iItem >= 0 && change.iItem < static_cast<int>(working_.size()))
    working_[static_cast<std::size_t>(change.iItem)].enabled = CheckedState(change.uNewState);
  if ((changed & LVIS_SELECTED) || change.iItem < 0) ShowButtons();
  return 0;
}

// The colours cell of a highlight rule is drawn in the rule's colours.
LRESULT FilterDialog::OnCustomDraw(NMLVCUSTOMDRAW& draw) const {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
      const std::size_t row = draw.nmcd.dwItemSpec;
      if (draw.iSubItem != kColoursColumn || row >= working_.size() ||
          working_[row].action != FilterAction::kHighlight)
        return CDRF_DODEFAULT;
      draw.clrText = working_[row].textColour;
      draw.clrTextBk = working_[row].backColour;
      return CDRF_NEWFONT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}
