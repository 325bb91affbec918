// ViewSet: the monitor's views over its one history. A view is a name, filter rules of its own
// with their switch, and, while another view is shown, its decisions on the stored messages (one
// byte each, ViewMarks). The shown view's decisions live in the store's records, which the
// console draws from; showing another view hands them over. Every new message is decided for
// every view as it comes. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "console/console_place.h"
#include "console/text_store.h"
#include "filtering/filter_set.h"
#include "monitor/filters/view_marks.h"
#include "monitor/settings/settings_keys.h"

struct MonitorView {
  std::string name;  // empty: the view's number names it
  std::vector<filtering::FilterRule> rules;
  bool filterOn = true;
  filtering::FilterSet active;  // from the rules while the switch is on, else none
  ViewMarks marks;              // while another view is shown
  ConsolePlace place;           // where it stood when another was shown
};

class ViewSet {
 public:
  // More views than anyone watches at once; the saved count is read as at most this many.
  static constexpr size_t kMaxViews = size_t(settings_keys::kViews.high);

  ViewSet() : views_(1) {}

  size_t size() const { return views_.size(); }
  size_t current() const { return current_; }
  MonitorView& Current() { return views_[current_]; }
  const MonitorView& Current() const { return views_[current_]; }
  MonitorView& operator[](size_t i) { return views_[i]; }
  const MonitorView& operator[](size_t i) const { return views_[i]; }

  // A view after the others, not shown yet: until it is shown and decided, it shows every
  // message stored before it came. False when there are kMaxViews already.
  bool Add(MonitorView view);
  // Removes view i, never the last one left. The shown view cannot go while shown: the caller
  // shows another first.
  bool Remove(size_t i);
  // Makes view `to` the shown one: the shown view's marks are taken from the store and `to`'s
  // given to it.
  void Show(size_t to, TextStore& store);
  // Message `number`, just stored, decided for every view but the shown one, whose mark the store
  // has. `mark` decides it under one view's filters.
  void MarkOthers(uint64_t number, const std::function<uint8_t(const filtering::FilterSet&)>& mark);
  // The views not shown let go of the marks of messages that left the store, or all on an erase.
  void Forget(uint64_t firstKept);
  // Sets every view aside: one view as given, shown.
  void Reset(std::vector<MonitorView> views, size_t current);

 private:
  std::vector<MonitorView> views_;
  size_t current_ = 0;
};

// The views as the settings file keeps them. The first view keeps section "filters" with its
// rules (and "name" once named) and its switch "filter" in "system"; views 2 to N are sections
// "view 2" ... with "name", "filter", "count" and "rule N"; section "system" holds "views" (the
// count) and "current view" (from 1).
namespace saved_views {

inline constexpr const char* kSystemSection = settings_keys::kSystem;
inline constexpr const char* kViewsKey = settings_keys::kViews.name;
inline constexpr const char* kCurrentViewKey = settings_keys::kCurrentView.name;
inline constexpr char kNameKey[] = "name";
// The first view's in "system" (settings_keys::kFilter), the others' in their sections.
inline constexpr const char* kFilterKey = settings_keys::kFilter.name;

std::string SectionOf(size_t index);  // "filters", "view 2", ...

struct Read {
  std::vector<MonitorView> views;  // at least one; rules and switches, no filter sets
  size_t current = 0;
  std::string unreadableRules;     // "3, 5; view 2: 1", to tell the user, else empty
  std::string brokenSections;      // "view 3, view 4": read as views with no rules, else empty
};
// `lookup(section, key, value)` gives a value, false when the key is missing.
Read ReadViews(const std::function<bool(const char* section, const std::string& key, std::string& value)>& lookup);

// Each view's section with its keys and values (written whole), and the keys of section "system".
struct Section {
  std::string name;
  std::vector<std::pair<std::string, std::string>> values;
};
std::vector<Section> ViewSections(const ViewSet& views);
std::vector<std::pair<std::string, std::string>> SystemValues(const ViewSet& views);

}  // namespace saved_views
