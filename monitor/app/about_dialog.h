// AboutDialog: the About box with the program's name and version.
#pragma once

#include <windows.h>

#include "dialogs/x_dialog.h"

class AboutDialog : public XDialog {
 public:
  void OnInitDialog() override;

  HWND versionLabel = nullptr;
};

// The version line of the About box.
inline constexpr char kVersionString[] = "1.10";
