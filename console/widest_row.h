// WidestRow: the cells of the widest display row among the stored lines, kept up as lines are
// appended and leave the store, so that the horizontal scroll range needs no pass over the history.
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <deque>

#include "console/text_view.h"

class WidestRow {
 public:
  // Measures the lines completed since the last call and the current line, and forgets the lines
  // that left the store since. Costs the bytes appended plus one line or two, whatever the
  // history holds. Without a store or settings in the view it measures nothing.
  void Update(const TextView& view);
  // Forgets every measure and measures every stored line again: the layout settings (tab size,
  // hex mode, wrap column) changed, or the view was attached.
  void Rebuild(const TextView& view);
  // The widest row's cells among the stored lines, hidden lines too (0 when there are none).
  int32_t Cells() const;

 private:
  struct Measure {
    uint64_t line;  // number among all lines stored (TextStore::frontLine + index)
    int32_t cells;
  };
  // Notes complete line `line`'s cells. Lines come in ascending order, and the same line again
  // only grows (a CR LF pair's second byte joins the line before).
  void Note(uint64_t line, int32_t cells);

  // The complete lines no later line is as wide as, oldest (and widest) first: the widest
  // stored line is the front once the lines that left the store are gone from it.
  std::deque<Measure> measures_;
  uint64_t nextLine_ = 0;  // the first line not measured as complete
  uint32_t lastBytes_ = 0;  // the bytes of line nextLine_ - 1 when it was measured
  int32_t currentCells_ = 0;
};
