// tellit.dll called from many threads at once: one connection, every message whole, in order, and right after its notice.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "loaded_tellit.h"
#include "test_mailslot.h"

namespace tellit::testing {
namespace {

constexpr int kThreads = 8;
constexpr int kMessagesPerThread = 2500;

// Drains the mailslot while the writers run: under Wine a writer blocks once a few hundred
// datagrams wait unread.
class Drain {
 public:
  explicit Drain(TestMailslot& mailslot) : mailslot_(mailslot), thread_([this] { Run(); }) {}
  std::vector<std::string> Finish(size_t expected) {
    expected_ = expected;
    thread_.join();
    return std::move(received_);
  }

 private:
  void Run() {
    // Stops once the expected count arrived, or when no datagram comes within a read time-out.
    while (received_.size() < expected_.load()) {
      auto datagram = mailslot_.Read();
      if (!datagram) break;
      received_.push_back(std::move(*datagram));
    }
  }

  TestMailslot& mailslot_;
  std::atomic<size_t> expected_{static_cast<size_t>(-1)};
  std::vector<std::string> received_;
  std::thread thread_;
};

// Runs kThreads writers released at the same moment, so that their first calls race; write(t, n)
// makes call n of thread t and returns what the call returned. Gives the number of calls that
// sent nothing.
template <typename Write>
int RunWriters(int callsPerThread, Write write) {
  const HANDLE start = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<int> failedCalls{0};
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&, t] {
      WaitForSingleObject(start, INFINITE);
      for (int n = 0; n < callsPerThread; ++n) {
        if (write(t, n) <= 0) ++failedCalls;
      }
    });
  }
  Sleep(50);
  SetEvent(start);
  for (std::thread& w : writers) w.join();
  CloseHandle(start);
  return failedCalls;
}

TEST(ClientThreads, EightThreadsLoseMixAndReorderNothingAndShareOneConnection) {
  TestMailslot mailslot;
  ASSERT_TRUE(mailslot.valid());
  LoadedTellit dll;
  ASSERT_TRUE(dll.loaded() && dll.counted());

  Drain drain(mailslot);
  // All threads make their first call at the same moment: the connection step races. The two
  // functions alternate: they share the lock and the narrow buffer.
  const int failedCalls = RunWriters(kMessagesPerThread, [&](int t, int n) {
    return (n % 2) ? dll.tellitwf(L"thread %d message %d\n", t, n) : dll.tellitf("thread %d message %d\n", t, n);
  });
  const std::vector<std::string> received = drain.Finish(1 + kThreads * kMessagesPerThread);

  EXPECT_EQ(failedCalls, 0);
  EXPECT_EQ(systemCalls.createFile, 1) << "racing first calls opened the mailslot more than once";
  EXPECT_EQ(systemCalls.createMutex, 0) << "the calls are serialised without a kernel mutex";
  ASSERT_EQ(received.size(), 1u + kThreads * kMessagesPerThread);
  EXPECT_EQ(received.front(), Banner());

  std::map<int, int> nextOfThread;
  int banners = 0;
  for (const std::string& datagram : received) {
    if (datagram == Banner()) {
      ++banners;
      continue;
    }
    int t = -1, n = -1;
    char tail[4] = {};
    ASSERT_EQ(std::sscanf(datagram.c_str(), "thread %d message %d%3c", &t, &n, tail), 3) << datagram;
    ASSERT_EQ(std::string(tail, 1), "\n");
    ASSERT_EQ(datagram, Datagram("thread " + std::to_string(t) + " message " + std::to_string(n) + "\n"))
        << "a mixed or damaged message";
    ASSERT_EQ(n, nextOfThread[t]) << "thread " << t << " lost, repeated or reordered a message";
    ++nextOfThread[t];
  }
  EXPECT_EQ(banners, 1);
  EXPECT_EQ(nextOfThread.size(), static_cast<size_t>(kThreads));
}

// Every third message of each thread is too long for the buffers: its overflow notice and its cut
// text must leave back to back, with no other thread's datagram between them or inside them.
// (tellitwf's conversion grows the shared narrow buffer to 8191 bytes; 9000 spaces are cut in both.)
TEST(ClientThreads, EightThreadsSendEachCutMessageRightAfterItsNotice) {
  constexpr int kMessages = 600;
  constexpr size_t kCutDatagram = 4096;  // the first buffers' 4095 characters and the NUL
  TestMailslot mailslot;
  ASSERT_TRUE(mailslot.valid());
  LoadedTellit dll;
  ASSERT_TRUE(dll.loaded() && dll.counted());

  Drain drain(mailslot);
  const int failedCalls = RunWriters(kMessages, [&](int t, int n) {
    const bool cut = n % 3 == 0;
    if (n % 2) {
      return cut ? dll.tellitwf(L"thread %d message %d %-9000s|", t, n, L"")
                 : dll.tellitwf(L"thread %d message %d\n", t, n);
    }
    return cut ? dll.tellitf("thread %d message %d %-9000s|", t, n, "") : dll.tellitf("thread %d message %d\n", t, n);
  });
  const size_t cutMessages = kThreads * ((kMessages + 2) / 3);
  const std::vector<std::string> received = drain.Finish(1 + kThreads * kMessages + cutMessages);

  EXPECT_EQ(failedCalls, 0);
  ASSERT_EQ(received.size(), 1 + kThreads * kMessages + cutMessages);
  EXPECT_EQ(received.front(), Banner());
  std::map<int, int> nextOfThread;
  size_t notices = 0;
  for (size_t i = 1; i < received.size(); ++i) {
    const bool afterNotice = received[i - 1] == OverflowNotice();
    if (received[i] == OverflowNotice()) {
      ++notices;
      ASSERT_FALSE(afterNotice) << "two notices in a row at datagram " << i;
      continue;
    }
    int t = -1, n = -1;
    ASSERT_EQ(std::sscanf(received[i].c_str(), "thread %d message %d", &t, &n), 2) << "datagram " << i;
    const std::string head = "thread " + std::to_string(t) + " message " + std::to_string(n);
    if (n % 3 == 0) {
      const std::string& text = received[i];
      ASSERT_TRUE(afterNotice) << "the cut message " << head << " did not follow its notice";
      ASSERT_GE(text.size(), kCutDatagram);
      ASSERT_EQ(text.find_first_not_of(' ', head.size()), text.size() - 1) << "a mixed or damaged cut message";
    } else {
      ASSERT_FALSE(afterNotice) << "a notice was followed by the whole message " << head;
      ASSERT_EQ(received[i], Datagram(head + "\n")) << "a mixed or damaged message";
    }
    ASSERT_EQ(n, nextOfThread[t]) << "thread " << t << " lost, repeated or reordered a message";
    ++nextOfThread[t];
  }
  EXPECT_EQ(notices, cutMessages);
  EXPECT_EQ(nextOfThread.size(), static_cast<size_t>(kThreads));
}

// Writes fail now and then while eight threads send: each failure gives up the handle, and the
// next open must send its banner before any message, however the threads interleave.
TEST(ClientThreads, WritesFailingUnderEightThreadsAlwaysReconnectWithABannerFirst) {
  TestMailslot mailslot;
  ASSERT_TRUE(mailslot.valid());
  LoadedTellit dll;
  ASSERT_TRUE(dll.loaded() && dll.counted());
  systemCalls.failEveryNthWrite = 37;
  systemCalls.recording = true;

  Drain drain(mailslot);
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t) {
    writers.emplace_back([&, t] {
      for (int n = 0; n < 300; ++n) dll.tellitf("thread %d message %d\n", t, n);
    });
  }
  for (std::thread& w : writers) w.join();
  systemCalls.recording = false;
  const std::vector<std::string> received = drain.Finish(0);

  std::lock_guard<std::mutex> hold(systemCalls.recordLock);
  const auto& records = systemCalls.records;
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.front().call, SystemCalls::Call::kOpen);
  int failures = 0;
  for (size_t i = 0; i + 1 < records.size(); ++i) {
    const SystemCalls::Record& now = records[i];
    const SystemCalls::Record& next = records[i + 1];
    if (now.call == SystemCalls::Call::kOpen) {
      EXPECT_NE(next.call, SystemCalls::Call::kOpen) << "opened twice at record " << i;
      EXPECT_EQ(next.bytes, Banner()) << "record " << i + 1 << " follows an open without being the banner";
    }
    if (now.call == SystemCalls::Call::kFailedWrite) {
      ++failures;
      EXPECT_EQ(next.call, SystemCalls::Call::kOpen) << "a write after a failure without reconnecting, record " << i + 1;
    }
  }
  EXPECT_GT(failures, 10);
  EXPECT_EQ(systemCalls.createMutex, 0);
}

// A call whose format needs a bigger buffer replaces the buffer while another thread's call
// runs its connection step. The hook holds the growing call inside its allocation, with the
// old buffer already gone, and lets the other thread call: that call must wait instead of
// finding no buffer and putting a first one of its own in place (which the growing call would
// then free or write past).
namespace growth {
std::atomic<DWORD> growingThread{0};
std::atomic<bool> growing{false};
std::atomic<bool> otherAllocatedMeanwhile{false};
HANDLE letOtherCall = nullptr;
HANDLE otherAllocated = nullptr;

void BeforeMalloc(size_t size) {
  if (GetCurrentThreadId() == growingThread) {
    if (size <= 4096 || growing.exchange(true)) return;
    SetEvent(letOtherCall);
    // The other call either blocks on the lock of this growth or allocates at once.
    if (WaitForSingleObject(otherAllocated, 500) == WAIT_OBJECT_0) otherAllocatedMeanwhile = true;
  } else if (growing) {
    SetEvent(otherAllocated);
  }
}
}  // namespace growth

TEST(ClientThreads, ACallOnAnotherThreadNeverReplacesTheBufferAGrowingCallIsReplacing) {
  TestMailslot mailslot;
  ASSERT_TRUE(mailslot.valid());
  LoadedTellit dll;
  ASSERT_TRUE(dll.loaded() && dll.counted());
  ASSERT_EQ(dll.tellitf("first\n"), 7);  // connected; the first buffers exist

  growth::letOtherCall = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  growth::otherAllocated = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  growth::growingThread = GetCurrentThreadId();
  std::atomic<int> otherSent{-1};
  std::thread other([&] {
    WaitForSingleObject(growth::letOtherCall, 5000);
    otherSent = dll.tellitf("other\n");
  });
  systemCalls.beforeMalloc = &growth::BeforeMalloc;
  const std::string longText(300, 'x');  // a 301-character format asks for 4816 bytes
  const int sent = dll.tellitf((longText + "\n").c_str());
  other.join();
  systemCalls.beforeMalloc = nullptr;
  CloseHandle(growth::letOtherCall);
  CloseHandle(growth::otherAllocated);

  EXPECT_TRUE(growth::growing) << "the long format did not grow the buffer";
  EXPECT_FALSE(growth::otherAllocatedMeanwhile)
      << "another thread's call allocated a buffer while one was being replaced";
  EXPECT_EQ(sent, 302);
  EXPECT_EQ(otherSent, 7);
  std::vector<std::string> received;
  for (int i = 0; i < 4; ++i) {
    auto datagram = mailslot.Read();
    ASSERT_TRUE(datagram);
    received.push_back(*datagram);
  }
  EXPECT_EQ(received[0], Banner());
  EXPECT_EQ(received[1], Datagram("first\n"));
  EXPECT_EQ(received[2], Datagram(longText + "\n"));
  EXPECT_EQ(received[3], Datagram("other\n"));
}

}  // namespace
}  // namespace tellit::testing
