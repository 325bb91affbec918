// The case foldings that need no Windows call: none, and ASCII's.
#include "code_page/case_folding.h"

CaseFolding CaseFolding::None() {
  CaseFolding folding;
  for (int b = 0; b < 256; ++b) folding.lower[b] = uint8_t(b);
  return folding;
}

CaseFolding CaseFolding::Ascii() {
  CaseFolding folding = None();
  for (int b = 'A'; b <= 'Z'; ++b) folding.lower[b] = uint8_t(b - 'A' + 'a');
  return folding;
}
