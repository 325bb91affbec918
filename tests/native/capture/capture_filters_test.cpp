// tellitcap's filter options at work: --include and --program as alternatives, --exclude over
// both, letters in either case, notices always written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/capture_filters.h"
#include "filtering/filter_set.h"

namespace {

TEST(CaptureFilters, IncludeAndProgramAreAlternativesExcludeWins) {
  capture::CaptureOptions options;
  options.includes = {"keep*"};
  options.excludes = {"*drop*"};
  options.programs = {"monitor_e2e_client*"};
  const filtering::FilterSet filters(capture::CaptureFilterRules(options), LeadTrailSets::SingleByte(),
                                     CaseFolding::Ascii());
  const std::string client = "monitor_e2e_client.exe";
  const struct {
    std::string text;
    std::string program;
    uint32_t pid;
    bool notice;
    bool written;
  } cases[] = {
      {"keep 1\n", "", 0, false, true},
      {"we KEEP it\n", "", 0, false, true},
      {"other\n", "", 0, false, false},
      {"other\n", client, 7, false, true},
      {"other\n", "MONITOR_E2E_CLIENT.EXE", 7, false, true},
      {"other\n", "monitor.exe", 7, false, false},
      {"keep but drop\n", "", 0, false, false},
      {"drop\n", client, 7, false, false},
      {"a Dropped one\n", client, 7, false, false},
      {"<< 3 dropped >>\n", "", 0, true, true},
  };
  for (const auto& c : cases) {
    filtering::FilterSubject subject;
    subject.text = reinterpret_cast<const uint8_t*>(c.text.data());
    subject.length = c.text.size();
    subject.program = c.program;
    subject.processId = c.pid;
    subject.notice = c.notice;
    EXPECT_EQ(filters.Decide(subject).shown, c.written) << c.text << " from '" << c.program << "'";
  }
}

}  // namespace
