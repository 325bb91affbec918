// Views over one history: each view shows the messages its own rules let through, whichever view
// was shown while they came and after old lines left; and the views' saved form.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "monitor/filters/view_set.h"
#include "tests/support/history_intake.h"

namespace {

using filtering::FilterAction;
using filtering::FilterField;
using filtering::FilterRule;

MonitorView View(std::vector<FilterRule> rules) {
  MonitorView view;
  view.rules = std::move(rules);
  view.active = filtering::FilterSet(view.rules, LeadTrailSets::SingleByte(), CaseFolding::Ascii());
  return view;
}

struct Sent {
  uint32_t pid;
  std::string text;
};

// The lines a view shows, as the store's shown lines give them.
std::vector<std::string> ShownLines(const TextStore& store) {
  std::vector<std::string> lines;
  for (uint32_t v = 0; v < store.ShownLineCount(); ++v) {
    const uint32_t line = store.ShownLine(v);
    std::string text;
    for (uint32_t i = store.LineStart(line); i < store.LineEnd(line); ++i) text += char(store.At(i));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (!text.empty()) lines.push_back(text);
  }
  return lines;
}

TEST(ViewSet, EachViewShowsWhatItsRulesLetThroughWhicheverWasShown) {
  struct Case {
    const char* name;
    uint32_t bufferSize;  // small: old lines leave while messages come
    std::vector<size_t> shownWhile;  // the view shown while each third of the messages comes
  };
  const Case cases[] = {
      {"first view shown throughout", 1 << 20, {0, 0, 0}},
      {"views changed while messages come", 1 << 20, {1, 2, 0}},
      {"old lines leave the front", 2048, {2, 0, 1}},
  };
  // What each view lets through, said apart from the filters: every message; pid 2 alone; every
  // message without "err".
  const auto lets = [](size_t view, const Sent& sent) {
    return view == 0 || (view == 1 && sent.pid == 2) || (view == 2 && sent.text.find("err") == std::string::npos);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Intake intake;
    ASSERT_TRUE(intake.store.Allocate(c.bufferSize, 0, 256));
    ViewSet views;
    std::vector<MonitorView> made;
    made.push_back(View({}));
    made.push_back(View({Rule(FilterAction::kInclude, FilterField::kProcessId, "2")}));
    made.push_back(View({Rule(FilterAction::kExclude, FilterField::kText, "err")}));
    views.Reset(std::move(made), 0);
    std::vector<Sent> sent;
    for (int i = 0; i < 300; ++i) {
      sent.push_back({uint32_t(1 + i % 3), "message " + std::to_string(i) + (i % 4 == 0 ? " err" : " fine")});
    }
    for (size_t i = 0; i < sent.size(); ++i) {
      views.Show(c.shownWhile[i * 3 / sent.size()], intake.store);
      const uint64_t number = intake.store.NextMessageNumber();
      intake.Take(views.Current().active, sent[i].text + "\n", sent[i].pid, false, false);
      StoredMessage record;
      record.pid = sent[i].pid;
      const std::string program = "p" + std::to_string(sent[i].pid) + ".exe";
      views.MarkOthers(number, [&](const filtering::FilterSet& filters) {
        return HistoryFilter::MarkFor(filters, record, program, reinterpret_cast<const uint8_t*>(sent[i].text.data()),
                                      sent[i].text.size());
      });
      views.Forget(intake.store.FirstMessageNumber());
    }
    for (size_t view : {1u, 2u, 0u}) {
      SCOPED_TRACE(view);
      views.Show(view, intake.store);
      const std::vector<std::string> lines = ShownLines(intake.store);
      ASSERT_FALSE(lines.empty());
      // The stored messages are the last ones sent: the view shows exactly those it lets through.
      std::vector<std::string> expected;
      const size_t stored = size_t(intake.store.NextMessageNumber() - intake.store.FirstMessageNumber());
      for (size_t i = sent.size() - stored; i < sent.size(); ++i) {
        if (lets(view, sent[i])) expected.push_back(sent[i].text);
      }
      // The oldest stored line may have lost its beginning.
      if (c.bufferSize < 4096 && !expected.empty() && lines.size() == expected.size() && lines.front() != expected.front()) {
        EXPECT_NE(expected.front().find(lines.front()), std::string::npos);
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
                  std::vector<std::string>(expected.begin() + 1, expected.end()));
      } else {
        EXPECT_EQ(lines, expected);
      }
    }
  }
}

TEST(ViewSet, TheLastViewStaysAndTheShownOneCannotBeRemoved) {
  ViewSet views;
  EXPECT_FALSE(views.Remove(0));
  TextStore store;
  ASSERT_TRUE(store.Allocate(4096, 0, 256));
  EXPECT_TRUE(views.Add(View({})));
  EXPECT_FALSE(views.Remove(0));  // shown
  views.Show(1, store);
  EXPECT_TRUE(views.Remove(0));
  EXPECT_EQ(views.size(), 1u);
  EXPECT_EQ(views.current(), 0u);
  while (views.size() < ViewSet::kMaxViews) ASSERT_TRUE(views.Add(View({})));
  EXPECT_FALSE(views.Add(View({})));
}

using Ini = std::map<std::string, std::map<std::string, std::string>>;

saved_views::Read ReadIni(const Ini& ini) {
  return saved_views::ReadViews([&](const char* section, const std::string& key, std::string& value) {
    const auto s = ini.find(section);
    if (s == ini.end()) return false;
    const auto k = s->second.find(key);
    if (k == s->second.end()) return false;
    value = k->second;
    return true;
  });
}

TEST(SavedViews, ReadFromTheirSections) {
  struct Case {
    const char* name;
    Ini ini;
    std::vector<std::string> names;
    std::vector<size_t> ruleCounts;
    std::vector<bool> switches;
    size_t current;
    std::string unreadable, broken;
  };
  const std::string include = "include;text;1;0;0;65535;a*";
  const Case cases[] = {
      {"a file from before views: filters only",
       {{"filters", {{"count", "1"}, {"rule 1", include}}}, {"system", {{"filter", "0"}}}},
       {""}, {1}, {false}, 0, "", ""},
      {"three views, the second current",
       {{"system", {{"views", "3"}, {"current view", "2"}}},
        {"filters", {{"count", "0"}}},
        {"view 2", {{"name", "service"}, {"count", "2"}, {"rule 1", include}, {"rule 2", include}}},
        {"view 3", {{"name", "client"}, {"filter", "0"}, {"count", "1"}, {"rule 1", include}}}},
       {"", "service", "client"}, {0, 2, 1}, {true, true, false}, 1, "", ""},
      {"a missing section and an unreadable rule",
       {{"system", {{"views", "3"}}},
        {"view 2", {{"count", "2"}, {"rule 1", "nonsense"}, {"rule 2", include}}}},
       {"", "", ""}, {0, 1, 0}, {true, true, true}, 0, "view 2: 1", "view 3"},
      {"counts out of range read as one view, the first current",
       {{"system", {{"views", "zero"}, {"current view", "9"}}}}, {""}, {0}, {true}, 0, "", ""},
      {"more views than kept",
       {{"system", {{"views", "500"}}}}, std::vector<std::string>(ViewSet::kMaxViews), {}, {}, 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const saved_views::Read read = ReadIni(c.ini);
    ASSERT_EQ(read.views.size(), c.names.size());
    EXPECT_EQ(read.current, c.current);
    EXPECT_EQ(read.unreadableRules, c.unreadable);
    if (c.names.size() < ViewSet::kMaxViews) EXPECT_EQ(read.brokenSections, c.broken);
    for (size_t i = 0; i < c.ruleCounts.size(); ++i) {
      EXPECT_EQ(read.views[i].name, c.names[i]);
      EXPECT_EQ(read.views[i].rules.size(), c.ruleCounts[i]);
      EXPECT_EQ(read.views[i].filterOn, c.switches[i]);
    }
  }
}

TEST(SavedViews, WrittenAndReadBackTheSame) {
  ViewSet views;
  std::vector<MonitorView> made;
  made.push_back(View({Rule(FilterAction::kExclude, FilterField::kProgram, "noisy.exe")}));
  made.push_back(View({Rule(FilterAction::kInclude, FilterField::kProcessId, "42")}));
  made.back().name = "process 42";
  made.push_back(View({}));
  made.back().filterOn = false;
  views.Reset(std::move(made), 2);
  Ini ini;
  for (const saved_views::Section& section : saved_views::ViewSections(views)) {
    for (const auto& [key, value] : section.values) ini[section.name][key] = value;
  }
  for (const auto& [key, value] : saved_views::SystemValues(views)) ini["system"][key] = value;
  EXPECT_EQ(ini.count("filters"), 1u);
  EXPECT_EQ(ini.count("view 3"), 1u);
  const saved_views::Read read = ReadIni(ini);
  ASSERT_EQ(read.views.size(), 3u);
  EXPECT_EQ(read.current, 2u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(read.views[i].name, views[i].name);
    EXPECT_EQ(read.views[i].rules, views[i].rules);
    EXPECT_EQ(read.views[i].filterOn, views[i].filterOn);
  }
  EXPECT_TRUE(read.unreadableRules.empty());
  EXPECT_TRUE(read.brokenSections.empty());
}

}  // namespace
