// tellitcap's filter options as rules of the message filters. Portable: no Windows header.
#pragma once

#include <vector>

#include "capture/capture_options.h"
#include "filtering/filter_rule.h"

namespace capture {

// --include and --program as include rules of the text and of the program name, --exclude as
// exclude rules of the text; all enabled, all ignoring case.
std::vector<filtering::FilterRule> CaptureFilterRules(const CaptureOptions& options);
// --until as an include rule of the text, as --include takes it; none without it.
std::vector<filtering::FilterRule> CaptureUntilRules(const CaptureOptions& options);

}  // namespace capture
