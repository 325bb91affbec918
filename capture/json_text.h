// JSON string escaping for the JSON output of tellitcap: the JSON-lines room's, one form for both
// programs.
#pragma once

#include "json_lines/json_string.h"

namespace capture {

using json_lines::AppendJsonString;

}  // namespace capture
