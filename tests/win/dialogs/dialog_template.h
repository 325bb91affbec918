// DialogTemplate: builds a dialog template in memory, so framework tests need no resource script.
#pragma once

#include <windows.h>

#include <vector>

class DialogTemplate {
 public:
  // Classes of the standard controls, by their predefined atoms.
  static constexpr WORD kButton = 0x0080;
  static constexpr WORD kEdit = 0x0081;
  static constexpr WORD kStatic = 0x0082;

  DialogTemplate(DWORD style, short width, short height, const wchar_t* title);
  void Add(WORD controlClass, DWORD style, short x, short y, short width, short height, WORD id,
           const wchar_t* text);
  const DLGTEMPLATE* get() const;

 private:
  void Align();
  void Text(const wchar_t* text);
  std::vector<WORD> words_;
};
