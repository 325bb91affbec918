// What the console asks of the system about Unicode text: case folding beyond ASCII, as
// CharLowerBuffW (another of the system's own mappings) gives it, and which code pages set
// ambiguous characters in two cells.
#include <windows.h>

#include <gtest/gtest.h>

#include "code_page/ansi_code_page.h"

namespace {

TEST(SystemText, FoldingLowersAsTheSystemDoes) {
  const code_page::UnicodeFolding& folding = UnicodeFoldingOfSystem();
  const wchar_t capitals[] = L"AZ\u00C9\u0395\u03A3\u041A\u0416\u65E5\uFF21";
  for (const wchar_t* c = capitals; *c; ++c) {
    wchar_t lower = *c;
    CharLowerBuffW(&lower, 1);
    EXPECT_EQ(uint32_t(folding.Fold(*c)), uint32_t(lower)) << std::hex << uint32_t(*c);
  }
  EXPECT_EQ(uint32_t(folding.Fold(U'\u0395')), 0x3B5u) << "Greek must fold";
  EXPECT_EQ(uint32_t(folding.Fold(U'\U0001F600')), 0x1F600u);
}

TEST(SystemText, AmbiguousCharactersAreWideInTheDoubleByteCodePages) {
  const UINT acp = GetACP();
  EXPECT_EQ(AmbiguousCharactersAreWide(), acp == 932 || acp == 936 || acp == 949 || acp == 950) << acp;
}

}  // namespace
