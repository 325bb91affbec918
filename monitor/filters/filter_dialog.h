// FilterDialog: the list of message filter rules; adds, edits, removes and orders them and turns
// them on and off.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "dialogs/x_dialog.h"
#include "filtering/filter_rule.h"

// The caller fills rules, calls Run (the template of the language in force, 2005 or 2105) and
// reads rules back when it answered 1 (OK). The dialog edits a copy: Cancel (0), and -1 when the
// dialog could not be made, leave rules as the caller gave them. Add and Edit open the rule
// dialog (FilterRuleDialog); a row's check box is its rule's enabled.
class FilterDialog : public XDialog {
 public:
  int Run(HWND owner);

  void OnInitDialog() override;
  void OnCommand(const DialogCommand& command) override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  std::vector<filtering::FilterRule> rules;
  // The colour chooser's sixteen custom colours, shared by every rule edited while the dialog
  // runs and kept here for the caller; white unless the caller gives others.
  COLORREF customColours[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};

 private:
  void AddColumns() const;
  void Fill(int selected);  // the rows from working_, then the row selected (-1: none)
  int Selected() const;     // -1: no row
  void ShowButtons() const;
  bool EditInRuleDialog(filtering::FilterRule& rule);
  void Add();
  void Edit(int index);
  void Remove(int index);
  void Move(int index, int by);
  LRESULT OnNotify(NMHDR& header);
  LRESULT OnItemChanged(const NMLISTVIEW& change);
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;

  HWND list_ = nullptr;
  std::vector<filtering::FilterRule> working_;
  bool filling_ = false;  // the list's notifications while Fill makes the rows are not the user's
};
