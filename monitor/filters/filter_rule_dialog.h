// FilterRuleDialog: one filter rule's action, field, pattern, case, state and highlight colours.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "dialogs/x_dialog.h"
#include "filtering/filter_rule.h"

// The caller fills rule (a new rule: as FilterRule makes it), calls Run (the template of the
// language in force, 2006 or 2106) and reads rule back when it answered 1 (OK). OK refuses a
// pattern that the settings file would not give back as it was (SavablePattern): a beep, and the
// focus goes to the pattern. Cancel (0) leaves rule as it was.
class FilterRuleDialog : public XDialog {
 public:
  int Run(HWND owner);

  void OnInitDialog() override;
  void OnCommand(const DialogCommand& command) override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  filtering::FilterRule rule;
  // The colour chooser's sixteen custom colours, edited in place; null: the dialog's own.
  COLORREF* customColours = nullptr;

 private:
  bool Accept();  // the controls into rule, or false for a pattern the file cannot keep
  std::string Pattern() const;
  bool Highlighting() const;
  void ShowAction();  // the colour buttons and the sample serve a highlight rule only
  void ChooseColour(uint32_t& colour);
  void DrawSample(const DRAWITEMSTRUCT& item) const;

  uint32_t textColour_ = 0;
  uint32_t backColour_ = 0;
  COLORREF ownCustomColours_[16] = {};
};
