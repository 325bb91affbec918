// The RFC 5424 form of a captured message, its TCP frame, the --syslog target, and the bounded
// queue with its growing retry wait, and the cut of a message too long for its transport.
#include "capture/syslog_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/send_queue.h"

namespace {

using capture::SyslogRecord;

// 2024-05-06T07:08:09.123Z as a FILETIME.
constexpr uint64_t kSent = 133594528891230000ull;
constexpr uint64_t kArrived = kSent + 4560000;  // 0.456 s later

Message Tellit(const char* text) {
  Message message;
  message.text = reinterpret_cast<const uint8_t*>(text);
  message.length = std::char_traits<char>::length(text);
  message.utf8 = message.text;  // ASCII: its own UTF-8
  message.utf8Length = message.length;
  message.hasProcessId = true;
  message.processId = 4242;
  message.program = "client.exe";
  message.hasTrailer = true;
  message.threadId = 77;
  message.sequence = 9;
  message.sentTime = kSent;
  message.arrivalTime = kArrived;
  return message;
}

TEST(SyslogFormat, MessagesOfEachKind) {
  Message debug = Tellit("from OutputDebugString\r\n");
  debug.source = MessageSource::kDebugOutput;
  debug.hasTrailer = false;
  debug.program = "my app.exe";
  Message anonymous = Tellit("no trailer\n");
  anonymous.hasTrailer = false;
  anonymous.hasProcessId = false;
  anonymous.program = "";
  Message lost = Tellit("");
  lost.kind = MessageKind::kLost;
  lost.lost = 3;
  lost.hasTrailer = false;
  Message notice = Tellit("<< a message of 9 bytes could not be read >>\n");
  notice.kind = MessageKind::kNotice;
  notice.hasTrailer = false;
  Message untimed = Tellit("trailer without a time");
  untimed.sentTime = 0;
  const struct {
    const char* what;
    Message message;
    std::string expected;
  } cases[] = {
      {"tellit with its sender", Tellit("hello world\n"),
       "<15>1 2024-05-06T07:08:09.123Z host client.exe 4242 tellit [tellit@32473 seq=\"9\" tid=\"77\"] hello world"},
      {"inner line ends stay, the last CR LF goes", Tellit("two\nlines\r\n\r\n"),
       "<15>1 2024-05-06T07:08:09.123Z host client.exe 4242 tellit [tellit@32473 seq=\"9\" tid=\"77\"] two\nlines"},
      {"an empty text has no MSG", Tellit("\n"),
       "<15>1 2024-05-06T07:08:09.123Z host client.exe 4242 tellit [tellit@32473 seq=\"9\" tid=\"77\"]"},
      {"debug output: arrival time, no data, a blank in the program", debug,
       "<15>1 2024-05-06T07:08:09.579Z host my_app.exe 4242 debug - from OutputDebugString"},
      {"no sender known", anonymous, "<15>1 2024-05-06T07:08:09.579Z host - - tellit - no trailer"},
      {"a trailer without a time: arrival time", untimed,
       "<15>1 2024-05-06T07:08:09.579Z host client.exe 4242 tellit [tellit@32473 seq=\"9\" tid=\"77\"] trailer "
       "without a time"},
      {"lost messages", lost,
       "<15>1 2024-05-06T07:08:09.579Z host client.exe 4242 tellit [tellit@32473 lost=\"3\"] << 3 messages from "
       "[4242 client.exe] were lost >>"},
      {"the receiver's notice", notice,
       "<15>1 2024-05-06T07:08:09.579Z host tellitcap - tellit - << a message of 9 bytes could not be read >>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capture::FormatSyslog(capture::SyslogRecordOf(c.message, "host")), c.expected) << c.what;
  }
}

TEST(SyslogFormat, TextIsTheMessagesUtf8TextNotItsAnsiBytes) {
  Message message = Tellit("\x93\xFA\x96\x7B\x8C\xEA\n");
  const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\n";
  message.utf8 = reinterpret_cast<const uint8_t*>(utf8.data());
  message.utf8Length = utf8.size();
  const std::string formatted = capture::FormatSyslog(capture::SyslogRecordOf(message, "h"));
  const std::string expected = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語
  ASSERT_GE(formatted.size(), expected.size());
  EXPECT_EQ(formatted.substr(formatted.size() - expected.size()), expected) << formatted;
}

TEST(SyslogFormat, HeaderFieldsStayPrintableAndWithinTheirLengths) {
  SyslogRecord record;
  record.timestamp = "2024-05-06T07:08:09.123Z";
  record.hostname = std::string(300, 'h');
  record.appName = std::string(60, 'a') + "\x01";
  record.procId = "";
  record.msgId = "tellit";
  record.parameters = {{"v", "a\"b\\c]d"}};
  record.text = "t";
  EXPECT_EQ(capture::FormatSyslog(record), "<15>1 2024-05-06T07:08:09.123Z " + std::string(255, 'h') + " " +
                                               std::string(48, 'a') + " - tellit [tellit@32473 v=\"a\\\"b\\\\c\\]d\"] t");
  record.appName = "\xE6\x97\xA5 x";
  record.hostname = "";
  EXPECT_EQ(capture::FormatSyslog(record).substr(0, 40), "<15>1 2024-05-06T07:08:09.123Z - ____x -");
}

TEST(SyslogFormat, OctetCountingFrameAndTheDroppedNotice) {
  EXPECT_EQ(capture::FrameOctetCounted("<15>1 abc"), "9 <15>1 abc");
  EXPECT_EQ(capture::FrameOctetCounted(""), "0 ");
  EXPECT_EQ(capture::FormatSyslog(capture::DroppedRecord(17, kSent, "h")),
            "<15>1 2024-05-06T07:08:09.123Z h tellitcap - tellit [tellit@32473 dropped=\"17\"] << 17 messages could "
            "not be kept while the collector was unreachable >>");
}

TEST(SyslogFormat, ALongMessageIsCutAtAWholeUtf8Character) {
  const std::string e = "\xC3\xA9";               // é, two bytes
  const std::string nichi = "\xE6\x97\xA5";       // 日, three
  const std::string smile = "\xF0\x9F\x98\x80";  // U+1F600, four
  const struct {
    const char* what;
    std::string message;
    std::size_t longest;
    std::string expected;
  } cases[] = {
      {"shorter than the limit: unchanged", "abc", 10, "abc"},
      {"exactly the limit: unchanged", "abc", 3, "abc"},
      {"ASCII is cut at the limit", "abcdef", 4, "abcd"},
      {"nothing fits", "abc", 0, ""},
      {"a two-byte character that fits", "a" + e + "b", 3, "a" + e},
      {"a two-byte character split: left out", "a" + e, 2, "a"},
      {"a three-byte character split after one byte", "ab" + nichi, 3, "ab"},
      {"a three-byte character split after two", "ab" + nichi, 4, "ab"},
      {"a three-byte character whole", "ab" + nichi + "c", 5, "ab" + nichi},
      {"a four-byte character split after three", smile + smile, 7, smile},
      {"a four-byte character split after one", "x" + smile, 2, "x"},
      {"only a split character: empty", nichi, 2, ""},
      {"a whole datagram of ASCII", std::string(90000, 'x'), capture::kLongestUdpMessage, std::string(65507, 'x')},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(capture::CutToWholeCharacters(c.message, c.longest), c.expected) << c.what;
  }
  // A formatted 90 KB text of three-byte characters, cut for one datagram: within 65,507 bytes,
  // at most two bytes short of it, ending on a whole character.
  SyslogRecord record;
  record.timestamp = "2024-05-06T07:08:09.123Z";
  record.msgId = "tellit";
  for (int i = 0; i < 30000; ++i) record.text += nichi;
  const std::string cut = capture::CutToWholeCharacters(capture::FormatSyslog(record), capture::kLongestUdpMessage);
  EXPECT_LE(cut.size(), 65507u);
  EXPECT_GE(cut.size(), 65505u);
  EXPECT_EQ(cut.substr(cut.size() - 3), nichi);
  EXPECT_EQ(capture::kLongestTcpMessage, 200000u) << "the frame collectors take by default";
}

TEST(SyslogFormat, Targets) {
  const struct {
    const char* text;
    bool ok;
    bool tcp;
    const char* host;
    uint16_t port;
    bool tls = false;
  } cases[] = {
      {"tcp://127.0.0.1:514", true, true, "127.0.0.1", 514},
      {"udp://logs.example:65535", true, false, "logs.example", 65535},
      {"tcp://[::1]:6514", true, true, "::1", 6514},
      {"tcp://host:1", true, true, "host", 1},
      {"tls://logs.example:10514", true, true, "logs.example", 10514, true},
      {"tls://logs.example", true, true, "logs.example", 6514, true},
      {"tls://[::1]", true, true, "::1", 6514, true},
      {"tls://[::1]:7000", true, true, "::1", 7000, true},
      {"tls://10.0.0.1", true, true, "10.0.0.1", 6514, true},
      {"tls://host:", false, false, "", 0},
      {"tls://host:0", false, false, "", 0},
      {"tls://:6514", false, false, "", 0},
      {"tls://", false, false, "", 0},
      {"tls://::1", false, false, "", 0},
      {"tls://[::1", false, false, "", 0},
      {"tls://[::1]x", false, false, "", 0},
      {"TLS://host", false, false, "", 0},
      {"udp://[::1]", false, false, "", 0},
      {"tcp://host:0", false, false, "", 0},
      {"tcp://host:65536", false, false, "", 0},
      {"tcp://host:", false, false, "", 0},
      {"tcp://host", false, false, "", 0},
      {"tcp://:514", false, false, "", 0},
      {"tcp://::1:514", false, false, "", 0},
      {"tcp://[::1]514", false, false, "", 0},
      {"tcp://host:5x4", false, false, "", 0},
      {"http://host:514", false, false, "", 0},
      {"host:514", false, false, "", 0},
      {"", false, false, "", 0},
  };
  for (const auto& c : cases) {
    capture::SyslogTarget target;
    std::string error;
    ASSERT_EQ(capture::ParseSyslogTarget(c.text, target, error), c.ok) << c.text << ": " << error;
    if (!c.ok) {
      EXPECT_NE(error.find("--syslog needs"), std::string::npos) << error;
      continue;
    }
    EXPECT_EQ(target.tcp, c.tcp) << c.text;
    EXPECT_EQ(target.tls, c.tls) << c.text;
    EXPECT_EQ(target.host, c.host) << c.text;
    EXPECT_EQ(target.port, c.port) << c.text;
  }
}

TEST(SendQueue, KeepsWhatFitsInOrderAndCountsTheRest) {
  capture::SendQueue queue(3);
  std::vector<bool> kept;
  for (const char* frame : {"a", "b", "c", "d", "e"}) kept.push_back(queue.Push(frame));
  EXPECT_EQ(kept, (std::vector<bool>{true, true, true, false, false}));
  EXPECT_EQ(queue.front(), "a");
  queue.Pop();
  EXPECT_TRUE(queue.Push("f"));
  std::string order;
  while (!queue.empty()) {
    order += queue.front();
    queue.Pop();
  }
  EXPECT_EQ(order, "bcf");
  EXPECT_EQ(queue.TakeDropped(), 2u);
  EXPECT_EQ(queue.TakeDropped(), 0u);
  queue.Restore(2);
  EXPECT_EQ(queue.dropped(), 2u);
}

TEST(SendQueue, RetryWaitsGrowToTheLongestAndStartAgainAfterASuccess) {
  capture::RetryDelay delay(250, 3000);
  std::vector<uint32_t> waits;
  for (int i = 0; i < 7; ++i) waits.push_back(delay.Next());
  EXPECT_EQ(waits, (std::vector<uint32_t>{250, 500, 1000, 2000, 3000, 3000, 3000}));
  delay.Reset();
  EXPECT_EQ(delay.Next(), 250u);
}

}  // namespace
