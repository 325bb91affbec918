// ViewTabs: the common-controls tab control of the views, drawn by its owner.
#include "monitor/app/view_tabs.h"

#include <commctrl.h>

#include "monitor/app/display_scale.h"
#include "monitor/resources/resource_ids.h"

namespace {

// The unshown tabs and the strip: the colour between the text and the background, nearer the
// background.
COLORREF Between(COLORREF text, COLORREF back) {
  const auto mix = [](int t, int b) { return (t + 3 * b) / 4; };
  return RGB(mix(GetRValue(text), GetRValue(back)), mix(GetGValue(text), GetGValue(back)),
             mix(GetBValue(text), GetBValue(back)));
}

}  // namespace

bool ViewTabs::Create(HWND parent, unsigned dpi) {
  window_ = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TCS_OWNERDRAWFIXED |
                                                       TCS_FOCUSNEVER | TCS_SINGLELINE | TCS_TABS,
                            0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_VIEW_TABS)),
                            reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
  if (!window_) return false;
  SetWindowSubclass(window_, StripProc, 1, reinterpret_cast<DWORD_PTR>(this));
  SetDpi(dpi);
  return true;
}

void ViewTabs::SetDpi(unsigned dpi) {
  if (!window_) return;
  // The face the status bar draws with, whose characters are the user interface's in either
  // language, scaled as the toolbar is (its metrics are those of 96 DPI).
  LOGFONTA face = {};
  if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face) != sizeof face) face.lfHeight = -11;
  face.lfCharSet = DEFAULT_CHARSET;
  face.lfHeight = -display_scale::Scaled(face.lfHeight < 0 ? -face.lfHeight : face.lfHeight, dpi);
  font_.reset(CreateFontIndirectA(&face));
  SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  const int padding = display_scale::Scaled(6, dpi);
  const int textHeight = face.lfHeight < 0 ? -face.lfHeight : face.lfHeight;
  const int tabHeight = textHeight + 2 * padding;
  SendMessageA(window_, TCM_SETITEMSIZE, 0, MAKELPARAM(0, tabHeight));
  SendMessageA(window_, TCM_SETPADDING, 0, MAKELPARAM(display_scale::Scaled(8, dpi), padding));
  // The strip alone, the tabs and the edge they stand on: the console below takes the body.
  height_ = tabHeight + display_scale::Scaled(3, dpi);
  names_.clear();  // the sizes of the tabs are measured again with the font
}

bool ViewTabs::Show(const std::vector<std::string>& names, size_t current) {
  if (!window_) return false;
  const int height = height_;
  if (names != names_) {
    SendMessageA(window_, TCM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < names.size(); ++i) {
      TCITEMA item = {};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<char*>(names[i].c_str());
      SendMessageA(window_, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    names_ = names;
  }
  if (Selected() != int(current)) SendMessageA(window_, TCM_SETCURSEL, current, 0);
  InvalidateRect(window_, nullptr, TRUE);
  return height_ != height;
}

int ViewTabs::Selected() const {
  return window_ ? int(SendMessageA(window_, TCM_GETCURSEL, 0, 0)) : -1;
}

void ViewTabs::SetColours(COLORREF text, COLORREF back) {
  text_ = text;
  back_ = back;
  if (window_) InvalidateRect(window_, nullptr, TRUE);
}

void ViewTabs::Draw(const DRAWITEMSTRUCT& item) const {
  const bool shown = (item.itemState & ODS_SELECTED) != 0 || int(item.itemID) == Selected();
  const scoped::Brush brush(CreateSolidBrush(shown ? back_ : Between(text_, back_)));
  FillRect(item.hDC, &item.rcItem, brush.get());
  if (item.itemID >= names_.size()) return;
  const std::string& name = names_[item.itemID];
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, text_);
  RECT text = item.rcItem;
  DrawTextA(item.hDC, name.c_str(), int(name.size()), &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

int ViewTabs::TabAt(POINT screen) const {
  if (!window_) return -1;
  TCHITTESTINFO hit = {};
  hit.pt = screen;
  ScreenToClient(window_, &hit.pt);
  return int(SendMessageA(window_, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

LRESULT CALLBACK ViewTabs::StripProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
  // The strip beside the tabs in the same colours as the unshown tabs.
  if (message == WM_ERASEBKGND) {
    const auto* tabs = reinterpret_cast<const ViewTabs*>(data);
    RECT client;
    GetClientRect(window, &client);
    const scoped::Brush brush(CreateSolidBrush(Between(tabs->text_, tabs->back_)));
    FillRect(reinterpret_cast<HDC>(wParam), &client, brush.get());
    return 1;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, StripProc, 1);
  return DefSubclassProc(window, message, wParam, lParam);
}
