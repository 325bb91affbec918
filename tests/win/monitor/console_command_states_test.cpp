// The console window on its own reports which Edit commands it can carry out to whatever it is
// given, and goes on without complaint when it is given nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "support/clipboard_holder.h"

#include "monitor/resources/resource_ids.h"
#include "monitor/view/vgl_console.h"

namespace {

// The last state reported for each command.
class RecordedStates : public CommandStates {
 public:
  void SetCommandEnabled(int command, bool enabled) override { states[command] = enabled; }
  void CommandFailed(int command) override { failed.push_back(command); }
  std::map<int, bool> states;
  std::vector<int> failed;
};

class ConsoleCommandStates : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowExA(0, "STATIC", "console test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(parent_, nullptr);
    console_.commandStates = &recorded_;
    ASSERT_EQ(console_.Create(parent_), 1);
  }
  void TearDown() override { DestroyWindow(parent_); }  // the console window before its object
  void Write(const char* text) { console_.Write(text, static_cast<int>(std::strlen(text)), 0); }

  HWND parent_ = nullptr;
  RecordedStates recorded_;
  VGL_Console console_;
};

TEST_F(ConsoleCommandStates, TextSelectionAndEraseAreReportedToTheGivenStates) {
  Write("first\r\nsecond\r\n");
  EXPECT_EQ(recorded_.states, (std::map<int, bool>{{ID_EDIT_SELECT_ALL, true}, {ID_EDIT_ALL_COPY, true},
                                                  {ID_EDIT_ALL_ERASE, true}}));
  console_.ShowFound(0, 4);
  EXPECT_TRUE(recorded_.states[ID_EDIT_COPY]);
  Write("third\r\n");  // new text drops the selection
  EXPECT_FALSE(recorded_.states[ID_EDIT_COPY]);
  console_.Clear();
  for (int command : {ID_EDIT_COPY, ID_EDIT_SELECT_ALL, ID_EDIT_ALL_COPY, ID_EDIT_ALL_ERASE})
    EXPECT_FALSE(recorded_.states[command]) << command;
}

// A copy that the clipboard refused used to grey Copy and drop the selection without a word.
TEST_F(ConsoleCommandStates, CopyRefusedByTheClipboardIsReportedAndStaysOffered) {
  Write("some text\r\n");
  console_.ShowFound(0, 3);
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.holding());
    EXPECT_EQ(console_.Copy(), -1);
  }
  EXPECT_EQ(recorded_.failed, std::vector<int>{ID_EDIT_COPY});
  EXPECT_TRUE(recorded_.states[ID_EDIT_COPY]);
  EXPECT_EQ(console_.text.selection.state, Selection::kFinished);
  EXPECT_EQ(console_.Copy(), 1);
  EXPECT_FALSE(recorded_.states[ID_EDIT_COPY]);
  EXPECT_EQ(recorded_.failed.size(), 1u);
}

TEST_F(ConsoleCommandStates, AConsoleTellingNobodyStillTakesTextAndSelections) {
  console_.commandStates = nullptr;
  Write("alone\r\n");
  console_.ShowFound(0, 4);
  EXPECT_EQ(console_.text.selection.state, Selection::kFinished);
  console_.Clear();
  EXPECT_EQ(console_.text.used, 0u);
  EXPECT_TRUE(recorded_.states.empty());
}

}  // namespace
