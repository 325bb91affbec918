// Searching the console's lines as the view draws them: each shown line's gutter (its stamp, its
// sender) before its text, so that what the user sees is what Find finds. Portable: no Windows
// header.
#pragma once

#include "code_page/case_folding.h"
#include "code_page/utf8_characters.h"
#include "console/text_search.h"
#include "console/text_view.h"

// FindInShownText over the lines as drawn, in blocks of whole lines (no copy of the history is
// ever made). A hit that begins in a gutter begins at its line's first byte, one that ends in one
// ends with that line's first character; offsets and lengths are the store's. Without a gutter
// that draws anything, the stored text alone is searched.
SearchHit FindInDrawnText(const TextView& view, const CaseFolding& folding, const SearchRequest& request,
                          const code_page::UnicodeFolding& unicode = code_page::UnicodeFolding::None());
