// Separate client processes: two at once interleave whole messages, and a client of the other bitness reaches this reader.
#include <windows.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "loaded_tellit.h"
#include "support/other_bitness.h"
#include "test_mailslot.h"

namespace tellit::testing {
namespace {

class ChildProcess {
 public:
  explicit ChildProcess(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string mutableLine = commandLine;
    started_ = CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &info_) != 0;
  }
  ~ChildProcess() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return started_; }
  DWORD Wait() {
    DWORD code = 1000;
    if (WaitForSingleObject(info_.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION info_{};
};

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Every message of each tag arrives once, whole and in its order; returns the count per tag.
std::map<std::string, int> CheckMessages(const std::vector<std::string>& received, int bits, int& banners,
                                         std::vector<std::string>& order) {
  std::map<std::string, int> next;
  for (const std::string& datagram : received) {
    if (datagram == Banner()) {
      ++banners;
      continue;
    }
    char tag[16] = {};
    int b = 0, n = 0;
    if (std::sscanf(datagram.c_str(), "%15s ready %d", tag, &b) == 2) {
      EXPECT_EQ(datagram, Datagram(std::string(tag) + " ready " + std::to_string(bits) + "\n"));
      continue;
    }
    if (std::sscanf(datagram.c_str(), "%15s %d %d", tag, &b, &n) != 3) {
      ADD_FAILURE() << "unexpected datagram: " << datagram;
      continue;
    }
    EXPECT_EQ(datagram, Datagram(std::string(tag) + " " + std::to_string(bits) + " " + std::to_string(n) + "\n"));
    EXPECT_EQ(n, next[tag]) << tag << " lost, repeated or reordered a message";
    next[tag] = n + 1;
    order.push_back(tag);
  }
  return next;
}

TEST(ClientProcesses, TwoClientsHoldingTheirHandlesAtOnceBothDeliverEveryMessage) {
  TestMailslot mailslot;
  ASSERT_TRUE(mailslot.valid());
  constexpr int kCount = 1500;
  const char* const kStart = "tellit_client_process_test_start";
  HANDLE start = CreateEventA(nullptr, TRUE, FALSE, kStart);
  ASSERT_NE(start, nullptr);

  const std::string sender = Quoted(ProgramFolder() + "tellit_sender.exe");
  ChildProcess a(sender + " A " + std::to_string(kCount) + " " + kStart);
  ChildProcess b(sender + " B " + std::to_string(kCount) + " " + kStart);
  ASSERT_TRUE(a.started() && b.started());

  // Both have opened the mailslot (banner and "ready" each) before either sends its messages,
  // so the second open happened while the first handle was held.
  std::vector<std::string> received;
  int readies = 0;
  while (readies < 2) {
    auto datagram = mailslot.Read();
    ASSERT_TRUE(datagram) << "a client did not connect; received " << received.size() << " datagrams";
    if (datagram->find(" ready ") != std::string::npos) ++readies;
    received.push_back(std::move(*datagram));
  }
  SetEvent(start);
  // Drain while they write: a writer blocks when too many datagrams wait.
  while (received.size() < 4u + 2 * kCount) {
    auto datagram = mailslot.Read();
    if (!datagram) break;
    received.push_back(std::move(*datagram));
  }
  EXPECT_EQ(a.Wait(), 0u);
  EXPECT_EQ(b.Wait(), 0u);
  CloseHandle(start);

  int banners = 0;
  std::vector<std::string> order;
  const auto counts = CheckMessages(received, 32 * static_cast<int>(sizeof(void*) / 4), banners, order);
  EXPECT_EQ(banners, 2);
  EXPECT_EQ(received.front(), Banner());
  ASSERT_EQ(counts.size(), 2u);
  EXPECT_EQ(counts.at("A"), kCount);
  EXPECT_EQ(counts.at("B"), kCount);
}

TEST(ClientProcesses, ClientOfTheOtherBitnessReachesThisReader) {
  const OtherBitness other = FindOtherBitness();
  if (other.folder.empty()) GTEST_SKIP() << other.whyNot;
  const std::string path = other.folder + "/tellit_sender.exe";
  ASSERT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path << " is missing";

  TestMailslot mailslot;
  ASSERT_TRUE(mailslot.valid());
  constexpr int kCount = 200;
  ChildProcess client(Quoted(path) + " W " + std::to_string(kCount));
  ASSERT_TRUE(client.started());
  std::vector<std::string> received;
  while (received.size() < 2u + kCount) {
    auto datagram = mailslot.Read();
    if (!datagram) break;
    received.push_back(std::move(*datagram));
  }
  EXPECT_EQ(client.Wait(), 0u);

  int banners = 0;
  std::vector<std::string> order;
  const auto counts = CheckMessages(received, other.bits, banners, order);
  EXPECT_EQ(banners, 1);
  ASSERT_EQ(received.size(), 2u + kCount);
  EXPECT_EQ(received[0], Banner());
  EXPECT_EQ(received[1], Datagram("W ready " + std::to_string(other.bits) + "\n"));
  EXPECT_EQ(counts.at("W"), kCount);
}

}  // namespace
}  // namespace tellit::testing
