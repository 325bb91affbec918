// BoundedQueue: what fits by count and by bytes, an oversize entry alone or never, drops counted,
// entries out in order with their bytes given back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiving/bounded_queue.h"

namespace {

TEST(BoundedQueue, KeepsWhatTheBoundsLeaveRoomForAndCountsTheRest) {
  struct Case {
    const char* name;
    std::size_t maxEntries, maxBytes;
    bool oversizeAlone;
    std::vector<std::size_t> pushes;  // bytes of each entry, in order
    std::vector<bool> kept;
    std::size_t bytesHeld;
  };
  const Case cases[] = {
      {"within both bounds", 3, 100, false, {10, 20, 30}, {true, true, true}, 60},
      {"the count bound", 2, 100, false, {10, 10, 10}, {true, true, false}, 20},
      {"the byte bound, exactly reached", 5, 30, false, {10, 20, 1}, {true, true, false}, 30},
      {"an oversize entry never fits without oversizeAlone", 5, 30, false, {31, 5}, {false, true}, 5},
      {"an oversize entry goes alone into an empty queue", 5, 30, true, {31, 5}, {true, false}, 31},
      {"and waits for the queue to be empty", 5, 30, true, {5, 31}, {true, false}, 5},
      {"an entry of no bytes fits a full byte bound", 5, 10, false, {10, 0}, {true, true}, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BoundedQueue<std::string> queue(c.maxEntries, c.maxBytes, c.oversizeAlone);
    uint64_t drops = 0;
    for (std::size_t i = 0; i < c.pushes.size(); ++i) {
      EXPECT_EQ(queue.TryPush("entry " + std::to_string(i), c.pushes[i]), c.kept[i]) << i;
      drops += c.kept[i] ? 0 : 1;
    }
    EXPECT_EQ(queue.bytes(), c.bytesHeld);
    EXPECT_EQ(queue.dropped(), drops);
    // Out in the order they came, the bytes given back as they go.
    std::size_t i = 0;
    while (!queue.empty()) {
      while (!c.kept[i]) ++i;
      EXPECT_EQ(queue.PopFront(), "entry " + std::to_string(i));
      ++i;
    }
    EXPECT_EQ(queue.bytes(), 0u);
  }
}

TEST(BoundedQueue, KeptEntriesStandOutsideTheBoundsAndDropsCountWithoutAnEntry) {
  BoundedQueue<int> queue(1, 10, false);
  EXPECT_TRUE(queue.TryPush(1, 10));
  queue.Keep(2, 0);  // a notice for dropped ones
  EXPECT_EQ(queue.size(), 2u);
  EXPECT_FALSE(queue.Fits(0)) << "the count bound holds with the notice in";
  queue.CountDropped();
  EXPECT_EQ(queue.dropped(), 1u);
  EXPECT_EQ(queue.front(), 1);
  EXPECT_EQ(queue.PopFront(), 1);
  EXPECT_EQ(queue.PopFront(), 2);
  EXPECT_TRUE(queue.Fits(10));
}

}  // namespace
