// Wildcard matching through each field of a message: anywhere in the field, * and ?, case on and
// off, code page 932's double-byte characters kept whole, senders without a process.
#include <gtest/gtest.h>

#include <string>

#include "filtering/filter_set.h"
#include "tests/native/code_page/simple_folding.h"

namespace {

using filtering::FilterField;

const LeadTrailSets kShiftJis = LeadTrailSets::ShiftJis();
const LeadTrailSets kSingleByte = LeadTrailSets::SingleByte();

// Code page 1252's letters as the system folds them: É (0xC9) to é (0xE9).
CaseFolding Latin1Folding() {
  CaseFolding folding = CaseFolding::Ascii();
  folding.lower[0xC9] = 0xE9;
  return folding;
}

// Whether an include rule of the field and pattern lets the message through.
bool Includes(FilterField field, const std::string& pattern, bool matchCase, const LeadTrailSets& codePage,
              const CaseFolding& folding, const std::string& text, const std::string& program, uint32_t pid) {
  filtering::FilterRule rule;
  rule.field = field;
  rule.pattern = pattern;
  rule.matchCase = matchCase;
  const filtering::FilterSet filters({rule}, codePage, folding);
  filtering::FilterSubject subject;
  subject.text = reinterpret_cast<const uint8_t*>(text.data());
  subject.length = text.size();
  subject.program = program;
  subject.processId = pid;
  return filters.Decide(subject).shown;
}

TEST(WildcardMatch, FieldsWildcardsCaseAndDoubleByteCharacters) {
  const std::string as(5000, 'a');
  const CaseFolding ascii = CaseFolding::Ascii();
  const CaseFolding latin1 = Latin1Folding();
  constexpr FilterField kText = FilterField::kText;
  constexpr FilterField kProgram = FilterField::kProgram;
  constexpr FilterField kPid = FilterField::kProcessId;
  const struct {
    const char* name;
    FilterField field;
    std::string pattern;
    bool matchCase;
    const LeadTrailSets& codePage;
    const CaseFolding& folding;
    std::string text;
    std::string program;
    uint32_t pid;
    bool matches;
  } cases[] = {
      {"a literal anywhere", kText, "abc", true, kSingleByte, ascii, "xxabcxx", "", 0, true},
      {"a literal that is not there", kText, "abc", true, kSingleByte, ascii, "xxabxcx", "", 0, false},
      {"the empty pattern matches the empty text", kText, "", true, kSingleByte, ascii, "", "", 0, true},
      {"a lone star matches the empty text", kText, "*", true, kSingleByte, ascii, "", "", 0, true},
      {"? needs a character", kText, "?", true, kSingleByte, ascii, "", "", 0, false},
      {"? takes one", kText, "a?c", true, kSingleByte, ascii, "abc", "", 0, true},
      {"? takes exactly one", kText, "a?c", true, kSingleByte, ascii, "ac", "", 0, false},
      {"* takes a run", kText, "a*c", true, kSingleByte, ascii, "a....c", "", 0, true},
      {"* takes none", kText, "a*c", true, kSingleByte, ascii, "ac", "", 0, true},
      {"* keeps the order", kText, "a*c", true, kSingleByte, ascii, "ca", "", 0, false},
      {"a trailing star after a word inside", kText, "keep*", true, kSingleByte, ascii, "please keep it", "", 0, true},
      {"a later start after a failed one", kText, "ab?d", true, kSingleByte, ascii, "abcabxd", "", 0, true},
      {"a star that must take more", kText, "a*bc", true, kSingleByte, ascii, "abxbc", "", 0, true},
      {"two stars in order", kText, "a*b*c", true, kSingleByte, ascii, "aXbYc", "", 0, true},
      {"two stars out of order", kText, "a*b*c", true, kSingleByte, ascii, "aXcYb", "", 0, false},
      {"many stars over a long text without the end", kText, "*a*a*a*a*b", true, kSingleByte, ascii, as, "", 0,
       false},
      {"many stars over a long text with the end", kText, "*a*a*a*a*b", true, kSingleByte, ascii, as + "b", "", 0,
       true},
      {"no regular expressions", kText, "a.c", true, kSingleByte, ascii, "abc", "", 0, false},
      {"brackets are literal", kText, "[x]", true, kSingleByte, ascii, "a[x]b", "", 0, true},
      {"case ignored", kText, "ABC", false, kSingleByte, ascii, "xabcx", "", 0, true},
      {"case ignored the other way", kText, "abc", false, kSingleByte, ascii, "xABCx", "", 0, true},
      {"case matched", kText, "ABC", true, kSingleByte, ascii, "xabcx", "", 0, false},
      {"the code page's own letters fold", kText, "\xC9t\xC9", false, kSingleByte, latin1, "\xE9t\xE9", "", 0, true},
      {"ASCII folding leaves them", kText, "\xC9t\xC9", false, kSingleByte, ascii, "\xE9t\xE9", "", 0, false},
      {"case matched leaves them", kText, "\xC9", true, kSingleByte, latin1, "\xE9", "", 0, false},
      // Code page 932: 0x95 0x5C is one character whose trail byte is a backslash's value.
      {"932: no match from a trail byte", kText, "\x5C", true, kShiftJis, ascii, "\x95\x5C", "", 0, false},
      {"single-byte: the same byte is a character", kText, "\x5C", true, kSingleByte, ascii, "\x95\x5C", "", 0,
       true},
      {"932: a trail and the next lead are no character", kText, "\xFA\x96", true, kShiftJis, ascii,
       "\x93\xFA\x96\x7B\x8C\xEA", "", 0, false},
      {"932: a character after another", kText, "\x96\x7B", true, kShiftJis, ascii, "\x93\xFA\x96\x7B\x8C\xEA", "",
       0, true},
      {"932: a letter never matches a trail byte", kText, "a", false, kShiftJis, ascii, "\x83\x41", "", 0, false},
      {"932: folding never touches a trail byte", kText, "\x83\x61", false, kShiftJis, ascii, "\x83\x41", "", 0,
       false},
      {"932: a lone lead byte never matches half a character", kText, "x\x83", true, kShiftJis, ascii, "x\x83\x41",
       "", 0, false},
      {"932: a retry moves on by whole characters", kText, "\x8B\x8B\x8B", true, kShiftJis, ascii,
       "\x8B\x8B\x8B\x8B?", "", 0, false},
      {"932: a double-byte character matches itself", kText, "\x83\x41", false, kShiftJis, ascii, "x\x83\x41", "", 0,
       true},
      {"932: ? takes a double-byte character whole", kText, "x?y", true, kShiftJis, ascii, "x\x95\x5Cy", "", 0,
       true},
      {"932: ? takes no half", kText, "x??y", true, kShiftJis, ascii, "x\x95\x5Cy", "", 0, false},
      {"single-byte: two ? for two bytes", kText, "x??y", true, kSingleByte, ascii, "x\x95\x5Cy", "", 0, true},
      {"932: ? then a trail byte", kText, "?\x5C", true, kShiftJis, ascii, "\x95\x5C", "", 0, false},
      {"932: a star before a double-byte character", kText, "*\x95\x5C", true, kShiftJis, ascii, "ab\x95\x5C", "", 0,
       true},
      {"932: a lone lead byte at the end is a character", kText, "c\x95", true, kShiftJis, ascii, "abc\x95", "", 0,
       true},
      {"932: letters fold around double-byte text", kText, "KEEP\x95\x5C", false, kShiftJis, ascii, "keep\x95\x5C",
       "", 0, true},
      {"the program", kProgram, "client*", false, kSingleByte, ascii, "text", "client.exe", 12, true},
      {"the program in other case", kProgram, "CLIENT.EXE", false, kSingleByte, ascii, "text", "client.exe", 12,
       true},
      {"the program, case matched", kProgram, "CLIENT.EXE", true, kSingleByte, ascii, "text", "client.exe", 12,
       false},
      {"a program rule never reads the text", kProgram, "text", false, kSingleByte, ascii, "text", "client.exe", 12,
       false},
      {"a text rule never reads the program", kText, "client", false, kSingleByte, ascii, "hello", "client.exe", 12,
       false},
      {"no sender: no program", kProgram, "*", false, kSingleByte, ascii, "text", "", 0, false},
      {"a sender whose name is unknown", kProgram, "*", false, kSingleByte, ascii, "text", "", 12, true},
      {"the process id's digits", kPid, "12*", false, kSingleByte, ascii, "text", "", 123, true},
      {"the process id, anywhere", kPid, "23", false, kSingleByte, ascii, "text", "", 123, true},
      {"another process id", kPid, "124", false, kSingleByte, ascii, "text", "", 123, false},
      {"the longest process id", kPid, "4294967295", false, kSingleByte, ascii, "text", "", 4294967295u, true},
      {"decimal, not hexadecimal", kPid, "ff", false, kSingleByte, ascii, "text", "", 255, false},
      {"zeros are digits too", kPid, "100", false, kSingleByte, ascii, "text", "", 100, true},
      {"no sender: no process id", kPid, "0", false, kSingleByte, ascii, "text", "", 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Includes(c.field, c.pattern, c.matchCase, c.codePage, c.folding, c.text, c.program, c.pid), c.matches)
        << c.name;
  }
}

}  // namespace

namespace {

// UTF-8 text and patterns: ? takes one whole character of any length, * any run, case folds
// beyond ASCII, and a byte that begins no character matches only itself.
TEST(WildcardMatch, Utf8CharactersWholeAndFoldedBeyondAscii) {
  const std::string nichi = "\xE6\x97\xA5", hon = "\xE6\x9C\xAC", grin = "\xF0\x9F\x98\x80";
  const std::string sigma = "\xCE\xA3", sigmaSmall = "\xCF\x83";
  const struct {
    std::string pattern;
    bool matchCase;
    std::string text;
    bool matches;
  } cases[] = {
      {nichi + "?", false, nichi + hon, true},
      {"?" + hon, false, nichi + hon, true},
      {"a?b", false, "a" + grin + "b", true},   // ? takes four bytes
      {"a??b", false, "a" + grin + "b", false}, // and never half of them
      {"a*b", false, "a" + nichi + grin + "b", true},
      {"\xE6", false, nichi, false},            // a lone lead byte is no part of 日
      {"\x97\xA5", false, nichi, false},
      {sigmaSmall + "*", false, "x" + sigma + "y", true},
      {sigmaSmall, true, "x" + sigma + "y", false},
      {"\xD0\xB4\xD0\xB0", false, "\xD0\x94\xD0\x90", true},  // да finds ДА
      {"\xFF", false, "a\xFF" "b", true},
      {"\xFF", false, "a\xC3\xBF" "b", false},  // ÿ is a character, not the byte FF
      {"KELVIN", false, "\xE2\x84\xAA" "elvin", true},
      {"", false, nichi, true},
  };
  for (const auto& c : cases) {
    filtering::FilterRule rule;
    rule.field = FilterField::kText;
    rule.pattern = c.pattern;
    rule.matchCase = c.matchCase;
    const filtering::FilterSet filters({rule}, SimpleFolding());
    filtering::FilterSubject subject;
    subject.text = reinterpret_cast<const uint8_t*>(c.text.data());
    subject.length = c.text.size();
    EXPECT_EQ(filters.Decide(subject).shown, c.matches) << c.pattern << " in " << c.text;
  }
}

}  // namespace
