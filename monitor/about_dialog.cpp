// AboutDialog: fills the version line; OK, Escape and the close box end it (base rule).
#include "monitor/about_dialog.h"

#include <cstdio>

#include "monitor/resources/resource_ids.h"

void AboutDialog::OnInitDialog() {
  versionLabel = GetDlgItem(hwnd, IDC_VERSION_LABEL);
  char text[32];
  std::snprintf(text, sizeof text, "Version %s", kVersionString);
  SetWindowTextA(versionLabel, text);
}
