// PopupProbe: what a popup menu of this process offered, read by a timer while the menu runs
// modally, and the menu closed again without a choice.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct PopupProbe {
  std::vector<UINT> items;  // command of each item, 0 for a separator
  std::vector<std::string> texts;
  bool shown = false;

  static PopupProbe*& Current() {
    static PopupProbe* probe = nullptr;
    return probe;
  }
  // A timer procedure (SetTimer(nullptr, 0, 30, PopupProbe::Read)) that reads the menu once it shows.
  static void CALLBACK Read(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND popup = FindWindowA("#32768", nullptr);
    if (!popup || !Current()) return;
    KillTimer(nullptr, timer);
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(popup, 0x01E1 /* MN_GETHMENU */, 0, 0));
    Current()->shown = true;
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
      Current()->items.push_back(GetMenuItemID(menu, i));
      char text[64] = "";
      GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
      Current()->texts.push_back(text);
    }
    EndMenu();
  }
};
