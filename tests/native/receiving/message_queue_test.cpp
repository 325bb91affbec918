// The reading thread's queue: order, owned copies, the bounds that make a reader wait, and Close.
#include "receiving/message_queue.h"

#include "receiving/byte_bound.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <string>
#include <thread>

namespace {

Message Text(const std::string& text, std::string_view program = {}) {
  Message message;
  message.text = reinterpret_cast<const uint8_t*>(text.data());
  message.length = text.size();
  message.program = program;
  return message;
}

TEST(MessageQueue, CopiesComeOutInOrderWithTheirOwnTexts) {
  MessageQueue queue;
  {
    std::string text = "first", program = "app.exe";
    ASSERT_TRUE(queue.Push(Text(text, program)));
    text = "XXXXX";  // the caller's buffer is reused at once
    program = "other";
    ASSERT_TRUE(queue.Push(Text("second")));
  }
  QueuedMessage out;
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.message.text), out.message.length), "first");
  EXPECT_EQ(out.message.program, "app.exe");
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.message.text), out.message.length), "second");
  EXPECT_FALSE(queue.Pop(out));
}

TEST(MessageQueue, ABatchTakesUpToItsSizeInOrderAndFreesRoomForAWaitingPush) {
  const struct {
    const char* name;
    int queued;
    std::size_t most;
    int taken;
  } cases[] = {
      {"none waits", 0, 10, 0}, {"fewer than the batch", 3, 10, 3}, {"as many", 4, 4, 4}, {"more", 7, 4, 4},
  };
  for (const auto& c : cases) {
    MessageQueue queue;
    for (int i = 0; i < c.queued; ++i) ASSERT_TRUE(queue.Push(Text("m" + std::to_string(i), "app.exe")));
    std::deque<QueuedMessage> batch;
    EXPECT_EQ(queue.PopBatch(batch, c.most), c.taken != 0) << c.name;
    ASSERT_EQ(batch.size(), static_cast<std::size_t>(c.taken)) << c.name;
    EXPECT_EQ(queue.size(), static_cast<std::size_t>(c.queued - c.taken)) << c.name;
    for (int i = 0; i < c.taken; ++i) {
      QueuedMessage out = std::move(batch[static_cast<std::size_t>(i)]);
      MessageQueue::Repoint(out);
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(out.message.text), out.message.length),
                "m" + std::to_string(i)) << c.name;
      EXPECT_EQ(out.message.program, "app.exe") << c.name;
    }
  }
  MessageQueue full(2, 1000);
  ASSERT_TRUE(full.Push(Text("a")));
  ASSERT_TRUE(full.Push(Text("b")));
  std::atomic<bool> pushed{false};
  std::thread reader([&] { pushed = full.Push(Text("c")); });
  std::deque<QueuedMessage> batch;
  ASSERT_TRUE(full.PopBatch(batch, 2));
  reader.join();  // returns only once the batch made room
  EXPECT_TRUE(pushed);
  EXPECT_EQ(full.size(), 1u);
}

// A full queue holds the reader until the tick takes one, by count and by bytes; a message over
// the byte bound alone waits for an empty queue; Close lets a waiting reader go.
TEST(MessageQueue, AFullQueueMakesTheReaderWaitAndCloseReleasesIt) {
  for (const bool byBytes : {false, true}) {
    SCOPED_TRACE(byBytes ? "bytes" : "count");
    MessageQueue queue(byBytes ? 100 : 2, byBytes ? 10 : 1000);
    ASSERT_TRUE(queue.Push(Text(byBytes ? "12345" : "a")));
    ASSERT_TRUE(queue.Push(Text(byBytes ? "12345" : "b")));
    std::atomic<bool> pushed{false};
    std::thread reader([&] { pushed = queue.Push(Text(byBytes ? "more than ten" : "c")); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(pushed) << "pushed into a full queue";
    QueuedMessage out;
    ASSERT_TRUE(queue.Pop(out));
    if (byBytes) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      EXPECT_FALSE(pushed) << "the large one waits for an empty queue";
      ASSERT_TRUE(queue.Pop(out));
    }
    reader.join();
    EXPECT_TRUE(pushed);
    EXPECT_EQ(queue.size(), byBytes ? 1u : 2u);
  }
  MessageQueue full(1, 1000);
  ASSERT_TRUE(full.Push(Text("x")));
  std::atomic<int> result{-1};
  std::thread waiting([&] { result = full.Push(Text("y")) ? 1 : 0; });
  full.Close();
  waiting.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(full.WaitClosed(0));
  full.Open();
  EXPECT_FALSE(full.WaitClosed(0));
}

TEST(ByteBound, MoreFitsOnlyWithinTheBoundAlsoPastAnOversizeEntry) {
  const struct {
    size_t held, adding, bound;
    bool fits;
  } cases[] = {
      {0, 10, 10, true},   {0, 11, 10, false}, {4, 6, 10, true},  {4, 7, 10, false},
      {10, 0, 10, true},   {13, 1, 10, false},  // one oversize entry holds more than the bound
      {13, 0, 10, false},  {SIZE_MAX, 1, 10, false}, {1, SIZE_MAX, SIZE_MAX, false}, {0, SIZE_MAX, SIZE_MAX, true},
  };
  for (const auto& c : cases) EXPECT_EQ(FitsWithin(c.held, c.adding, c.bound), c.fits) << c.held << "+" << c.adding;
}

// An oversize message let into the empty queue holds more bytes than the bound: the next one
// waits for it to go.
TEST(MessageQueue, AfterAnOversizeMessageTheNextWaits) {
  MessageQueue queue(100, 10);
  EXPECT_FALSE(queue.WouldWait(13)) << "an empty queue takes any message";
  ASSERT_TRUE(queue.Push(Text("more than ten")));
  EXPECT_TRUE(queue.WouldWait(1));
  EXPECT_TRUE(queue.WouldWait(0));
  QueuedMessage out;
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_FALSE(queue.WouldWait(10));
}

}  // namespace
