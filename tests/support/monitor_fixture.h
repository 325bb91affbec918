// A test fixture with vigilo.exe in a scratch directory of its own: Start shows its window, and
// the monitor is exited (and must exit cleanly) when the test ends. Header only: it needs
// GoogleTest, which the support library does not link.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/monitor_process.h"
#include "support/scratch_dir.h"

class MonitorFixture : public ::testing::Test {
 protected:
  void Start(const std::string& ini) {
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

  ScratchDir dir_;
  std::unique_ptr<MonitorProcess> monitor_;
};
