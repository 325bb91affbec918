// TextStore: appending with line breaks, wrapping and backspace; dropping the oldest lines from
// the ring; resizing; the message each line belongs to.
#include "console/text_store.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint8_t kBackspace = 0x08;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;

bool IsBreak(uint8_t byte) { return byte == kCr || byte == kLf; }

// Settings arrive as signed 32-bit values; a negative one cast to unsigned is refused like 0.
bool UsableSize(uint32_t value) { return value != 0 && value <= 0x7FFFFFFFu; }

}  // namespace

uint32_t ProgramNames::Intern(std::string_view name) {
  if (name.empty()) return 0;
  if (lastIndex_ != 0 && name == last_) return lastIndex_;
  last_.assign(name.data(), name.size());
  const auto found = indexes_.find(last_);
  if (found != indexes_.end()) return lastIndex_ = found->second;
  if (names_.size() >= kMaxNames) return lastIndex_ = 0;
  names_.push_back(last_);
  longest_ = std::max(longest_, last_.size());
  lastIndex_ = uint32_t(names_.size());
  indexes_.emplace(last_, lastIndex_);
  return lastIndex_;
}

const std::string& ProgramNames::Name(uint32_t index) const {
  static const std::string kNone;
  return index >= 1 && index <= names_.size() ? names_[index - 1] : kNone;
}

uint8_t* TextStore::AllocateBytes(size_t bytes) { return new (std::nothrow) uint8_t[bytes]; }

TextStore::~TextStore() { Release(); }

void TextStore::Release() {
  delete[] ring_;
  ring_ = nullptr;
}

void TextStore::Reset() {
  frontPosition += used;
  frontLine += lines_.size();
  used = 0;
  lineCount = 0;
  frontIndex_ = 0;
  selection.Reset();
  lines_.clear();
  messages_.clear();
  continuations_.clear();
  partialMessage_ = ~uint64_t(0);
  firstMessage_ = nextMessage_;
  shownBlocks_.clear();
  shownTotal_ = shownDropped_ = hiddenMessages_ = 0;
  currentCells_ = 0;
  if (ring_) PushLine(0);
}

bool TextStore::TakeRing(uint32_t bufferSize, uint8_t** ring, uint32_t* size) {
  // Halving down to the smallest fallback; the ring is not filled: bytes beyond used are never read.
  const uint32_t smallest = std::min(bufferSize, kSmallestFallback);
  for (uint32_t attempt = std::min(bufferSize, kLargestRing);; attempt = std::max(attempt / 2, smallest)) {
    if (uint8_t* got = allocate(attempt)) {
      *ring = got;
      *size = attempt;
      return true;
    }
    if (attempt <= smallest) return false;
  }
}

void TextStore::FollowCapacity() {
  maxLines = lineLimit_ != 0 ? lineLimit_ : std::max(capacity / kBytesPerLine, kFewestLines) + 1;
  maxLines = std::max(maxLines, kMinLineTable);
}

bool TextStore::Allocate(uint32_t bufferSize, uint32_t lineLimit, uint32_t wrap) {
  Release();
  capacity = 0;
  shortOfMemory = false;
  if (UsableSize(lineLimit)) lineLimit_ = lineLimit;
  if (UsableSize(wrap)) wrapColumn = wrap;
  if (UsableSize(bufferSize)) {
    askedCapacity = bufferSize;
    uint8_t* ring = nullptr;
    uint32_t size = 0;
    if (TakeRing(bufferSize, &ring, &size)) {
      ring_ = ring;
      capacity = size;
    }
    shortOfMemory = capacity < bufferSize;
  }
  FollowCapacity();
  Reset();
  return HasArrays();
}

void TextStore::Clear() { Reset(); }

void TextStore::PushLine(uint32_t start) {
  const LineRecord record{uint32_t(frontPosition + start), uint32_t(nextMessage_ - 1)};
  for (;;) {
    try {
      lines_.push_back(record);
      const StoredMessage* message = MessageOfRecord(record);
      CountLine(frontLine + lines_.size() - 1, !message || message->mark != StoredMessage::kHidden ? 1 : 0);
      return;
    } catch (const std::bad_alloc&) {
      // The table cannot grow: it holds what memory allows from now on.
      if (lineCount == 0) throw;
      maxLines = std::max(lineCount, kMinLineTable);
      DropFront(std::max(lineCount / 2, 1u));
    }
  }
}

void TextStore::DropFront(uint32_t count) {
  count = std::min(count, lineCount);
  if (count == 0) return;
  const uint32_t cut = LineStart(count);
  // The message of the new first line lost its beginning when its line before went too.
  const uint64_t lastDropped = MessageNumberOfRecord(lines_[count - 1]);
  if (lastDropped != ~uint64_t(0) && lastDropped == MessageNumberOfRecord(lines_[count])) partialMessage_ = lastDropped;
  if (AllShown()) {
    shownDropped_ += count;
  } else {
    for (uint32_t k = 0; k < count; ++k) shownDropped_ += LineShown(k) ? 1 : 0;
  }
  lines_.erase(lines_.begin(), lines_.begin() + count);
  lineCount -= count;
  frontLine += count;
  used -= cut;
  frontPosition += cut;
  frontIndex_ = Index(cut);
  while (shownBlocks_.size() > 1 && ((firstShownBlock_ + 1) << kShownBlockBits) <= frontLine) {
    shownBlocks_.pop_front();
    ++firstShownBlock_;
  }
  // Messages before the one the first line now belongs to have no line left.
  const uint64_t firstKept = MessageNumberOfLine(0);
  if (firstKept == ~uint64_t(0)) return;  // the first line came before any message
  while (firstMessage_ < firstKept) {
    if (messages_.front().mark == StoredMessage::kHidden) --hiddenMessages_;
    messages_.pop_front();
    ++firstMessage_;
  }
  while (!continuations_.empty() && continuations_.front().message - uint32_t(firstMessage_) >= messages_.size()) {
    continuations_.pop_front();
  }
}

void TextStore::DropCurrentLine() {
  // Only a current line longer than the whole ring comes here (a ring smaller than the wrap
  // column): its bytes go and it starts again, still belonging to its message.
  const uint32_t message = lines_.back().message;
  partialMessage_ = MessageNumberOfRecord(lines_.back());
  frontPosition += used;
  frontIndex_ = Index(used);
  used = 0;
  currentCells_ = 0;
  lines_.back() = LineRecord{uint32_t(frontPosition), message};
}

void TextStore::MakeRoom() {
  if (used < capacity) return;
  if (lineCount > 0) {
    DropFront(1);
  } else {
    DropCurrentLine();
  }
}

void TextStore::Discard(uint32_t need) {
  if (!HasArrays()) return;
  if (need >= capacity) {
    Reset();
    return;
  }
  uint32_t k = 0;
  while (k < lineCount && capacity - (used - LineStart(k)) < need) ++k;
  if (capacity - (used - LineStart(k)) < need) {
    Reset();
    return;
  }
  DropFront(k);
}

void TextStore::EndLine() {
  // A full line table drops the oldest line; the line being ended always stays.
  if (lineCount + 1 >= maxLines) DropFront(1);
  PushLine(used);
  ++lineCount;
  currentCells_ = 0;
}

StoredCharacter TextStore::CharacterAt(uint32_t offset, uint32_t end) const {
  if (utf8) {
    const code_page::Utf8Character c = code_page::Utf8At(RingBytes{this, offset}, end - offset, 0);
    return {c.bytes, code_page::Utf8Cells(c, ambiguousWide), c.codePoint};
  }
  if (offset + 1 < end && IsDoubleByte(At(offset), At(offset + 1))) return {2, 2, 0};
  return {1, 1, char32_t(At(offset))};
}

uint32_t TextStore::LastCharacterStart() const {
  // Characters are found from the line's start: two bytes at the end of a line may be the trail
  // of one character and a single byte (8E 9A 78), or a lead and trail byte of one pair.
  const uint32_t start = LineStart(lineCount);
  uint32_t last = start;
  for (uint32_t p = start; p < used; p += CharacterAt(p, used).bytes) last = p;
  return last;
}

uint32_t TextStore::CellsFrom(uint32_t offset) const {
  uint32_t cells = 0;
  for (uint32_t p = offset; p < used;) {
    const StoredCharacter c = CharacterAt(p, used);
    cells += c.cells;
    p += c.bytes;
  }
  return cells;
}

bool TextStore::StartsDoubleByte(uint8_t byte) const {
  if (!codePage || !codePage->lead[byte]) return false;
  // The byte is the trail of the line's last character when that is a lone lead byte it pairs with.
  if (used == LineStart(lineCount)) return true;
  const uint32_t last = LastCharacterStart();
  return !(last + 1 == used && IsDoubleByte(At(last), byte));
}

void TextStore::TakeBackCharacter() {
  if (CurrentLineLength() == 0) return;  // a backspace never joins lines
  used = LastCharacterStart();
  // Messages that began in what it took back now begin where it ends.
  for (auto entry = continuations_.rbegin(); entry != continuations_.rend(); ++entry) {
    if (entry->start - uint32_t(frontPosition) <= used) break;
    entry->start = uint32_t(frontPosition + used);
  }
  currentCells_ = utf8 ? CellsFrom(LineStart(lineCount)) : 0;
}

void TextStore::StoreBreak(uint8_t byte) {
  MakeRoom();
  const uint32_t col = CurrentLineLength();
  ring_[Index(used)] = byte;
  ++used;
  if (col > 0 || used == 1 || lineCount == 0) {
    EndLine();
    return;
  }
  // A break byte that starts a line after a previous line.
  const uint32_t previousStart = LineStart(lineCount - 1);
  const uint32_t previousLength = LineStart(lineCount) - previousStart;
  const uint8_t last = At(used - 2);
  const bool pairs = IsBreak(last) && last != byte;
  const bool previousHasPair = previousLength > 1 && IsBreak(At(used - 3));
  if (pairs && !previousHasPair) {
    lines_.back().start = uint32_t(frontPosition + used);  // CR LF or LF CR: joined to the previous line's break
  } else {
    EndLine();
  }
}

void TextStore::Append(const uint8_t* text, uint32_t length) {
  if (!HasArrays() || !text || length == 0) return;
  if (utf8) {
    AppendUtf8(text, length);
    return;
  }
  for (uint32_t n = 0; n < length; ++n) {
    const uint8_t byte = text[n];
    if (byte == kBackspace) {
      TakeBackCharacter();
      continue;
    }
    if (IsBreak(byte)) {
      StoreBreak(byte);
      continue;
    }
    uint32_t col = CurrentLineLength();
    // A lead byte whose trail would not fit starts the next line, so that no line (and no store
    // after old lines went) begins with the second half of a character. As a line's first byte
    // it stays: the line then ends after its trail.
    const bool leadAtEdge = col + 1 >= wrapColumn && StartsDoubleByte(byte);
    if (leadAtEdge && col > 0) EndLine();
    MakeRoom();
    col = CurrentLineLength();
    ring_[Index(used)] = byte;
    ++used;
    // A wrapped line holds exactly wrapColumn bytes, or one less when a character did not fit.
    if (col + 1 >= wrapColumn && !leadAtEdge) EndLine();
  }
}

void TextStore::AppendUtf8(const uint8_t* text, uint32_t length) {
  for (uint32_t n = 0; n < length;) {
    const uint8_t byte = text[n];
    if (byte == kBackspace) {
      TakeBackCharacter();
      ++n;
      continue;
    }
    if (IsBreak(byte)) {
      StoreBreak(byte);
      ++n;
      continue;
    }
    // A character is stored whole, one that begins no well-formed sequence as its one byte. A wide
    // character that would not fit starts the next line; as a line's first it stays there.
    const code_page::Utf8Character c = code_page::Utf8At(text, length, n);
    const uint32_t cells = code_page::Utf8Cells(c, ambiguousWide);
    if (currentCells_ + cells > wrapColumn && CurrentLineLength() > 0) EndLine();
    for (uint32_t i = 0; i < c.bytes; ++i) {
      MakeRoom();
      ring_[Index(used)] = text[n + i];
      ++used;
    }
    n += c.bytes;
    currentCells_ += cells;
    // A wrapped line holds exactly wrapColumn cells, or one less when a wide character did not fit.
    if (currentCells_ >= wrapColumn) EndLine();
  }
}

bool TextStore::Resize(uint32_t newBufferSize, uint32_t newMaxLines, uint32_t newWrapColumn) {
  bool dropped = false;
  shortOfMemory = false;
  if (UsableSize(newMaxLines)) lineLimit_ = std::max(newMaxLines, kMinLineTable);
  if (UsableSize(newBufferSize) && newBufferSize != askedCapacity && HasArrays()) {
    askedCapacity = newBufferSize;
    uint8_t* ring = nullptr;
    uint32_t size = 0;
    if (TakeRing(newBufferSize, &ring, &size)) {
      shortOfMemory = size < newBufferSize;
      // The newest whole lines that fit move to the new ring's start; a current line longer than
      // the new ring goes whole.
      uint32_t k = 0;
      while (k < lineCount && used - LineStart(k) >= size) ++k;
      if (used - LineStart(k) >= size) {
        dropped = used != 0;
        Reset();
      } else {
        dropped = k > 0;
        DropFront(k);
      }
      CopyOut(0, used, ring);
      Release();
      ring_ = ring;
      capacity = size;
      frontIndex_ = 0;
    } else {
      shortOfMemory = true;  // nothing could be had: the store keeps its ring
    }
  }
  FollowCapacity();
  if (HasArrays() && lineCount + 1 > maxLines) {
    DropFront(lineCount + 1 - maxLines);  // leaves at most maxLines - 1 lines
    dropped = true;
  }
  if (UsableSize(newWrapColumn)) wrapColumn = newWrapColumn;
  // Selection offsets do not survive bytes going away.
  if (dropped) selection.Reset();
  return dropped;
}

void TextStore::BeginMessage(const StoredMessage& message) {
  if (!HasArrays()) return;
  try {
    messages_.push_back(message);
  } catch (const std::bad_alloc&) {
    return;  // the lines to come belong to the message before
  }
  if (messages_.size() == 1) firstMessage_ = nextMessage_;
  if (CurrentLineLength() != 0) {
    try {
      continuations_.push_back(LineRecord{uint32_t(frontPosition + used), uint32_t(nextMessage_)});
    } catch (const std::bad_alloc&) {
      messages_.pop_back();  // as above: the message before keeps what comes
      return;
    }
  }
  ++nextMessage_;
  if (message.mark == StoredMessage::kHidden) ++hiddenMessages_;
  if (CurrentLineLength() == 0) {
    const bool wasShown = LineShown(lineCount);
    lines_.back().message = uint32_t(nextMessage_ - 1);
    if (LineShown(lineCount) != wasShown) CountLine(frontLine + lineCount, wasShown ? -1 : 1);
  }
}

uint32_t TextStore::FirstLineOf(uint64_t number) const {
  // Line messages never decrease; lines from before any message come first.
  uint32_t low = 0, high = lineCount + 1;
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    const uint64_t found = MessageNumberOfRecord(lines_[middle]);
    if (found == ~uint64_t(0) || found < number) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

TextStore::MessageCursor TextStore::CursorAt(uint64_t number) const {
  MessageCursor cursor;
  cursor.line = FirstLineOf(number);
  // The first continuation of `number` or a later message, by message numbers that only grow.
  size_t low = 0, high = continuations_.size();
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (ContinuationNumber(middle) < number) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  cursor.continuation = low;
  return cursor;
}

uint32_t TextStore::MessageStart(uint64_t number, MessageCursor& cursor) const {
  while (cursor.line <= lineCount) {
    const uint64_t found = MessageNumberOfRecord(lines_[cursor.line]);
    if (found != ~uint64_t(0) && found >= number) break;
    ++cursor.line;
  }
  while (cursor.continuation < continuations_.size() && ContinuationNumber(cursor.continuation) < number) {
    ++cursor.continuation;
  }
  uint32_t start = cursor.line <= lineCount ? LineStart(cursor.line) : used;
  if (cursor.continuation < continuations_.size()) {
    const LineRecord& entry = continuations_[cursor.continuation];
    const uint32_t continued = entry.start - uint32_t(frontPosition);
    // A continuation of this message is where it begins; one of a later message bounds an empty one.
    if (entry.message == uint32_t(number) || continued < start) start = continued;
  }
  return start;
}

bool TextStore::MessageBytes(uint64_t number, uint32_t& offset, uint32_t& length) const {
  MessageCursor cursor = CursorAt(number);
  return MessageBytes(number, cursor, offset, length);
}

bool TextStore::MessageBytes(uint64_t number, MessageCursor& cursor, uint32_t& offset, uint32_t& length) const {
  if (!HasArrays() || number < firstMessage_ || number >= nextMessage_) return false;
  const uint32_t start = cursor.startOf == number ? cursor.start : MessageStart(number, cursor);
  // The next message's start ends this one, and is where the walk goes on.
  const uint32_t end = number + 1 < nextMessage_ ? MessageStart(number + 1, cursor) : used;
  cursor.startOf = number + 1;
  cursor.start = end;
  // It began in a line that left, or its first line left with the lines before.
  if (number == partialMessage_ || start > used) return false;
  offset = start;
  length = end > start && end <= used ? end - start : 0;
  return true;
}

void TextStore::SetMark(uint64_t number, uint8_t mark) {
  StoredMessage* message = MessageByNumber(number);
  if (!message || message->mark == mark) return;
  const bool wasHidden = message->mark == StoredMessage::kHidden;
  message->mark = mark;
  const bool hidden = mark == StoredMessage::kHidden;
  if (wasHidden == hidden) return;
  hiddenMessages_ += hidden ? 1 : uint64_t(-1);
  for (uint32_t k = FirstLineOf(number); k <= lineCount && MessageNumberOfLine(k) == number; ++k) {
    CountLine(frontLine + k, hidden ? -1 : 1);
  }
}

StoredMessage* TextStore::MessageByNumber(uint64_t number) {
  if (number < firstMessage_ || number - firstMessage_ >= messages_.size()) return nullptr;
  return &messages_[size_t(number - firstMessage_)];
}

void TextStore::CountLine(uint64_t lineNumber, int delta) {
  const uint64_t block = lineNumber >> kShownBlockBits;
  if (shownBlocks_.empty()) firstShownBlock_ = block;
  while (firstShownBlock_ + shownBlocks_.size() <= block) shownBlocks_.push_back(ShownBlock{shownTotal_, 0});
  shownBlocks_[size_t(block - firstShownBlock_)].shown += uint32_t(delta);
  shownTotal_ += uint64_t(int64_t(delta));
}

uint32_t TextStore::NextShownLine(uint32_t line) const {
  while (line <= lineCount && !LineShown(line)) ++line;
  return line;
}

uint32_t TextStore::ShownLine(uint32_t v) const {
  if (!HasArrays() || v >= ShownLineCount()) return lineCount + 1;
  if (AllShown()) return v;
  // The block holding shown line number target among all counted, then a walk through it.
  const uint64_t target = shownDropped_ + v;
  size_t low = 0, high = shownBlocks_.size() - 1;
  while (low < high) {
    const size_t middle = low + (high - low + 1) / 2;
    if (shownBlocks_[middle].before <= target) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  const uint64_t blockStart = (firstShownBlock_ + low) << kShownBlockBits;
  uint64_t count = std::max(shownBlocks_[low].before, shownDropped_);
  for (uint32_t k = uint32_t(std::max(blockStart, frontLine) - frontLine); k <= lineCount; ++k) {
    if (!LineShown(k)) continue;
    if (count == target) return k;
    ++count;
  }
  return lineCount + 1;
}

uint32_t TextStore::ShownLinesBefore(uint32_t line) const {
  if (!HasArrays()) return 0;
  if (line > lineCount) return ShownLineCount();
  if (AllShown()) return line;
  const uint64_t number = frontLine + line;
  const size_t block = size_t((number >> kShownBlockBits) - firstShownBlock_);
  const uint64_t blockStart = (firstShownBlock_ + block) << kShownBlockBits;
  uint64_t count = std::max(shownBlocks_[block].before, shownDropped_);
  for (uint32_t k = uint32_t(std::max(blockStart, frontLine) - frontLine); k < line; ++k) count += LineShown(k) ? 1 : 0;
  return uint32_t(count - shownDropped_);
}

void TextStore::RebuildShownLines() {
  hiddenMessages_ = 0;
  for (const StoredMessage& message : messages_) hiddenMessages_ += message.mark == StoredMessage::kHidden ? 1 : 0;
  shownBlocks_.clear();
  shownTotal_ = shownDropped_ = 0;
  if (!HasArrays()) return;
  for (uint32_t k = 0; k <= lineCount; ++k) CountLine(frontLine + k, LineShown(k) ? 1 : 0);
}

uint64_t TextStore::MessageNumberOfLine(uint32_t line) const {
  if (!HasArrays() || line > lineCount || messages_.empty()) return ~uint64_t(0);
  return MessageNumberOfRecord(lines_[line]);
}

bool TextStore::LineBeginsText(uint32_t line) const {
  if (!HasArrays() || line > lineCount) return false;
  return line == 0 || IsBreak(At(LineStart(line) - 1));
}

bool TextStore::LineBeginsMessage(uint32_t line) const {
  const uint64_t number = MessageNumberOfLine(line);
  if (number == ~uint64_t(0)) return false;
  // A line belongs to the message that brought its first byte: a message begins the line unless
  // it began the line before too, began inside a line before it, or before the stored lines.
  if (line == 0 ? number == partialMessage_ : MessageNumberOfRecord(lines_[line - 1]) == number) return false;
  const auto began = std::partition_point(continuations_.begin(), continuations_.end(), [&](const LineRecord& entry) {
    return firstMessage_ + (entry.message - uint32_t(firstMessage_)) < number;
  });
  return began == continuations_.end() || firstMessage_ + (began->message - uint32_t(firstMessage_)) != number;
}

uint64_t TextStore::MessageNumberOfRecord(const LineRecord& record) const {
  const uint32_t distance = record.message - uint32_t(firstMessage_);
  return distance < messages_.size() ? firstMessage_ + distance : ~uint64_t(0);
}

const StoredMessage* TextStore::MessageOfRecord(const LineRecord& record) const {
  const uint64_t number = MessageNumberOfRecord(record);
  return number == ~uint64_t(0) ? nullptr : &messages_[size_t(number - firstMessage_)];
}

const StoredMessage* TextStore::MessageOfLine(uint32_t line) const {
  const uint64_t number = MessageNumberOfLine(line);
  return number == ~uint64_t(0) ? nullptr : &messages_[size_t(number - firstMessage_)];
}

uint32_t TextStore::LineAt(uint32_t offset) const {
  // The last line starting at or before the offset (line starts never decrease).
  uint32_t low = 0, high = lineCount;
  while (low < high) {
    const uint32_t middle = low + (high - low + 1) / 2;
    if (LineStart(middle) <= offset) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

TextPieces TextStore::Pieces(uint32_t offset, uint32_t length) const {
  TextPieces pieces;
  if (!HasArrays() || offset >= used) return pieces;
  length = std::min(length, used - offset);
  const uint32_t index = Index(offset);
  pieces.first = ring_ + index;
  pieces.firstLength = std::min(length, capacity - index);
  if (pieces.firstLength < length) {
    pieces.second = ring_;
    pieces.secondLength = length - pieces.firstLength;
  }
  return pieces;
}

void TextStore::CopyOut(uint32_t offset, uint32_t length, uint8_t* out) const {
  const TextPieces pieces = Pieces(offset, length);
  if (pieces.firstLength) std::memcpy(out, pieces.first, pieces.firstLength);
  if (pieces.secondLength) std::memcpy(out + pieces.firstLength, pieces.second, pieces.secondLength);
}

uint32_t TextStore::CopyShown(uint32_t offset, uint32_t length, uint8_t* out) const {
  if (!HasArrays() || offset >= used) return 0;
  length = std::min(length, used - offset);
  if (AllShown()) {
    CopyOut(offset, length, out);
    return length;
  }
  const uint32_t end = offset + length;
  uint32_t written = 0;
  for (uint32_t k = LineAt(offset); k <= lineCount && LineStart(k) < end; ++k) {
    if (!LineShown(k)) continue;
    const uint32_t from = std::max(offset, LineStart(k));
    const uint32_t to = std::min(end, LineEnd(k));
    if (to <= from) continue;
    CopyOut(from, to - from, out + written);
    written += to - from;
  }
  return written;
}

int32_t TextStore::SnapToCharacter(const TextPosition& position, bool isLow) const {
  const int32_t offset = position.offset;
  if (position.rowStart < 0 || position.rowLength < 2 || !HasArrays()) return offset;
  // A row taken before the store changed may reach past the stored bytes: walk only those.
  const int64_t end = std::min<int64_t>(int64_t(position.rowStart) + position.rowLength, used);
  for (int64_t p = position.rowStart; p < end && p <= offset;) {
    const uint32_t bytes = CharacterAt(uint32_t(p), uint32_t(end)).bytes;
    if (offset < p + bytes) {
      // The lower end takes the character's first byte, the higher end its last.
      return isLow ? int32_t(p) : int32_t(p + bytes - 1);
    }
    p += bytes;
  }
  return offset;
}
