// AboutDialog: fills the version line; OK, Escape and the close box end it (base rule).
#include "monitor/app/about_dialog.h"

#include <cstdio>

#include "monitor/resources/resource_ids.h"
#include "monitor/common/ui_text.h"

void AboutDialog::OnInitDialog() {
  versionLabel = GetDlgItem(hwnd, IDC_VERSION_LABEL);
  char pattern[kUiTextSize];
  LoadUiText(IDS_VERSION_FORMAT, pattern);
  char text[kUiTextSize + 32];
  std::snprintf(text, sizeof text, pattern, kVersionString);
  SetWindowTextA(versionLabel, text);
}
