// A client process for the end-to-end tests: sends messages through tellit.dll.
//   monitor_e2e_client lines N PREFIX   N messages "PREFIX i\n", i from 0
//   monitor_e2e_client text TEXT        one message, TEXT as given
//   monitor_e2e_client japanese         one wide message: 日本語 and a line feed
//   monitor_e2e_client unicode          the line no code page holds, through tellitwf and then tellitu8f
//   monitor_e2e_client long N           one wide message: "long ", N euro signs (U+20AC), a line feed
//   monitor_e2e_client long-lines       a 10 KB argument the client cuts, messages of 70 KB and 150 KB
//   monitor_e2e_client threads T N TAG  T threads at once, thread t sending "TAG t i\n", i from 0 to N-1
//   monitor_e2e_client debug N TAG      N calls of OutputDebugStringA "TAG i\n" (debugw: OutputDebugStringW)
//   monitor_e2e_client global N TAG     N messages "TAG i\n" through the global debug-output objects,
//                                       as a service writes them
//   monitor_e2e_client lose              "before", a message of 300,000 bytes whose write fails under
//                                        Wine (its mailslots refuse writes above about 208 KB), "after"
// Exits with 0 when every call sent its message, 1 otherwise.
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "support/global_debug_output.h"
#include "support/unicode_line.h"
#include "tellit.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  bool sent = true;
  if (std::strcmp(argv[1], "lines") == 0 && argc == 4) {
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) sent = tellitf("%s %d\n", argv[3], i) > 0 && sent;
  } else if (std::strcmp(argv[1], "text") == 0 && argc == 3) {
    sent = tellitf("%s", argv[2]) > 0;
  } else if (std::strcmp(argv[1], "threads") == 0 && argc == 5) {
    const int threads = std::atoi(argv[2]);
    const int count = std::atoi(argv[3]);
    const char* tag = argv[4];
    std::atomic<bool> allSent{true};
    std::vector<std::thread> senders;
    for (int t = 0; t < threads; ++t) {
      senders.emplace_back([=, &allSent] {
        for (int i = 0; i < count; ++i) {
          if (tellitf("%s %d %d\n", tag, t, i) <= 0) allSent = false;
        }
      });
    }
    for (std::thread& sender : senders) sender.join();
    sent = allSent;
  } else if ((std::strcmp(argv[1], "debug") == 0 || std::strcmp(argv[1], "debugw") == 0) && argc == 4) {
    const bool wide = argv[1][5] == 'w';
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) {
      const std::string text = std::string(argv[3]) + " " + std::to_string(i) + "\n";
      if (wide) {
        OutputDebugStringW(std::wstring(text.begin(), text.end()).c_str());
      } else {
        OutputDebugStringA(text.c_str());
      }
    }
  } else if (std::strcmp(argv[1], "global") == 0 && argc == 4) {
    const int count = std::atoi(argv[2]);
    for (int i = 0; i < count; ++i) sent = WriteGlobalDebugOutput(std::string(argv[3]) + " " + std::to_string(i) + "\n") && sent;
  } else if (std::strcmp(argv[1], "lose") == 0) {
    // The long text is the format itself: the client's buffer grows for long formats only.
    const std::string lost(300000, 'x');
    sent = tellitf("before\n") > 0 && tellitf(lost.c_str()) == 0 && tellitf("after\n") > 0;
  } else if (std::strcmp(argv[1], "long-lines") == 0) {
    // A 10 KB argument (cut by the client at its first buffer, after its overflow notice, so that
    // its line end is cut off), then formats of 70 KB and 150 KB (datagrams above the 64 KiB that
    // Wine says a datagram is), between two short messages.
    const std::string argument(10 * 1024, 'a');
    const std::string format70 = std::string(70 * 1024, 'b') + "\n", format150 = std::string(150 * 1024, 'c') + "\n";
    sent = tellitf("first\n") > 0 && tellitf("%s\n", argument.c_str()) > 0 && tellitf(format70.c_str()) > 0 &&
           tellitf(format150.c_str()) > 0 && tellitf("last\n") > 0;
  } else if (std::strcmp(argv[1], "long") == 0 && argc == 3) {
    // The format itself is the text, as for "lose"; the euro sign is one byte in code page 1252
    // and three in UTF-8, so that a cut of the UTF-8 form can fall inside a character.
    const std::wstring text = L"long " + std::wstring(static_cast<std::size_t>(std::atoi(argv[2])), L'\u20AC') + L"\n";
    sent = tellitwf(text.c_str()) > 0;
  } else if (std::strcmp(argv[1], "unicode") == 0) {
    sent = tellitwf(L"%s", kUnicodeLine) > 0 && tellitu8f("%s", InCodePage(CP_UTF8, kUnicodeLine).c_str()) > 0;
  } else if (std::strcmp(argv[1], "japanese") == 0) {
    sent = tellitwf(L"\u65E5\u672C\u8A9E\n") > 0;
  } else {
    return 2;
  }
  return sent ? 0 : 1;
}
