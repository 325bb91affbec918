// A console's history written out for Save As: as text, each shown line after what the gutter
// draws before it (the stamps and senders, as the log writes them), or as JSON lines of the
// capture form, one per shown message with its sender, thread, times, source and kind, so that
// it opens back as it was. Portable: no Windows header; the store's text is UTF-8, as a JSON
// record's.
#pragma once

#include <string>
#include <string_view>

#include "console/line_gutter.h"
#include "console/text_store.h"

namespace history_writer {

// gutter may be null (nothing before the lines).
void AppendText(const TextStore& store, const LineGutter* gutter, std::string& out);
void AppendJsonLines(const TextStore& store, std::string& out);

}  // namespace history_writer
