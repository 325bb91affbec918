// Searching the console's stored bytes for a text: whole characters only; in UTF-8 text case
// folded as the system folds, in code page text only its single-byte letters. Portable: no Windows
// header; the code page and the folding come in as data.
#pragma once

#include <cstdint>

#include "code_page/case_folding.h"
#include "code_page/utf8_characters.h"
#include "console/text_store.h"

struct SearchRequest {
  const uint8_t* pattern = nullptr;
  uint32_t patternLength = 0;
  bool matchCase = false;
  bool down = true;
  // Down: the first match that starts at or after from. Up: the last match that ends at or
  // before from (a match of n bytes at s ends at s + n).
  uint32_t from = 0;
};

struct SearchHit {
  bool found = false;
  uint32_t offset = 0;  // first byte of the match
  uint32_t length = 0;  // bytes of the match
};

// Searches bytes[0, length) as characters of codePage (null: single-byte), starting from offset 0,
// which is taken as a character's start. A match starts and ends on character boundaries; it
// may run across line ends and wrap points, since the bytes are searched, not the rows.
SearchHit FindInText(const uint8_t* bytes, uint32_t length, const LeadTrailSets* codePage,
                     const CaseFolding& folding, const SearchRequest& request);
// The same over the store's bytes, which may lie in two runs of its ring.
SearchHit FindInText(const TextPieces& bytes, const LeadTrailSets* codePage, const CaseFolding& folding,
                     const SearchRequest& request);
// The same for UTF-8 text: characters compared by code point, folded by `folding` unless the case
// must match, so that a match may be longer or shorter than the pattern (its length says).
SearchHit FindInUtf8(const TextPieces& bytes, const code_page::UnicodeFolding& folding, const SearchRequest& request);
// Text of the store's characters (UTF-8 with `unicode`, else the code page's with `folding`).
SearchHit FindInStoreText(const TextStore& store, const TextPieces& bytes, const CaseFolding& folding,
                          const SearchRequest& request, const code_page::UnicodeFolding& unicode);
// The same over the shown lines of a store, in the store's characters (UTF-8 with `unicode`, else
// the code page's with `folding`): each run of shown lines is searched as a text of its own, so
// that no match takes in a hidden line. Offsets are the store's.
SearchHit FindInShownText(const TextStore& store, const CaseFolding& folding, const SearchRequest& request,
                          const code_page::UnicodeFolding& unicode = code_page::UnicodeFolding::None());
