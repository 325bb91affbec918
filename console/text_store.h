// TextStore: the console's bounded text buffer, its line table and the mouse selection.
// Portable: no Windows header; the double-byte test comes in as data (LeadTrailSets).
#pragma once

#include <cstdint>

#include "code_page/lead_trail_sets.h"

struct TextPosition {
  int32_t offset = 0;     // byte offset in bytes
  int32_t rowStart = 0;   // the display row the position was taken from
  int32_t rowLength = 0;
};

struct Selection {
  // The states of a mouse selection; a finished one (also the result of All Select and Find) is
  // what Copy takes.
  enum State : int32_t { kNone = 0, kButtonDown = 1, kDragging = 2, kFinished = 3 };
  int32_t state = kNone;
  TextPosition anchor;
  TextPosition end;

  void Reset() { *this = Selection(); }
};

class TextStore {
 public:
  TextStore() = default;
  ~TextStore();
  TextStore(const TextStore&) = delete;
  TextStore& operator=(const TextStore&) = delete;

  uint32_t maxLines = 10000;   // entries of lineStarts
  uint32_t wrapColumn = 256;
  uint32_t used = 0;
  uint32_t capacity = 0;
  uint8_t* bytes = nullptr;       // capacity bytes
  uint8_t* attributes = nullptr;  // capacity bytes, parallel to bytes
  uint32_t lineCount = 0;         // complete lines; index of the current line
  uint32_t* lineStarts = nullptr; // maxLines entries
  Selection selection;
  const LeadTrailSets* codePage = nullptr;  // null: single-byte
  // Bytes that have left the front of the store (discards, Clear, a new allocation) since it was
  // made: bytes[k] is byte frontPosition + k of everything the store took in. A position taken
  // this way stays meaningful while older lines go.
  uint64_t frontPosition = 0;

  // Allocates zero-filled arrays for the given sizes and empties the store (creation contract).
  // The line table always gets at least 2 entries. A size of 0 (or a negative value cast to
  // unsigned) is refused: a refused buffer size leaves the store without arrays, a refused line
  // table size or wrap column keeps the current value.
  void Allocate(uint32_t bufferSize, uint32_t lineTableSize, uint32_t wrap);
  bool HasArrays() const { return bytes && attributes && lineStarts; }

  // Stores bytes with line breaks, wrapping and backspace, discarding old lines when the store
  // or the line table is full. Wrapping never splits a double-byte character (a lead byte that
  // would be a line's last byte starts the next line), and a backspace removes the whole last
  // character of the line: a full store drops lines as Discard does, a full line table a
  // sixteenth of its lines (at least one), never the line being ended.
  void Append(const uint8_t* text, uint32_t length, uint8_t attribute);
  // Drops whole lines from the front: more than max(capacity / 16, need) bytes, or everything.
  void Discard(uint32_t need);
  void Clear();

  // Resizing steps of XConsole::ApplySettings: text capacity, line table, wrap column; a value
  // of 0 (or a negative one cast to unsigned) leaves that size as it is, a line table below 2
  // entries becomes 2. Resets the selection when stored bytes move or go, and then returns true.
  bool Resize(uint32_t newBufferSize, uint32_t newMaxLines, uint32_t newWrapColumn);

  // Whole-character snapping of a selection end (isLow: the lower end takes the lead byte).
  int32_t SnapToCharacter(const TextPosition& position, bool isLow) const;

  bool IsDoubleByte(uint8_t first, uint8_t second) const {
    return codePage && codePage->IsDoubleByte(first, second);
  }
  uint32_t CurrentLineLength() const { return lineStarts ? used - lineStarts[lineCount] : 0; }

  // The smallest line table: one complete line and the current one.
  static constexpr uint32_t kMinLineTable = 2;

 private:
  void Release();
  void CutFront(uint32_t firstKept);  // drops lines 0 .. firstKept - 1
  void EndLine();
  // The offset of the current line's last character (the line's start when it is empty).
  uint32_t LastCharacterStart() const;
  // Whether byte, stored next, would be the lead byte of a double-byte character.
  bool StartsDoubleByte(uint8_t byte) const;
};
