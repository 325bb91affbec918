// Files opened in vigilo.exe, as a user meets them: a capture of tellitcap's JSON lines shown
// with its senders, a log handed over by a second start, a history saved as JSON lines and opened
// again, a file followed across its rotation, and bad input told while what can be read shows.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "capture_process.h"
#include "resource_ids.h"
#include "support/clipboard.h"
#include "support/dialog_driver.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"
#include "support/screenshot.h"
#include "support/unicode_line.h"

namespace {

const std::string kEnglish = "[system]\r\nlanguage=0\r\n";
const std::string kJapanese = "[system]\r\nlanguage=1\r\n";

std::string Client(const std::string& arguments) {
  return "\"" + BinDirectory() + "\\monitor_e2e_client.exe\" " + arguments;
}

// The common file dialog once its name box stands (Explorer style: a combo box).
bool IsFileChooser(HWND dialog) { return GetDlgItem(dialog, cmb13) != nullptr || GetDlgItem(dialog, edt1) != nullptr; }

std::string Vigilo() { return "\"" + BinDirectory() + "\\vigilo.exe\""; }

// Writes as a writer that shares its file with the monitor reading it: appending (the file only
// grows) or from its start (the file is cut to the bytes).
void WriteShared(const std::string& path, const std::string& bytes, bool append) {
  const HANDLE file = CreateFileA(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << GetLastError();
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
  CloseHandle(file);
}

class OpenedFilesEndToEnd : public ::testing::Test {
 protected:
  void Start(const std::string& ini, const std::string& arguments = {}) {
    ASSERT_TRUE(WaitUntilNoMonitorRuns()) << "an earlier monitor is still running";
    monitor_ = std::make_unique<MonitorProcess>(dir_.path(), ini, arguments);
    ASSERT_TRUE(monitor_->WaitForWindow());
  }
  void TearDown() override {
    if (monitor_) {
      EXPECT_EQ(monitor_->Exit(), 0u);
    }
    monitor_.reset();
  }
  // A second vigilo.exe naming the file: it must hand it over and end at once.
  void HandOver(const std::string& file) {
    ChildProcess second(Vigilo() + " \"" + file + "\"", dir_.path());
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.Wait(10000), 0u) << "the second start did not end";
  }
  // The console's lines once there are `count` of them (the last one empty after its line end).
  std::vector<std::string> WaitForLines(size_t count, DWORD milliseconds = 20000) {
    std::vector<std::string> lines;
    WaitUntil(
        [&] {
          lines = Lines(monitor_->ConsoleText());
          return lines.size() >= count;
        },
        milliseconds);
    return lines;
  }
  // Whether the main window answers a message within a second.
  bool Answers() const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(monitor_->window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
  }
  bool WaitForText(const std::string& part, DWORD milliseconds = 20000) {
    return WaitUntil([&] { return monitor_->ConsoleText().find(part) != std::string::npos; }, milliseconds);
  }

  ScratchDir dir_;
  std::unique_ptr<MonitorProcess> monitor_;
  DWORD clientPid_ = 0;
};

// tellitcap --json captures 1,000 numbered messages; the capture given on the command line shows
// them all in order, each after its sender when View > Senders is on, and without it when off.
TEST_F(OpenedFilesEndToEnd, ACaptureShowsEveryMessageInOrderWithItsSender) {
  constexpr int kCount = 1000;
  {
    CaptureProcess capture(dir_, "--json -o capture.jsonl --count " + std::to_string(kCount + 1));
    ASSERT_TRUE(capture.WaitUntilListening());
    ChildProcess client(Client("lines " + std::to_string(kCount) + " num"), "");
    ASSERT_TRUE(client.started());
    ASSERT_EQ(client.Wait(60000), 0u);
    ASSERT_EQ(capture.Wait(20000), 0u) << capture.Errors();
    clientPid_ = client.id();
  }
  Start(kEnglish + "show senders=1\r\n", "capture.jsonl");
  std::vector<std::string> lines = WaitForLines(kCount + 1);
  ASSERT_GE(lines.size(), size_t(kCount + 1));
  const std::string prefix = "[" + std::to_string(clientPid_) + "] ";
  EXPECT_EQ(lines[0], prefix + "<< open TELLIT monitor >>");
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(lines[size_t(i) + 1], prefix + "num " + std::to_string(i)) << i;

  monitor_->Command(ID_VIEW_SENDERS);
  lines = Lines(monitor_->ConsoleText());
  ASSERT_GE(lines.size(), size_t(kCount + 1));
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(lines[size_t(i) + 1], "num " + std::to_string(i)) << i;
}

// A text log named to a second start opens in the monitor that runs (a UTF-8 line shown in the
// ANSI code page), the second start ends, and Close File shows the live console again.
TEST_F(OpenedFilesEndToEnd, ASecondStartHandsItsLogToTheRunningMonitor) {
  Start(kEnglish);
  std::string log;
  for (int i = 0; i < 20; ++i) log += "log line " + std::to_string(i) + "\r\n";
  log += "caf\xC3\xA9\r\n";
  WriteWholeFile(dir_.File("app.log.txt"), log);
  HandOver("app.log.txt");
  std::vector<std::string> lines = WaitForLines(21);
  ASSERT_GE(lines.size(), 21u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(lines[size_t(i)], "log line " + std::to_string(i));
  EXPECT_EQ(lines[20], "caf\xE9");  // cp1252
  EXPECT_TRUE(monitor_->ButtonEnabled(ID_EDIT_ALL_COPY));
  EXPECT_FALSE(monitor_->ButtonEnabled(ID_EDIT_ALL_ERASE)) << "an opened file is read-only";
  EXPECT_EQ(FindWindowExA(nullptr, monitor_->window(), "VIGILO WINDOW", nullptr), nullptr) << "a second window";

  monitor_->Command(ID_FILE_CLOSE_FILE);
  EXPECT_EQ(monitor_->ConsoleText().find("log line"), std::string::npos);
}

// A log written in UTF-8 opens with every character, whatever the ANSI code page lacks: the
// console's Unicode text is the file's, as the system converts it.
TEST_F(OpenedFilesEndToEnd, AUtf8LogOpensWithEveryCharacter) {
  const std::string line = InCodePage(CP_UTF8, kUnicodeLine);
  const std::string logged = line.substr(0, line.size() - 1) + "\r\n";
  WriteWholeFile(dir_.File("unicode.log"), "first\r\n" + logged);
  Start(kEnglish, "unicode.log");
  ASSERT_TRUE(WaitForText("first\r\n"));
  const std::wstring expected = L"first\r\n" + FromCodePage(CP_UTF8, logged);
  EXPECT_TRUE(WaitUntil(
      [&] {
        ClearClipboard();
        monitor_->Command(ID_EDIT_ALL_COPY);
        return ClipboardUnicode() == expected;
      },
      10000))
      << "the file's text did not show whole";
}

// A history saved as JSON lines opens again with the same lines, senders and stamps.
TEST_F(OpenedFilesEndToEnd, SavedJsonLinesOpenBackAsTheyWere) {
  std::string records;
  for (int i = 0; i < 30; ++i) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "{\"time\":\"2024-05-06T07:08:%02d.%03dZ\",\"source\":\"%s\",\"pid\":%d,\"program\":\"%s\","
                  "\"tid\":%d,\"seq\":%d,\"sent\":\"2024-05-06T07:08:%02d.000Z\",\"text\":\"message %d\\n\"}\n",
                  i, i * 7, i % 3 == 2 ? "debug" : "tellit", 4000 + i % 3, i % 2 ? "beta.exe" : "alpha.exe", 9, i, i,
                  i);
    records += line;
  }
  WriteWholeFile(dir_.File("history.jsonl"), records);
  Start(kEnglish + "show senders=1\r\ntime stamps=1\r\n", "history.jsonl");
  const std::vector<std::string> opened = WaitForLines(30);
  ASSERT_GE(opened.size(), 30u);
  EXPECT_NE(opened[0].find("[4000 alpha.exe] message 0"), std::string::npos) << opened[0];
  EXPECT_NE(opened[1].find("[4001 beta.exe] message 1"), std::string::npos) << opened[1];

  monitor_->PostCommand(ID_FILE_SAVE_AS);
  const HWND dialog = monitor_->WaitForDialog(IsFileChooser);
  ASSERT_NE(dialog, nullptr);
  const std::string saved = dir_.File("saved.jsonl");
  // From another process the name goes in as WM_SETTEXT (CDM_SETCONTROLTEXT's pointer would not
  // cross), and again until it stays: the dialog's own start may still fill the box.
  const int nameBox = GetDlgItem(dialog, cmb13) ? cmb13 : edt1;
  ASSERT_TRUE(WaitUntil(
      [&] {
        SetDlgItemTextA(dialog, nameBox, saved.c_str());
        return ControlText(dialog, nameBox) == saved;
      },
      5000));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return ReadWholeFile(saved).size() > 30 * 40; }, 10000))
      << "nothing saved";
  EXPECT_TRUE(monitor_->WaitForNoDialog());

  monitor_->Command(ID_FILE_CLOSE_FILE);
  HandOver(saved);
  std::vector<std::string> reopened;
  WaitUntil(
      [&] {
        reopened = Lines(monitor_->ConsoleText());
        return reopened == opened;
      },
      20000);
  EXPECT_EQ(reopened, opened);
}

// File > Follow: new lines appear as the file grows, also after the file was renamed away and a
// new one begun under its name.
TEST_F(OpenedFilesEndToEnd, FollowGoesOnAcrossRotation) {
  const std::string run = dir_.File("run.log"), older = dir_.File("run.1.log");
  std::string first;
  for (int i = 0; i < 10; ++i) first += "r " + std::to_string(i) + "\r\n";
  WriteWholeFile(run, first);
  Start(kEnglish, "run.log");
  ASSERT_GE(WaitForLines(10).size(), 10u);
  monitor_->Command(ID_FILE_FOLLOW);

  std::string more;
  for (int i = 10; i < 20; ++i) more += "r " + std::to_string(i) + "\r\n";
  WriteShared(run, more, true);
  ASSERT_TRUE(WaitForText("r 19\r\n"));
  ASSERT_TRUE(MoveFileA(run.c_str(), older.c_str())) << GetLastError();
  std::string next;
  for (int i = 20; i < 30; ++i) next += "r " + std::to_string(i) + "\r\n";
  WriteShared(run, next, true);
  ASSERT_TRUE(WaitForText("r 29\r\n"));
  EXPECT_TRUE(WaitForText("was begun again under its name"));

  std::vector<std::string> numbered;
  for (const std::string& line : Lines(monitor_->ConsoleText())) {
    if (line.rfind("r ", 0) == 0) numbered.push_back(line);
  }
  ASSERT_EQ(numbered.size(), 30u);
  for (int i = 0; i < 30; ++i) EXPECT_EQ(numbered[size_t(i)], "r " + std::to_string(i));
}

// A followed file cut short is told and read again from its start; one deleted keeps what was
// read, and the monitor answers. (Under Wine the name stays taken while the monitor holds the
// deleted file, so a new file under it cannot be made here.)
TEST_F(OpenedFilesEndToEnd, AFollowedFileCutShortOrDeletedKeepsWhatWasRead) {
  const std::string run = dir_.File("cut.log");
  WriteWholeFile(run, "first long line of the file\r\nsecond long line of the file\r\n");
  Start(kEnglish, "cut.log");
  ASSERT_TRUE(WaitForText("second long line"));
  monitor_->Command(ID_FILE_FOLLOW);
  WriteShared(run, "short\r\n", false);
  ASSERT_TRUE(WaitForText("got shorter while it was read"));
  ASSERT_TRUE(WaitForText("short\r\n"));
  EXPECT_NE(monitor_->ConsoleText().find("second long line of the file\r\n"), std::string::npos) << "what was read went";

  ASSERT_TRUE(DeleteFileA(run.c_str())) << GetLastError();
  EXPECT_TRUE(Answers());
  EXPECT_NE(monitor_->ConsoleText().find("short\r\n"), std::string::npos);
}

// Binary data, malformed JSON lines, a 10 MB line and a file that cannot be opened: each told,
// what can be read shown, and the monitor keeps answering.
TEST_F(OpenedFilesEndToEnd, BadInputIsToldAndWhatCanBeReadShows) {
  Start(kEnglish);
  WriteWholeFile(dir_.File("binary.bin"), std::string("before\r\n\x00\x01\x02\xFF\x00 data\r\nafter\r\n", 27));
  HandOver("binary.bin");
  ASSERT_TRUE(WaitForText("after\r\n"));
  std::string text = monitor_->ConsoleText();
  EXPECT_NE(text.find("looks like binary data"), std::string::npos) << text;
  EXPECT_NE(text.find("before\r\n.\x01\x02\xFF. data\r\nafter\r\n"), std::string::npos) << text;
  monitor_->Command(ID_FILE_CLOSE_FILE);

  WriteWholeFile(dir_.File("broken.jsonl"),
                 "{\"time\":\"2024-05-06T07:08:09.123Z\",\"source\":\"tellit\",\"text\":\"good 1\\n\"}\n"
                 "{\"time\":\"2024-05-06T07:08:09.123Z\",\"text\":\"unclosed\n"
                 "{\"time\":\"2024-05-06T07:08:10.000Z\",\"source\":\"tellit\",\"text\":\"good 2\\n\"}\n");
  HandOver("broken.jsonl");
  ASSERT_TRUE(WaitForText("no JSON record"));
  text = monitor_->ConsoleText();
  EXPECT_NE(text.find("good 1\r\n{\"time\":\"2024-05-06T07:08:09.123Z\",\"text\":\"unclosed\r\ngood 2\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("1 lines hold no JSON record"), std::string::npos) << text;
  monitor_->Command(ID_FILE_CLOSE_FILE);

  WriteWholeFile(dir_.File("long.txt"), "short\r\n" + std::string(10u << 20, 'x') + "\r\nlast\r\n");
  HandOver("long.txt");
  ASSERT_TRUE(WaitForText("last\r\n", 60000));
  text = monitor_->ConsoleText();
  EXPECT_NE(text.find("was cut"), std::string::npos);
  EXPECT_NE(text.find("short\r\n"), std::string::npos);
  monitor_->Command(ID_FILE_CLOSE_FILE);

  HandOver("missing.txt");
  const HWND box = monitor_->WaitForDialog();
  ASSERT_NE(box, nullptr) << "no message box";
  char said[512] = "";
  GetDlgItemTextA(box, 0xFFFF, said, sizeof said);
  EXPECT_NE(std::string(said).find("missing.txt"), std::string::npos) << said;
  EXPECT_NE(std::string(said).find("Can't open"), std::string::npos) << said;
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(monitor_->WaitForNoDialog());
  EXPECT_TRUE(Answers());
}

// Screenshots of File > Open... and of an opened file: in English here, in Japanese below.
void TakeScreenshots(MonitorProcess& monitor, const std::string& suffix) {
  ASSERT_TRUE(SaveScreenshot(monitor.window(), "files-opened-" + suffix));
  monitor.PostCommand(ID_FILE_OPEN);
  const HWND dialog = monitor.WaitForDialog(IsFileChooser);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(SaveScreenshot(std::vector<HWND>{monitor.window(), dialog}, "files-open-dialog-" + suffix));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(monitor.WaitForNoDialog());
}

TEST_F(OpenedFilesEndToEnd, ScreenshotsInEnglish) {
  WriteWholeFile(dir_.File("shown.jsonl"),
                 "{\"time\":\"2024-05-06T07:08:09.123Z\",\"source\":\"tellit\",\"pid\":4000,\"program\":\"alpha.exe\","
                 "\"text\":\"opened from a capture\\n\"}\n");
  Start(kEnglish + "show senders=1\r\n", "shown.jsonl");
  ASSERT_TRUE(WaitForText("opened from a capture"));
  TakeScreenshots(*monitor_, "en");
}

TEST_F(OpenedFilesEndToEnd, ScreenshotsInJapanese) {
  ASSERT_EQ(GetACP(), 932u) << "the Japanese run needs the Japanese locale";
  WriteWholeFile(dir_.File("shown.jsonl"),
                 "{\"time\":\"2024-05-06T07:08:09.123Z\",\"source\":\"tellit\",\"pid\":4000,\"program\":\"alpha.exe\","
                 "\"text\":\"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E capture\\n\"}\n");
  Start(kJapanese + "show senders=1\r\n[console]\r\ntext font name=IPAGothic\r\n", "shown.jsonl");
  ASSERT_TRUE(WaitForText("\x93\xFA\x96\x7B\x8C\xEA capture"));  // cp932
  TakeScreenshots(*monitor_, "ja");
}

}  // namespace
