// LogDialog: asks for the log file's name and whether the console's text goes into it first.
#pragma once

#include <windows.h>

#include "dialogs/check_box_control.h"
#include "dialogs/number_edit.h"
#include "dialogs/x_dialog.h"
#include "monitor/settings/settings_keys.h"

// The caller fills saveConsole, maxSizeMb, keep and fileName, runs the dialog (template 2002 or
// 2102) and reads them back; the dialog answers 1 for OK and 0 for Cancel.
constexpr int kLogMaxSizeMbLimit = settings_keys::kLogMaxSize.high;
constexpr int kLogKeepLimit = settings_keys::kLogKeep.high;
class LogDialog : public XDialog {
 public:
  void OnInitDialog() override;
  void OnCommand(const DialogCommand& command) override;

  HWND fileNameEdit = nullptr;
  CheckBoxControl saveConsoleCheck;
  NumberEdit maxSizeEdit;
  NumberEdit keepEdit;
  int saveConsole = 0;
  int maxSizeMb = 0;  // the file rotates past this many megabytes; 0: it grows without bound
  int keep = 5;       // older files kept beside the current one
  char fileName[MAX_PATH] = {};

 private:
  void Browse();
};
