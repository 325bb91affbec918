// tellitcap.exe end to end: client processes sending through tellit.dll (and raw datagrams),
// tellitcap capturing as text or JSON, each way of stopping, and the refusals it owes the user.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "capture_process.h"
#include "json_line_reader.h"
#include "support/unicode_line.h"
#include "receiving/debug_output_source.h"
#include "scoped/scoped_win.h"
#include "support/global_debug_output.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"

namespace {

const std::string kBanner = "<< open TELLIT monitor >>\n";
const std::string kBannerShown = "<< open TELLIT monitor >>\r\n";

ChildProcess Client(const std::string& arguments) {
  return ChildProcess("\"" + BinDirectory() + "\\monitor_e2e_client.exe\" " + arguments, "");
}

// Runs the client to its end: every message it sent has been written to the mailslot.
void RunClient(const std::string& arguments) {
  ChildProcess client = Client(arguments);
  ASSERT_TRUE(client.started());
  ASSERT_EQ(client.Wait(60000), 0u) << arguments;
}

std::string NumberedLines(const std::string& prefix, int count, const char* lineEnd) {
  std::string text;
  for (int i = 0; i < count; ++i) text += prefix + " " + std::to_string(i) + lineEnd;
  return text;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "every JSON line ends with a line feed";
  return lines;
}

std::vector<JsonLine> ReadJsonLines(const std::string& text) {
  std::vector<JsonLine> objects;
  for (const std::string& line : SplitLines(text)) {
    JsonLine object;
    std::string error;
    EXPECT_TRUE(ReadJsonLine(line, object, error)) << error << ": " << line;
    objects.push_back(object);
  }
  return objects;
}

std::string UtcNow() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  char text[32];
  wsprintfA(text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
            now.wSecond, now.wMilliseconds);
  return text;
}

// The shape of a tellitcap JSON line: time, source, pid for debug output, the sender's fields for
// a tellit message, text.
void ExpectShape(const JsonLine& line, const std::string& source, const std::string& earliest,
                 const std::string& latest, bool fromTellit = true) {
  const std::vector<std::string> keys =
      source != "tellit" ? std::vector<std::string>{"time", "source", "pid", "text"}
      : fromTellit      ? std::vector<std::string>{"time", "source", "pid", "tid", "seq", "sent", "text"}
                        : std::vector<std::string>{"time", "source", "text"};
  EXPECT_EQ(line.order, keys);
  const std::string time = line.strings.count("time") ? line.strings.at("time") : "";
  EXPECT_EQ(time.size(), 24u) << time;
  EXPECT_TRUE(time >= earliest && time <= latest) << time << " outside " << earliest << " .. " << latest;
  EXPECT_EQ(line.strings.count("source") ? line.strings.at("source") : "", source);
}

std::string Text(const JsonLine& line) { return line.strings.count("text") ? line.strings.at("text") : "<none>"; }

TEST(CaptureEndToEnd, TextGoesToTheFileAfterWhatItHeldWithTheMonitorsLineEnds) {
  ScratchDir dir;
  WriteWholeFile(dir.File("out.txt"), "earlier run\r\n");
  constexpr int kCount = 40;
  CaptureProcess capture(dir, "-o out.txt --count " + std::to_string(kCount + 3));
  ASSERT_TRUE(capture.WaitUntilListening());
  RunClient("lines " + std::to_string(kCount) + " num");
  ASSERT_TRUE(SendToMonitor("lone CR\rand lone LF\nend"));
  ASSERT_TRUE(SendToMonitor("\n"));
  EXPECT_EQ(capture.Wait(20000), 0u);
  EXPECT_EQ(ReadWholeFile(dir.File("out.txt")),
            "earlier run\r\n" + kBannerShown + NumberedLines("num", kCount, "\r\n") + "lone CR\r\nand lone LF\r\nend\r\n");
  EXPECT_EQ(capture.Output(), "");
  EXPECT_EQ(capture.Errors(), "");
}

TEST(CaptureEndToEnd, TextGoesToStandardOutputAndABurstIsDrainedWhole) {
  ScratchDir dir;
  constexpr int kThreads = 4;
  constexpr int kEach = 600;  // far more than the mailslot holds unread, and than a monitor tick takes
  CaptureProcess capture(dir, "--count " + std::to_string(1 + kThreads * kEach));
  ASSERT_TRUE(capture.WaitUntilListening());
  RunClient("threads " + std::to_string(kThreads) + " " + std::to_string(kEach) + " T");
  ASSERT_EQ(capture.Wait(30000), 0u);
  const std::string output = capture.Output();
  ASSERT_EQ(output.compare(0, kBannerShown.size(), kBannerShown), 0);
  std::map<int, int> next;  // thread -> its next number: each thread's messages in order, none lost
  std::size_t start = kBannerShown.size();
  for (std::size_t end; (end = output.find("\r\n", start)) != std::string::npos; start = end + 2) {
    int thread = -1, number = -1;
    ASSERT_EQ(std::sscanf(output.c_str() + start, "T %d %d", &thread, &number), 2) << output.substr(start, 40);
    ASSERT_EQ(number, next[thread]) << "thread " << thread;
    ++next[thread];
  }
  EXPECT_EQ(start, output.size());
  for (int thread = 0; thread < kThreads; ++thread) EXPECT_EQ(next[thread], kEach) << thread;
}

TEST(CaptureEndToEnd, JsonLinesReadBackToWhatWasSent) {
  ScratchDir dir;
  constexpr int kCount = 25;
  const std::vector<std::string> hard = {
      "say \"hi\"\n", "C:\\dir\\file.txt", "tab\there\r\n", std::string("\x01\x02\x1F\x7F", 4), "", "CR\ronly",
      "/slash/ {brace} [bracket] ,:",
  };
  const std::string earliest = UtcNow();
  CaptureProcess capture(dir, "--json -o out.json --count " + std::to_string(1 + kCount + hard.size()));
  ASSERT_TRUE(capture.WaitUntilListening());
  RunClient("lines " + std::to_string(kCount) + " json");
  for (const std::string& text : hard) ASSERT_TRUE(SendToMonitor(text));
  ASSERT_EQ(capture.Wait(20000), 0u);
  const std::string latest = UtcNow();

  const std::vector<JsonLine> lines = ReadJsonLines(ReadWholeFile(dir.File("out.json")));
  ASSERT_EQ(lines.size(), 1 + kCount + hard.size());
  std::vector<std::string> expected = {kBanner};
  for (int i = 0; i < kCount; ++i) expected.push_back("json " + std::to_string(i) + "\n");
  expected.insert(expected.end(), hard.begin(), hard.end());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ExpectShape(lines[i], "tellit", earliest, latest, i <= kCount);  // then the datagrams of no sender
    EXPECT_EQ(Text(lines[i]), expected[i]) << "line " << i;
    if (i > 0) {
      EXPECT_LE(lines[i - 1].strings.at("time"), lines[i].strings.at("time"));
    }
  }
}

// A client whose long write failed: the JSON form has a record of the lost message before the
// client's next datagram, and its messages their sender's process, thread, count and time; the
// text form with --senders names the sender and tells the loss as the monitor does.
TEST(CaptureEndToEnd, ALostWriteIsARecordAndEveryMessageNamesItsSender) {
  ScratchDir dir;
  const std::string earliest = UtcNow();
  CaptureProcess json(dir, "--json -o out.json --count 4", 0, "json");
  ASSERT_TRUE(json.WaitUntilListening());
  ChildProcess client = Client("lose");
  ASSERT_TRUE(client.started());
  ASSERT_EQ(client.Wait(60000), 0u);
  ASSERT_EQ(json.Wait(20000), 0u);
  const std::string latest = UtcNow();
  const std::vector<JsonLine> lines = ReadJsonLines(ReadWholeFile(dir.File("out.json")));
  ASSERT_EQ(lines.size(), 5u);
  auto number = [](const JsonLine& line, const char* key) {
    return line.numbers.count(key) ? line.numbers.at(key) : ~0ull;
  };
  EXPECT_EQ(lines[2].order, (std::vector<std::string>{"time", "source", "lost", "pid"}));
  EXPECT_EQ(number(lines[2], "lost"), 1u);
  const std::vector<std::string> texts = {kBanner, "before\n", "", kBanner, "after\n"};
  const std::vector<unsigned long long> sequences = {0, 1, 0, 3, 4};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE("line " + std::to_string(i));
    EXPECT_EQ(number(lines[i], "pid"), client.id());
    if (i == 2) continue;
    ExpectShape(lines[i], "tellit", earliest, latest);
    EXPECT_EQ(Text(lines[i]), texts[i]);
    EXPECT_EQ(number(lines[i], "seq"), sequences[i]);
    const std::string sent = lines[i].strings.count("sent") ? lines[i].strings.at("sent") : "";
    EXPECT_TRUE(sent >= earliest && sent <= lines[i].strings.at("time")) << sent;
  }

  CaptureProcess text(dir, "--senders --count 4", 0, "text");
  ASSERT_TRUE(text.WaitUntilListening());
  ChildProcess again = Client("lose");
  ASSERT_TRUE(again.started());
  ASSERT_EQ(again.Wait(60000), 0u);
  ASSERT_EQ(text.Wait(20000), 0u);
  const std::string sender = "[" + std::to_string(again.id()) + " monitor_e2e_client.exe] ";
  EXPECT_EQ(text.Output(), sender + kBannerShown + sender + "before\r\n<< 1 messages from " + sender.substr(0, sender.size() - 1) +
                               " were lost >>\r\n" + sender + kBannerShown + sender + "after\r\n");
}

// --include and --program are alternatives, --exclude wins over both, letters match in either
// case; only what is written counts for --count.
TEST(CaptureEndToEnd, FiltersWriteWhatTheyIncludeLessWhatTheyExclude) {
  ScratchDir dir;
  CaptureProcess capture(dir, "--include \"keep*\" --exclude \"*drop*\" --program \"monitor_e2e_client*\" --count 6");
  ASSERT_TRUE(capture.WaitUntilListening());
  RunClient("lines 3 other");  // its program is included
  RunClient("lines 2 drop");   // its banner alone: the lines are excluded
  ASSERT_TRUE(SendToMonitor("plain, of no program\n"));
  ASSERT_TRUE(SendToMonitor("keep, but drop\n"));
  ASSERT_TRUE(SendToMonitor("we KEEP this\n"));
  ASSERT_EQ(capture.Wait(20000), 0u) << capture.Errors();
  EXPECT_EQ(capture.Output(), kBannerShown + NumberedLines("other", 3, "\r\n") + kBannerShown + "we KEEP this\r\n");
  EXPECT_EQ(capture.Errors(), "");
}

// A text rule judges what the program sent, not the sender prefix --senders puts before it: the
// rule on the program's name keeps only the message that says it, as in the monitor.
TEST(CaptureEndToEnd, ATextRuleSeesTheSentTextNotTheSender) {
  ScratchDir dir;
  CaptureProcess capture(dir, "--senders --include e2e_client --count 3");  // the banners count
  ASSERT_TRUE(capture.WaitUntilListening());
  ChildProcess client = Client("lines 1 silent");
  ASSERT_TRUE(client.started());
  ASSERT_EQ(client.Wait(30000), 0u);
  ChildProcess second = Client("lines 1 mentions_monitor_e2e_client");
  ASSERT_TRUE(second.started());
  ASSERT_EQ(second.Wait(30000), 0u);
  ASSERT_EQ(capture.Wait(20000), 0u) << capture.Errors();
  const std::string from = "[" + std::to_string(client.id()) + " monitor_e2e_client.exe] ";
  const std::string secondFrom = "[" + std::to_string(second.id()) + " monitor_e2e_client.exe] ";
  EXPECT_EQ(capture.Output(), from + "<< open TELLIT monitor >>\r\n" + secondFrom + "<< open TELLIT monitor >>\r\n" +
                                  secondFrom + "mentions_monitor_e2e_client 0\r\n");
}

// A script waits for what it needs: --until ends the capture as soon as the message it waits for
// is written, exit 0; when the time runs out first, exit 4.
TEST(CaptureEndToEnd, UntilEndsOnTheAwaitedMessageOrSaysItDidNotCome) {
  ScratchDir dir;
  CaptureProcess awaiting(dir, "--until \"*service ready*\" --seconds 30");
  ASSERT_TRUE(awaiting.WaitUntilListening());
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(SendToMonitor("starting\n"));
  ASSERT_TRUE(SendToMonitor("the service ready at port 80\n"));
  EXPECT_EQ(awaiting.Wait(20000), 0u) << awaiting.Errors();
  EXPECT_LT(GetTickCount64() - start, 20000u) << "it ends on the message, not at the time";
  EXPECT_EQ(awaiting.Output(), "starting\r\nthe service ready at port 80\r\n");

  CaptureProcess waitingInVain(dir, "--until \"never*\" --seconds 2", 0, "second");
  ASSERT_TRUE(waitingInVain.WaitUntilListening());
  ASSERT_TRUE(SendToMonitor("something else\n"));
  EXPECT_EQ(waitingInVain.Wait(20000), 4u);
  EXPECT_EQ(waitingInVain.Output(), "something else\r\n");
  EXPECT_NE(waitingInVain.Errors().find("no message matched --until \"never*\""), std::string::npos)
      << waitingInVain.Errors();
}

// The banners and the record of a lost message are written whatever the filters say.
TEST(CaptureEndToEnd, FiltersLeaveTheBannersAndLossRecordsAlone) {
  ScratchDir dir;
  CaptureProcess capture(dir, "--include after --exclude *TELLIT* --exclude *lost* --count 3");
  ASSERT_TRUE(capture.WaitUntilListening());
  ChildProcess client = Client("lose");  // a banner, "before", a failed write, a banner, "after"
  ASSERT_TRUE(client.started());
  ASSERT_EQ(client.Wait(60000), 0u);
  ASSERT_EQ(capture.Wait(20000), 0u) << capture.Errors();
  EXPECT_EQ(capture.Output(), kBannerShown + "<< 1 messages from [" + std::to_string(client.id()) +
                                  " monitor_e2e_client.exe] were lost >>\r\n" + kBannerShown + "after\r\n");
}

TEST(CaptureEndToEnd, JapaneseTextBecomesUtf8AndInvalidBytesU_FFFD) {
  ASSERT_EQ(GetACP(), 932u) << "this test runs under a Japanese locale";
  ScratchDir dir;
  CaptureProcess capture(dir, "--json -o out.json --count 4");
  ASSERT_TRUE(capture.WaitUntilListening());
  RunClient("japanese");
  ASSERT_TRUE(SendToMonitor("\x95\x5C\"\\"));      // 表, whose trail byte is 0x5C, then " and backslash
  ASSERT_TRUE(SendToMonitor("cut \x95"));          // a lead byte without its trail byte
  ASSERT_EQ(capture.Wait(20000), 0u);
  const std::vector<JsonLine> lines = ReadJsonLines(ReadWholeFile(dir.File("out.json")));
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(Text(lines[0]), kBanner);
  EXPECT_EQ(Text(lines[1]), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n");
  EXPECT_EQ(Text(lines[2]), "\xE8\xA1\xA8\"\\");
  EXPECT_EQ(Text(lines[3]), "cut \xEF\xBF\xBD");
}

TEST(CaptureEndToEnd, JapaneseTextIsUtf8InTextForm) {
  ASSERT_EQ(GetACP(), 932u) << "this test runs under a Japanese locale";
  ScratchDir dir;
  CaptureProcess capture(dir, "--count 2");
  ASSERT_TRUE(capture.WaitUntilListening());
  RunClient("japanese");
  ASSERT_EQ(capture.Wait(20000), 0u);
  EXPECT_EQ(capture.Output(), kBannerShown + "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n");
}

// The line no ANSI code page holds, through tellitwf and tellitu8f: every character in the JSON
// records and in the text form, as the system converts it to UTF-8 (runs on code pages 1252 and 932).
TEST(CaptureEndToEnd, EveryCharacterOfTheLineInJsonAndInText) {
  const std::string utf8 = InCodePage(CP_UTF8, kUnicodeLine);
  ScratchDir dir;
  {
    CaptureProcess capture(dir, "--json -o out.json --count 3");
    ASSERT_TRUE(capture.WaitUntilListening());
    RunClient("unicode");
    ASSERT_EQ(capture.Wait(20000), 0u);
    const std::vector<JsonLine> lines = ReadJsonLines(ReadWholeFile(dir.File("out.json")));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Text(lines[1]), utf8) << "tellitwf";
    EXPECT_EQ(Text(lines[2]), utf8) << "tellitu8f";
  }
  CaptureProcess capture(dir, "-o out.txt --count 3", 0, "text");
  ASSERT_TRUE(capture.WaitUntilListening());
  RunClient("unicode");
  ASSERT_EQ(capture.Wait(20000), 0u);
  const std::string line = utf8.substr(0, utf8.size() - 1) + "\r\n";
  EXPECT_EQ(ReadWholeFile(dir.File("out.txt")), kBannerShown + line + line);
}

TEST(CaptureEndToEnd, CountStopsAfterThatManyMessagesTheBannerIncluded) {
  ScratchDir dir;
  CaptureProcess capture(dir, "-o out.txt --count 5");
  ASSERT_TRUE(capture.WaitUntilListening());
  ChildProcess client = Client("lines 200 many");
  ASSERT_EQ(capture.Wait(20000), 0u);
  EXPECT_EQ(ReadWholeFile(dir.File("out.txt")), kBannerShown + NumberedLines("many", 4, "\r\n"));
  EXPECT_EQ(client.Wait(60000), 0u) << "the client is never disturbed";
}

TEST(CaptureEndToEnd, SecondsStopsAfterThatLongWithEverythingThatArrived) {
  ScratchDir dir;
  const DWORD start = GetTickCount();
  CaptureProcess capture(dir, "-o out.txt --seconds 2.5");
  ASSERT_TRUE(capture.WaitUntilListening());
  RunClient("lines 30 timed");
  EXPECT_EQ(capture.Wait(15000), 0u);
  const DWORD took = GetTickCount() - start;
  EXPECT_GE(took, 2500u);
  EXPECT_EQ(ReadWholeFile(dir.File("out.txt")), kBannerShown + NumberedLines("timed", 30, "\r\n"));
  EXPECT_FALSE(MailslotExists()) << "the channel is closed at the end";
}

TEST(CaptureEndToEnd, ASecondCaptureIsRefusedWithStatus2AndOneLine) {
  ScratchDir dir;
  CaptureProcess first(dir, "-o first.txt --count 2", 0, "first");
  ASSERT_TRUE(first.WaitUntilListening());
  CaptureProcess second(dir, "-o second.txt", 0, "second");
  ASSERT_EQ(second.Wait(10000), 2u);
  const std::string errors = second.Errors();
  EXPECT_NE(errors.find("another monitor owns the mailslot"), std::string::npos) << errors;
  EXPECT_EQ(errors.find('\n'), errors.size() - 1) << "one line: " << errors;
  EXPECT_EQ(second.Output(), "");
  EXPECT_FALSE(FileExists(dir.File("second.txt"))) << "a refused capture creates no file";

  ASSERT_TRUE(SendToMonitor("still the first's\n"));
  ASSERT_TRUE(SendToMonitor("and again\n"));
  EXPECT_EQ(first.Wait(10000), 0u);
  EXPECT_EQ(ReadWholeFile(dir.File("first.txt")), "still the first's\r\nand again\r\n");
}

TEST(CaptureEndToEnd, ARunningMonitorMakesTheCaptureRefuse) {
  ScratchDir dir;
  MonitorProcess monitor(dir.path(), "[system]\r\nlanguage=0\r\n");
  ASSERT_TRUE(monitor.WaitForWindow());
  CaptureProcess capture(dir, "-o out.txt");
  EXPECT_EQ(capture.Wait(10000), 2u);
  EXPECT_NE(capture.Errors().find("another monitor owns the mailslot"), std::string::npos) << capture.Errors();
  EXPECT_EQ(monitor.Exit(), 0u);
}

TEST(CaptureEndToEnd, DebugOutputArrivesWithItsProcessAsTextAndAsJson) {
  constexpr int kCount = 20;
  for (const bool json : {false, true}) {
    ScratchDir dir;
    const std::string earliest = UtcNow();
    CaptureProcess capture(dir, std::string(json ? "--json " : "") + "--debug-output -o out --count " +
                                    std::to_string(kCount + 1 + 1));
    ASSERT_TRUE(capture.WaitUntilListening());
    ChildProcess client = Client("debug " + std::to_string(kCount) + " dbg");
    ASSERT_TRUE(client.started());
    const std::string pid = std::to_string(client.id());
    ASSERT_EQ(client.Wait(60000), 0u);
    // The two sources are read apart: only debug lines already written fix their order before the
    // mailslot's message.
    ASSERT_TRUE(WaitUntil(
        [&] {
          const std::string sofar = ReadWholeFile(dir.File("out"));
          return std::count(sofar.begin(), sofar.end(), '\n') >= kCount;
        },
        20000));
    RunClient("text tellit-too");  // the banner and one message through the mailslot
    ASSERT_EQ(capture.Wait(20000), 0u);
    const std::string written = ReadWholeFile(dir.File("out"));
    if (!json) {
      EXPECT_EQ(written, NumberedLines("[" + pid + " monitor_e2e_client.exe] dbg", kCount, "\r\n") + kBannerShown +
                             "tellit-too");
      continue;
    }
    const std::vector<JsonLine> lines = ReadJsonLines(written);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kCount + 2));
    for (int i = 0; i < kCount; ++i) {
      ExpectShape(lines[i], "debug", earliest, UtcNow());
      EXPECT_EQ(lines[i].numbers.count("pid") ? std::to_string(lines[i].numbers.at("pid")) : "", pid);
      EXPECT_EQ(Text(lines[i]), "dbg " + std::to_string(i) + "\n");
    }
    EXPECT_EQ(Text(lines[kCount]), kBanner);
    EXPECT_EQ(Text(lines[kCount + 1]), "tellit-too");
  }
}

TEST(CaptureEndToEnd, AnotherDebugListenerMakesTheCaptureRefuseAndLeaveTheMailslot) {
  DebugOutputSource first;
  ASSERT_EQ(first.Start(), DebugOutputSource::StartResult::kStarted);
  ScratchDir dir;
  CaptureProcess refused(dir, "--debug-output -o out.txt", 0, "refused");
  EXPECT_EQ(refused.Wait(10000), 2u);
  EXPECT_NE(refused.Errors().find("another program is capturing debug output"), std::string::npos)
      << refused.Errors();
  CaptureProcess plain(dir, "--count 1", 0, "plain");
  ASSERT_TRUE(plain.WaitUntilListening()) << "the refused capture released the mailslot";
  ASSERT_TRUE(SendToMonitor("after"));
  EXPECT_EQ(plain.Wait(10000), 0u);
  EXPECT_EQ(plain.Output(), "after");
}

TEST(CaptureEndToEnd, BadArgumentsExit1WithUsageAndHelpExits0) {
  ScratchDir dir;
  CaptureProcess bad(dir, "--count many", 0, "bad");
  EXPECT_EQ(bad.Wait(10000), 1u);
  const std::string errors = bad.Errors();
  EXPECT_EQ(errors.compare(0, 20, "tellitcap: --count n"), 0) << errors;
  EXPECT_NE(errors.find("usage: tellitcap"), std::string::npos) << errors;
  EXPECT_EQ(bad.Output(), "");

  CaptureProcess help(dir, "--help", 0, "help");
  EXPECT_EQ(help.Wait(10000), 0u);
  EXPECT_EQ(help.Output().compare(0, 16, "usage: tellitcap"), 0) << help.Output();
  EXPECT_EQ(help.Errors(), "");
  EXPECT_FALSE(MailslotExists()) << "neither took the channel";
}

TEST(CaptureEndToEnd, AnOutputThatCannotBeOpenedExits3AndFreesTheChannel) {
  ScratchDir dir;
  CaptureProcess failed(dir, "-o no-such-folder\\out.txt", 0, "failed");
  EXPECT_EQ(failed.Wait(10000), 3u);
  EXPECT_NE(failed.Errors().find("no-such-folder\\out.txt could not be opened"), std::string::npos)
      << failed.Errors();
  EXPECT_FALSE(MailslotExists());
}

// Console control events reach the processes attached to the sender's console: the driver makes
// a console of its own and tellitcap inherits it. Under Wine a process started by ctest is
// attached to no real console, and GenerateConsoleCtrlEvent fails there (ERROR_INVALID_ACCESS)
// until it has left that one and allocated another. Wine (8.0) cannot generate Ctrl+Break at all
// (ERROR_INVALID_HANDLE, for a process group and for the whole console alike): the handler takes
// both events on one path, and Ctrl+C covers it here.
TEST(CaptureEndToEnd, CtrlCStopsTheCaptureInOrder) {
  FreeConsole();
  ASSERT_TRUE(AllocConsole()) << GetLastError();
  ScratchDir dir;
  CaptureProcess capture(dir, "-o out.txt");
  const bool listening = capture.WaitUntilListening();
  if (listening) RunClient("lines 50 before");
  // Written once the burst has ended: wait for it, then stop.
  const std::string expected = kBannerShown + NumberedLines("before", 50, "\r\n");
  const bool written = listening && WaitUntil([&] { return ReadWholeFile(dir.File("out.txt")) == expected; }, 10000);
  // The event goes to every process of the console: the driver ignores it for itself (only
  // now, as a child started while its parent ignores Ctrl+C cannot take it back under Wine).
  SetConsoleCtrlHandler(nullptr, TRUE);
  const BOOL generated = written && GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  const DWORD error = GetLastError();
  const DWORD status = capture.Wait(10000);
  SetConsoleCtrlHandler(nullptr, FALSE);
  FreeConsole();
  ASSERT_TRUE(listening);
  ASSERT_TRUE(written) << ReadWholeFile(dir.File("out.txt"));
  ASSERT_TRUE(generated) << error;
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(ReadWholeFile(dir.File("out.txt")), expected);
  EXPECT_FALSE(MailslotExists());
}

}  // namespace

namespace {

// The files of a rotated output, oldest first: name.K ... name.1, then name itself.
std::vector<std::string> RotatedFiles(const ScratchDir& dir, const std::string& stem, const std::string& extension,
                                      int keep) {
  std::vector<std::string> files;
  for (int index = keep; index >= 1; --index) {
    files.push_back(ReadWholeFile(dir.File(stem + "." + std::to_string(index) + extension)));
  }
  files.push_back(ReadWholeFile(dir.File(stem + extension)));
  return files;
}

// The lines of `text` with their line feeds.
std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end + 1 - start));
  }
  if (start != text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Each file is full: none past the limit, and the first line of the next would have taken it
// past; together they are the end of what was written, whole lines, in order.
void ExpectRotated(const std::vector<std::string>& files, const std::vector<std::string>& written,
                   std::size_t limit) {
  std::string all;
  for (const std::string& line : written) all += line;
  std::string joined;
  for (std::size_t i = 0; i < files.size(); ++i) {
    EXPECT_LE(files[i].size(), limit) << "file " << i;
    EXPECT_FALSE(files[i].empty()) << "file " << i;
    if (i + 1 < files.size() && !files[i + 1].empty()) {
      EXPECT_GT(files[i].size() + LinesOf(files[i + 1])[0].size(), limit) << "file " << i << " was not full";
    }
    joined += files[i];
  }
  ASSERT_LE(joined.size(), all.size());
  EXPECT_EQ(all.substr(all.size() - joined.size()), joined);
  // The oldest kept file starts at a line of what was written.
  std::size_t offset = 0;
  bool atLine = joined.size() == all.size();
  for (const std::string& line : written) {
    offset += line.size();
    if (offset == all.size() - joined.size()) atLine = true;
  }
  EXPECT_TRUE(atLine) << "a message was split";
}

}  // namespace

TEST(CaptureEndToEnd, MaxSizeRotatesTheTextAndTheJsonFormsKeepingTheNewestFiles) {
  ScratchDir dir;
  constexpr int kCount = 40;
  constexpr std::size_t kLimit = 100;
  WriteWholeFile(dir.File("run.9.log"), "past keep");
  CaptureProcess text(dir, "-o run.log --max-size 100 --keep 2 --count " + std::to_string(kCount + 1), 0, "text");
  ASSERT_TRUE(text.WaitUntilListening());
  RunClient("lines " + std::to_string(kCount) + " num");
  ASSERT_EQ(text.Wait(20000), 0u) << text.Errors();
  EXPECT_EQ(text.Errors(), "");
  std::vector<std::string> written = {kBannerShown};
  for (const std::string& line : LinesOf(NumberedLines("num", kCount, "\r\n"))) written.push_back(line);
  // 337 bytes in files of at most 100: four files were made, the oldest went.
  ExpectRotated(RotatedFiles(dir, "run", ".log", 2), written, kLimit);
  EXPECT_FALSE(FileExists(dir.File("run.3.log")));
  EXPECT_EQ(ReadWholeFile(dir.File("run.9.log")), "past keep");

  CaptureProcess json(dir, "--json -o run.json --max-size 1K --keep 3 --count " + std::to_string(kCount + 1), 0,
                      "json");
  ASSERT_TRUE(json.WaitUntilListening());
  RunClient("lines " + std::to_string(kCount) + " json");
  ASSERT_EQ(json.Wait(20000), 0u) << json.Errors();
  const std::vector<std::string> files = RotatedFiles(dir, "run", ".json", 3);
  std::vector<std::string> texts;
  std::vector<std::string> lines;
  for (const std::string& file : files) {
    EXPECT_LE(file.size(), 1024u);
    for (const JsonLine& line : ReadJsonLines(file)) texts.push_back(Text(line));
    for (const std::string& line : LinesOf(file)) lines.push_back(line);
  }
  // Some 40 lines of about 110 bytes: the oldest ones went with the fourth older file.
  ASSERT_GT(texts.size(), 20u);
  ASSERT_LT(texts.size(), static_cast<std::size_t>(kCount));
  const std::size_t first = kCount - texts.size();
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i], "json " + std::to_string(first + i) + "\n");
  ExpectRotated(files, lines, 1024);
}

TEST(CaptureEndToEnd, AnOversizeMessageGoesAloneAndAFileHeldOpenIsToldAndWrittenOn) {
  ScratchDir dir;
  CaptureProcess capture(dir, "-o big.log --max-size 64 --keep 2 --count 4");
  ASSERT_TRUE(capture.WaitUntilListening());
  ASSERT_TRUE(SendToMonitor("first\n"));
  const std::string oversize = std::string(198, 'x') + "\n";
  ASSERT_TRUE(SendToMonitor(oversize));
  const std::string oversizeShown = std::string(198, 'x') + "\r\n";
  ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(dir.File("big.log")) == oversizeShown; }, 10000))
      << ReadWholeFile(dir.File("big.log"));
  EXPECT_EQ(ReadWholeFile(dir.File("big.1.log")), "first\r\n");
  {
    // A viewer that does not share deletion: the file cannot be renamed while it is open.
    scoped::Handle viewer(CreateFileA(dir.File("big.log").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(viewer);
    ASSERT_TRUE(SendToMonitor("held\n"));
    ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(dir.File("big.log")) == oversizeShown + "held\r\n"; }, 10000))
        << ReadWholeFile(dir.File("big.log"));
  }
  ASSERT_TRUE(SendToMonitor("last\n"));
  ASSERT_EQ(capture.Wait(20000), 0u);
  // Nothing lost: the older file moved up before the rename that failed, the rest in the file
  // that could not be renamed.
  EXPECT_EQ(ReadWholeFile(dir.File("big.2.log")), "first\r\n");
  EXPECT_FALSE(FileExists(dir.File("big.1.log")));
  EXPECT_EQ(ReadWholeFile(dir.File("big.log")), oversizeShown + "held\r\nlast\r\n");
  EXPECT_NE(capture.Errors().find("big.log could not be renamed to "), std::string::npos) << capture.Errors();
  EXPECT_NE(capture.Errors().find("writing goes on in the current file"), std::string::npos) << capture.Errors();
}

TEST(CaptureEndToEnd, GlobalDebugOutputArrivesMarkedWithItsProcessBesideTheSessions) {
  constexpr int kCount = 5;
  ScratchDir dir;
  const std::string earliest = UtcNow();
  // The service's lines, one of this session's, the banner and one message through the mailslot.
  CaptureProcess capture(dir, "--json --debug-output-global -o out --count " + std::to_string(kCount + 3));
  ASSERT_TRUE(capture.WaitUntilListening());
  ChildProcess service = Client("global " + std::to_string(kCount) + " svc");
  ASSERT_TRUE(service.started());
  const std::string pid = std::to_string(service.id());
  ASSERT_EQ(service.Wait(60000), 0u) << "the global objects were there to write through";
  RunClient("debug 1 session");
  // The sources are read apart: the debug lines are written before the mailslot's message.
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::string sofar = ReadWholeFile(dir.File("out"));
        return std::count(sofar.begin(), sofar.end(), '\n') >= kCount + 1;
      },
      20000));
  RunClient("text tellit-too");
  ASSERT_EQ(capture.Wait(20000), 0u) << capture.Errors();
  EXPECT_EQ(capture.Errors(), "");
  const std::vector<JsonLine> lines = ReadJsonLines(ReadWholeFile(dir.File("out")));
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kCount + 3));
  for (int i = 0; i < kCount; ++i) {
    ExpectShape(lines[i], "debug-output-global", earliest, UtcNow());
    EXPECT_EQ(lines[i].numbers.count("pid") ? std::to_string(lines[i].numbers.at("pid")) : "", pid);
    EXPECT_EQ(Text(lines[i]), "svc " + std::to_string(i) + "\n");
  }
  ExpectShape(lines[kCount], "debug", earliest, UtcNow());
  EXPECT_EQ(Text(lines[kCount]), "session 0\n");
  EXPECT_EQ(Text(lines[kCount + 2]), "tellit-too");
}

TEST(CaptureEndToEnd, WithoutTheRightToCreateGlobalObjectsItSaysSoOnceAndCapturesTheSessions) {
  const scoped::Handle denied = HoldGlobalDebugObjectDenied();
  ASSERT_TRUE(denied) << "the denied global object could not be made";
  ScratchDir dir;
  CaptureProcess capture(dir, "--debug-output-global -o out --count 3");
  ASSERT_TRUE(capture.WaitUntilListening());
  ChildProcess session = Client("debug 1 session");
  ASSERT_TRUE(session.started());
  const std::string pid = std::to_string(session.id());
  ASSERT_EQ(session.Wait(60000), 0u);
  ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(dir.File("out")).find("session 0") != std::string::npos; }, 10000));
  RunClient("text tellit-too");  // its banner and message end the count
  ASSERT_EQ(capture.Wait(20000), 0u) << capture.Errors();
  const std::string errors = capture.Errors();
  EXPECT_NE(errors.find("the global debug output (services) is not captured: creating Global\\DBWIN_BUFFER needs "
                        "the right to create global objects"),
            std::string::npos)
      << errors;
  EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << "said once: " << errors;
  EXPECT_EQ(ReadWholeFile(dir.File("out")),
            "[" + pid + " monitor_e2e_client.exe] session 0\r\n" + kBannerShown + "tellit-too");
}

// The file is written through a buffer: while messages flow without a pause, each is in the file
// a flush period after it came (50 ms, plus this test's polling), not only at a stop; a kill then
// loses nothing that was due.
TEST(CaptureEndToEnd, WhileMessagesFlowEachIsInTheFileSoonAfterAndAKillKeepsWhatWasWritten) {
  ScratchDir dir;
  const std::string out = dir.File("out");
  CaptureProcess capture(dir, "-o out");
  ASSERT_TRUE(capture.WaitUntilListening());
  std::vector<DWORD> lags;
  {
    ChildProcess flow = Client("lines 10000000 flow");
    ASSERT_TRUE(flow.started());
    ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(out).find("flow 100\r\n") != std::string::npos; }, 10000));
    for (int i = 0; i < 5; ++i) {
      const std::string marker = "marker " + std::to_string(i) + "\r\n";
      ASSERT_TRUE(SendToMonitor("marker " + std::to_string(i) + "\n"));
      const DWORD sent = GetTickCount();
      ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(out).find(marker) != std::string::npos; }, 5000)) << marker;
      lags.push_back(GetTickCount() - sent);
    }
    EXPECT_EQ(flow.Wait(0), static_cast<DWORD>(STILL_ACTIVE)) << "the flow went on all the while";
  }  // the flow ends here: under Wine a client's handle would keep the mailslot alive
  std::printf("from the send to the file amid the flow: %lu %lu %lu %lu %lu ms\n", lags[0], lags[1], lags[2], lags[3],
              lags[4]);
  std::vector<DWORD> sorted = lags;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_LT(sorted[2], 500u) << "the median, with the polling's 20 ms and a busy machine's slack";
  const scoped::Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, capture.id()));
  ASSERT_TRUE(process);
  ASSERT_TRUE(TerminateProcess(process.get(), 9));
  ASSERT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
  const std::string kept = ReadWholeFile(out);
  EXPECT_NE(kept.find("marker 4\r\n"), std::string::npos);
  EXPECT_EQ(kept.find("flow 0\r\n"), kBannerShown.size()) << "the flow's first lines after its banner";
}
