// The rules' patterns made UTF-8 for the console's text.
#include "monitor/filters/console_filters.h"

#include <string>
#include <utility>

#include "code_page/ansi_code_page.h"
#include "code_page/utf8_characters.h"
#include "monitor/common/code_page_text.h"

filtering::FilterSet ConsoleFilterSet(std::vector<filtering::FilterRule> rules) {
  for (filtering::FilterRule& rule : rules) {
    if (code_page::IsAscii(rule.pattern.data(), rule.pattern.size())) continue;
    std::string utf8;
    AnsiToUtf8Text(rule.pattern, utf8);
    rule.pattern = std::move(utf8);
  }
  return filtering::FilterSet(std::move(rules), UnicodeFoldingOfSystem());
}
