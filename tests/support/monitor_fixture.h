// A test fixture with vigilo.exe in a scratch directory of its own: Start shows its window, and
// the monitor is exited (and must exit cleanly) when the test ends. Header only: it needs
// GoogleTest, which the support library does not link.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "monitor/resources/log_settings_ids.h"
#include "monitor/resources/resource_ids.h"
#include "support/monitor_process.h"
#include "support/scratch_dir.h"

class MonitorFixture : public ::testing::Test {
 protected:
  // A monitor of the test's own: the one of an earlier test must have gone first.
  void Start(const std::string& ini) {
    ASSERT_TRUE(WaitUntilNoMonitorRuns()) << "an earlier monitor is still running";
    monitor_.reset(new MonitorProcess(dir_.path(), ini));
    ASSERT_TRUE(monitor_->WaitForWindow());
  }
  void TearDown() override {
    if (monitor_) {
      EXPECT_EQ(monitor_->Exit(), 0u);
    }
    monitor_.reset();
  }
  MonitorProcess& monitor() { return *monitor_; }

  // Starts saving the log to the file through the log dialog, with its "save console" box as
  // given (and its size limit and files kept, when given, and in UTF-8 when asked), and waits until
  // Stop is offered.
  void StartLog(const std::string& path, bool saveConsole, int maxSizeMb = -1, int keep = -1, bool utf8 = false) {
    monitor().PostCommand(ID_FILE_START_LOG);
    const HWND dialog = monitor().WaitForDialogWithControl(IDC_LOG_FILE_NAME);
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, IDC_LOG_FILE_NAME, path.c_str());
    SendDlgItemMessageA(dialog, IDC_LOG_SAVE_CONSOLE, BM_SETCHECK, saveConsole ? BST_CHECKED : BST_UNCHECKED, 0);
    if (maxSizeMb >= 0) SetDlgItemInt(dialog, IDC_LOG_MAX_SIZE, static_cast<UINT>(maxSizeMb), FALSE);
    if (keep >= 0) SetDlgItemInt(dialog, IDC_LOG_KEEP, static_cast<UINT>(keep), FALSE);
    SendDlgItemMessageA(dialog, IDC_LOG_UTF8, BM_SETCHECK, utf8 ? BST_CHECKED : BST_UNCHECKED, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return monitor().ButtonEnabled(ID_FILE_STOP_LOG); }, 5000));
  }

  ScratchDir dir_;
  std::unique_ptr<MonitorProcess> monitor_;
};
