// Text search over the console's stored bytes, character by character.
#include "console/text_search.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Bytes of the character at p of a text of length bytes: 2 for a lead and trail byte pair.
template <typename Bytes>
uint32_t CharacterWidth(const Bytes& text, uint32_t length, uint32_t p, const LeadTrailSets* codePage) {
  if (codePage && p + 1 < length && codePage->IsDoubleByte(text[p], text[p + 1])) return 2;
  return 1;
}

// Whether the pattern matches the text at start, character against character: both must split
// into characters the same way, so a match never ends inside a double-byte character.
bool MatchesAt(const TextPieces& bytes, uint32_t length, uint32_t start, const LeadTrailSets* codePage,
               const CaseFolding& folding, const SearchRequest& request) {
  const uint8_t* pattern = request.pattern;
  const uint32_t n = request.patternLength;
  uint32_t i = 0;
  uint32_t p = start;
  while (i < n) {
    if (p >= length) return false;
    const uint32_t width = CharacterWidth(bytes, length, p, codePage);
    if (width != CharacterWidth(pattern, n, i, codePage)) return false;
    if (width == 2) {
      if (bytes[p] != pattern[i] || bytes[p + 1] != pattern[i + 1]) return false;
    } else if (request.matchCase) {
      if (bytes[p] != pattern[i]) return false;
    } else if (folding.lower[bytes[p]] != folding.lower[pattern[i]]) {
      return false;
    }
    i += width;
    p += width;
  }
  return true;
}

// The bytes of a match of the pattern at start in UTF-8 text, character against character, each
// folded unless the case must match; 0 for none. A byte that begins no character matches only
// the same byte.
uint32_t Utf8MatchAt(const TextPieces& bytes, uint32_t length, uint32_t start, const code_page::UnicodeFolding& folding,
                     const SearchRequest& request) {
  const uint8_t* pattern = request.pattern;
  const uint32_t n = request.patternLength;
  uint32_t i = 0;
  uint32_t p = start;
  while (i < n) {
    if (p >= length) return 0;
    const code_page::Utf8Character want = code_page::Utf8At(pattern, n, i);
    const code_page::Utf8Character have = code_page::Utf8At(bytes, length, p);
    if (!want.valid || !have.valid) {
      if (want.valid || have.valid || pattern[i] != bytes[p]) return 0;
    } else if (request.matchCase ? want.codePoint != have.codePoint
                                 : folding.Fold(want.codePoint) != folding.Fold(have.codePoint)) {
      return 0;
    }
    i += want.bytes;
    p += have.bytes;
  }
  return p - start;
}

}  // namespace

SearchHit FindInUtf8(const TextPieces& bytes, const code_page::UnicodeFolding& folding, const SearchRequest& request) {
  SearchHit hit;
  const uint32_t n = request.patternLength;
  const uint32_t length = bytes.size();
  if (!request.pattern || n == 0) return hit;
  // A pattern that begins with an ASCII character skips every ASCII byte that cannot begin it
  // without decoding (a fold may map a character beyond ASCII to it, so others are tried whole).
  const uint8_t first = request.pattern[0];
  const char32_t firstFolded = request.matchCase ? first : folding.Fold(first);
  for (uint32_t p = 0; p < length; p += code_page::Utf8At(bytes, length, p).bytes) {
    if (request.down) {
      if (p < request.from) continue;
    } else if (p >= request.from) {
      break;  // every later match ends after from
    }
    const uint8_t at = bytes[p];
    if (first < 0x80 && at < 0x80 && (request.matchCase ? at : folding.Fold(at)) != firstFolded) continue;
    const uint32_t matched = Utf8MatchAt(bytes, length, p, folding, request);
    if (matched == 0 || (!request.down && p + matched > request.from)) continue;
    hit.found = true;
    hit.offset = p;
    hit.length = matched;
    if (request.down) break;  // up: the last match before from wins
  }
  return hit;
}

SearchHit FindInText(const uint8_t* bytes, uint32_t length, const LeadTrailSets* codePage,
                     const CaseFolding& folding, const SearchRequest& request) {
  TextPieces pieces;
  pieces.first = bytes;
  pieces.firstLength = bytes ? length : 0;
  return FindInText(pieces, codePage, folding, request);
}

SearchHit FindInText(const TextPieces& bytes, const LeadTrailSets* codePage, const CaseFolding& folding,
                     const SearchRequest& request) {
  SearchHit hit;
  const uint32_t n = request.patternLength;
  const uint32_t length = bytes.size();
  if (!request.pattern || n == 0 || n > length) return hit;
  // Character starts are known only by walking from the front: a byte's value cannot tell a
  // lead byte from a trail byte.
  for (uint32_t p = 0; p + n <= length; p += CharacterWidth(bytes, length, p, codePage)) {
    if (request.down) {
      if (p < request.from) continue;
    } else if (p + n > request.from) {
      break;  // every later match ends later still
    }
    if (!MatchesAt(bytes, length, p, codePage, folding, request)) continue;
    hit.found = true;
    hit.offset = p;
    hit.length = n;
    if (request.down) break;  // up: the last match before from wins
  }
  return hit;
}

SearchHit FindInStoreText(const TextStore& store, const TextPieces& bytes, const CaseFolding& folding,
                          const SearchRequest& request, const code_page::UnicodeFolding& unicode) {
  return store.utf8 ? FindInUtf8(bytes, unicode, request) : FindInText(bytes, store.codePage, folding, request);
}

SearchHit FindInShownText(const TextStore& store, const CaseFolding& folding, const SearchRequest& request,
                          const code_page::UnicodeFolding& unicode) {
  const auto search = [&](const TextPieces& bytes, const SearchRequest& asked) {
    return FindInStoreText(store, bytes, folding, asked, unicode);
  };
  if (store.AllShown()) return search(store.Pieces(0, store.used), request);
  // The runs of shown lines, as byte ranges.
  std::vector<std::pair<uint32_t, uint32_t>> runs;
  for (uint32_t k = store.NextShownLine(0); k <= store.lineCount;) {
    uint32_t last = k;
    while (last + 1 <= store.lineCount && store.LineShown(last + 1)) ++last;
    runs.emplace_back(store.LineStart(k), store.LineEnd(last));
    k = store.NextShownLine(last + 1);
  }
  const auto searchRun = [&](const std::pair<uint32_t, uint32_t>& run) {
    SearchRequest inRun = request;
    inRun.from = request.from <= run.first ? 0 : std::min(request.from, run.second) - run.first;
    SearchHit hit = search(store.Pieces(run.first, run.second - run.first), inRun);
    hit.offset += run.first;
    return hit;
  };
  if (request.down) {
    for (const auto& run : runs) {
      if (run.second <= request.from) continue;
      const SearchHit hit = searchRun(run);
      if (hit.found) return hit;
    }
  } else {
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
      if (run->first >= request.from) continue;
      const SearchHit hit = searchRun(*run);
      if (hit.found) return hit;
    }
  }
  return SearchHit();
}
