// The system's ANSI code page as tellitcap's JSON output decodes it: the same hard cases as the
// native table decoder, checked against MultiByteToWideChar itself. The cp932 run sets
// VIGILO_EXPECT_ACP=932 and a Japanese locale; the default run has code page 1252.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "code_page/ansi_code_page_decoder.h"
#include "code_page/ansi_to_utf8.h"
#include "native/capture/cp932_cases.h"

namespace {

UINT ExpectedCodePage() {
  char value[16] = {};
  GetEnvironmentVariableA("VIGILO_EXPECT_ACP", value, sizeof value);
  return value[0] ? static_cast<UINT>(std::atoi(value)) : 1252;
}

std::string Utf8Of(const std::string& bytes) {
  const code_page::AnsiCodePageDecoder decoder;
  return code_page::AnsiToUtf8(decoder, bytes.data(), bytes.size());
}

TEST(AnsiCodePageDecoder, RunsInTheCodePageTheTestWasStartedFor) {
  ASSERT_EQ(GetACP(), ExpectedCodePage()) << "the locale of this run did not take effect";
}

TEST(AnsiCodePageDecoder, Cp932HardCasesAsTheSystemDecodesThem) {
  if (GetACP() != 932) GTEST_SKIP() << "the cp932 run covers these";
  const code_page::AnsiCodePageDecoder decoder;
  EXPECT_EQ(decoder.MaxCharBytes(), 2u);
  for (const auto& c : capture_cases::kCp932Cases) {
    EXPECT_EQ(Utf8Of(c.bytes), c.utf8) << c.name;
  }
}

TEST(AnsiCodePageDecoder, Cp1252AsTheSystemDecodesIt) {
  if (GetACP() != 1252) GTEST_SKIP() << "the default run covers these";
  const code_page::AnsiCodePageDecoder decoder;
  EXPECT_EQ(decoder.MaxCharBytes(), 1u);
  const struct {
    const char* name;
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"ASCII", "plain \"text\"", "plain \"text\""},
      {"Latin-1 letters", "caf\xE9 \xFC", "caf\xC3\xA9 \xC3\xBC"},
      {"euro sign and curly quotes", "\x80\x93\x94", "\xE2\x82\xAC\xE2\x80\x9C\xE2\x80\x9D"},
      {"a Shift-JIS text read as 1252 still keeps every byte", "\x95\x5C", "\xE2\x80\xA2\\"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8Of(c.bytes), c.utf8) << c.name;
  }
}

TEST(AnsiCodePageDecoder, DecodeRefusesAnInvalidSequenceInsteadOfGuessing) {
  const code_page::AnsiCodePageDecoder decoder;
  std::u16string units;
  EXPECT_TRUE(decoder.Decode("ok", 2, units));
  EXPECT_EQ(units, u"ok");
  EXPECT_TRUE(decoder.Decode("", 0, units));
  EXPECT_TRUE(units.empty());
  if (GetACP() == 932) {
    EXPECT_FALSE(decoder.Decode("\x95", 1, units)) << "a lead byte alone";
    EXPECT_FALSE(decoder.Decode("\x85\x40", 2, units)) << "an unassigned pair";
  }
}

}  // namespace
