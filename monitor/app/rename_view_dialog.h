// RenameViewDialog: the name of a view, edited.
#pragma once

#include <windows.h>

#include <string>

#include "dialogs/x_dialog.h"

class RenameViewDialog : public XDialog {
 public:
  void OnInitDialog() override;
  void OnCommand(const DialogCommand& command) override;
  // 1 with the name edited, 0 when cancelled.
  int Run(HWND owner);

  std::string name;
};
