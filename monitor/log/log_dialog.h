// LogDialog: asks for the log file's name, whether the console's text goes into it first, its
// rotation and its encoding.
#pragma once

#include <windows.h>

#include "dialogs/check_box_control.h"
#include "dialogs/number_edit.h"
#include "dialogs/x_dialog.h"
#include "monitor/settings/settings_keys.h"

// The caller fills saveConsole, maxSizeMb, keep, utf8 and fileName, runs the dialog (template 2002 or
// 2102) and reads them back; the dialog answers 1 for OK and 0 for Cancel.
constexpr int kLogMaxSizeMbLimit = settings_keys::kLogMaxSize.high;
constexpr int kLogKeepLimit = settings_keys::kLogKeep.high;
class LogDialog : public XDialog {
 public:
  void OnInitDialog() override;
  void OnCommand(const DialogCommand& command) override;

  HWND fileNameEdit = nullptr;
  CheckBoxControl saveConsoleCheck;
  CheckBoxControl utf8Check;
  NumberEdit maxSizeEdit;
  NumberEdit keepEdit;
  int saveConsole = 0;
  int maxSizeMb = 0;  // the file rotates past this many megabytes; 0: it grows without bound
  int keep = 5;       // older files kept beside the current one
  int utf8 = 0;       // 1: the log in UTF-8 (every character); 0: in the ANSI code page
  char fileName[MAX_PATH] = {};

 private:
  void Browse();
};
