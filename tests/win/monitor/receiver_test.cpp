// The receiver against a real mailslot: line ends, the per-tick limits, buffer growth, empty,
// zero-byte and NUL-less datagrams, oversize datagrams, a lost channel and the log file.
#include <gtest/gtest.h>

#include "support/unicode_line.h"

#include <atomic>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "channel/channel.h"
#include "channel/sender_trailer.h"
#include "monitor/app/monitor_app.h"
#include "monitor/settings/settings_file.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "monitor/resources/ui_text_ids.h"
#include "tests/support/stored_text.h"

namespace {

// One mailslot client handle, opened the way the client library opens it.
class Writer {
 public:
  Writer() {
    char name[channel::kNameBufferSize];
    channel::FormatMailslotName(name);
    handle_ = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~Writer() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Send(const std::string& bytes) const {
    DWORD written = 0;
    return WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
  }
  // A message as the client library sends it: the text and its NUL.
  bool SendText(const std::string& text) const { return Send(text + std::string(1, '\0')); }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A datagram as the client library sends it: the text, its NUL and the sender record.
std::string FromSender(const std::string& text, uint32_t sequence, uint32_t processId = 4242) {
  channel::SenderTrailer trailer;
  trailer.processId = processId;
  trailer.sequence = sequence;
  std::string datagram = text + std::string(1 + channel::kTrailerBytes, '\0');
  channel::EncodeTrailer(trailer, reinterpret_cast<uint8_t*>(&datagram[datagram.size() - channel::kTrailerBytes]));
  return datagram;
}

class ReceiverTest : public ::testing::Test {
 protected:
  // One record and console for the suite: its channel and buffers are made afresh for every test.
  static void SetUpTestSuite() {
    settingsPath[0] = '\0';
    IntakeOptions options;
    options.readOnThread = false;  // each tick reads the mailslot itself: no test here waits on a thread
    app_ = new MonitorApp(options);
    parent_ = CreateWindowExA(0, "STATIC", "receiver test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    ASSERT_EQ(app_->liveConsole().Create(parent_), 1);
  }
  static void TearDownTestSuite() {
    DestroyWindow(parent_);  // the console window first: its window data points into the record
    parent_ = nullptr;
    delete app_;
    app_ = nullptr;
  }

  void SetUp() override {
    // A fresh channel and first-size buffers for every test.
    app.intake().StopReceiver();
    app.intake().StartReceiver();
    ASSERT_TRUE(app.intake().receiver().mailslot().IsOpen());
    options.bufferCeiling = 0x100000;
    app.intake().receiver().mailslot().ceiling = 0x100000;
    options.tickLimits.messages = 500;
    options.tickLimits.bytes = 2u * 1024 * 1024;
    // No time cap unless a test asks for one: a loaded machine must not change what a tick takes.
    options.tickLimits.milliseconds = 0;
    options.tickClock = TickMilliseconds;
    Tune();
    app.messageView().SetConvertCapacity(8192);
    app.messageView().AllocateConvertBuffer();
    app.liveConsole().Clear();
  }

  void TearDown() override { app.log().file().Close(); }

  // As drawn: each line's gutter (sender, stamp) before its text.
  std::string Shown() { return DrawnText(app.liveConsole().view); }

  // The intake's options: a test changes them here, then tunes the intake to them.
  void Tune() { app.intake().Tune(options); }

  static HWND parent_;
  static MonitorApp* app_;
  MonitorApp& app = *app_;
  IntakeOptions options = app.intake().options();
};

HWND ReceiverTest::parent_ = nullptr;
MonitorApp* ReceiverTest::app_ = nullptr;

TEST_F(ReceiverTest, LineEndsReachTheConsoleAndTheLogAsCrLf) {
  ScratchDir dir;
  const std::string logPath = dir.File("log.txt");
  ASSERT_TRUE(app.log().file().Open(logPath.c_str(), CREATE_ALWAYS));

  Writer writer;
  ASSERT_TRUE(writer.ok());
  for (const char* text : {"<< open TELLIT monitor >>\n", "abc\n", "abc\r", "abc\r\n", "abc\n\r", "\n\n", "\r\r\n",
                           "a\nb"}) {
    ASSERT_TRUE(writer.SendText(text));
  }
  app.intake().DrainMailslot();
  const std::string expected =
      "<< open TELLIT monitor >>\r\nabc\r\nabc\r\nabc\r\nabc\n\r\r\n\r\n\r\n\r\na\r\nb";
  EXPECT_EQ(Shown(), expected);
  app.log().file().Close();
  EXPECT_EQ(ReadWholeFile(logPath), expected);
}

TEST_F(ReceiverTest, NoDatagramNoChange) {
  app.intake().DrainMailslot();
  EXPECT_EQ(app.liveConsole().text.used, 0u);
  EXPECT_TRUE(app.intake().receiver().mailslot().IsOpen());
}

// An empty datagram (tellitf("") sends a lone NUL) used to end the tick, throttling intake to one
// datagram per tick behind a stream of them.
TEST_F(ReceiverTest, EmptyDatagramShowsNothingAndTheTickGoesOn) {
  Writer writer;
  ASSERT_TRUE(writer.SendText("first\n"));
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(writer.SendText(""));
  ASSERT_TRUE(writer.SendText("second\n"));
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), "first\r\nsecond\r\n");
}

// A zero-byte datagram from any process used to make the read fail and the receiver close the
// mailslot for the rest of the run.
TEST_F(ReceiverTest, ZeroByteDatagramLeavesTheQueueAndTheChannelStays) {
  Writer writer;
  ASSERT_TRUE(writer.Send(""));
  ASSERT_TRUE(writer.SendText("after\n"));
  ASSERT_TRUE(writer.Send(""));
  ASSERT_TRUE(writer.Send(""));
  ASSERT_TRUE(writer.SendText("later\n"));
  app.intake().DrainMailslot();
  EXPECT_TRUE(app.intake().receiver().mailslot().IsOpen());
  EXPECT_EQ(Shown(), "after\r\nlater\r\n");
}

TEST_F(ReceiverTest, PerTickCapTakesTheQueueInSlices) {
  options.tickLimits.messages = 5;
  Tune();
  Writer writer;
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(writer.SendText(std::to_string(i) + "\n"));
  std::vector<uint32_t> perTick;
  for (int tick = 0; tick < 4; ++tick) {
    const uint32_t before = app.liveConsole().text.lineCount;
    app.intake().DrainMailslot();
    perTick.push_back(app.liveConsole().text.lineCount - before);
  }
  options.tickLimits.messages = 500;
  Tune();
  EXPECT_EQ(perTick, (std::vector<uint32_t>{5, 5, 2, 0}));
}

TEST_F(ReceiverTest, DatagramWithoutNulEndsAtItsLastByte) {
  Writer writer;
  ASSERT_TRUE(writer.SendText(std::string(100, 'x')));  // leaves x bytes in the receive buffer
  ASSERT_TRUE(writer.Send("ab"));                        // no NUL: must not run into them
  ASSERT_TRUE(writer.Send(std::string("cd\0ef", 5)));   // NUL inside: the text ends there
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), std::string(100, 'x') + "abcd");
}

TEST_F(ReceiverTest, ReceiveBufferGrowsInWholeKilobytes) {
  Writer writer;
  ASSERT_EQ(app.intake().receiver().mailslot().capacity(), 4096u);
  ASSERT_TRUE(writer.SendText(std::string(4095, 'a')));  // 4096 bytes with the NUL
  app.intake().DrainMailslot();
  EXPECT_EQ(app.intake().receiver().mailslot().capacity(), 4096u);
  ASSERT_TRUE(writer.SendText(std::string(4999, 'b')));  // 5000 bytes
  app.intake().DrainMailslot();
  EXPECT_EQ(app.intake().receiver().mailslot().capacity(), 5120u);
  EXPECT_EQ(app.liveConsole().text.used, 4095u + 4999u);
}

TEST_F(ReceiverTest, ConvertBufferHoldsTwiceTheTextAndTheNul) {
  Writer writer;
  ASSERT_TRUE(writer.SendText(std::string(4095, 'a')));
  app.intake().DrainMailslot();
  EXPECT_EQ(app.messageView().ConvertCapacity(), 8192u);
  ASSERT_TRUE(writer.SendText(std::string(4096, '\n')));  // 8,192 bytes converted, and the NUL
  app.intake().DrainMailslot();
  EXPECT_EQ(app.messageView().ConvertCapacity(), 8193u);
  EXPECT_EQ(Shown(), std::string(4095, 'a') + [] {
    std::string lineEnds;
    for (int i = 0; i < 4096; ++i) lineEnds += "\r\n";
    return lineEnds;
  }());
}

// Lone line feeds double in the convert buffer: past its ceiling the rest of such a text used to
// go silently; the notice says how much of it is shown.
TEST_F(ReceiverTest, ATextCutByTheConvertCeilingIsToldBeforeWhatIsLeft) {
  options.bufferCeiling = 8192;
  Tune();
  Writer writer;
  ASSERT_TRUE(writer.SendText(std::string(5000, '\n')));
  ASSERT_TRUE(writer.SendText("after\n"));
  app.intake().DrainMailslot();
  std::string kept;
  for (int i = 0; i < 4095; ++i) kept += "\r\n";
  EXPECT_EQ(Shown(), "<< a message of 5000 bytes was cut to 4095 bytes >>\r\n" + kept + "after\r\n");
}

// A lowered ceiling stands in for the 1 MiB one. What is kept of the cut text ends its line, with
// room for the line end, so that the next datagram starts a line of its own.
TEST_F(ReceiverTest, OversizeDatagramShowsItsFirstBytesAndTheQueueGoesOn) {
  options.bufferCeiling = 8192;
  Tune();
  app.intake().receiver().mailslot().ceiling = 8192;
  Writer writer;
  std::string big;
  for (int i = 0; i < 2000; ++i) big += static_cast<char>('A' + i % 26) + std::string(9, '.');
  ASSERT_TRUE(writer.SendText(big));  // 20001 bytes
  ASSERT_TRUE(writer.SendText("after\n"));
  app.intake().DrainMailslot();
  EXPECT_EQ(app.intake().receiver().mailslot().capacity(), 8192u) << "never beyond the ceiling";
  EXPECT_EQ(app.messageView().ConvertCapacity(), 8192u);
  EXPECT_EQ(Shown(), "<< a message of 20001 bytes was cut to 8189 bytes >>\r\n" + big.substr(0, 8189) + "\r\nafter\r\n")
      << "the notice, the ceiling less the NUL and a line end, then the next datagram";
  EXPECT_TRUE(app.intake().receiver().mailslot().IsOpen());
}

TEST_F(ReceiverTest, FailedLogWriteClosesTheLogAndTheConsoleGoesOn) {
  ScratchDir dir;
  const std::string path = dir.File("readonly.log");
  WriteWholeFile(path, "");
  // A handle that cannot be written to makes WriteFile fail.
  app.log().file().Adopt(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(app.log().file().IsOpen());
  Writer writer;
  ASSERT_TRUE(writer.SendText("one\n"));
  ASSERT_TRUE(writer.SendText("two\n"));
  app.intake().DrainMailslot();
  EXPECT_FALSE(app.log().file().IsOpen());
  EXPECT_EQ(Shown(), "one\r\ntwo\r\n");
  ASSERT_TRUE(writer.SendText("three\n"));
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), "one\r\ntwo\r\nthree\r\n");
}

// A failed query used to close the channel for good: every later message was lost unseen.
TEST_F(ReceiverTest, BrokenChannelHandleIsReplacedByANewMailslot) {
  // Any handle that is not a mailslot makes GetMailslotInfo fail.
  app.intake().receiver().mailslot().Replace(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  app.intake().DrainMailslot();
  ASSERT_TRUE(app.intake().receiver().mailslot().IsOpen());
  EXPECT_FALSE(app.intake().channelDown());
  Writer writer;
  ASSERT_TRUE(writer.ok());
  ASSERT_TRUE(writer.SendText("received again\n"));
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), "received again\r\n");
}

// A monitor that could not create the mailslot used to run deaf for good; it now tries again
// once a second and receives as soon as the name is free.
TEST_F(ReceiverTest, ChannelHeldElsewhereIsCreatedOnceItIsFree) {
  app.intake().StopReceiver();
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  HANDLE other = CreateMailslotA(name, 0, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(app.intake().StartReceiver());
  EXPECT_TRUE(app.intake().channelDown());
  EXPECT_FALSE(app.intake().receiver().mailslot().IsOpen());
  app.intake().DrainMailslot();  // within the second: no new attempt
  EXPECT_FALSE(app.intake().receiver().mailslot().IsOpen());
  app.intake().RetryChannelNow();
  app.intake().DrainMailslot();  // still held
  EXPECT_FALSE(app.intake().receiver().mailslot().IsOpen());

  CloseHandle(other);
  app.intake().RetryChannelNow();
  app.intake().DrainMailslot();
  ASSERT_TRUE(app.intake().receiver().mailslot().IsOpen());
  EXPECT_FALSE(app.intake().channelDown());
  Writer writer;
  ASSERT_TRUE(writer.SendText("now heard\n"));
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), "now heard\r\n");
}

// One tick used to take up to 500 datagrams of any size, each also written to the log: seconds of
// a frozen window. A tick now stops once it has read its byte budget (2 MiB; lowered here, as
// Wine queues only a few large datagrams).
TEST_F(ReceiverTest, TickStopsOnceItHasReadItsByteBudget) {
  ScratchDir dir;
  const std::string logPath = dir.File("budget.log");
  ASSERT_TRUE(app.log().file().Open(logPath.c_str(), CREATE_ALWAYS));
  options.tickLimits.bytes = 100000;
  Tune();
  Writer writer;
  constexpr DWORD kText = 59999;  // 60,000 bytes with the NUL
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(writer.SendText(std::string(kText, 'x')));
  std::vector<DWORD> perTick;
  for (int tick = 0; tick < 3; ++tick) {
    const DWORD before = GetFileSize(app.log().file().handle(), nullptr);
    app.intake().DrainMailslot();
    perTick.push_back((GetFileSize(app.log().file().handle(), nullptr) - before) / kText);
  }
  EXPECT_EQ(perTick, (std::vector<DWORD>{2, 1, 0})) << "the tick that passes 100,000 bytes is the last";
}

// A datagram whose read keeps failing used to be tried again at every tick while every datagram
// behind it waited: after one more try it is taken off and told, and the queue goes on.
// A read that fails a given number of times, then reads (stdcall, as ReadFile: no lambda on x86).
int failuresLeft = 0;
BOOL WINAPI FailingRead(HANDLE file, LPVOID bytes, DWORD size, LPDWORD read, LPOVERLAPPED) {
  if (failuresLeft > 0) {
    --failuresLeft;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return ReadFile(file, bytes, size, read, nullptr);
}

TEST_F(ReceiverTest, ADatagramWhoseReadKeepsFailingIsSkippedAfterOneRetry) {
  failuresLeft = 2;
  app.intake().receiver().mailslot().read = FailingRead;
  Writer writer;
  ASSERT_TRUE(writer.SendText("stuck\n"));
  ASSERT_TRUE(writer.SendText("next\n"));
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), "") << "the first failure waits for the next tick";
  app.intake().DrainMailslot();
  app.intake().receiver().mailslot().read = ReadFile;
  EXPECT_EQ(Shown(), "<< a message of 7 bytes could not be read >>\r\nnext\r\n");
}

// The unreadable datagram of a sender is told once: as unreadable, and not again as a loss
// when the sender's next datagram comes.
TEST_F(ReceiverTest, AnUnreadableDatagramIsToldOnceNotAgainAsALoss) {
  Writer writer;
  ASSERT_TRUE(writer.Send(FromSender("one\n", 0, 5001)));
  app.intake().DrainMailslot();
  failuresLeft = 2;
  app.intake().receiver().mailslot().read = FailingRead;
  ASSERT_TRUE(writer.Send(FromSender("stuck\n", 1, 5001)));
  ASSERT_TRUE(writer.Send(FromSender("the third\n", 2, 5001)));
  ASSERT_TRUE(writer.Send(FromSender("five\n", 4, 5001)));
  app.intake().DrainMailslot();
  app.intake().DrainMailslot();
  app.intake().receiver().mailslot().read = ReadFile;
  EXPECT_EQ(Shown(), "one\r\n<< a message of 31 bytes could not be read >>\r\nthe third\r\n"
                     "<< 1 messages from [5001] were lost >>\r\nfive\r\n")
      << "the gap of one is the unreadable datagram; the next gap is a loss";
}

// Wine says 64 KiB of every datagram that size or larger, and the reads used to take that much:
// the rest, with the sender record, was gone. A datagram of 70 KB is read whole now: it keeps its
// sender, and the sender's next one is no loss.
TEST_F(ReceiverTest, ADatagramAbove64KiBIsReadWholeWithItsSender) {
  app.viewFlags().gutter().senders = true;
  Writer writer;
  const std::string big(70 * 1024, 'b');
  ASSERT_TRUE(writer.Send(FromSender(big + "\n", 0, 5002)));
  ASSERT_TRUE(writer.Send(FromSender("next\n", 1, 5002)));
  app.intake().DrainMailslot();
  EXPECT_TRUE(Shown() == "[5002] " + big + "\r\n[5002] next\r\n") << Shown().size() << " bytes shown";
  app.viewFlags().gutter().senders = false;
}

// The client cuts a message after its overflow notice; the cut text has no line end, and the
// next message used to continue its line. Cut on reading, too, a text ends its line.
TEST_F(ReceiverTest, ACutMessageEndsItsLineSoThatTheNextStartsOne) {
  Writer writer;
  ASSERT_TRUE(writer.Send(FromSender("tellitf() string buffer overflow !!\n", 0, 5003)));
  ASSERT_TRUE(writer.Send(FromSender("cut by its sender", 1, 5003)));
  ASSERT_TRUE(writer.Send(FromSender("not cut", 2, 5003)));
  ASSERT_TRUE(writer.Send(FromSender(" goes on\n", 3, 5003)));
  ASSERT_TRUE(writer.SendText("tellitf() string buffer overflow !!\n"));  // an older client: no records
  ASSERT_TRUE(writer.SendText("cut too"));
  ASSERT_TRUE(writer.SendText("next\n"));
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), "tellitf() string buffer overflow !!\r\ncut by its sender\r\nnot cut goes on\r\n"
                     "tellitf() string buffer overflow !!\r\ncut too\r\nnext\r\n");
}

// A cut at the convert ceiling that falls between the two bytes of a character leaves the lead
// byte alone: it goes with the cut, so it never pairs with what comes next, and the notice says
// whose message was cut.
TEST_F(ReceiverTest, ALeadByteLeftAloneByACutGoesWithIt) {
  const LeadTrailSets before = app.liveConsole().codePage;
  app.liveConsole().codePage = LeadTrailSets::ShiftJis();
  options.bufferCeiling = 8192;
  Tune();
  Writer writer;
  std::string text(8188, 'a');
  text += "\x93\xFA";  // a character over the cut: bytes 8188 and 8189
  text += std::string(2000, 'z');
  ASSERT_TRUE(writer.Send(FromSender(text, 0, 5004)));
  ASSERT_TRUE(writer.Send(FromSender("\x82\xA0 next\n", 1, 5004)));
  app.intake().DrainMailslot();
  app.liveConsole().codePage = before;
  // The console keeps UTF-8: the pair as the process's code page reads it.
  const std::string pair = InCodePage(CP_UTF8, FromCodePage(CP_ACP, "\x82\xA0"));
  EXPECT_EQ(Shown(), "<< a message of 10190 bytes from [5004] was cut to 8188 bytes >>\r\n" + std::string(8188, 'a') +
                         "\r\n" + pair + " next\r\n");
}

// A reading thread that runs out of memory for a datagram it took says so where the datagram
// would have been and in the status bar, and goes on reading.
int throwsLeft = 0;
BOOL WINAPI ReadThenRunOutOfMemory(HANDLE file, LPVOID bytes, DWORD size, LPDWORD read, LPOVERLAPPED) {
  const BOOL result = ReadFile(file, bytes, size, read, nullptr);
  if (throwsLeft > 0) {
    --throwsLeft;
    throw std::bad_alloc();
  }
  return result;
}

TEST_F(ReceiverTest, AReadingThreadOutOfMemoryTellsItAndGoesOn) {
  options.readOnThread = true;
  Tune();
  app.intake().ReopenReceiver();
  ASSERT_TRUE(app.intake().receiver().Reading());
  throwsLeft = 1;
  app.intake().receiver().mailslot().read = ReadThenRunOutOfMemory;
  const uint64_t unkeptBefore = app.intake().receiver().unkept();
  Writer writer;
  ASSERT_TRUE(writer.SendText("lost\n"));
  ASSERT_TRUE(WaitUntil([&] { return app.intake().receiver().unkept() == unkeptBefore + 1; }, 10000));
  ASSERT_TRUE(writer.SendText("kept\n"));
  ASSERT_TRUE(WaitUntil([&] { return app.intake().receiver().queued() >= 1; }, 10000));
  app.Tick();
  EXPECT_EQ(Shown(), "<< 1 messages could not be kept: out of memory >>\r\nkept\r\n");
  EXPECT_EQ(app.status().notice(), IDS_STATUS_UNKEPT);
  app.intake().receiver().mailslot().read = ReadFile;
  options.readOnThread = false;
  Tune();
  app.intake().ReopenReceiver();
}

// With the reading thread a writer never waits for a tick: 3,000 datagrams (ten times what Wine
// queues before a writer blocks) leave while no tick runs, and the next tick shows them in order,
// with a loss told where a sender's count skipped.
TEST_F(ReceiverTest, TheReadingThreadTakesAFloodBetweenTicks) {
  options.readOnThread = true;
  Tune();
  app.intake().ReopenReceiver();
  ASSERT_TRUE(app.intake().receiver().Reading());
  constexpr int kCount = 3000;
  std::atomic<bool> sent{false};
  std::thread writing([&] {
    Writer writer;
    bool ok = writer.ok();
    for (int i = 0; i < kCount && ok; ++i) {
      channel::SenderTrailer trailer;
      trailer.processId = 4242;
      trailer.sequence = i < 1000 ? i : i + 2;  // two lost after the first thousand
      std::string datagram = std::to_string(i) + "\n" + std::string(1 + channel::kTrailerBytes, '\0');
      channel::EncodeTrailer(trailer, reinterpret_cast<uint8_t*>(&datagram[datagram.size() - channel::kTrailerBytes]));
      ok = writer.Send(datagram);
    }
    sent = ok;
  });
  writing.join();  // no tick has run: only the thread can have made room
  EXPECT_TRUE(sent);
  ASSERT_TRUE(WaitUntil([&] { return app.intake().receiver().queued() >= kCount + 1; }, 20000))
      << app.intake().receiver().queued();
  options.tickLimits.messages = 0;  // this tick takes all
  Tune();
  app.intake().DrainMailslot();
  std::string expected;
  for (int i = 0; i < kCount; ++i) {
    if (i == 1000) expected += "<< 2 messages from [4242] were lost >>\r\n";
    expected += std::to_string(i) + "\r\n";
  }
  {
    const std::string shown = Shown();
    size_t at = 0;
    while (at < shown.size() && at < expected.size() && shown[at] == expected[at]) ++at;
    EXPECT_TRUE(shown == expected) << shown.size() << " bytes shown, " << expected.size() << " expected; first difference at "
                                   << at << ": " << shown.substr(at > 20 ? at - 20 : 0, 60);
  }
  // Each line knows its message: who sent it, and the loss line is a record of its own kind.
  const TextStore& store = app.liveConsole().text;
  ASSERT_EQ(store.lineCount, uint32_t(kCount + 1));
  for (uint32_t k = 0; k < store.lineCount; ++k) {
    const StoredMessage* record = store.MessageOfLine(k);
    ASSERT_NE(record, nullptr) << "line " << k;
    EXPECT_EQ(record->pid, 4242u) << "line " << k;
    EXPECT_EQ(record->kind, uint32_t(k == 1000 ? MessageKind::kLost : MessageKind::kText)) << "line " << k;
    EXPECT_EQ(record->source, uint32_t(MessageSource::kTellit)) << "line " << k;
    EXPECT_NE(record->Arrival(), 0u) << "line " << k;
  }
  EXPECT_EQ(store.MessageNumberOfLine(kCount) - store.MessageNumberOfLine(0), uint64_t(kCount));
  options.readOnThread = false;
  Tune();
  app.intake().ReopenReceiver();
  EXPECT_FALSE(app.intake().receiver().Reading());
}

TEST_F(ReceiverTest, TickWhoseTimeIsUpLeavesTheRestForTheNext) {
  Writer writer;
  ASSERT_TRUE(writer.SendText("waits\n"));
  // A clock that runs a second at every look: the 30 ms are up before the first datagram.
  options.tickLimits.milliseconds = 30;
  options.tickClock = [] {
    static uint32_t now = 0;
    return now += 1000;
  };
  Tune();
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), "");
  options.tickClock = [] { return uint32_t{0}; };  // time stands still: only the queue ends the tick
  Tune();
  app.intake().DrainMailslot();
  EXPECT_EQ(Shown(), "waits\r\n");
}

// Under Wine a writer blocks once about 278 datagrams wait unread, so 600 cannot be queued at
// once: a writer thread keeps the queue full while the drain reads, and the drain must still
// stop at 500.
TEST_F(ReceiverTest, AtMost500DatagramsPerTick) {
  constexpr int kTotal = 600;
  volatile LONG sent = 0;
  std::thread thread([&sent] {
    Writer writer;
    for (int i = 0; i < kTotal && writer.ok(); ++i) {
      if (!writer.SendText(std::to_string(i) + "\n")) break;
      InterlockedIncrement(const_cast<LONG*>(&sent));
    }
  });
  // Wait until the writer stands blocked on a full queue.
  LONG previous = -1;
  while (sent != previous) {
    previous = sent;
    Sleep(200);
  }
  const LONG queued = sent;
  app.intake().DrainMailslot();
  const uint32_t firstTick = app.liveConsole().text.lineCount;
  std::printf("queued before the tick: %ld, handled in the first tick: %u\n", static_cast<long>(queued), firstTick);
  EXPECT_LE(firstTick, 500u);
  EXPECT_GE(firstTick, static_cast<uint32_t>(queued < 500 ? queued : 500));
  // The writer goes on as the queue drains: keep draining until it is done.
  const DWORD deadline = GetTickCount() + 30000;
  while ((sent < kTotal || app.liveConsole().text.lineCount < static_cast<uint32_t>(kTotal)) &&
         GetTickCount() < deadline) {
    app.intake().DrainMailslot();
    Sleep(10);
  }
  thread.join();
  ASSERT_EQ(app.liveConsole().text.lineCount, static_cast<uint32_t>(kTotal));
  std::string expected;
  for (int i = 0; i < kTotal; ++i) expected += std::to_string(i) + "\r\n";
  EXPECT_EQ(Shown(), expected) << "every datagram once, in order";
}

}  // namespace
