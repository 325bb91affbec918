// tellit.dll under a test monitor: every datagram of banner, format cases, overflow and reconnection, byte for byte.
#include <windows.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "loaded_tellit.h"
#include "test_mailslot.h"

namespace tellit::testing {
namespace {

class ClientDatagrams : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mailslot.valid()) << "could not create the monitor's mailslot, error " << GetLastError();
    ASSERT_TRUE(dll.loaded());
    ASSERT_TRUE(dll.counted()) << "tellit.dll does not import the functions the tests count";
  }

  // Sends the first message of the connection and checks that the banner went first.
  void Connect() {
    ASSERT_EQ(dll.tellitf("connect\n"), 9);
    EXPECT_EQ(mailslot.Read(), Banner());
    EXPECT_TRUE(IsDatagram(mailslot.Read(), "connect\n"));
  }

  // The bytes of every write the DLL made while recording: long datagrams are checked as the DLL
  // hands them over (Wine cuts a datagram to 64 KiB and refuses one of 1 MiB).
  static std::vector<std::string> RecordedWrites() {
    std::lock_guard<std::mutex> hold(systemCalls.recordLock);
    std::vector<std::string> writes;
    for (SystemCalls::Record& record : systemCalls.records) {
      if (record.call == SystemCalls::Call::kWrite) writes.push_back(std::move(record.bytes));
    }
    systemCalls.records.clear();
    return writes;
  }

  static void RecordWritesUnsent(bool on) {
    systemCalls.writesSucceedUnsent = on;
    systemCalls.recording = on;
  }

  TestMailslot mailslot;
  LoadedTellit dll;
};

TEST_F(ClientDatagrams, FirstCallSendsTheBannerThenTheMessage) {
  EXPECT_EQ(dll.tellitf("%d items\n", 5), 9);
  EXPECT_EQ(mailslot.Read(), Banner());
  EXPECT_EQ(Banner().size(), 27u);
  EXPECT_TRUE(IsDatagram(mailslot.Read(), "5 items\n"));
  EXPECT_EQ(dll.tellitf("second\n"), 8);
  EXPECT_TRUE(IsDatagram(mailslot.Read(), "second\n")) << "a banner only starts a connection";
}

TEST_F(ClientDatagrams, LoadingAndUnloadingWithoutACallSendsNothing) {
  dll.Unload();
  dll.Load();
  dll.Unload();
  Sleep(50);
  EXPECT_FALSE(mailslot.HasDatagram());
  EXPECT_EQ(systemCalls.createFile, 0);
}

TEST_F(ClientDatagrams, NullFormatReturnsZeroAndDoesNotOpen) {
  EXPECT_EQ(dll.tellitf(nullptr), 0);
  EXPECT_EQ(dll.tellitwf(nullptr), 0);
  EXPECT_EQ(dll.tellitu8f(nullptr), 0);
  EXPECT_EQ(systemCalls.createFile, 0);
  Sleep(50);
  EXPECT_FALSE(mailslot.HasDatagram());
}

TEST_F(ClientDatagrams, ReloadStartsAFreshRecordWithANewBanner) {
  Connect();
  dll.Unload();
  dll.Load();
  EXPECT_EQ(dll.tellitf("again\n"), 7);
  EXPECT_EQ(mailslot.Read(), Banner());
  EXPECT_TRUE(IsDatagram(mailslot.Read(), "again\n"));
}

TEST_F(ClientDatagrams, FailedWriteReturnsZeroAndTheNextCallReconnectsWithABanner) {
  Connect();
  // Capacity grown by a 300-character format must survive the lost connection.
  ASSERT_EQ(dll.tellitf(("%d" + std::string(298, ' ')).c_str(), 1), 300);
  mailslot.Read();
  const int opensBefore = systemCalls.createFile;
  systemCalls.failWrites = true;
  EXPECT_EQ(dll.tellitf("lost\n"), 0);
  systemCalls.failWrites = false;
  EXPECT_EQ(dll.tellitf("%4799s", "x"), 4800) << "the grown buffer was kept";
  EXPECT_EQ(systemCalls.createFile, opensBefore + 1);
  EXPECT_EQ(mailslot.Read(), Banner());
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(4798, ' ') + "x"));
  EXPECT_EQ(systemCalls.createMutex, 0) << "the calls are serialised without a kernel mutex";
}

TEST_F(ClientDatagrams, FailedBannerWriteLeavesTheCallWithZeroAndTheNextOneSendsTheBanner) {
  systemCalls.failWrites = true;
  EXPECT_EQ(dll.tellitf("first\n"), 0);
  systemCalls.failWrites = false;
  EXPECT_EQ(dll.tellitf("second\n"), 8);
  EXPECT_EQ(mailslot.Read(), Banner());
  EXPECT_TRUE(IsDatagram(mailslot.Read(), "second\n"));
}

TEST_F(ClientDatagrams, OrdinaryCallsAllocateNothing) {
  Connect();
  const int before = systemCalls.allocations;
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(dll.tellitf("%d %s %5.2f %lld\n", i, "text", 1.5, 1LL << 40), 28 + (i >= 10 ? 1 : 0));
    ASSERT_GT(dll.tellitwf(L"%d %s\n", i, L"wide"), 0);
  }
  EXPECT_EQ(systemCalls.allocations, before);
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(mailslot.Read());
}

// The calls are serialised by a lock inside the process: waiting on and releasing a kernel
// mutex were two round trips to the kernel (the Wine server) per call.
TEST_F(ClientDatagrams, CallsWaitOnNoKernelObject) {
  Connect();
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(dll.tellitf("%d\n", i), i >= 10 ? 4 : 3);
    ASSERT_EQ(dll.tellitwf(L"%d\n", i), i >= 10 ? 4 : 3);
    ASSERT_EQ(dll.tellitf("%5000d\n", i), 4096);  // cut: the notice and the message
  }
  EXPECT_EQ(systemCalls.createMutex, 0);
  EXPECT_EQ(systemCalls.waitForSingleObject, 0);
  EXPECT_EQ(systemCalls.releaseMutex, 0);
  for (int i = 0; i < 80; ++i) ASSERT_TRUE(mailslot.Read());
}

// One datagram per case, checked byte for byte; the call's result must be its length.
TEST_F(ClientDatagrams, FormatCasesArriveByteForByte) {
  struct Case {
    const char* name;
    int result;
    std::string text;
  };
  Connect();
  const std::vector<Case> cases = {
      {"empty format", dll.tellitf(""), ""},
      {"number and line feed", dll.tellitf("%d items\n", 5), "5 items\n"},
      {"two percent signs", dll.tellitf("100%%\n"), "100%\n"},
      {"%u takes its argument", dll.tellitf("%u %d", 1, 2), "1 2"},
      {"%lld", dll.tellitf("%lld", 1LL << 40), "1099511627776"},
      {"%ld is 32-bit", dll.tellitf("%ld|%d", 7L, 8), "7|8"},
      {"%5.1f", dll.tellitf("%5.1f", 3.14159), "  3.1"},
      {"%-4d", dll.tellitf("%-4d|", 7), "7   |"},
      {"hex octal", dll.tellitf("%x %X %o %#x", 255, 255, 8, 255), "ff FF 10 0xff"},
      {"%c with 0", dll.tellitf("a%cb", 0), "ab"},
      {"%c", dll.tellitf("%c%c", 'o', 'k'), "ok"},
      {"trailing percent", dll.tellitf("abc%"), "abc"},
      {"trailing %5", dll.tellitf("abc%5"), "abc"},
      {"string", dll.tellitf("[%s|%6s|%-3s|%.2s]", "a", "b", "c", "def"), "[a|     b|c  |de]"},
      {"null string", dll.tellitf("%s.", static_cast<const char*>(nullptr)), "(null)."},
      {"wide string in narrow call", dll.tellitf("%ls", L"wide"), "wide"},
      {"%hd takes a short", dll.tellitf("%hd %d", 70000, 3), "4464 3"},
      {"over-long directive", dll.tellitf(("%" + std::string(70, '1') + "d").c_str(), 1),
       "%" + std::string(70, '1') + "d"},
      {"double-byte text passes", dll.tellitf("\x93\xfa\x96\x7b %d", 1), "\x93\xfa\x96\x7b 1"},
      {"wide empty format", dll.tellitwf(L""), ""},
      {"wide number", dll.tellitwf(L"%d items\n", 5), "5 items\n"},
      {"wide null string", dll.tellitwf(L"%s!", static_cast<const wchar_t*>(nullptr)), "(null)!"},
      {"wide %c with 0", dll.tellitwf(L"a%cb", 0), "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.result, static_cast<int>(c.text.size() + 1));
    EXPECT_TRUE(IsDatagram(mailslot.Read(), c.text));
  }
}

TEST_F(ClientDatagrams, TextOf4095BytesIsWholeAnd4096BytesComesCutAfterTheNotice) {
  Connect();
  EXPECT_EQ(dll.tellitf("%4095s", "x"), 4096);
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(4094, ' ') + "x"));
  EXPECT_EQ(dll.tellitf("%4096s", "x"), 4096);
  EXPECT_EQ(mailslot.Read(), OverflowNotice());
  EXPECT_EQ(OverflowNotice().size(), 37u);
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(4095, ' ')));
  EXPECT_EQ(dll.tellitf((std::string(5000, 'a') + "\n").c_str()), 5002) << "a long format grows the buffer";
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(5000, 'a') + "\n"));
}

TEST_F(ClientDatagrams, ThreeHundredByteFormatRaisesTheCapacityTo4800) {
  Connect();
  const std::string format = "%4505s" + std::string(294, '.');  // 300 bytes
  ASSERT_EQ(format.size(), 300u);
  EXPECT_EQ(dll.tellitf(format.c_str(), "x"), 4800);
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(4504, ' ') + "x" + std::string(294, '.')));
  // The capacity stays 4800 for short formats: 4799 bytes whole, 4800 cut after the notice.
  EXPECT_EQ(dll.tellitf("%4799s", "y"), 4800);
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(4798, ' ') + "y"));
  EXPECT_EQ(dll.tellitf("%4800s", "z"), 4800);
  EXPECT_EQ(mailslot.Read(), OverflowNotice());
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(4799, ' ')));
}

TEST_F(ClientDatagrams, ShortTextAfterA300ByteFormatStillRaisesTheCapacity) {
  Connect();
  EXPECT_EQ(dll.tellitf(("%d" + std::string(298, '\a')).c_str(), 1), 300);
  mailslot.Read();
  EXPECT_EQ(dll.tellitf("%4799s", "y"), 4800) << "a 4096-byte buffer would have cut this text";
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(4798, ' ') + "y"));
}

TEST_F(ClientDatagrams, WideTextLongerThanItsBufferComesCutAfterTheNotice) {
  Connect();
  EXPECT_EQ(dll.tellitwf(L"%5000s", L"x"), 4096);
  EXPECT_EQ(mailslot.Read(), OverflowNotice());
  EXPECT_TRUE(IsDatagram(mailslot.Read(), std::string(4095, ' ')));
}

// The monitor takes datagrams of up to 1 MiB: text of 1 MiB - 25 bytes goes whole with its NUL
// and sender trailer, longer text is cut there after the overflow notice, from either function.
TEST_F(ClientDatagrams, NoDatagramIsLongerThanTheMonitorTakes) {
  Connect();
  constexpr size_t kCeiling = 1048576 - channel::kTrailerBytes;  // the text, its NUL: the trailer fills the rest
  RecordWritesUnsent(true);
  const std::string longest(kCeiling - 1, 'a');
  EXPECT_EQ(dll.tellitf(longest.c_str()), static_cast<int>(kCeiling));
  EXPECT_EQ(dll.tellitf(std::string(1100000, 'b').c_str()), static_cast<int>(kCeiling));
  EXPECT_EQ(dll.tellitwf(std::wstring(1100000, L'c').c_str()), static_cast<int>(kCeiling));
  EXPECT_EQ(dll.tellitf("%s%s", longest.c_str(), "d"), static_cast<int>(kCeiling));
  RecordWritesUnsent(false);
  const std::vector<std::string> writes = RecordedWrites();
  ASSERT_EQ(writes.size(), 7u);
  EXPECT_TRUE(writes[0] == Datagram(longest)) << "text of 1 MiB - 1 bytes must go whole";
  EXPECT_EQ(writes[1], OverflowNotice());
  EXPECT_TRUE(writes[2] == Datagram(std::string(kCeiling - 1, 'b'))) << writes[2].size() << " bytes";
  EXPECT_EQ(writes[3], OverflowNotice());
  EXPECT_TRUE(writes[4] == Datagram(std::string(kCeiling - 1, 'c'))) << writes[4].size() << " bytes";
  EXPECT_EQ(writes[5], OverflowNotice());
  EXPECT_TRUE(writes[6] == Datagram(longest)) << writes[6].size() << " bytes";
}

// The wide-text tests run in the default code page (1252), and again under a Japanese locale
// (932) and a Hindi one, for which Wine takes UTF-8 (65001) as the ANSI code page;
// VIGILO_EXPECT_ACP names the code page a run must have.
class WideText : public ClientDatagrams {
 protected:
  void SetUp() override {
    ClientDatagrams::SetUp();
    char expected[16] = {};
    if (GetEnvironmentVariableA("VIGILO_EXPECT_ACP", expected, sizeof expected) > 0) {
      ASSERT_EQ(GetACP(), static_cast<UINT>(std::stoul(expected)));
    }
    ASSERT_TRUE(GetACP() == 932 || GetACP() == 1252 || GetACP() == CP_UTF8)
        << "no expectations for code page " << GetACP();
    Connect();
  }

  // The expected bytes in the running code page.
  static std::string InCodePage(const std::string& cp932, const std::string& cp1252, const std::string& utf8) {
    return GetACP() == 932 ? cp932 : GetACP() == 1252 ? cp1252 : utf8;
  }

  static std::string Repeated(const std::string& piece, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += piece;
    return s;
  }
};

// The system's own conversions, the oracles of what the library sends.
std::string NarrowOf(UINT codePage, const std::wstring& wide) {
  const int need = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(need > 0 ? need : 0), '\0');
  if (need > 0) WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), &narrow[0], need, nullptr, nullptr);
  return narrow;
}
std::wstring WideOf(UINT codePage, const std::string& narrow) {
  const int need = MultiByteToWideChar(codePage, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(need > 0 ? need : 0), L'\0');
  if (need > 0) MultiByteToWideChar(codePage, 0, narrow.data(), static_cast<int>(narrow.size()), &wide[0], need);
  return wide;
}

// A datagram of `wide` text as the system's converters say it must be: the text converted to the
// ANSI code page up to the NUL; after it the exact text in UTF-8 with the code page, exactly when
// the converted text does not give it back; where the ANSI code page is UTF-8, the footer alone
// for text that is no ASCII.
::testing::AssertionResult CarriesExactly(const std::optional<std::string>& datagram, const std::wstring& wide) {
  if (!datagram) return ::testing::AssertionFailure() << "no datagram arrived";
  const std::string ansi = NarrowOf(CP_ACP, wide);
  if (WithoutTrailer(*datagram) != Datagram(ansi)) {
    return ::testing::AssertionFailure() << "the text up to the NUL is not the ANSI conversion: "
                                         << ::testing::PrintToString(WithoutTrailer(*datagram).substr(0, 200));
  }
  const std::optional<channel::ExactText> exact = ExactTextOf(*datagram);
  bool ascii = true;
  for (wchar_t unit : wide) ascii = ascii && unit < 0x80;
  const bool utf8Page = GetACP() == CP_UTF8;
  const bool needed = utf8Page ? !ascii : WideOf(CP_ACP, ansi) != wide;
  if (exact.has_value() != needed) {
    return ::testing::AssertionFailure() << (needed ? "no exact text, though the ANSI text loses characters"
                                                    : "an exact text, though the ANSI text gives it back");
  }
  if (!exact) return ::testing::AssertionSuccess();
  if (exact->codePage != GetACP()) return ::testing::AssertionFailure() << "code page " << exact->codePage;
  const std::string utf8(reinterpret_cast<const char*>(exact->utf8), exact->length);
  const std::string expected = utf8Page ? std::string() : NarrowOf(CP_UTF8, wide);
  if (utf8 != expected) {
    return ::testing::AssertionFailure() << "exact text of " << utf8.size() << " bytes, expected " << expected.size();
  }
  return ::testing::AssertionSuccess();
}

const wchar_t kLine[] =
    L"Greek \x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac, Japanese \x65e5\x672c\x8a9e, emoji \xd83d\xde00, "
    L"Cyrillic \x041a\x0438\x0440\x0438\x043b\x043b\x0438\x0446\x0430\n";

TEST_F(WideText, EveryCharacterOfTheLineTravelsAfterTheNul) {
  const std::wstring line = kLine;
  const int ansiBytes = static_cast<int>(NarrowOf(CP_ACP, line).size()) + 1;
  EXPECT_EQ(dll.tellitwf(L"%s", line.c_str()), ansiBytes);
  std::optional<std::string> datagram = mailslot.ReadWhole();
  EXPECT_TRUE(CarriesExactly(datagram, line));
  EXPECT_TRUE(datagram && ExactTextOf(*datagram)) << "no ANSI code page here holds the emoji";

  const std::string utf8 = NarrowOf(CP_UTF8, line);
  EXPECT_EQ(dll.tellitu8f("%s", utf8.c_str()), ansiBytes);
  EXPECT_TRUE(CarriesExactly(mailslot.ReadWhole(), line));
  // UTF-8 in the format itself, a wide string, a character and a number.
  const std::string greek = NarrowOf(CP_UTF8, L"\x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac");
  EXPECT_GT(dll.tellitu8f((greek + " %ls%c%d %5s|").c_str(), L"\x65e5\x672c\x8a9e\xd83d\xde00", '!', 7, "ab"), 0);
  EXPECT_TRUE(CarriesExactly(mailslot.ReadWhole(),
                             L"\x0395\x03bb\x03bb\x03b7\x03bd\x03b9\x03ba\x03ac \x65e5\x672c\x8a9e\xd83d\xde00!7    ab|"));
}

// Text the ANSI code page holds travels as before, with nothing after the NUL but the trailer;
// tellitf's bytes get a footer only where the ANSI code page is UTF-8, for text that is no ASCII.
TEST_F(WideText, TextTheCodePageHoldsTravelsAsBefore) {
  const std::string trailerOnly = "plain\n" + std::string(1, '\0');
  for (int call = 0; call < 3; ++call) {
    const int sent = call == 0 ? dll.tellitf("plain\n") : call == 1 ? dll.tellitwf(L"plain\n") : dll.tellitu8f("plain\n");
    EXPECT_EQ(sent, 7);
    const std::optional<std::string> datagram = mailslot.ReadWhole();
    ASSERT_TRUE(datagram);
    EXPECT_EQ(datagram->size(), trailerOnly.size() + channel::kTrailerBytes) << "call " << call;
  }
  const std::wstring held = GetACP() == 932 ? L"\x65e5\x672c\x8a9e" : L"caf\x00e9";
  EXPECT_GT(dll.tellitwf(L"%s", held.c_str()), 0);
  std::optional<std::string> datagram = mailslot.ReadWhole();
  EXPECT_TRUE(CarriesExactly(datagram, held));
  EXPECT_EQ(datagram && ExactTextOf(*datagram), GetACP() == CP_UTF8);
  EXPECT_GT(dll.tellitf("%s", NarrowOf(CP_ACP, held).c_str()), 0);
  datagram = mailslot.ReadWhole();
  ASSERT_TRUE(datagram);
  const std::optional<channel::ExactText> exact = ExactTextOf(*datagram);
  EXPECT_EQ(exact.has_value(), GetACP() == CP_UTF8);
  if (exact) {
    EXPECT_EQ(exact->length, 0u) << "the text up to the NUL is exact as it stands";
    EXPECT_EQ(exact->codePage, static_cast<uint32_t>(CP_UTF8));
  }
}

// A cut of wide text (its buffer holds 4095 units and the NUL) never splits a surrogate pair, wherever
// the pair falls; the exact text is the same whole-character start as the converted one.
TEST_F(WideText, CutsOfWideTextKeepSurrogatePairsWhole) {
  std::wstring pairs;
  for (int i = 0; i < 3000; ++i) pairs += L"\xd83d\xde00";
  for (size_t prefix : {0, 1, 2, 3}) {
    SCOPED_TRACE(prefix);
    const std::wstring text = std::wstring(prefix, L'a') + pairs;
    const size_t kept = prefix + (4095 - prefix) / 2 * 2;
    EXPECT_GT(dll.tellitwf(L"%s", text.c_str()), 0);
    EXPECT_EQ(mailslot.Read(), OverflowNotice());
    EXPECT_TRUE(CarriesExactly(mailslot.ReadWhole(), text.substr(0, kept)));
  }
}

// tellitu8f's text cut at its buffer (4095 bytes and the NUL) keeps whole UTF-8 characters: a
// four-byte one at each offset from the cut.
TEST_F(WideText, CutsOfUtf8TextKeepWholeCharacters) {
  std::string emoji;
  for (int i = 0; i < 1100; ++i) emoji += "\xf0\x9f\x98\x80";
  for (size_t prefix : {0, 1, 2, 3}) {
    SCOPED_TRACE(prefix);
    dll.Unload();  // a fresh buffer of 4096 bytes: the text of the call before grew it
    dll.Load();
    Connect();
    const std::string text = std::string(prefix, 'a') + emoji;
    const size_t kept = prefix + (4095 - prefix) / 4 * 4;
    EXPECT_GT(dll.tellitu8f("%s", text.c_str()), 0);
    EXPECT_EQ(mailslot.Read(), OverflowNotice());
    EXPECT_TRUE(CarriesExactly(mailslot.ReadWhole(), WideOf(CP_UTF8, text.substr(0, kept))));
  }
}

TEST_F(WideText, JapaneseStringArrivesInTheAnsiCodePage) {
  const std::string expected =
      InCodePage("\x93\xfa\x96\x7b\x8c\xea\n", "???\n", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\n");
  EXPECT_EQ(dll.tellitwf(L"%s\n", L"\x65e5\x672c\x8a9e"), static_cast<int>(expected.size() + 1));
  EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
}

TEST_F(WideText, WideCharacterConversionTakesAWideCharacter) {
  const std::string expected = InCodePage("[\x82\xa0]", "[?]", "[\xe3\x81\x82]");
  EXPECT_EQ(dll.tellitwf(L"[%c]", 0x3042), static_cast<int>(expected.size() + 1));
  EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
}

TEST_F(WideText, ConvertedTextOfTwoOrMoreBytesPerCharacterArrivesWholeWithItsNul) {
  // 2048 characters: 4096 bytes in cp932, which with the NUL need one byte more than twice the
  // character count; 6144 bytes in UTF-8, three per character.
  const std::wstring text(2048, L'\x65e5');
  const std::string expected =
      InCodePage(Repeated("\x93\xfa", 2048), std::string(2048, '?'), Repeated("\xe6\x97\xa5", 2048));
  EXPECT_EQ(dll.tellitwf(L"%s", text.c_str()), static_cast<int>(expected.size() + 1));
  EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
}

// A wide string in tellitf goes through the ANSI code page, as tellitwf's own text does, not
// through the C runtime's locale (in which non-ASCII text used to vanish).
TEST_F(WideText, WideStringsAndCharactersInTheNarrowCallArriveInTheAnsiCodePage) {
  const std::string word = InCodePage("\x93\xfa\x96\x7b\x8c\xea", "???", "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e");
  const std::string a = InCodePage("\x82\xa0", "?", "\xe3\x81\x82");
  const std::string expected = "[" + word + "|" + word + "|" + a + "|" + a + "]";
  EXPECT_EQ(dll.tellitf("[%ls|%S|%lc|%C]", L"\x65e5\x672c\x8a9e", L"\x65e5\x672c\x8a9e", 0x3042, 0x3042),
            static_cast<int>(expected.size() + 1));
  EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
}

TEST_F(WideText, WidthAndPrecisionOfAConvertedStringCountBytesAndKeepWholeCharacters) {
  const std::string expected = InCodePage("    \x93\xfa|\x93\xfa|", "     ?|??|", "   \xe6\x97\xa5|\xe6\x97\xa5|");
  EXPECT_EQ(dll.tellitf("%6ls|%.3ls|", L"\x65e5", L"\x65e5\x672c"), static_cast<int>(expected.size() + 1));
  EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
}

TEST_F(WideText, NarrowStringsAndCharactersInTheWideCallAreReadInTheAnsiCodePage) {
  const std::string text = InCodePage("\x93\xfa\x96\x7b", "caf\xe9", "\xe6\x97\xa5\xe6\x9c\xac");
  const std::string single = InCodePage("\xb1", "\xe9", "A");  // a one-byte character of each
  const std::string expected = "[" + text + "|" + text + "|" + single + "|" + single + "]";
  EXPECT_EQ(dll.tellitwf(L"[%hs|%S|%hc|%C]", text.c_str(), text.c_str(), single[0], single[0]),
            static_cast<int>(expected.size() + 1));
  EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
}

// Strings are converted 256 units or bytes at a time: a surrogate pair across the 255/256 edge of
// a wide argument, or a character that starts at byte 255 of a narrow one, must come out as the
// system converts the whole string.
TEST_F(WideText, ConversionChunkEdgesGiveWhatTheWholeStringGives) {
  const auto narrowOf = [](const std::wstring& wide) {
    const int need = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(need), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &narrow[0], need, nullptr, nullptr);
    return narrow;
  };
  const auto wideOf = [](const std::string& narrow) {
    const int need = MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(need), L'\0');
    MultiByteToWideChar(CP_ACP, 0, narrow.data(), static_cast<int>(narrow.size()), &wide[0], need);
    return wide;
  };
  // Wide arguments (%s in tellitwf, %ls in tellitf): U+1F600 as a pair at units 254/255,
  // 255/256 and 511/512, and a lone high surrogate on the edge.
  const std::wstring pair = L"\xd83d\xde00";
  const std::wstring wideCases[] = {
      std::wstring(254, L'a') + pair + L"b",
      std::wstring(255, L'a') + pair + L"b",
      std::wstring(255, L'a') + pair,
      std::wstring(511, L'a') + pair + std::wstring(300, L'\x3042'),
      std::wstring(255, L'a') + L"\xd83d" + L"b",
      std::wstring(200, L'\x3042') + std::wstring(55, L'a') + pair + L"\x65e5",
  };
  for (const std::wstring& text : wideCases) {
    SCOPED_TRACE(text.size());
    const std::string expected = narrowOf(text);
    EXPECT_EQ(dll.tellitwf(L"%s", text.c_str()), static_cast<int>(expected.size() + 1));
    EXPECT_TRUE(CarriesExactly(mailslot.ReadWhole(), text));
    EXPECT_EQ(dll.tellitf("%ls", text.c_str()), static_cast<int>(expected.size() + 1));
    EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
  }
  // Narrow arguments of tellitwf (%hs): a character of the code page that starts at byte 254,
  // 255 or 253 (UTF-8 sequences of three and four bytes), then more text.
  const std::string character = InCodePage("\x82\xa0", "\xe9", "\xe3\x81\x82");
  const std::string four = InCodePage("\x93\xfa", "\xe9", "\xf0\x9f\x98\x80");
  const std::string narrowCases[] = {
      std::string(255, 'a') + character + "b",
      std::string(254, 'a') + character + "b",
      std::string(253, 'a') + four + "b",
      std::string(255, 'a') + four + "b",
      std::string(511, 'a') + character + std::string(300, 'c'),
      std::string(255, 'a') + character,
      Repeated(character, 300),
  };
  for (const std::string& text : narrowCases) {
    SCOPED_TRACE(text.size());
    const std::string expected = narrowOf(wideOf(text));
    EXPECT_EQ(dll.tellitwf(L"%hs", text.c_str()), static_cast<int>(expected.size() + 1));
    EXPECT_TRUE(IsDatagram(mailslot.Read(), expected));
  }
}

// A character of the code page repeated past 1 MiB, after a prefix that makes 1 MiB - 1 bytes
// end inside a character in the multi-byte code pages: the cut keeps whole characters only.
TEST_F(WideText, TextLongerThanTheMonitorTakesIsCutOnACharacterBoundary) {
  // Bytes of text in the largest datagram; where the ANSI code page is UTF-8 the exact-text footer
  // that says so takes its room too.
  const size_t kLongest = 1048575 - channel::kTrailerBytes - (GetACP() == CP_UTF8 ? channel::kExactFooterBytes : 0);
  const std::string unit = InCodePage("\x82\xa0", "\xe9", "\xe3\x81\x82");
  const std::wstring wideUnit = GetACP() == 1252 ? L"\x00e9" : L"\x3042";
  const std::string prefix = InCodePage("", "", "x");
  std::string text = prefix;
  std::wstring wideText(prefix.begin(), prefix.end());
  while (text.size() < 1100000) {
    text += unit;
    wideText += wideUnit;
  }
  const size_t whole = prefix.size() + (kLongest - prefix.size()) / unit.size() * unit.size();
  if (unit.size() > 1) {
    ASSERT_LT(whole, kLongest) << "the cut must fall inside a character";
  }

  RecordWritesUnsent(true);
  EXPECT_EQ(dll.tellitf(text.c_str()), static_cast<int>(whole + 1));
  EXPECT_EQ(dll.tellitwf(wideText.c_str()), static_cast<int>(whole + 1));
  RecordWritesUnsent(false);
  const std::vector<std::string> writes = RecordedWrites();
  ASSERT_EQ(writes.size(), 4u);
  for (size_t i : {0, 2}) EXPECT_EQ(writes[i], OverflowNotice());
  for (size_t i : {1, 3}) {
    SCOPED_TRACE(i == 1 ? "tellitf" : "tellitwf");
    EXPECT_EQ(writes[i].size(), whole + 1);
    EXPECT_TRUE(writes[i] == Datagram(text.substr(0, whole))) << "the text is not a whole-character prefix";
  }
}

// Every datagram names its process and thread, counts on from the one before (a failed write too,
// so the monitor sees the gap) and carries the time of its call; the text's length is returned
// as ever, without the trailer.
TEST_F(ClientDatagrams, EveryDatagramCarriesItsSenderAndCountsFailedWritesToo) {
  auto trailerOf = [](const std::optional<std::string>& datagram, channel::SenderTrailer& trailer) {
    return datagram && channel::ParseTrailer(reinterpret_cast<const uint8_t*>(datagram->data()), datagram->size(),
                                             trailer);
  };
  FILETIME before;
  GetSystemTimeAsFileTime(&before);
  ASSERT_EQ(dll.tellitf("first\n"), 7);
  std::uint32_t otherThread = 0;
  std::thread([&] {
    otherThread = GetCurrentThreadId();
    dll.tellitwf(L"wide\n");
  }).join();
  systemCalls.failWrites = true;
  EXPECT_EQ(dll.tellitf("lost\n"), 0);
  systemCalls.failWrites = false;
  ASSERT_EQ(dll.tellitf("after %d\n", 1), 9);
  FILETIME after;
  GetSystemTimeAsFileTime(&after);
  const auto asNumber = [](const FILETIME& time) {
    return static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  };

  const struct {
    const char* text;
    std::uint32_t sequence;
    bool otherThread;
  } expected[] = {
      {"<< open TELLIT monitor >>\n", 0, false},
      {"first\n", 1, false},
      {"wide\n", 2, true},
      // 3 never left; the handle went with it, so a banner opens the next connection.
      {"<< open TELLIT monitor >>\n", 4, false},
      {"after 1\n", 5, false},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.text);
    const std::optional<std::string> datagram = mailslot.ReadWhole();
    channel::SenderTrailer trailer;
    ASSERT_TRUE(trailerOf(datagram, trailer));
    EXPECT_EQ(datagram->substr(0, datagram->size() - channel::kTrailerBytes), Datagram(e.text));
    EXPECT_EQ(trailer.processId, GetCurrentProcessId());
    EXPECT_EQ(trailer.threadId, e.otherThread ? otherThread : GetCurrentThreadId());
    EXPECT_EQ(trailer.sequence, e.sequence);
    EXPECT_GE(trailer.sentTime, asNumber(before));
    EXPECT_LE(trailer.sentTime, asNumber(after));
  }
}

TEST(NoMonitor, CallsReturnZeroSendNothingAndCreateNeitherBufferNorMutex) {
  LoadedTellit dll;
  ASSERT_TRUE(dll.loaded());
  ASSERT_TRUE(dll.counted());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(dll.tellitf("%d\n", i), 0);
    EXPECT_EQ(dll.tellitwf(L"%d\n", i), 0);
    EXPECT_EQ(dll.tellitu8f("%d\n", i), 0);
  }
  EXPECT_EQ(systemCalls.createFile, 9) << "every call tries to open once";
  EXPECT_EQ(systemCalls.createMutex, 0);
  EXPECT_EQ(systemCalls.allocations, 0);
  EXPECT_EQ(systemCalls.writeFile, 0);

  // A monitor that starts later gets the banner with the next call.
  TestMailslot mailslot;
  ASSERT_TRUE(mailslot.valid());
  EXPECT_EQ(dll.tellitf("late\n"), 6);
  EXPECT_EQ(mailslot.Read(), Banner());
  EXPECT_TRUE(IsDatagram(mailslot.Read(), "late\n"));
}

}  // namespace
}  // namespace tellit::testing
