// Log saving in process: the log dialog, the exclusive create and its questions, the dump, the remembered choice.
#include <windows.h>

#include <gtest/gtest.h>

#include "dialogs/ansi_text.h"
#include "monitor/app/monitor_app.h"
#include "monitor/resources/log_settings_ids.h"
#include "monitor/resources/resource_ids.h"
#include "monitor_host.h"
#include "support/dialog_driver.h"
#include "support/scratch_dir.h"

namespace {

// The record whose console and log the host's window shows.
MonitorApp& app = MonitorHost::App();

constexpr int kMessageBoxText = 0xFFFF;  // the static text of a message box

// What the log dialog showed when it opened.
struct Offered {
  std::string name;
  UINT checked = 0;
  std::wstring caption;
};

// Fills the log dialog and confirms it (or cancels when name is null).
UiScript& FillLogDialog(UiScript& script, Offered* offered, const char* name, bool saveConsole, bool utf8 = false) {
  return script.Then([] { return DialogWithControl(IDC_LOG_FILE_NAME); },
                     [=](HWND dialog) {
                       if (offered) {
                         offered->name = TextOf(GetDlgItem(dialog, IDC_LOG_FILE_NAME));
                         offered->checked = IsDlgButtonChecked(dialog, IDC_LOG_SAVE_CONSOLE);
                         offered->caption = WideTextOf(dialog);
                       }
                       if (!name) {
                         PostClick(dialog, IDCANCEL);
                         return;
                       }
                       SetDlgItemTextA(dialog, IDC_LOG_FILE_NAME, name);
                       CheckDlgButton(dialog, IDC_LOG_SAVE_CONSOLE,
                                      saveConsole ? BST_CHECKED : BST_UNCHECKED);
                       CheckDlgButton(dialog, IDC_LOG_UTF8, utf8 ? BST_CHECKED : BST_UNCHECKED);
                       PostClick(dialog, IDOK);
                     });
}

// Answers the next message box with a button, noting its text.
UiScript& AnswerMessageBox(UiScript& script, std::string* text, int button) {
  return script.Then([] { return DialogWithControl(kMessageBoxText); },
                     [=](HWND box) {
                       *text = TextOf(GetDlgItem(box, kMessageBoxText));
                       PostMessageA(box, WM_COMMAND, button, 0);
                     });
}

void StartSaving(UiScript& script) {
  ASSERT_TRUE(script.Run([] { app.log().Start(); }));
}

class LogSaving : public testing::Test {
 protected:
  void SetUp() override {
    MonitorHost::ResetConsole("first line\r\nsecond line\r\n");
    app.log().Stop();  // the Off state: 101 enabled, 102 greyed
  }
  MonitorHost host;
};

TEST_F(LogSaving, FirstUseOffersAnEmptyNameWithTheBoxChecked) {
  Offered offered;
  UiScript script;
  FillLogDialog(script, &offered, nullptr, false);
  StartSaving(script);
  EXPECT_EQ(offered.name, "");
  EXPECT_EQ(offered.checked, static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(offered.caption, L"Save Message Log");
  // Cancel changes nothing.
  EXPECT_FALSE(app.log().file().IsOpen());
  EXPECT_FALSE(host.SettingsFileExists());
  EXPECT_TRUE(MonitorHost::CommandEnabled(ID_FILE_START_LOG));
  EXPECT_FALSE(MonitorHost::CommandEnabled(ID_FILE_STOP_LOG));
}

TEST_F(LogSaving, JapaneseUsesTheJapaneseTemplate) {
  language = Language::kJapanese;
  Offered offered;
  UiScript script;
  FillLogDialog(script, &offered, nullptr, false);
  StartSaving(script);
  // An ANSI dialog holds its caption in the ANSI code page: exact on a Japanese system, question
  // marks elsewhere, and never the English caption.
  char expected[64];
  AnsiText(L"メッセージログをファイルに保存", expected);
  wchar_t wide[64] = {};
  MultiByteToWideChar(CP_ACP, 0, expected, -1, wide, 64);
  EXPECT_EQ(offered.caption, wide);
  EXPECT_NE(offered.caption, L"Save Message Log");
}

// A message whose exact text the ANSI code page lacks: the UTF-8 log gets every character, the
// ANSI log the bytes the console shows, as it always did; the choice is remembered.
TEST_F(LogSaving, AUtf8LogKeepsEveryCharacterAndAnAnsiLogItsBytes) {
  const std::string greek = "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xF0\x9F\x98\x80\n";
  Message message;
  message.text = reinterpret_cast<const uint8_t*>("?????\n");
  message.length = 6;
  message.utf8 = reinterpret_cast<const uint8_t*>(greek.data());
  message.utf8Length = greek.size();
  for (const bool utf8 : {true, false}) {
    SCOPED_TRACE(utf8 ? "UTF-8" : "ANSI");
    MonitorHost::ResetConsole("first line\r\nsecond line\r\n");
    const std::string name = host.Path(utf8 ? "utf8.log" : "ansi.log");
    UiScript script;
    FillLogDialog(script, nullptr, name.c_str(), true, utf8);
    StartSaving(script);
    ASSERT_TRUE(app.log().file().IsOpen());
    app.messageView().Take(message);
    app.messageView().ShowNotice("<< a notice >>\n");
    app.log().Stop();
    const std::string logged = utf8 ? "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xF0\x9F\x98\x80\r\n" : "?????\r\n";
    EXPECT_EQ(ReadWholeFile(name), "first line\r\nsecond line\r\n" + logged + "<< a notice >>\r\n");
    EXPECT_EQ(host.Section("log file")[3], std::make_pair(std::string("log encoding"), std::string(utf8 ? "1" : "0")));
  }
}

TEST_F(LogSaving, NewFileStartsWithTheConsoleTextAndTakesLaterMessages) {
  const std::string name = host.Path("new.log");
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), true);
  StartSaving(script);
  ASSERT_TRUE(app.log().file().IsOpen());
  EXPECT_EQ(ReadWholeFile(name), "first line\r\nsecond line\r\n");
  EXPECT_FALSE(MonitorHost::CommandEnabled(ID_FILE_START_LOG));
  EXPECT_TRUE(MonitorHost::CommandEnabled(ID_FILE_STOP_LOG));
  // The name and the options are remembered once the file is open: no size limit, five kept.
  const auto keys = host.Section("log file");
  ASSERT_EQ(keys.size(), 5u);
  EXPECT_EQ(keys[0], std::make_pair(std::string("save console"), std::string("1")));
  EXPECT_EQ(keys[1], std::make_pair(std::string("max size"), std::string("0")));
  EXPECT_EQ(keys[2], std::make_pair(std::string("keep"), std::string("5")));
  EXPECT_EQ(keys[3], std::make_pair(std::string("log encoding"), std::string("0")));
  EXPECT_EQ(keys[4], std::make_pair(std::string("file name"), name));

  app.log().Stop();
  EXPECT_FALSE(app.log().file().IsOpen());
  EXPECT_TRUE(MonitorHost::CommandEnabled(ID_FILE_START_LOG));
  EXPECT_FALSE(MonitorHost::CommandEnabled(ID_FILE_STOP_LOG));
}

TEST_F(LogSaving, WithTheBoxOffTheFileStartsEmpty) {
  const std::string name = host.Path("empty.log");
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), false);
  StartSaving(script);
  ASSERT_TRUE(app.log().file().IsOpen());
  EXPECT_EQ(ReadWholeFile(name), "");
  EXPECT_EQ(host.Section("log file")[0].second, "0");
}

TEST_F(LogSaving, EmptyConsoleWritesNothingFirst) {
  MonitorHost::ResetConsole("");
  const std::string name = host.Path("quiet.log");
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), true);
  StartSaving(script);
  ASSERT_TRUE(app.log().file().IsOpen());
  EXPECT_EQ(ReadWholeFile(name), "");
}

TEST_F(LogSaving, ConfirmingAnEmptyNameChangesNothing) {
  UiScript script;
  FillLogDialog(script, nullptr, "", true);
  StartSaving(script);
  EXPECT_FALSE(app.log().file().IsOpen());
  EXPECT_FALSE(host.SettingsFileExists());
}

TEST_F(LogSaving, ExistingFileAnsweredNoIsLeftUntouched) {
  const std::string name = host.Path("old.log");
  WriteWholeFile(name, "keep me");
  std::string question;
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), true);
  AnswerMessageBox(script, &question, IDNO);
  StartSaving(script);
  EXPECT_EQ(question, "\"" + name + "\" has already existed, overwrite ?");
  EXPECT_FALSE(app.log().file().IsOpen());
  EXPECT_EQ(ReadWholeFile(name), "keep me");
  EXPECT_FALSE(host.SettingsFileExists());
  EXPECT_TRUE(MonitorHost::CommandEnabled(ID_FILE_START_LOG));
  EXPECT_FALSE(MonitorHost::CommandEnabled(ID_FILE_STOP_LOG));
}

TEST_F(LogSaving, ExistingFileAnsweredYesIsEmptiedAndStartsWithTheConsoleText) {
  const std::string name = host.Path("old.log");
  WriteWholeFile(name, std::string(5000, 'x'));
  std::string question;
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), true);
  AnswerMessageBox(script, &question, IDYES);
  StartSaving(script);
  ASSERT_TRUE(app.log().file().IsOpen());
  EXPECT_EQ(ReadWholeFile(name), "first line\r\nsecond line\r\n");
}

// Every failure of the exclusive create used to be taken for an existing file: a missing folder
// asked whether to overwrite a file that was not there.
TEST_F(LogSaving, MissingFolderCannotOpenWithoutAsking) {
  const std::string name = host.Path("no such folder\\x.log");
  std::string failure;
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), true);
  AnswerMessageBox(script, &failure, IDOK);
  StartSaving(script);
  EXPECT_EQ(failure, "Can't open \"" + name + "\"");
  EXPECT_FALSE(app.log().file().IsOpen());
  EXPECT_FALSE(host.SettingsFileExists());
  EXPECT_TRUE(MonitorHost::CommandEnabled(ID_FILE_START_LOG));
}

// A failed write used to close the log and leave Stop enabled, so the user believed saving went on.
TEST_F(LogSaving, FailedWriteStopsSavingFlipsTheCommandsAndSaysWhy) {
  const std::string name = host.Path("failing.log");
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), true);
  StartSaving(script);
  ASSERT_TRUE(app.log().file().IsOpen());
  ASSERT_TRUE(MonitorHost::CommandEnabled(ID_FILE_STOP_LOG));
  // A handle that cannot be written to in the log's place makes the next write fail.
  app.log().file().Adopt(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(app.log().file().IsOpen());
  const char text[] = "third line\n";
  app.messageView().ShowReceived(reinterpret_cast<const unsigned char*>(text), sizeof text - 1);

  EXPECT_FALSE(app.log().file().IsOpen());
  EXPECT_TRUE(MonitorHost::CommandEnabled(ID_FILE_START_LOG));
  EXPECT_FALSE(MonitorHost::CommandEnabled(ID_FILE_STOP_LOG));
  EXPECT_EQ(ReadWholeFile(name), "first line\r\nsecond line\r\n") << "what was written stays";

  MSG posted = {};
  ASSERT_TRUE(PeekMessageA(&posted, MonitorHost::Window(), kTroubleMessage, kTroubleMessage, PM_REMOVE));
  EXPECT_EQ(posted.wParam, static_cast<WPARAM>(MonitorApp::kLogStopped));
  EXPECT_NE(posted.lParam, 0);
  std::string told;
  UiScript box;
  AnswerMessageBox(box, &told, IDOK);
  ASSERT_TRUE(box.Run([&] {
    app.ShowTrouble(static_cast<MonitorApp::Trouble>(posted.wParam), static_cast<DWORD>(posted.lParam));
  }));
  const std::string start = "Saving the message log to \"" + name + "\" stopped: ";
  EXPECT_EQ(told.compare(0, start.size(), start), 0) << told;
  EXPECT_GT(told.size(), start.size()) << "the system's reason follows";
}

TEST_F(LogSaving, NextUseOffersTheLastNameAndOption) {
  const std::string name = host.Path("again.log");
  UiScript first;
  FillLogDialog(first, nullptr, name.c_str(), false);
  StartSaving(first);
  app.log().Stop();

  Offered offered;
  UiScript second;
  FillLogDialog(second, &offered, nullptr, false);
  StartSaving(second);
  EXPECT_EQ(offered.name, name);
  EXPECT_EQ(offered.checked, static_cast<UINT>(BST_UNCHECKED));
}

TEST_F(LogSaving, WhileSavingTheCommandOnlyGreysItself) {
  const std::string name = host.Path("busy.log");
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), true);
  StartSaving(script);
  const HANDLE open = app.log().file().handle();
  ASSERT_NE(open, nullptr);
  EnableMenuItem(GetMenu(MonitorHost::Window()), ID_FILE_START_LOG, MF_BYCOMMAND | MF_ENABLED);
  UiScript none;  // no dialog may appear
  EXPECT_TRUE(none.Run([] { app.log().Start(); }));
  EXPECT_EQ(app.log().file().handle(), open);
  EXPECT_FALSE(MonitorHost::CommandEnabled(ID_FILE_START_LOG));
}

TEST_F(LogSaving, StopAfterALostFileReturnsToOff) {
  // The receiver closes the file after a failed write and leaves the commands as they were.
  const std::string name = host.Path("lost.log");
  UiScript script;
  FillLogDialog(script, nullptr, name.c_str(), true);
  StartSaving(script);
  app.log().file().Close();
  app.log().Stop();
  EXPECT_TRUE(MonitorHost::CommandEnabled(ID_FILE_START_LOG));
  EXPECT_FALSE(MonitorHost::CommandEnabled(ID_FILE_STOP_LOG));
}

TEST_F(LogSaving, BrowseOnlyFillsTheNameField) {
  const std::string chosen = host.Path("browsed.log");
  std::string shown;
  UiScript script;
  script.Then([] { return DialogWithControl(IDC_LOG_FILE_NAME); },
              [](HWND dialog) { PostClick(dialog, IDC_LOG_BROWSE); })
      .Then(FileChooser, [&](HWND chooser) { ChooseFile(chooser, chosen); })
      .Then([] {
              const HWND dialog = DialogWithControl(IDC_LOG_FILE_NAME);
              // Wait until the chooser has closed and the name arrived.
              return dialog && !FileChooser() &&
                             !TextOf(GetDlgItem(dialog, IDC_LOG_FILE_NAME)).empty()
                         ? dialog
                         : nullptr;
            },
            [&](HWND dialog) {
              shown = TextOf(GetDlgItem(dialog, IDC_LOG_FILE_NAME));
              PostClick(dialog, IDCANCEL);
            });
  StartSaving(script);
  EXPECT_EQ(shown, chosen);
  EXPECT_FALSE(FileExists(chosen));
  EXPECT_FALSE(app.log().file().IsOpen());
}

// The name is read back with room for 258 characters and its NUL: the box takes no more, so
// what is shown is what OK uses, never a name cut short behind the user's back.
TEST_F(LogSaving, TheNameBoxTakesNoMoreThanTheNameCanHold) {
  LRESULT limit = 0;
  std::string typed;
  UiScript script;
  script.Then([] { return DialogWithControl(IDC_LOG_FILE_NAME); },
              [&](HWND dialog) {
                const HWND box = GetDlgItem(dialog, IDC_LOG_FILE_NAME);
                limit = SendMessageA(box, EM_GETLIMITTEXT, 0, 0);
                // Typed or pasted text goes through the selection replacement, which the limit stops.
                const std::string tooLong = host.Path("") + std::string(300, 'n') + ".log";
                SendMessageA(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(tooLong.c_str()));
                typed = TextOf(box);
                PostClick(dialog, IDCANCEL);
              });
  StartSaving(script);
  EXPECT_EQ(limit, MAX_PATH - 2);
  EXPECT_EQ(typed.size(), static_cast<size_t>(MAX_PATH - 2));
  EXPECT_FALSE(app.log().file().IsOpen());
}

}  // namespace
