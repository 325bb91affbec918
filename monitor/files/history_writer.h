// A console's history written out for Save As: as text, each shown line after what the gutter
// draws before it (the stamps and senders, as the log writes them), or as JSON lines of the
// capture form, one per shown message with its sender, thread, times, source and kind, so that
// it opens back as it was. Portable: no Windows header; the code page conversion comes in as a
// function.
#pragma once

#include <string>
#include <string_view>

#include "console/line_gutter.h"
#include "console/text_store.h"

namespace history_writer {

// The store's code page made UTF-8.
using ToUtf8 = void (*)(std::string_view ansi, std::string& out);

// gutter may be null (nothing before the lines).
void AppendText(const TextStore& store, const LineGutter* gutter, std::string& out);
void AppendJsonLines(const TextStore& store, ToUtf8 toUtf8, std::string& out);

}  // namespace history_writer
