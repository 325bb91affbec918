// DialogTemplate: the DLGTEMPLATE layout (header, then DWORD-aligned items), written word by word.
#include "dialog_template.h"

DialogTemplate::DialogTemplate(DWORD style, short width, short height, const wchar_t* title) {
  words_ = {LOWORD(style), HIWORD(style), 0, 0,  // style, extended style
            0,                                   // item count, patched by Add
            10, 10, static_cast<WORD>(width), static_cast<WORD>(height),
            0, 0};                               // no menu, default class
  Text(title);
  if (style & DS_SETFONT) {
    words_.push_back(8);
    Text(L"MS Shell Dlg");
  }
}

void DialogTemplate::Add(WORD controlClass, DWORD style, short x, short y, short width,
                         short height, WORD id, const wchar_t* text) {
  Align();
  style |= WS_CHILD | WS_VISIBLE;
  words_.insert(words_.end(), {LOWORD(style), HIWORD(style), 0, 0, static_cast<WORD>(x),
                               static_cast<WORD>(y), static_cast<WORD>(width),
                               static_cast<WORD>(height), id, 0xFFFF, controlClass});
  Text(text);
  words_.push_back(0);  // no creation data
  ++words_[4];
}

const DLGTEMPLATE* DialogTemplate::get() const {
  return reinterpret_cast<const DLGTEMPLATE*>(words_.data());
}

void DialogTemplate::Align() {
  if (words_.size() % 2) words_.push_back(0);
}

void DialogTemplate::Text(const wchar_t* text) {
  for (; *text; ++text) words_.push_back(static_cast<WORD>(*text));
  words_.push_back(0);
}
