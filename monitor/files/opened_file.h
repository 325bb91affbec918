// OpenedFile: a file opened in the monitor, shown in a console window of its own (a VGL_Console
// child of the main window, with its own store: the live history is never touched), filled from
// its reader's batches at each tick, read-only and not live. Its filters are its own, starting
// with none; the owner decides them with the same HistoryFilter as the live history's.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "filtering/filter_rule.h"
#include "filtering/filter_set.h"
#include "monitor/common/command_states.h"
#include "monitor/filters/history_filter.h"
#include "monitor/files/file_reader.h"
#include "monitor/view/vgl_console.h"

class OpenedFile {
 public:
  struct Host {
    HWND parent = nullptr;
    CommandStates* commandStates = nullptr;
    const LineGutter* gutter = nullptr;
    unsigned dpi = 96;
  };

  OpenedFile() = default;
  ~OpenedFile();
  OpenedFile(const OpenedFile&) = delete;
  OpenedFile& operator=(const OpenedFile&) = delete;

  // Opens the file, makes its console (hidden) and starts reading; false with the system's error
  // (0 when the console could not be made).
  bool Open(const Host& host, const std::string& path, bool follow, DWORD& error);
  // Takes what the reader indexed until timeUp() says to stop; true when anything came.
  bool Step(const std::function<bool()>& timeUp);
  // Whether reading goes on: bytes are still queued or to be read.
  bool Busy() const;

  void SetFollow(bool follow) { reader_.SetFollow(follow); }
  bool Following() const { return reader_.following(); }

  const std::string& Path() const { return path_; }
  const std::string& Name() const { return name_; }
  // The status bar's text for it in the language in force: progress while reading, then lines.
  std::string StatusText() const;

  VGL_Console console;
  // Its filters: the rules, View > Filter's switch for it, the set in force, and the history
  // decided again after a change.
  std::vector<filtering::FilterRule> filterRules;
  bool filterOn = true;
  filtering::FilterSet activeFilters;
  HistoryFilter refilter;

 private:
  void StoreBatch(const std::function<bool()>& timeUp);
  void Notice(const std::string& text);
  void TellWhatReadingMet(const FileReader::Progress& progress);

  // The console's Edit-command states passed on, but for All Erase: an opened file is read-only.
  class ReadOnlyStates final : public CommandStates {
   public:
    CommandStates* target = nullptr;
    void SetCommandEnabled(int command, bool enabled) override;
    void CommandFailed(int command) override {
      if (target) target->CommandFailed(command);
    }
  };

  ReadOnlyStates states_;
  FileReader reader_;
  std::string path_, name_;
  IndexedBatch batch_;  // the batch being stored
  size_t entry_ = 0, at_ = 0;  // its next entry and that entry's first byte
  std::vector<uint8_t> scratch_;
  // What the user was told already.
  IndexCounts told_;
  uint32_t truncationsTold_ = 0, rotationsTold_ = 0;
  bool errorTold_ = false;
};
