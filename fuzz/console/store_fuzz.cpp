// Fuzzes the console's text store and row layout: the input is a stream of operations (appends,
// resizes with any sizes, clears, row passes, hit tests, snapping) on one store; the store's
// invariants are checked after each one and the sanitizers watch every access.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "console/text_view.h"

namespace {

struct Input {
  const uint8_t* data;
  size_t size;
  uint8_t Byte() {
    if (size == 0) return 0;
    --size;
    return *data++;
  }
  uint32_t Word() { return uint32_t(Byte()) | uint32_t(Byte()) << 8; }
  // Sizes as the settings file may hold them: mostly small, sometimes 0 or negative.
  uint32_t Size() {
    const uint8_t kind = Byte();
    if (kind < 16) return 0;
    if (kind < 32) return uint32_t(-int32_t(Byte()));
    return Word() % 5000;
  }
};

void Require(bool condition) {
  if (!condition) abort();
}

void CheckInvariants(const TextStore& store) {
  Require(store.maxLines >= 2);
  if (!store.HasArrays()) return Require(store.used == 0);
  Require(store.LineStart(0) == 0);
  for (uint32_t k = 0; k < store.lineCount; ++k) Require(store.LineStart(k) < store.LineStart(k + 1));
  Require(store.LineStart(store.lineCount) <= store.used);
  Require(store.used <= store.capacity);
  Require(store.lineCount <= store.maxLines - 1);
  // Messages go in order with their lines, and the shown-line index agrees with the marks.
  uint64_t previous = 0;
  uint32_t shown = 0;
  for (uint32_t k = 0; k <= store.lineCount; ++k) {
    if (store.LineShown(k)) {
      Require(store.ShownLinesBefore(k) == shown);
      Require(store.ShownLine(shown) == k);
      ++shown;
    }
    const uint64_t number = store.MessageNumberOfLine(k);
    if (number == ~uint64_t(0)) continue;
    Require(number >= previous);
    Require(store.MessageOfLine(k) != nullptr);
    previous = number;
  }
  Require(store.ShownLineCount() == shown);
  // Each message stored whole begins where the one before ends, and none reaches past the end.
  uint32_t end = 0;
  bool previousWhole = false;
  for (uint64_t n = store.FirstMessageNumber(); n < store.NextMessageNumber(); ++n) {
    uint32_t offset = 0, length = 0;
    const bool whole = store.MessageBytes(n, offset, length);
    if (whole) {
      Require(offset + length <= store.used);
      if (previousWhole) Require(offset == end);
      end = offset + length;
    }
    previousWhole = whole;
  }
  if (previousWhole) Require(end == store.used);
}

class NullPainter : public RowPainter {
 public:
  int DrawRun(int, int, const Cell* cells, int count, int) override {
    volatile uint8_t sink = 0;
    for (int i = 0; i < count; ++i) sink = sink ^ uint8_t(cells[i]);  // every drawn cell must be readable
    return count * 7;
  }
  void FillEmpty(int, int, int, int) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const LeadTrailSets shiftJis = LeadTrailSets::ShiftJis();
  Input in{data, size};
  TextStore store;
  ConsoleSettings settings;
  TextView view;
  // Double-byte text, single-byte text, or UTF-8 (with ambiguous characters wide or not).
  const uint8_t scheme = in.Byte();
  store.codePage = (scheme & 1) ? &shiftJis : nullptr;
  store.utf8 = (scheme & 2) != 0;
  store.ambiguousWide = (scheme & 4) != 0;
  store.Allocate(in.Size(), in.Size(), in.Size());
  settings.wrapColumn = int32_t(store.wrapColumn);
  int dummyWindow = 0;
  view.Attach(&dummyWindow, store, settings);
  CheckInvariants(store);
  while (in.size > 0) {
    switch (in.Byte() % 8) {
      case 0:
      case 1:
      case 2: {
        const size_t length = in.Byte() % 64;
        if (in.Byte() & 1) {
          StoredMessage message;
          message.pid = in.Byte();
          const uint8_t mark = in.Byte();
          message.mark = mark < 64 ? StoredMessage::kHidden : mark < 96 ? uint8_t(mark % 4) : StoredMessage::kShown;
          store.BeginMessage(message);
        }
        const size_t take = length < in.size ? length : in.size;
        store.Append(in.data, uint32_t(take));
        in.data += take;
        in.size -= take;
        break;
      }
      case 3: {
        const uint32_t bufferSize = in.Size(), lines = in.Size(), wrap = in.Size();
        store.Resize(bufferSize, lines, wrap);
        if (int32_t(wrap) != 0) settings.wrapColumn = int32_t(wrap);
        break;
      }
      case 4:
        if (in.Byte() & 1) {
          store.Clear();
        } else if (in.Byte() & 1) {  // one message marked afresh, as a backspace's decision gives
          const uint64_t count = store.NextMessageNumber() - store.FirstMessageNumber();
          const uint8_t mark = in.Byte();
          if (count != 0) store.SetMark(store.FirstMessageNumber() + in.Word() % count, mark < 128 ? StoredMessage::kHidden : mark % 4);
        } else {  // new marks for every stored message, as a change of filters gives
          // Each message hidden or shown by one bit of the input, round and round.
          const uint8_t bits = in.Byte();
          for (uint64_t n = store.FirstMessageNumber(); n < store.NextMessageNumber(); ++n) {
            if (StoredMessage* message = store.MessageByNumber(n)) {
              const bool hide = (bits >> (n & 7)) & 1;
              message->mark = hide ? StoredMessage::kHidden : StoredMessage::kShown;
            }
          }
          store.RebuildShownLines();
        }
        break;
      case 5: {
        settings.tabSize = int8_t(in.Byte());
        settings.hexMode = in.Byte() & 1;
        store.selection.state = in.Byte() % 4;
        store.selection.anchor.offset = int32_t(in.Word()) - 100;
        store.selection.end.offset = int32_t(in.Word()) - 100;
        RowPassFrame frame;
        frame.left = 4;
        frame.top = 2;
        frame.right = 4 + in.Byte() * 7;
        frame.bottom = 2 + in.Byte() * 3;
        frame.hPos = in.Byte();
        frame.vPos = in.Byte();
        frame.charWidth = 7;
        frame.lineHeight = 3;
        NullPainter painter;
        view.Paint(frame, painter);
        break;
      }
      case 6: {
        const HitResult hit = view.HitTest(int(in.Word()) - 100, int(in.Word()) - 100, 7, 3, in.Byte());
        Require(hit.offset < int32_t(store.used));
        if (hit.offset >= 0) {
          const size_t row = size_t(hit.row) < view.rows.size() ? size_t(hit.row) : 0;
          TextPosition position{hit.offset, view.rows[row].start, view.rows[row].length};
          const int32_t snapped = store.SnapToCharacter(position, in.Byte() & 1);
          Require(snapped >= 0 && snapped <= hit.offset + 1);
        }
        break;
      }
      default: {
        TextPosition position{int32_t(in.Word()), int32_t(in.Word()) - 10, int32_t(in.Word())};
        store.SnapToCharacter(position, in.Byte() & 1);
        break;
      }
    }
    CheckInvariants(store);
  }
  return 0;
}
