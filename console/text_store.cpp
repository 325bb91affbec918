// TextStore: appending with line breaks, wrapping and backspace; discarding old lines; resizing.
#include "console/text_store.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kBackspace = 0x08;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;

bool IsBreak(uint8_t byte) { return byte == kCr || byte == kLf; }

// Settings arrive as signed 32-bit values; a negative one cast to unsigned is refused like 0.
bool UsableSize(uint32_t value) { return value != 0 && value <= 0x7FFFFFFFu; }

}  // namespace

TextStore::~TextStore() { Release(); }

void TextStore::Release() {
  delete[] bytes;
  delete[] attributes;
  delete[] lineStarts;
  bytes = nullptr;
  attributes = nullptr;
  lineStarts = nullptr;
}

void TextStore::Allocate(uint32_t bufferSize, uint32_t lineTableSize, uint32_t wrap) {
  Release();
  frontPosition += used;
  used = 0;
  lineCount = 0;
  selection.Reset();
  if (UsableSize(lineTableSize)) maxLines = std::max<uint32_t>(lineTableSize, kMinLineTable);
  maxLines = std::max<uint32_t>(maxLines, kMinLineTable);
  if (UsableSize(wrap)) wrapColumn = wrap;
  if (!UsableSize(bufferSize)) {
    capacity = 0;  // refused: the store stays without arrays and ignores appends
    return;
  }
  capacity = bufferSize;
  bytes = new uint8_t[capacity]();
  attributes = new uint8_t[capacity]();
  lineStarts = new uint32_t[maxLines]();
}

void TextStore::Clear() {
  frontPosition += used;
  used = 0;
  lineCount = 0;
  selection.Reset();
  if (bytes) std::memset(bytes, 0, capacity);
  if (attributes) std::memset(attributes, 0, capacity);
  if (lineStarts) std::memset(lineStarts, 0, sizeof(uint32_t) * maxLines);
}

void TextStore::Discard(uint32_t need) {
  if (!HasArrays()) return;
  const uint32_t threshold = std::max(capacity / 16, need);
  uint32_t i = 1;
  while (i < lineCount && lineStarts[i] <= threshold) ++i;
  if (i >= lineCount || used <= lineStarts[i]) {
    Clear();
    return;
  }
  CutFront(i);
}

void TextStore::CutFront(uint32_t firstKept) {
  const uint32_t cut = lineStarts[firstKept];
  for (uint32_t j = 0; j + firstKept <= lineCount; ++j) lineStarts[j] = lineStarts[j + firstKept] - cut;
  lineCount -= firstKept;
  used -= cut;
  frontPosition += cut;
  std::memmove(bytes, bytes + cut, used);
  std::memmove(attributes, attributes + cut, used);
}

void TextStore::EndLine() {
  if (lineCount + 1 >= maxLines) {
    // The line table is full: a sixteenth of the lines go from the front (at least one). A
    // sixteenth of the bytes, as a full buffer drops, would take every line of a large buffer
    // holding short lines. The line being ended always stays.
    CutFront(std::min(std::max<uint32_t>(lineCount / 16, 1), lineCount));
  }
  ++lineCount;
  lineStarts[lineCount] = used;
}

uint32_t TextStore::LastCharacterStart() const {
  // Pairs are found from the line's start: two bytes at the end of a line may be the trail of
  // one character and a single byte (8E 9A 78), or a lead and trail byte of one pair.
  const uint32_t start = lineStarts[lineCount];
  uint32_t last = start;
  for (uint32_t p = start; p < used; p += (p + 1 < used && IsDoubleByte(bytes[p], bytes[p + 1])) ? 2 : 1) {
    last = p;
  }
  return last;
}

bool TextStore::StartsDoubleByte(uint8_t byte) const {
  if (!codePage || !codePage->lead[byte]) return false;
  // The byte is the trail of the line's last character when that is a lone lead byte it pairs with.
  if (used == lineStarts[lineCount]) return true;
  const uint32_t last = LastCharacterStart();
  return !(last + 1 == used && IsDoubleByte(bytes[last], byte));
}

void TextStore::Append(const uint8_t* text, uint32_t length, uint8_t attribute) {
  if (!HasArrays() || !text || length == 0) return;
  if (length > capacity) {
    Clear();
    length = capacity;
  } else if (used + length >= capacity) {
    Discard(length);
  }
  for (uint32_t n = 0; n < length; ++n) {
    const uint8_t byte = text[n];
    uint32_t col = used - lineStarts[lineCount];
    if (byte == kBackspace) {
      if (col == 0) continue;  // a backspace never joins lines
      used = LastCharacterStart();
      continue;
    }
    // A lead byte whose trail would not fit starts the next line, so that no line (and no store
    // after a discard of whole lines) begins with the second half of a character. As a line's
    // first byte it stays: the line then ends after its trail.
    const bool leadAtEdge = col + 1 >= wrapColumn && StartsDoubleByte(byte);
    if (leadAtEdge && col > 0) {
      EndLine();
      col = 0;
    }
    bytes[used] = byte;
    attributes[used] = attribute;
    ++used;
    if (!IsBreak(byte)) {
      // A wrapped line holds exactly wrapColumn bytes, or one less when a character did not fit.
      if (col + 1 >= wrapColumn && !leadAtEdge) EndLine();
      continue;
    }
    if (col > 0 || used == 1) {
      EndLine();
      continue;
    }
    // A break byte that starts a line after a previous line.
    const uint32_t previousStart = lineStarts[lineCount - 1];
    const uint32_t previousLength = lineStarts[lineCount] - previousStart;
    const uint8_t last = bytes[used - 2];
    const bool pairs = IsBreak(last) && last != byte;
    const bool previousHasPair = previousLength > 1 && IsBreak(bytes[used - 3]);
    if (pairs && !previousHasPair) {
      lineStarts[lineCount] = used;  // CR LF or LF CR: joined to the previous line's break
    } else {
      EndLine();
    }
  }
}

bool TextStore::Resize(uint32_t newBufferSize, uint32_t newMaxLines, uint32_t newWrapColumn) {
  bool dropped = false;
  if (UsableSize(newBufferSize) && newBufferSize != capacity && HasArrays()) {
    if (newBufferSize < used) {
      Discard(used - newBufferSize);  // the threshold still uses the old capacity
      dropped = true;
    }
    uint8_t* newBytes = new uint8_t[newBufferSize];
    uint8_t* newAttributes = new uint8_t[newBufferSize];
    std::memcpy(newBytes, bytes, used);
    std::memcpy(newAttributes, attributes, used);
    delete[] bytes;
    delete[] attributes;
    bytes = newBytes;
    attributes = newAttributes;
    capacity = newBufferSize;
  }
  if (UsableSize(newMaxLines)) {
    newMaxLines = std::max<uint32_t>(newMaxLines, kMinLineTable);
    if (newMaxLines != maxLines) {
      if (HasArrays()) {
        if (newMaxLines <= lineCount) {
          Discard(lineStarts[lineCount - newMaxLines]);  // leaves at most newMaxLines - 1 lines
          dropped = true;
        }
        uint32_t* newStarts = new uint32_t[newMaxLines]();
        std::memcpy(newStarts, lineStarts, sizeof(uint32_t) * (lineCount + 1));
        delete[] lineStarts;
        lineStarts = newStarts;
      }
      maxLines = newMaxLines;
    }
  }
  if (UsableSize(newWrapColumn)) wrapColumn = newWrapColumn;
  // Selection offsets do not survive bytes moving to the front or going away.
  if (dropped) selection.Reset();
  return dropped;
}

int32_t TextStore::SnapToCharacter(const TextPosition& position, bool isLow) const {
  const int32_t offset = position.offset;
  if (position.rowStart < 0 || position.rowLength < 2 || !bytes) return offset;
  // A row taken before the store changed may reach past the stored bytes: walk only those.
  const int64_t end = std::min<int64_t>(int64_t(position.rowStart) + position.rowLength, used);
  for (int64_t p = position.rowStart; p + 1 < end && p <= offset; ++p) {
    if (!IsDoubleByte(bytes[p], bytes[p + 1])) continue;
    if (p == offset && !isLow) return offset + 1;  // the higher end takes the trail byte
    if (p + 1 == offset && isLow) return offset - 1;  // the lower end takes the lead byte
    ++p;  // skip the trail byte
  }
  return offset;
}
