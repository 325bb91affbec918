// An opened file's console filled from its reader, and what reading met told in its console.
#include "monitor/files/opened_file.h"

#include "monitor/common/code_page_text.h"

#include <cstdio>

#include "monitor/common/ansi_path.h"
#include "monitor/common/ui_text.h"
#include "monitor/resources/resource_ids.h"
#include "monitor/resources/ui_text_ids.h"
#include "receiving/line_ends.h"
#include "receiving/message.h"

namespace {

// A text of the table with its numbers and names put in.
template <typename... Args>
std::string Formatted(int textId, Args... args) {
  char pattern[kUiTextSize];
  LoadUiText(textId, pattern);
  char text[kUiTextSize + MAX_PATH + 64];
  std::snprintf(text, sizeof text, pattern, args...);
  return text;
}

unsigned Percent(uint64_t part, uint64_t whole) { return whole == 0 ? 100u : unsigned(part * 100 / whole); }

}  // namespace

OpenedFile::~OpenedFile() {
  reader_.Stop();
  if (console.window) DestroyWindow(console.window);
}

bool OpenedFile::Open(const Host& host, const std::string& path, bool follow, DWORD& error) {
  path_ = path;
  name_ = path.substr(DirectoryPartLength(path.c_str(), GetACP()));
  if (!reader_.Open(path, error)) return false;
  states_.target = host.commandStates;
  console.commandStates = &states_;
  console.view.gutter = host.gutter;
  console.SetDpi(host.dpi);
  if (!console.Create(host.parent)) {
    error = 0;
    return false;
  }
  ShowWindow(console.window, SW_HIDE);
  if (reader_.kind().binary) Notice(Formatted(IDS_FILE_BINARY, name_.c_str()));
  reader_.Start(follow);
  return true;
}

void OpenedFile::ReadOnlyStates::SetCommandEnabled(int command, bool enabled) {
  if (target && command != ID_EDIT_ALL_ERASE) target->SetCommandEnabled(command, enabled);
}

bool OpenedFile::Busy() const {
  const FileReader::Progress progress = reader_.progress();
  return !progress.done || entry_ < batch_.entries.size() || reader_.Queued();
}

bool OpenedFile::Step(const std::function<bool()>& timeUp) {
  const uint64_t before = console.text.NextMessageNumber();
  console.HoldPaint();
  StoreBatch(timeUp);
  TellWhatReadingMet(reader_.progress());
  const bool came = console.text.NextMessageNumber() != before;
  if (came && console.settings.autoScroll == 1) console.ScrollToEnd();
  console.ReleasePaint(true);
  return came;
}

void OpenedFile::StoreBatch(const std::function<bool()>& timeUp) {
  TextStore& store = console.text;
  do {
    if (entry_ >= batch_.entries.size()) {
      batch_ = IndexedBatch();
      entry_ = at_ = 0;
      if (!reader_.Take(batch_)) return;
    }
    // Program names by the batch's numbers, made the store's.
    std::vector<uint32_t> programs(batch_.programs.size() + 1, 0);
    for (size_t p = 0; p < batch_.programs.size(); ++p) {
      programs[p + 1] = store.programs.Intern(batch_.programs[p]) & ProgramNames::kMaxNames;
    }
    // Time is asked every few hundred messages: a message costs far less than the asking.
    for (int n = 0; entry_ < batch_.entries.size(); ++entry_, ++n) {
      if ((n & 255) == 255 && timeUp()) return;
      const IndexedBatch::Entry& entry = batch_.entries[entry_];
      StoredMessage record = entry.record;
      record.program = record.program < programs.size() ? programs[record.program] : 0;
      const auto* text = reinterpret_cast<const uint8_t*>(batch_.text.data() + at_);
      HistoryFilter::Store(store, activeFilters, record, text, entry.length, scratch_, [&] {
        console.Write(reinterpret_cast<const char*>(text), static_cast<int>(entry.length), 0);
      });
      at_ += entry.length;
    }
  } while (!timeUp());
}

void OpenedFile::Notice(const std::string& ansiText) {
  StoredMessage record;
  record.kind = uint32_t(MessageKind::kNotice);
  // The console keeps UTF-8; the texts of the user interface are in the ANSI code page.
  std::string text;
  AnsiToUtf8Text(ansiText, text);
  std::string converted(2 * text.size() + 3, '\0');
  size_t length = line_ends::Convert(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                                     reinterpret_cast<uint8_t*>(&converted[0]), converted.size());
  if (!line_ends::EndsLine(reinterpret_cast<const uint8_t*>(converted.data()), length)) {
    converted[length++] = '\r';
    converted[length++] = '\n';
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(converted.data());
  HistoryFilter::Store(console.text, activeFilters, record, bytes, length, scratch_, [&] {
    console.Write(converted.data(), static_cast<int>(length), 0);
  });
}

void OpenedFile::TellWhatReadingMet(const FileReader::Progress& progress) {
  // Told once each reading has been stored up to the point that met it.
  if (entry_ < batch_.entries.size()) return;
  const char* name = name_.c_str();
  if (progress.counts.malformed > told_.malformed && progress.done) {
    Notice(Formatted(IDS_FILE_MALFORMED, name, unsigned(progress.counts.malformed - told_.malformed)));
    told_.malformed = progress.counts.malformed;
  }
  if (progress.counts.cut > told_.cut) {
    Notice(Formatted(IDS_FILE_LINE_CUT, name, unsigned(FileIndexer::kLongestLine / 1024)));
    told_.cut = progress.counts.cut;
  }
  if (progress.truncations > truncationsTold_) {
    Notice(Formatted(IDS_FILE_TRUNCATED, name));
    truncationsTold_ = progress.truncations;
  }
  if (progress.rotations > rotationsTold_) {
    Notice(Formatted(IDS_FILE_ROTATED, name));
    rotationsTold_ = progress.rotations;
  }
  if (progress.error != 0 && !errorTold_) {
    Notice(Formatted(IDS_FILE_READ_FAILED, name, static_cast<unsigned long>(progress.error)));
    errorTold_ = true;
  }
}

std::string OpenedFile::StatusText() const {
  const FileReader::Progress progress = reader_.progress();
  const char* name = name_.c_str();
  if (Busy() && !reader_.following()) {
    return Formatted(IDS_FILE_STATUS_READING, name, Percent(progress.read, progress.size));
  }
  const unsigned lines = unsigned(console.text.lineCount);
  if (console.text.frontLine != 0) {
    return Formatted(IDS_FILE_STATUS_FRONT_LEFT, name, lines, unsigned(console.text.frontLine));
  }
  return Formatted(reader_.following() ? IDS_FILE_STATUS_FOLLOWING : IDS_FILE_STATUS_READ, name, lines);
}
