// ConsoleConfigPage1: the settings sheet's one page, editing a working copy of the console settings.
#pragma once

#include <windows.h>

#include "console/console_settings.h"
#include "dialogs/check_box_control.h"
#include "dialogs/number_edit.h"
#include "dialogs/radio_group.h"
#include "dialogs/x_prop_page.h"
#include "monitor/settings/font_chooser.h"

// Lives on the stack of VGL_Console::OpenSettingsSheet while the sheet runs. OK (PSN_APPLY)
// copies the controls into *settings and writes section "console" of the settings file;
// applied and saved tell the sheet's caller what came of it.
class ConsoleConfigPage1 : public XPropPage {
 public:
  ConsoleConfigPage1(HWND ownerWindow, ConsoleSettings* working);
  ~ConsoleConfigPage1() override;

  void OnInitDialog() override;
  void OnCommand(const DialogCommand& command) override;
  void OnApply() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  ConsoleSettings* settings = nullptr;
  CheckBoxControl vScrollBox;
  CheckBoxControl hScrollBox;
  CheckBoxControl hexModeBox;
  CheckBoxControl autoScrollBox;
  RadioGroup tabButtons;
  NumberEdit wrapColumnBox;
  NumberEdit bufferSizeBox;  // kilobytes
  FontChooser fonts;
  // Buttons 1112 to 1117: normal text and background, hexadecimal, selected.
  COLORREF colors[6] = {};
  COLORREF customColors[16] = {};  // console_settings_table::kCustomColours
  bool applied = false;  // OK was pressed
  bool saved = false;    // and every key reached the settings file

 private:
  void ChooseColour(int index);
  void DrawColourButton(const DRAWITEMSTRUCT& item) const;
  bool WriteSettings() const;  // false when a key could not be written
  void FitSheetToPage() const;
};
