// ViewSet: the views over the one history, and their saved form.
#include "monitor/filters/view_set.h"

#include <cstdlib>

#include "filtering/rule_settings.h"

bool ViewSet::Add(MonitorView view) {
  if (views_.size() >= kMaxViews) return false;
  views_.push_back(std::move(view));
  return true;
}

bool ViewSet::Remove(size_t i) {
  if (views_.size() <= 1 || i >= views_.size() || i == current_) return false;
  views_.erase(views_.begin() + std::ptrdiff_t(i));
  if (i < current_) --current_;
  return true;
}

void ViewSet::Show(size_t to, TextStore& store) {
  if (to >= views_.size() || to == current_) return;
  views_[current_].marks.Take(store);
  current_ = to;
  views_[current_].marks.Give(store);
}

void ViewSet::MarkOthers(uint64_t number, const std::function<uint8_t(const filtering::FilterSet&)>& mark) {
  for (size_t i = 0; i < views_.size(); ++i) {
    if (i == current_) continue;
    MonitorView& view = views_[i];
    view.marks.Push(number, view.active.Active() ? mark(view.active) : StoredMessage::kShown);
  }
}

void ViewSet::Forget(uint64_t firstKept) {
  for (size_t i = 0; i < views_.size(); ++i) {
    if (i != current_) views_[i].marks.Forget(firstKept);
  }
}

void ViewSet::Reset(std::vector<MonitorView> views, size_t current) {
  views_ = views.empty() ? std::vector<MonitorView>(1) : std::move(views);
  if (views_.size() > kMaxViews) views_.resize(kMaxViews);
  current_ = current < views_.size() ? current : 0;
}

namespace saved_views {

namespace {

bool ReadNumber(const std::string& text, uint64_t& number) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  number = std::strtoull(text.c_str(), nullptr, 10);
  return true;
}

void Append(std::string& list, const std::string& item, const char* separator) {
  list += (list.empty() ? "" : separator) + item;
}

}  // namespace

std::string SectionOf(size_t index) {
  return index == 0 ? std::string(filtering::kFiltersSection) : "view " + std::to_string(index + 1);
}

Read ReadViews(const std::function<bool(const char* section, const std::string& key, std::string& value)>& lookup) {
  Read read;
  std::string value;
  uint64_t count = 1;
  if (lookup(kSystemSection, kViewsKey, value) && (!ReadNumber(value, count) || count == 0)) count = 1;
  if (count > ViewSet::kMaxViews) count = ViewSet::kMaxViews;
  uint64_t current = 1;
  if (lookup(kSystemSection, kCurrentViewKey, value) && (!ReadNumber(value, current) || current == 0 || current > count)) {
    current = 1;
  }
  read.current = size_t(current - 1);
  for (size_t i = 0; i < count; ++i) {
    const std::string section = SectionOf(i);
    const auto inSection = [&](const std::string& key, std::string& found) { return lookup(section.c_str(), key, found); };
    MonitorView view;
    if (inSection(kNameKey, value)) view.name = value;
    // The first view's switch is in "system", as it was before there were views.
    const bool switchFound = i == 0 ? lookup(kSystemSection, kFilterKey, value) : inSection(kFilterKey, value);
    view.filterOn = !switchFound || value != "0";
    std::string countText;
    const bool hasCount = inSection(filtering::kRuleCountKey, countText);
    uint64_t ruleCount = 0;
    if (i != 0 && (!hasCount || !ReadNumber(countText, ruleCount))) {
      // A section that is missing, or whose count is not a number: a view with no rules.
      Append(read.brokenSections, section, ", ");
      read.views.push_back(std::move(view));
      continue;
    }
    filtering::SavedRules rules = filtering::ReadSavedRules(inSection);
    view.rules = std::move(rules.rules);
    std::string numbers;
    for (const uint32_t number : rules.unreadable) Append(numbers, std::to_string(number), ", ");
    if (!numbers.empty()) Append(read.unreadableRules, i == 0 ? numbers : section + ": " + numbers, "; ");
    read.views.push_back(std::move(view));
  }
  return read;
}

std::vector<Section> ViewSections(const ViewSet& views) {
  std::vector<Section> sections;
  for (size_t i = 0; i < views.size(); ++i) {
    Section section{SectionOf(i), {}};
    if (!views[i].name.empty()) section.values.emplace_back(kNameKey, views[i].name);
    if (i != 0) section.values.emplace_back(kFilterKey, views[i].filterOn ? "1" : "0");
    for (auto& value : filtering::SavedRuleValues(views[i].rules)) section.values.push_back(std::move(value));
    sections.push_back(std::move(section));
  }
  return sections;
}

std::vector<std::pair<std::string, std::string>> SystemValues(const ViewSet& views) {
  return {{kViewsKey, std::to_string(views.size())},
          {kCurrentViewKey, std::to_string(views.current() + 1)},
          {kFilterKey, views[0].filterOn ? "1" : "0"}};
}

}  // namespace saved_views
