// Who sent each message, seen in vigilo.exe: the sender before every message of many processes and
// threads, a lost write told once, foreign datagrams shown as ever, and the sender's own time.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "channel/sender_trailer.h"
#include "resource_ids.h"
#include "support/monitor_fixture.h"

namespace {

const std::string kEnglish = "[system]\r\nlanguage=0\r\n";

std::string Client(const std::string& arguments) {
  return "\"" + BinDirectory() + "\\monitor_e2e_client.exe\" " + arguments;
}

class SendersEndToEnd : public MonitorFixture {};

// Three processes of four threads each: every line names the process that sent it and its
// program, and each thread's messages come in their order.
TEST_F(SendersEndToEnd, EveryLineNamesItsProcessAndProgram) {
  Start(kEnglish + "show senders=1\r\n[console]\r\nbuffer size=1024\r\n");
  constexpr int kThreads = 4, kCount = 500;
  std::map<std::string, DWORD> pidOf;
  std::vector<ChildProcess> clients;
  for (const char* tag : {"P", "Q", "R"}) {
    clients.emplace_back(Client("threads 4 " + std::to_string(kCount) + " " + tag), "");
    ASSERT_TRUE(clients.back().started());
    pidOf[tag] = clients.back().id();
  }
  for (ChildProcess& process : clients) EXPECT_EQ(process.Wait(120000), 0u);

  std::vector<std::string> lines;
  ASSERT_TRUE(WaitUntil(
      [&] {
        lines = Lines(monitor().ConsoleText());
        return lines.size() >= 3 * (kThreads * kCount + 1);
      },
      30000))
      << lines.size() << " lines";
  std::map<std::string, int> next;
  int banners = 0;
  for (const std::string& line : lines) {
    if (line.empty()) continue;
    unsigned pid = 0;
    char program[64] = {}, tag[4] = {};
    int t = -1, i = -1, used = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "[%u %63[^]]] %n", &pid, program, &used), 2) << "no sender: " << line;
    EXPECT_STREQ(program, "monitor_e2e_client.exe") << line;
    const std::string text = line.substr(static_cast<size_t>(used));
    if (text == "<< open TELLIT monitor >>") {
      ++banners;
      continue;
    }
    ASSERT_EQ(std::sscanf(text.c_str(), "%3s %d %d", tag, &t, &i), 3) << line;
    EXPECT_EQ(pid, pidOf[tag]) << "a line of " << tag << " names another process: " << line;
    const std::string writer = std::string(tag) + " " + std::to_string(t);
    ASSERT_EQ(i, next[writer]) << writer << " lost, repeated or reordered a message";
    next[writer] = i + 1;
  }
  EXPECT_EQ(banners, 3);
  ASSERT_EQ(next.size(), 3u * kThreads);
  for (const auto& [writer, count] : next) EXPECT_EQ(count, kCount) << writer;
}

// The history is drawn as the View switches stand: the senders and the stamps come and go for
// every line received before the switch, in their order, around the same text.
TEST_F(SendersEndToEnd, TheViewSwitchesRestyleEveryEarlierLine) {
  Start(kEnglish);
  ChildProcess client(Client("lines 50 A"), "");
  ASSERT_TRUE(client.started());
  EXPECT_EQ(client.Wait(30000), 0u);
  ASSERT_TRUE(monitor().WaitForConsoleEnding("A 49\r\n"));
  const std::vector<std::string> plain = Lines(monitor().ConsoleText());
  ASSERT_EQ(plain.size(), 51u) << "the banner and 50 lines";
  EXPECT_EQ(plain[1], "A 0");

  monitor().Command(ID_VIEW_SENDERS);
  const std::string prefix = "[" + std::to_string(client.id()) + " monitor_e2e_client.exe] ";
  const std::vector<std::string> named = Lines(monitor().ConsoleText());
  ASSERT_EQ(named.size(), plain.size());
  for (size_t i = 0; i < plain.size(); ++i) EXPECT_EQ(named[i], prefix + plain[i]);

  monitor().Command(ID_VIEW_SENDERS);
  EXPECT_EQ(Lines(monitor().ConsoleText()), plain) << "off again: no line names its sender";

  monitor().Command(ID_VIEW_TIME_STAMPS);
  const std::regex stamp("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\\.[0-9]{3} ");
  const std::vector<std::string> stamped = Lines(monitor().ConsoleText());
  ASSERT_EQ(stamped.size(), plain.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    EXPECT_TRUE(std::regex_match(stamped[i].substr(0, 13), stamp)) << stamped[i];
    EXPECT_EQ(stamped[i].substr(13), plain[i]);
  }
}

// A write that failed leaves a gap in the process's count: the monitor says so once, before that
// process's next datagram (the banner of its new connection), whether senders are shown or not.
TEST_F(SendersEndToEnd, AFailedWriteIsToldOnceBeforeTheSendersNextMessage) {
  Start(kEnglish);
  ChildProcess client(Client("lose"), "");
  ASSERT_TRUE(client.started());
  EXPECT_EQ(client.Wait(30000), 0u) << "the long message's write must fail (Wine refuses it)";
  const std::string loss =
      "<< 1 messages from [" + std::to_string(client.id()) + " monitor_e2e_client.exe] were lost >>";
  std::vector<std::string> lines;
  ASSERT_TRUE(WaitUntil([&] { return monitor().ConsoleText().find("after") != std::string::npos; }, 10000));
  lines = Lines(monitor().ConsoleText());
  const std::vector<std::string> expected = {"<< open TELLIT monitor >>", "before", loss,
                                             "<< open TELLIT monitor >>", "after"};
  EXPECT_EQ(lines, expected);
}

// Datagrams of other writers: without a trailer, or with a tail that only looks like one, they show
// as their text alone; a well-formed trailer names its process even when it runs no more.
TEST_F(SendersEndToEnd, ForeignDatagramsShowAsEverAndOnlyAWholeTrailerNamesASender) {
  Start(kEnglish + "show senders=1\r\n");
  channel::SenderTrailer trailer;
  trailer.processId = 999999;  // no such process: its program cannot be named
  trailer.sentTime = 0;
  std::string whole(channel::kTrailerBytes, '\0');
  channel::EncodeTrailer(trailer, reinterpret_cast<uint8_t*>(&whole[0]));
  std::string wrongMagic = whole;
  wrongMagic[0] = 'X';
  const std::string nul(1, '\0');
  const std::vector<std::string> datagrams = {
      "plain\n" + nul,
      "random tail\n" + nul + "\x13\x99garbage bytes of 24 ok",
      "wrong magic\n" + nul + wrongMagic,
      "short tail\n" + nul + whole.substr(1),
      "named\n" + nul + whole,
  };
  for (const std::string& datagram : datagrams) ASSERT_TRUE(SendDatagramToMonitor(datagram));
  std::vector<std::string> lines;
  ASSERT_TRUE(WaitUntil(
      [&] {
        lines = Lines(monitor().ConsoleText());
        return lines.size() >= 5;
      },
      10000));
  ASSERT_GE(lines.size(), 5u);
  EXPECT_EQ(lines[0], "plain");
  EXPECT_EQ(lines[1], "random tail");
  EXPECT_EQ(lines[2], "wrong magic");
  EXPECT_EQ(lines[3], "short tail");
  EXPECT_EQ(lines[4], "[999999] named");
}

// With time stamps on, a message that carries its sender's time is stamped with that time (local),
// not with its arrival.
TEST_F(SendersEndToEnd, TimeStampsShowTheSendersTime) {
  Start(kEnglish + "time stamps=1\r\n");
  SYSTEMTIME local = {};
  GetLocalTime(&local);
  local.wHour = 1;
  local.wMinute = 2;
  local.wSecond = 3;
  local.wMilliseconds = 456;
  SYSTEMTIME utc = {};
  ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
  FILETIME sent = {};
  ASSERT_TRUE(SystemTimeToFileTime(&utc, &sent));
  channel::SenderTrailer trailer;
  trailer.processId = GetCurrentProcessId();
  trailer.sentTime = static_cast<uint64_t>(sent.dwHighDateTime) << 32 | sent.dwLowDateTime;
  std::string datagram = std::string("stamped\n", 9) + std::string(channel::kTrailerBytes, '\0');
  channel::EncodeTrailer(trailer, reinterpret_cast<uint8_t*>(&datagram[9]));
  ASSERT_TRUE(SendDatagramToMonitor(datagram));
  ASSERT_TRUE(SendToMonitor("arrived\n"));
  std::vector<std::string> lines;
  ASSERT_TRUE(WaitUntil(
      [&] {
        lines = Lines(monitor().ConsoleText());
        return lines.size() >= 2;
      },
      10000));
  EXPECT_EQ(lines[0], "01:02:03.456 stamped");
  EXPECT_EQ(lines[1].substr(12), " arrived") << "no sender's time: the time of arrival";
  EXPECT_NE(lines[1].substr(0, 12), "01:02:03.456");
}

// Long messages keep their lines and their sender: the one the client cut after its overflow
// notice ends its line, the whole datagrams above 64 KiB are read whole, and no loss is told.
TEST_F(SendersEndToEnd, LongMessagesStayOnLinesOfTheirOwnWithTheirSender) {
  Start(kEnglish + "show senders=1\r\n[console]\r\nbuffer size=2048\r\n");
  ChildProcess client(Client("long-lines"), "");
  ASSERT_TRUE(client.started());
  EXPECT_EQ(client.Wait(30000), 0u);
  std::vector<std::string> lines;
  ASSERT_TRUE(WaitUntil([&] { return monitor().ConsoleText().find("] last") != std::string::npos; }, 20000));
  lines = Lines(monitor().ConsoleText());
  const std::string sender = "[" + std::to_string(client.id()) + " monitor_e2e_client.exe] ";
  // The console wraps at its column: a long message is the run of rows up to its line end.
  std::vector<std::string> messages;
  for (const std::string& line : lines) {
    if (line.rfind(sender, 0) == 0 || messages.empty()) {
      messages.push_back(line);
    } else {
      messages.back() += line;
    }
  }
  std::string seen;  // each message's length, start and end
  for (const std::string& m : messages) seen += std::to_string(m.size()) + ": " + m.substr(0, 40) + " ... " + m.substr(m.size() - 10) + "\n";
  ASSERT_EQ(messages.size(), 7u) << seen;
  EXPECT_EQ(messages[0], sender + "<< open TELLIT monitor >>");
  EXPECT_EQ(messages[1], sender + "first");
  EXPECT_EQ(messages[2], sender + "tellitf() string buffer overflow !!");
  EXPECT_EQ(messages[3].substr(0, sender.size()), sender);
  EXPECT_EQ(messages[3].find_first_not_of('a', sender.size()), std::string::npos) << "the cut argument alone";
  EXPECT_GT(messages[3].size(), sender.size() + 1000);
  EXPECT_EQ(messages[4], sender + std::string(70 * 1024, 'b'));
  EXPECT_EQ(messages[5], sender + std::string(150 * 1024, 'c'));
  EXPECT_EQ(messages[6], sender + "last");
  EXPECT_EQ(monitor().ConsoleText().find("were lost"), std::string::npos);
}

}  // namespace
