// The texts of a filter rule in the filter dialogs, from the string tables.
#include "monitor/filters/rule_texts.h"

#include <cstdint>
#include <cstdio>

#include "monitor/common/ui_text.h"
#include "monitor/resources/resource_ids.h"

namespace {

std::string Loaded(int text) {
  char out[kUiTextSize];
  LoadUiText(text, out);
  return out;
}

// A COLORREF (0x00BBGGRR) as the colour is usually written: #RRGGBB.
std::string ColourName(uint32_t colour) {
  char name[8];
  std::snprintf(name, sizeof name, "#%02X%02X%02X", static_cast<unsigned>(colour & 0xFF),
                static_cast<unsigned>((colour >> 8) & 0xFF), static_cast<unsigned>((colour >> 16) & 0xFF));
  return name;
}

}  // namespace

std::string ActionText(filtering::FilterAction action) {
  switch (action) {
    case filtering::FilterAction::kInclude: return Loaded(IDS_FILTER_INCLUDE);
    case filtering::FilterAction::kExclude: return Loaded(IDS_FILTER_EXCLUDE);
    case filtering::FilterAction::kHighlight: return Loaded(IDS_FILTER_HIGHLIGHT);
  }
  return "";
}

std::string FieldText(filtering::FilterField field) {
  switch (field) {
    case filtering::FilterField::kText: return Loaded(IDS_FILTER_FIELD_TEXT);
    case filtering::FilterField::kProgram: return Loaded(IDS_FILTER_FIELD_PROGRAM);
    case filtering::FilterField::kProcessId: return Loaded(IDS_FILTER_FIELD_PROCESS_ID);
  }
  return "";
}

std::string ColoursText(const filtering::FilterRule& rule) {
  if (rule.action != filtering::FilterAction::kHighlight) return "";
  return ColourName(rule.textColour) + " / " + ColourName(rule.backColour);
}
