// AnswerProbe: how long a window takes to answer while a benchmark loads it. WM_NULL every 10 ms
// from a thread of its own, each answer's time kept, until stopped; and the percentiles of them.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

class AnswerProbe {
 public:
  explicit AnswerProbe(HWND window) : window_(window), thread_([this] { Run(); }) {}
  ~AnswerProbe() { Stop(); }
  AnswerProbe(const AnswerProbe&) = delete;
  AnswerProbe& operator=(const AnswerProbe&) = delete;
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  const std::vector<double>& milliseconds() const { return milliseconds_; }

 private:
  void Run() {
    LARGE_INTEGER frequency, before, after;
    QueryPerformanceFrequency(&frequency);
    while (!stop_) {
      DWORD_PTR result = 0;
      QueryPerformanceCounter(&before);
      SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
      QueryPerformanceCounter(&after);
      milliseconds_.push_back((after.QuadPart - before.QuadPart) * 1000.0 / frequency.QuadPart);
      Sleep(10);
    }
  }
  HWND window_;
  std::atomic<bool> stop_{false};
  std::vector<double> milliseconds_;
  std::thread thread_;
};

// The value below which `share` of the values lie (0.5: the median, 1: the largest).
inline double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(share * (values.size() - 1))];
}
