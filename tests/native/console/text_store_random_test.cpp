// TextStore under random byte streams and random resizing: the store's invariants after every step.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "store_helpers.h"

namespace {

// Every stored byte's wrap phase (the wrap column it was written under) is noted by its position
// among all bytes taken in, so a wrapped line can be checked against the wrap column in force
// when it ended.
struct Checker {
  std::vector<uint32_t> wrapOfPhase;
  std::vector<uint8_t> phaseAt;  // by position among all bytes taken in

  // Appends byte by byte (which stores what one call stores) to see where each byte went.
  void Put(TextStore& store, const std::string& bytes) {
    for (const char byte : bytes) {
      const uint64_t end = store.frontPosition + store.used;
      ::Put(store, std::string(1, byte));
      const uint64_t now = store.frontPosition + store.used;
      if (now > end) {  // a stored byte adds one; dropped lines move the front and the count alike
        if (phaseAt.size() < now) phaseAt.resize(size_t(now));
        phaseAt[size_t(now - 1)] = uint8_t(wrapOfPhase.size() - 1);
      }
    }
  }
  uint8_t PhaseOf(const TextStore& store, uint32_t offset) const {
    return phaseAt[size_t(store.frontPosition + offset)];
  }

  void Check(const TextStore& store, const char* step) {
    SCOPED_TRACE(step);
    ASSERT_GE(store.maxLines, 2u);
    if (!store.HasArrays()) {
      ASSERT_EQ(store.used, 0u);
      return;
    }
    ASSERT_EQ(store.LineStart(0), 0u);
    for (uint32_t k = 0; k < store.lineCount; ++k) {
      ASSERT_LT(store.LineStart(k), store.LineStart(k + 1)) << "line " << k << " empty or reversed";
    }
    ASSERT_LE(store.LineStart(store.lineCount), store.used);
    ASSERT_LE(store.used, store.capacity);
    ASSERT_LE(store.lineCount, store.maxLines - 1);
    const bool doubleByte = store.codePage && std::find(std::begin(store.codePage->lead),
                                                        std::end(store.codePage->lead), true) !=
                                                  std::end(store.codePage->lead);
    for (uint32_t k = 0; k < store.lineCount; ++k) {
      const uint32_t start = store.LineStart(k), end = store.LineStart(k + 1);
      const uint8_t last = store.At(end - 1);
      if (last == '\r' || last == '\n') continue;
      const uint8_t firstPhase = PhaseOf(store, start), lastPhase = PhaseOf(store, end - 1);
      // A line ended before a lead byte ends after its own last byte was written, at the latest
      // when the next byte was (or now, when that one was erased): the narrowest column of those
      // phases is the one to check against.
      const size_t nextPhase = end < store.used ? std::max<size_t>(lastPhase, PhaseOf(store, end))
                                                : wrapOfPhase.size() - 1;
      const uint32_t wrap = *std::min_element(wrapOfPhase.begin() + lastPhase, wrapOfPhase.begin() + nextPhase + 1);
      const uint32_t length = end - start;
      // A double-byte character that would not fit starts the next line, one byte early (a
      // backspace may have erased it since); as a line's first character it stays whole, and the
      // line holds two bytes at a wrap column of 1. Whether a wrap split a character is checked below.
      const bool leadMovedOn = doubleByte;
      const bool firstWhole = length == 2 && store.codePage->lead[store.At(start)];
      if (firstPhase == nextPhase) {
        ASSERT_TRUE(length == wrap || (leadMovedOn && length + 1 == wrap) || (firstWhole && wrap == 1))
            << "wrapped line " << k << " of " << length << " bytes at wrap column " << wrap;
      } else {
        // Begun under another wrap column: a lowered column ends it at the next byte.
        ASSERT_GE(length + (leadMovedOn ? 1 : 0), wrap) << "wrapped line " << k;
      }
      // No wrap splits a character: the line's last character, found from its start, is whole.
      uint32_t lastCharacter = start;
      for (uint32_t p = start; p < end; p += (p + 1 < end && store.IsDoubleByte(store.At(p), store.At(p + 1))) ? 2 : 1) {
        lastCharacter = p;
      }
      ASSERT_FALSE(lastCharacter + 1 == end && end < store.used &&
                   store.IsDoubleByte(store.At(lastCharacter), store.At(end)))
          << "wrapped line " << k << " ends with a lead byte whose trail begins the next line";
    }
  }
};

std::string RandomBytes(std::mt19937& random, size_t length) {
  static const uint8_t alphabet[] = {'a', 'b', 'z', '\r', '\n', '\b', 0x82, 0xA0, 0x00, '\t', 0x83, 0x40};
  std::uniform_int_distribution<size_t> pick(0, sizeof(alphabet) - 1);
  std::string bytes(length, '\0');
  for (char& b : bytes) b = char(alphabet[pick(random)]);
  return bytes;
}

void RunTrials(const LeadTrailSets& codePage, unsigned start) {
  std::mt19937 random(start);
  const auto upTo = [&](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n)(random); };
  for (int trial = 0; trial < 300; ++trial) {
    TextStore store;
    store.codePage = &codePage;
    const uint32_t capacity = upTo(4) == 0 ? upTo(8) : upTo(3000);
    store.Allocate(capacity, upTo(60), upTo(120));
    Checker checker;
    checker.wrapOfPhase.push_back(store.wrapColumn);
    checker.Check(store, "allocate");
    for (int step = 0; step < 200 && !testing::Test::HasFatalFailure(); ++step) {
      const uint32_t action = upTo(40);
      if (action == 0 && checker.wrapOfPhase.size() < 250) {
        store.selection.state = Selection::kFinished;
        store.selection.end.offset = int32_t(store.used);
        const std::string before = Stored(store);
        const uint32_t linesBefore = store.lineCount;
        const uint32_t size = upTo(3) == 0 ? 0 : upTo(3000);
        const uint32_t lines = upTo(3) == 0 ? uint32_t(-int(upTo(5))) : upTo(60);
        const uint32_t wrap = upTo(3) == 0 ? 0 : upTo(120);
        const bool dropped = store.Resize(size, lines, wrap);
        if (dropped) {
          ASSERT_EQ(store.selection.state, Selection::kNone);
        } else {
          ASSERT_EQ(store.selection.state, Selection::kFinished);
          ASSERT_EQ(Stored(store), before);
          ASSERT_EQ(store.lineCount, linesBefore);
        }
        if (store.wrapColumn != checker.wrapOfPhase.back()) checker.wrapOfPhase.push_back(store.wrapColumn);
        checker.Check(store, "resize");
      } else if (action == 1) {
        store.Clear();
        checker.Check(store, "clear");
      } else {
        const size_t length = upTo(10) == 0 ? upTo(2 * capacity + 2) : upTo(40);
        checker.Put(store, RandomBytes(random, length));
        checker.Check(store, "append");
      }
    }
    if (testing::Test::HasFatalFailure()) return;
  }
}

TEST(TextStoreRandom, InvariantsHoldOnShiftJis) { RunTrials(LeadTrailSets::ShiftJis(), 20240611); }

TEST(TextStoreRandom, InvariantsHoldOnSingleByte) { RunTrials(LeadTrailSets::SingleByte(), 7); }

}  // namespace
