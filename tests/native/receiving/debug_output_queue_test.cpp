// The queue of captured debug output: the sender prefix, its bounds and the drop notice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiving/debug_output_queue.h"
#include "receiving/message_text.h"

namespace {

// As the monitor shows it: the sender before the text, a notice alone.
std::string Shown(const DebugMessage& message) {
  return message.dropNotice ? message.text : message_text::SenderPrefix(message.processId, message.sender) + message.text;
}

DebugMessage Message(const std::string& text, uint32_t processId = 7, const std::string& sender = "app.exe") {
  DebugMessage message;
  message.processId = processId;
  message.sender = sender;
  message.text = text;
  return message;
}

std::vector<std::string> Drain(DebugOutputQueue& queue) {
  std::vector<std::string> shown;
  DebugMessage out;
  while (queue.Pop(out)) shown.push_back(Shown(out));
  return shown;
}

TEST(DebugOutput, ShownWithTheSendersIdAndNameOrIdAlone) {
  EXPECT_EQ(Shown(Message("hello\n", 1234, "client.exe")), "[1234 client.exe] hello\n");
  EXPECT_EQ(Shown(Message("gone\n", 99, "")), "[99] gone\n");
  EXPECT_EQ(Shown(Message("", 5, "a.exe")), "[5 a.exe] ");
}

TEST(DebugOutput, MessagesComeOutInTheOrderTheyCame) {
  DebugOutputQueue queue;
  for (const char* text : {"a", "b", "c"}) EXPECT_TRUE(queue.Push(Message(text, 1, "")));
  EXPECT_EQ(Drain(queue), (std::vector<std::string>{"[1] a", "[1] b", "[1] c"}));
  DebugMessage out;
  EXPECT_FALSE(queue.Pop(out));
}

// What did not fit is told once, where it would have been: before the next message that fits.
TEST(DebugOutput, FullQueueCountsDropsAndTellsThemInTheirPlace) {
  DebugOutputQueue queue(3, 1000);
  for (const char* text : {"a", "b", "c", "d", "e"}) queue.Push(Message(text, 1, ""));
  EXPECT_EQ(queue.droppedTotal(), 2u);
  DebugMessage out;
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_EQ(out.text, "a");
  EXPECT_TRUE(queue.Push(Message("f", 1, "")));
  EXPECT_FALSE(queue.Push(Message("g", 1, ""))) << "full again: the notice stands outside the bounds";
  EXPECT_EQ(Drain(queue), (std::vector<std::string>{"[1] b", "[1] c", "<< 2 debug messages dropped >>\n", "[1] f",
                                                   "<< 1 debug messages dropped >>\n"}));
  EXPECT_EQ(queue.droppedTotal(), 3u);
  EXPECT_FALSE(queue.Pop(out)) << "each drop is told once";
}

TEST(DebugOutput, ByteBoundCountsTextAndSender) {
  DebugOutputQueue queue(100, 12);
  EXPECT_TRUE(queue.Push(Message("12345", 1, "x")));   // 6 bytes
  EXPECT_TRUE(queue.Push(Message("abcde", 1, "y")));   // 12
  EXPECT_FALSE(queue.Push(Message("", 1, "z")));       // 13
  DebugMessage out;
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_TRUE(queue.Push(Message("12345", 1, "")));    // room again after the pop
  EXPECT_EQ(Drain(queue), (std::vector<std::string>{"[1 y] abcde", "<< 1 debug messages dropped >>\n", "[1] 12345"}));
}

TEST(DebugOutput, AMessageLargerThanTheWholeBoundIsDropped) {
  DebugOutputQueue queue(10, 4);
  EXPECT_FALSE(queue.Push(Message("12345", 1, "")));
  EXPECT_EQ(Drain(queue), (std::vector<std::string>{"<< 1 debug messages dropped >>\n"}));
}

}  // namespace
