// LanguageDialog: the choice between English and Japanese for the user interface.
#pragma once

#include <windows.h>

#include "dialogs/x_dialog.h"

class LanguageDialog : public XDialog {
 public:
  void OnInitDialog() override;
  void OnCommand(const DialogCommand& command) override;

  HWND languageCombo = nullptr;
};
