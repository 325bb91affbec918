// The drawn text of a block of shown lines, searched as one text, its hits mapped back to the
// stored bytes.
#include "console/drawn_search.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A block holds about this many bytes of its own lines; a hit may run on into the lines after
// them (the tail) by as many bytes as a match can take.
constexpr size_t kBlockBytes = 1u << 20;

struct DrawnLine {
  uint32_t drawn;   // where the line's gutter starts in the block's text
  uint32_t stored;  // the line's first stored byte
  uint32_t lead;    // the gutter's bytes
  uint32_t length;  // the line's stored bytes
};

class DrawnBlock {
 public:
  explicit DrawnBlock(const TextView& view) : view_(view), store_(*view.text) {}

  void Add(uint32_t line) {
    const std::string& lead = view_.LeadOf(line);
    const uint32_t start = store_.LineStart(line);
    const uint32_t length = store_.LineEnd(line) - start;
    lines_.push_back({uint32_t(text_.size()), start, uint32_t(lead.size()), length});
    text_ += lead;
    const size_t at = text_.size();
    text_.resize(at + length);
    store_.CopyOut(start, length, reinterpret_cast<uint8_t*>(&text_[at]));
  }
  size_t size() const { return text_.size(); }
  const std::string& text() const { return text_; }

  // The drawn offset of a stored byte (the block's end for one after it, 0 for one before it).
  uint32_t Drawn(uint32_t stored) const {
    for (const DrawnLine& line : lines_) {
      if (stored < line.stored) return line.drawn;
      if (stored < line.stored + line.length) return line.drawn + line.lead + (stored - line.stored);
    }
    return uint32_t(text_.size());
  }
  // The stored byte a drawn offset shows: in a gutter, its line's first byte.
  uint32_t Stored(uint32_t drawn) const {
    const auto after = std::upper_bound(lines_.begin(), lines_.end(), drawn,
                                        [](uint32_t d, const DrawnLine& line) { return d < line.drawn; });
    const DrawnLine& line = *(after - 1);
    const uint32_t into = drawn - line.drawn;
    return line.stored + (into < line.lead ? 0 : into - line.lead);
  }
  // The stored range [lo, hi] of a drawn hit.
  SearchHit Hit(const SearchHit& drawn) const {
    SearchHit hit;
    hit.found = true;
    const uint32_t lo = Stored(drawn.offset);
    uint32_t hi = Stored(drawn.offset + drawn.length - 1);
    const auto last = std::upper_bound(lines_.begin(), lines_.end(), drawn.offset + drawn.length - 1,
                                       [](uint32_t d, const DrawnLine& line) { return d < line.drawn; }) - 1;
    if (drawn.offset + drawn.length - 1 < last->drawn + last->lead) {
      hi = last->length != 0 ? hi + store_.CharacterAt(hi, hi + last->length).bytes - 1 : hi;
    }
    hit.offset = lo;
    hit.length = std::max(hi, lo) + 1 - lo;
    return hit;
  }

 private:
  const TextView& view_;
  const TextStore& store_;
  std::string text_;
  std::vector<DrawnLine> lines_;
};

}  // namespace

SearchHit FindInDrawnText(const TextView& view, const CaseFolding& folding, const SearchRequest& request,
                          const code_page::UnicodeFolding& unicode) {
  if (!view.text || !view.text->HasArrays()) return SearchHit();
  const TextStore& store = *view.text;
  if (!view.gutter || view.gutter->Widest(store) == 0) return FindInShownText(store, folding, request, unicode);
  if (!request.pattern || request.patternLength == 0 || store.used == 0) return SearchHit();
  // A match takes at most four bytes of text for each byte of the pattern (a fold may turn one
  // byte into a character of four), and a gutter's width more.
  const size_t overlap = size_t(request.patternLength) * 4 + view.gutter->Widest(store);
  const auto search = [&](const std::string& text, const SearchRequest& asked) {
    TextPieces pieces;
    pieces.first = reinterpret_cast<const uint8_t*>(text.data());
    pieces.firstLength = uint32_t(text.size());
    return FindInStoreText(store, pieces, folding, asked, unicode);
  };
  SearchHit best;
  // Down: from the line of `from` on; up: every block before `from`, the last hit winning.
  uint32_t line = store.NextShownLine(request.down ? store.LineAt(std::min(request.from, store.used)) : 0);
  while (line <= store.lineCount) {
    if (!request.down && store.LineStart(line) >= request.from) break;
    DrawnBlock block(view);
    uint32_t next = line;
    // Its own lines: consecutive shown ones (a hidden line ends a block: no hit takes it in).
    do {
      block.Add(next++);
    } while (next <= store.lineCount && store.LineShown(next) && block.size() < kBlockBytes);
    const size_t own = block.size();
    for (uint32_t tail = next; tail <= store.lineCount && store.LineShown(tail) && block.size() < own + overlap; ++tail) {
      block.Add(tail);
    }
    SearchRequest asked = request;
    asked.from = request.from >= store.used ? uint32_t(block.size()) : block.Drawn(request.from);
    const SearchHit drawn = search(block.text(), asked);
    if (drawn.found) {
      const SearchHit hit = block.Hit(drawn);
      if (request.down) return hit;
      if (hit.offset + hit.length <= request.from) best = hit;
    }
    line = store.NextShownLine(next);
  }
  return best;
}
