// FilterRule: one rule of the message filters, as the user made it and as it is saved.
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>

namespace filtering {

enum class FilterAction : uint8_t {
  kInclude,    // shows what it matches (with several include rules, what any of them matches)
  kExclude,    // hides what it matches
  kHighlight,  // shows what it matches in the rule's colours
};

enum class FilterField : uint8_t {
  kText,       // the message text
  kProgram,    // the sender's program name ("client.exe")
  kProcessId,  // the sender's process id in decimal ("123")
};

struct FilterRule {
  FilterAction action = FilterAction::kInclude;
  FilterField field = FilterField::kText;
  // Wildcards: * any run of characters, ? one character; it may match anywhere in the field.
  // Bytes of the ANSI code page, as the messages are.
  std::string pattern;
  bool matchCase = false;
  // kHighlight: COLORREF values (0x00BBGGRR), black on yellow unless chosen.
  uint32_t textColour = 0x00000000;
  uint32_t backColour = 0x0000FFFF;
  bool enabled = true;

  bool operator==(const FilterRule& other) const {
    return action == other.action && field == other.field && pattern == other.pattern &&
           matchCase == other.matchCase && textColour == other.textColour && backColour == other.backColour &&
           enabled == other.enabled;
  }
  bool operator!=(const FilterRule& other) const { return !(*this == other); }
};

// The largest colour a rule takes: 24 bits of blue, green and red.
inline constexpr uint32_t kMaxColour = 0x00FFFFFF;

}  // namespace filtering
