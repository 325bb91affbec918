// The tests' side of the channel: the monitor's mailslot, created by the test, read datagram by datagram.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "channel/channel.h"
#include "channel/exact_text.h"
#include "channel/sender_trailer.h"

namespace tellit::testing {

// The exact-text block of a datagram (sender trailer included), when it has one.
inline std::optional<channel::ExactText> ExactTextOf(const std::string& datagram) {
  channel::SenderTrailer trailer;
  const auto* bytes = reinterpret_cast<const uint8_t*>(datagram.data());
  if (!channel::ParseTrailer(bytes, datagram.size(), trailer)) return std::nullopt;
  channel::ExactText exact;
  if (!channel::ParseExactText(bytes, datagram.size() - channel::kTrailerBytes, datagram.find('\0'), exact)) {
    return std::nullopt;
  }
  return exact;
}

// The datagram as a reader of the text up to its NUL sees it: without its sender trailer and
// exact-text block; the datagram and a mark when it has no trailer.
inline std::string WithoutTrailer(const std::string& datagram) {
  channel::SenderTrailer trailer;
  if (!channel::ParseTrailer(reinterpret_cast<const uint8_t*>(datagram.data()), datagram.size(), trailer)) {
    return datagram + "<no sender trailer>";
  }
  if (ExactTextOf(datagram)) return datagram.substr(0, datagram.find('\0') + 1);
  return datagram.substr(0, datagram.size() - channel::kTrailerBytes);
}

class TestMailslot {
 public:
  // `readTimeoutMs` bounds each blocking read, so a missing datagram fails a test instead of hanging it.
  explicit TestMailslot(DWORD readTimeoutMs = 3000) {
    char name[channel::kNameBufferSize];
    channel::FormatMailslotName(name);
    handle_ = CreateMailslotA(name, 0, readTimeoutMs, nullptr);
  }
  ~TestMailslot() { Close(); }
  TestMailslot(const TestMailslot&) = delete;
  TestMailslot& operator=(const TestMailslot&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

  // The next datagram, every byte of it (NUL and sender trailer included); nothing when none came
  // within the time-out.
  std::optional<std::string> ReadWhole() {
    std::string bytes(70000, '\0');
    DWORD read = 0;
    if (!ReadFile(handle_, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) return std::nullopt;
    bytes.resize(read);
    return bytes;
  }

  // The next datagram as its sender's text and NUL: the sender trailer that every datagram of the
  // library carries is taken off, and one without it comes back marked, so that no test of the
  // text can pass on a datagram that lacks it.
  std::optional<std::string> Read() {
    std::optional<std::string> datagram = ReadWhole();
    if (datagram) *datagram = WithoutTrailer(*datagram);
    return datagram;
  }

  // Whether a datagram is queued right now.
  bool HasDatagram() const {
    DWORD next = MAILSLOT_NO_MESSAGE;
    return GetMailslotInfo(handle_, nullptr, &next, nullptr, nullptr) && next != MAILSLOT_NO_MESSAGE;
  }

  // Reads until no datagram comes for one read time-out.
  std::vector<std::string> ReadUntilQuiet() {
    std::vector<std::string> all;
    while (auto datagram = Read()) all.push_back(std::move(*datagram));
    return all;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// A datagram's text as the client sends it: the text and its NUL.
inline std::string Datagram(const std::string& text) { return text + std::string(1, '\0'); }

// Compares a received datagram with the expected text and its NUL; a long mismatch is reported by
// its sizes and first differing offset instead of both dumps.
inline ::testing::AssertionResult IsDatagram(const std::optional<std::string>& received, const std::string& text) {
  const std::string expected = Datagram(text);
  if (!received) return ::testing::AssertionFailure() << "no datagram arrived";
  if (*received == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < received->size() && at < expected.size() && (*received)[at] == expected[at]) ++at;
  auto failure = ::testing::AssertionFailure() << "datagram of " << received->size() << " bytes, expected "
                                              << expected.size() << "; first difference at byte " << at;
  if (received->size() < 200 && expected.size() < 200) {
    failure << ": received " << ::testing::PrintToString(*received) << ", expected "
            << ::testing::PrintToString(expected);
  }
  return failure;
}

inline std::string Banner() { return std::string(channel::kOpenBanner, channel::kOpenBannerBytes); }
inline std::string OverflowNotice() { return std::string(channel::kOverflowNotice, channel::kOverflowNoticeBytes); }

}  // namespace tellit::testing
