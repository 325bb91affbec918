// WidestRow: a sliding-window maximum of the stored lines' row widths.
#include "console/widest_row.h"

#include <algorithm>

void WidestRow::Note(uint64_t line, int32_t cells) {
  while (!measures_.empty() && measures_.back().line >= line) measures_.pop_back();
  // A line no wider than a later one can never be the widest while that one is stored.
  while (!measures_.empty() && measures_.back().cells <= cells) measures_.pop_back();
  measures_.push_back(Measure{line, cells});
}

void WidestRow::Update(const TextView& view) {
  if (!view.text || !view.settings) return;
  const TextStore& store = *view.text;
  const uint64_t front = store.frontLine;
  while (!measures_.empty() && measures_.front().line < front) measures_.pop_front();
  if (!store.HasArrays()) {
    nextLine_ = front;
    currentCells_ = 0;
    return;
  }
  const uint64_t current = front + store.lineCount;
  uint64_t line = std::max(nextLine_, front);
  // The last line measured complete again when it grew: a line break's second byte joins it.
  if (nextLine_ > front && nextLine_ - 1 < current) {
    const uint32_t last = uint32_t(nextLine_ - 1 - front);
    if (store.LineEnd(last) - store.LineStart(last) != lastBytes_) line = nextLine_ - 1;
  }
  for (; line < current; ++line) Note(line, view.LineCells(uint32_t(line - front)));
  if (current > front) lastBytes_ = store.LineEnd(store.lineCount - 1) - store.LineStart(store.lineCount - 1);
  nextLine_ = current;
  currentCells_ = view.LineCells(store.lineCount);
}

void WidestRow::Rebuild(const TextView& view) {
  measures_.clear();
  nextLine_ = view.text ? view.text->frontLine : 0;
  currentCells_ = 0;
  Update(view);
}

int32_t WidestRow::Cells() const {
  return std::max(measures_.empty() ? 0 : measures_.front().cells, currentCells_);
}
