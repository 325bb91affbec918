// TextStore: the console's bounded text, its line table, the message each line belongs to and the
// mouse selection. Portable: no Windows header; the double-byte test comes in as data
// (LeadTrailSets).
//
// The text lives in one ring of capacity bytes: discarding old lines moves the front on and never
// the text that stays, and the line table is a queue whose front entries go with their lines. A
// stored byte is addressed by its offset from the front (0 .. used - 1); the ring's physical
// edge may fall anywhere, also inside a line or a double-byte character, so readers go through
// At, Pieces or CopyOut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "code_page/lead_trail_sets.h"
#include "code_page/utf8_characters.h"
#include "console/stored_message.h"

// One stored character: its bytes, the cells it takes before tabs and hex codes are laid out (two
// for a double-byte or an East Asian wide character), and its code point (for double-byte text,
// the byte of a single-byte character and 0 for a pair).
struct StoredCharacter {
  uint32_t bytes = 1;
  uint32_t cells = 1;
  char32_t codePoint = 0;
};

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

// Stored bytes as at most two contiguous runs (the second when the range crosses the ring's edge).
struct TextPieces {
  const uint8_t* first = nullptr;
  uint32_t firstLength = 0;
  const uint8_t* second = nullptr;
  uint32_t secondLength = 0;

  uint32_t size() const { return firstLength + secondLength; }
  uint8_t operator[](uint32_t i) const { return i < firstLength ? first[i] : second[i - firstLength]; }
};

class TextStore {
 public:
  // Allocates the ring; null when the memory cannot be had. Replaceable for tests.
  using ByteAllocator = uint8_t* (*)(size_t bytes);
  static uint8_t* AllocateBytes(size_t bytes);

  TextStore() = default;
  ~TextStore();
  TextStore(const TextStore&) = delete;
  TextStore& operator=(const TextStore&) = delete;

  // The line bound: at most maxLines - 1 complete lines. Unless set by Allocate or Resize it
  // follows the capacity, one line for every kBytesPerLine bytes and never fewer than
  // kFewestLines, so that the bytes alone bound what the store keeps.
  uint32_t maxLines = 10000;
  uint32_t wrapColumn = 256;
  uint32_t used = 0;
  uint32_t capacity = 0;
  uint32_t lineCount = 0;  // complete lines; index of the current line
  Selection selection;
  // How the stored bytes split into characters: UTF-8 (utf8, with ambiguousWide setting Greek,
  // Cyrillic and the symbols of the double-byte code pages in two cells, as their fonts do), or
  // the double-byte sets of a code page (null: single-byte).
  bool utf8 = false;
  bool ambiguousWide = false;
  const LeadTrailSets* codePage = nullptr;
  // Bytes that have left the front of the store (discards, Clear, a new allocation) since it was
  // made: stored byte k is byte frontPosition + k of everything the store took in. A position
  // taken this way stays meaningful while older lines go.
  uint64_t frontPosition = 0;
  // Lines that have left the front since the store was made: line k is line frontLine + k of
  // everything stored. A view that does not follow the end keeps its place by it.
  uint64_t frontLine = 0;
  ByteAllocator allocate = AllocateBytes;
  // Names of the programs that sent the stored messages (StoredMessage::program).
  ProgramNames programs;

  // The smallest line table: one complete line and the current one.
  static constexpr uint32_t kMinLineTable = 2;
  static constexpr uint32_t kBytesPerLine = 16;
  static constexpr uint32_t kFewestLines = 10000;
  // When a ring of the asked size cannot be had, the store tries half that size, and so on down
  // to this size (or to the asked size when that is smaller).
  static constexpr uint32_t kSmallestFallback = 64 * 1024;
  // The largest ring a process asks for: in the 2 GiB of a 32-bit process, half of it, so that the
  // line table, the clipboard's copy of a selection and the rest of the program keep their room.
  static constexpr uint32_t kLargestRing = sizeof(void*) == 4 ? 512u << 20 : 1u << 30;

  // Empties the store and makes a ring of bufferSize bytes, or of the largest size the halving
  // steps obtain; false when not even the smallest could be had (the store then holds no ring and
  // ignores appends). lineLimit 0 lets the line bound follow the capacity. A size of 0 (or a
  // negative value cast to unsigned) is refused: a refused buffer size leaves the store without a
  // ring, a refused wrap column keeps the current value.
  bool Allocate(uint32_t bufferSize, uint32_t lineLimit, uint32_t wrap);
  bool HasArrays() const { return ring_ != nullptr; }

  // Stores bytes with line breaks, wrapping and backspace. Wrapping never splits a character (a
  // lead byte that would be a line's last byte starts the next line; in UTF-8 a wrapped line
  // holds wrapColumn cells, and a wide character that would not fit starts the next line), and a
  // backspace removes the whole last character of the line. When the ring or the line bound is
  // full, the oldest whole lines go, as few as make room; a current line that fills the whole
  // ring goes too.
  void Append(const uint8_t* text, uint32_t length);
  // Drops the oldest whole lines until need more bytes fit (everything when they cannot).
  void Discard(uint32_t need);
  void Clear();

  // Resizing steps of XConsole::ApplySettings: capacity (halving as Allocate does when memory is
  // short), line bound, wrap column; a value of 0 (or a negative one cast to unsigned) leaves
  // that setting as it is. The newest whole lines that fit stay. Resets the selection when stored
  // bytes go, and then returns true.
  bool Resize(uint32_t newBufferSize, uint32_t newMaxLines, uint32_t newWrapColumn);
  // Whether the last Allocate or Resize got less than it asked for, and what that was: a size asked
  // for again is not tried again.
  bool shortOfMemory = false;
  uint32_t askedCapacity = 0;

  // Starts a new message: the lines begun from now on (and the current line while it is empty)
  // belong to it. Messages go with the last line that belongs to them.
  void BeginMessage(const StoredMessage& message);
  // The message line k belongs to; null for lines stored before any message began. A line belongs
  // to the message that began it: a message that continues a line (none ended before it) has its
  // first bytes on that message's line.
  const StoredMessage* MessageOfLine(uint32_t line) const;
  // Where the bytes of message `number` are stored, from its first byte to the next message's
  // first byte (or the end): false when it is not stored whole, its beginning having left.
  bool MessageBytes(uint64_t number, uint32_t& offset, uint32_t& length) const;
  // The same for messages taken in order: the cursor, made for the first one, goes along with
  // them, so that a walk over every message costs the lines it passes, not a search for each.
  struct MessageCursor {
    uint32_t line = 0;          // the first line of the message asked for or a later one
    size_t continuation = 0;    // the first continuation of that message or a later one
    uint64_t startOf = ~uint64_t(0);  // the message whose start is known already: the next one
    uint32_t start = 0;
  };
  MessageCursor CursorAt(uint64_t number) const;
  bool MessageBytes(uint64_t number, MessageCursor& cursor, uint32_t& offset, uint32_t& length) const;
  // Marks the message, the shown lines following; the mark of a message that is not stored is kept.
  void SetMark(uint64_t number, uint8_t mark);
  // The stored message of that number (MessageNumberOfLine), null when it is not stored.
  StoredMessage* MessageByNumber(uint64_t number);
  const StoredMessage* MessageByNumber(uint64_t number) const {
    return const_cast<TextStore*>(this)->MessageByNumber(number);
  }
  uint64_t FirstMessageNumber() const { return firstMessage_; }
  uint64_t NextMessageNumber() const { return nextMessage_; }

  // Shown lines: a line is hidden when its message is marked StoredMessage::kHidden. After
  // changing marks through MessageByNumber, RebuildShownLines brings the count and index in line.
  bool LineShown(uint32_t line) const {
    const StoredMessage* message = MessageOfLine(line);
    return !message || message->mark != StoredMessage::kHidden;
  }
  // Shown lines stored (the current line among them when shown), and hidden messages stored.
  uint32_t ShownLineCount() const { return HasArrays() ? uint32_t(shownTotal_ - shownDropped_) : 0; }
  bool AllShown() const { return ShownLineCount() == lineCount + 1; }
  uint64_t HiddenMessageCount() const { return hiddenMessages_; }
  // Shown lines that left the front since the shown lines were last rebuilt.
  uint64_t ShownLinesDropped() const { return shownDropped_; }
  // The line index of shown line v (0 .. ShownLineCount() - 1); lineCount + 1 when there is none.
  uint32_t ShownLine(uint32_t v) const;
  // The shown line at or after line k (lineCount + 1 when none), and the number of shown lines
  // before line k.
  uint32_t NextShownLine(uint32_t line) const;
  uint32_t ShownLinesBefore(uint32_t line) const;
  void RebuildShownLines();
  // The scroll position of the last shown line (what lineCount is while every line shows).
  uint32_t LastShownIndex() const { return ShownLineCount() != 0 ? ShownLineCount() - 1 : 0; }
  // The highlight colour pair number of line k (0: none).
  uint8_t HighlightOf(uint32_t line) const {
    const StoredMessage* message = MessageOfLine(line);
    return message && message->mark != StoredMessage::kHidden ? uint8_t(message->mark) : 0;
  }
  // The message's number among all begun since the store was made (for lines without one, ~0).
  uint64_t MessageNumberOfLine(uint32_t line) const;
  // Whether line k begins a line of text: it is the first stored line or the line before ended at
  // a line end (not at the wrap column).
  bool LineBeginsText(uint32_t line) const;
  // Whether line k's first byte is its message's first byte (its message began the line).
  bool LineBeginsMessage(uint32_t line) const;
  size_t MessageCount() const { return messages_.size(); }

  // Reading. offset < used; line <= lineCount.
  uint8_t At(uint32_t offset) const { return ring_[Index(offset)]; }
  uint32_t LineStart(uint32_t line) const { return uint32_t(lines_[line].start - uint32_t(frontPosition)); }
  uint32_t LineEnd(uint32_t line) const { return line < lineCount ? LineStart(line + 1) : used; }
  // The line holding a stored byte (the current line for offset == used).
  uint32_t LineAt(uint32_t offset) const;
  TextPieces Pieces(uint32_t offset, uint32_t length) const;
  void CopyOut(uint32_t offset, uint32_t length, uint8_t* out) const;
  // The same without the bytes of hidden lines; returns the bytes written.
  uint32_t CopyShown(uint32_t offset, uint32_t length, uint8_t* out) const;

  // Whole-character snapping of a selection end (isLow: the lower end takes the lead byte).
  int32_t SnapToCharacter(const TextPosition& position, bool isLow) const;

  // The character that starts at offset, within the bytes before end (offset < end <= used).
  StoredCharacter CharacterAt(uint32_t offset, uint32_t end) const;

  bool IsDoubleByte(uint8_t first, uint8_t second) const {
    return codePage && codePage->IsDoubleByte(first, second);
  }
  uint32_t CurrentLineLength() const {
    return HasArrays() ? used - uint32_t(lines_.back().start - uint32_t(frontPosition)) : 0;
  }

 private:
  struct LineRecord {
    uint32_t start;    // low 32 bits of the line's position among all bytes taken in
    uint32_t message;  // low 32 bits of the message's number
  };

  uint64_t MessageNumberOfRecord(const LineRecord& record) const;
  const StoredMessage* MessageOfRecord(const LineRecord& record) const;
  uint32_t Index(uint32_t offset) const {
    const uint32_t index = frontIndex_ + offset;
    return index >= capacity ? index - capacity : index;
  }
  void Release();
  void Reset();  // empty, keeping the ring
  bool TakeRing(uint32_t bufferSize, uint8_t** ring, uint32_t* size);
  void FollowCapacity();
  void DropFront(uint32_t lines);  // lines 0 .. lines - 1; never the current line
  void DropCurrentLine();          // the current line is everything stored
  void MakeRoom();                 // for one more byte
  void PushLine(uint32_t start);
  void EndLine();
  // The offset of the current line's last character (the line's start when it is empty).
  uint32_t LastCharacterStart() const;
  // Whether byte, stored next, would be the lead byte of a double-byte character.
  bool StartsDoubleByte(uint8_t byte) const;
  // The cells of the stored characters from offset to the end.
  uint32_t CellsFrom(uint32_t offset) const;
  void TakeBackCharacter();        // a backspace
  void StoreBreak(uint8_t byte);   // CR or LF
  void AppendUtf8(const uint8_t* text, uint32_t length);
  // The stored bytes from an offset on, read as one text (across the ring's edge).
  struct RingBytes {
    const TextStore* store;
    uint32_t from;
    uint8_t operator[](size_t i) const { return store->At(from + uint32_t(i)); }
  };

  uint8_t* ring_ = nullptr;
  uint32_t frontIndex_ = 0;  // ring index of stored byte 0
  uint32_t lineLimit_ = 0;   // the line bound asked for; 0: it follows the capacity
  uint32_t currentCells_ = 0;  // UTF-8: the cells of the current line
  std::deque<LineRecord> lines_;  // lineCount + 1 entries while there is a ring
  std::deque<StoredMessage> messages_;
  // Where the messages that began inside a line begin (those that begin a line begin with it).
  std::deque<LineRecord> continuations_;
  // The message whose first bytes left the store with old lines; ~0: none.
  uint64_t partialMessage_ = ~uint64_t(0);
  // The first line whose message is `number` or a later one (lineCount + 1: none).
  uint32_t FirstLineOf(uint64_t number) const;
  // The stored offset where message `number` begins; `used` when it and every later one are empty.
  // The cursor stands at or before the message and is moved to it.
  uint32_t MessageStart(uint64_t number, MessageCursor& cursor) const;
  uint64_t ContinuationNumber(size_t index) const {
    return firstMessage_ + (continuations_[index].message - uint32_t(firstMessage_));
  }
  uint64_t firstMessage_ = 0;  // number of messages_.front()
  uint64_t nextMessage_ = 0;   // number the next BeginMessage gives

  // The shown lines by blocks of 2^kShownBlockBits lines (by their number among all lines taken
  // in): how many shown lines came before the block since the count began, and how many are in it.
  // Lines that leave the front stay counted in their block; shownDropped_ counts them.
  static constexpr uint32_t kShownBlockBits = 10;
  struct ShownBlock {
    uint64_t before;
    uint32_t shown;
  };
  void CountLine(uint64_t lineNumber, int delta);
  std::deque<ShownBlock> shownBlocks_;
  uint64_t firstShownBlock_ = 0;  // block number of shownBlocks_.front()
  uint64_t shownTotal_ = 0;       // shown lines counted, the dropped ones too
  uint64_t shownDropped_ = 0;
  uint64_t hiddenMessages_ = 0;
};
