// LogDialog: asks for the log file's name and whether the console's text goes into it first.
#pragma once

#include <windows.h>

#include "dialogs/check_box_control.h"
#include "dialogs/x_dialog.h"

// The caller fills saveConsole and fileName, runs the dialog (template 2002 or 2102) and reads
// them back; the dialog answers 1 for OK and 0 for Cancel.
class LogDialog : public XDialog {
 public:
  void OnInitDialog() override;
  void OnCommand(const DialogCommand& command) override;

  HWND fileNameEdit = nullptr;
  CheckBoxControl saveConsoleCheck;
  int saveConsole = 0;
  char fileName[MAX_PATH] = {};

 private:
  void Browse();
};
