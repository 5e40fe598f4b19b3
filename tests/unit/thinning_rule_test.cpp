// Which of an entry's dated backup folders stay when fewer are kept, as tables on a test clock:
// the three tiers and their edges, the newest and the run's own folders, a clock that was ahead,
// and whose folders an entry may count as its own at all.
#include "backup/thinning_rule.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>

#include "support/fakes.h"

namespace tess::test {
namespace {

std::string At(const std::string& date, const std::string& time) {
  return "DocsDate " + date + " Time " + time;
}

class ThinningRuleTest : public ::testing::Test {
 protected:
  // The names the rule lets go of these folders of the entry "Docs", at the test clock's now.
  std::set<std::string> Going(const std::vector<std::string>& folders,
                              const std::vector<std::string>& kept = {},
                              const std::set<std::string>& incomplete = {}) {
    auto reading = ReadEntryBackups(FolderListing(folders), {"Docs"}, 0, texts_);
    for (EntryBackup& b : reading) b.complete = incomplete.count(b.name) == 0;
    const auto going = BackupsToRemove(
        reading, clock_.now, [this](const LocalTime& t) { return clock_.UtcSecondsOf(t); }, kept);
    return {going.begin(), going.end()};
  }
  FakeClock clock_;  // Tuesday Aug 31 2021, 04 05 06 PM
  StampTexts texts_ = StampTexts::From(clock_);
};

TEST_F(ThinningRuleTest, EachTierKeepsItsShareUpToItsEdge) {
  struct Case {
    const char* what;
    std::vector<std::string> folders;
    std::set<std::string> going;
    std::optional<LocalTime> summer_from = std::nullopt;  // the clocks went forward then
    std::set<std::string> incomplete = {};  // their runs were killed or met a full disk
  } cases[] = {
      {"the last 24 hours all stay, exactly 24 hours included",
       {At("Aug 31 2021", "04 05 06 PM"), At("Aug 31 2021", "01 00 00 AM"),
        At("Aug 30 2021", "04 05 06 PM"), At("Aug 30 2021", "04 05 05 PM"),
        At("Aug 30 2021", "10 00 00 AM")},
       {At("Aug 30 2021", "10 00 00 AM")}},
      {"up to 30 days, the newest of each calendar day; midnight begins a day",
       {At("Aug 20 2021", "08 00 00 AM"), At("Aug 20 2021", "11 59 59 PM"),
        At("Aug 21 2021", "12 00 00 AM"), At("Aug 21 2021", "12 00 01 AM"),
        At("Aug 29 2021", "07 00 00 AM"), "DocsAug 29 2021"},
       {At("Aug 20 2021", "08 00 00 AM"), At("Aug 21 2021", "12 00 00 AM"), "DocsAug 29 2021"}},
      {"exactly 30 days is still daily; older, the newest of each week from Monday",
       {At("Aug 1 2021", "04 05 06 PM"), At("Aug 1 2021", "04 05 05 PM"),
        At("Aug 1 2021", "10 00 00 AM"), At("Jul 26 2021", "12 00 00 AM"),
        At("Jul 25 2021", "11 59 59 PM"), At("Jul 19 2021", "09 00 00 AM")},
       {At("Aug 1 2021", "10 00 00 AM"), At("Jul 26 2021", "12 00 00 AM"),
        At("Jul 19 2021", "09 00 00 AM")}},
      {"a week runs across the new year",
       {At("Dec 28 2020", "09 00 00 AM"), At("Dec 31 2020", "09 00 00 AM"),
        At("Jan 3 2021", "09 00 00 AM"), At("Jan 4 2021", "09 00 00 AM"),
        At("Jan 5 2021", "09 00 00 AM"), At("Jul 20 2021", "09 00 00 AM")},
       {At("Dec 28 2020", "09 00 00 AM"), At("Dec 31 2020", "09 00 00 AM"),
        At("Jan 4 2021", "09 00 00 AM")}},
      {"the newest stays whatever its age",
       {At("Jan 4 2021", "09 00 00 AM"), At("Jan 5 2021", "09 00 00 AM"), "DocsJan 5 2021"},
       {At("Jan 4 2021", "09 00 00 AM"), "DocsJan 5 2021"}},
      {"a stamp ahead of the clock is the newest and stays, and so does today's",
       {At("Sep 5 2021", "10 00 00 AM"), At("Aug 31 2021", "08 00 00 AM"),
        At("Aug 10 2021", "08 00 00 AM"), At("Aug 10 2021", "09 00 00 AM")},
       {At("Aug 10 2021", "08 00 00 AM")}},
      {"the day the clocks go forward keeps 24 real hours, 25 by the wall clock",
       {At("Aug 30 2021", "03 00 00 PM"), At("Aug 30 2021", "03 05 05 PM"),
        At("Aug 30 2021", "03 35 06 PM")},
       {At("Aug 30 2021", "03 00 00 PM")},
       LocalTime{2021, 8, 31, 2, 0, 0, 0}},
      {"a day's newest whose run did not end stands for nothing: the complete one does",
       {At("Aug 20 2021", "08 00 00 AM"), At("Aug 20 2021", "09 00 00 AM"),
        At("Aug 20 2021", "10 00 00 AM"), At("Jul 1 2021", "09 00 00 AM"),
        At("Jul 1 2021", "10 00 00 AM"), At("Aug 25 2021", "09 00 00 AM")},
       {At("Aug 20 2021", "08 00 00 AM"), At("Aug 20 2021", "10 00 00 AM"),
        At("Jul 1 2021", "09 00 00 AM")},
       std::nullopt,
       {At("Aug 20 2021", "10 00 00 AM"), At("Jul 1 2021", "09 00 00 AM"),
        At("Jul 1 2021", "10 00 00 AM")}},
      {"folders of one moment share its fate",
       {"DocsAug 12 2021", At("Aug 12 2021", "12 00 00 AM"), "DocsAug 11 2021"},
       {}},
  };
  for (const Case& c : cases) {
    clock_.summer_from = c.summer_from;
    EXPECT_EQ(Going(c.folders, {}, c.incomplete), c.going) << c.what;
  }
}

TEST_F(ThinningRuleTest, TheFoldersTheRunWritesAndLinksFromAlwaysStay) {
  const std::vector<std::string> folders = {
      At("Aug 10 2021", "08 00 00 AM"), At("Aug 10 2021", "09 00 00 AM"),
      At("Jun 1 2021", "08 00 00 AM"), At("Jun 1 2021", "09 00 00 AM")};
  EXPECT_EQ(
      Going(folders, {"DOCSDATE AUG 10 2021 TIME 08 00 00 AM", At("Jun 1 2021", "08 00 00 AM")}),
      std::set<std::string>{});
  EXPECT_EQ(Going(folders, {""}), (std::set<std::string>{At("Aug 10 2021", "08 00 00 AM"),
                                                         At("Jun 1 2021", "08 00 00 AM")}));
}

TEST_F(ThinningRuleTest, OnlyFoldersThatReadAsThisEntrysOwnCount) {
  const std::vector<std::string> folders = {
      "DocsDate Jun 1 2021 Time 08 00 00 AM",
      "DocsJun 2 2021",
      "Docs",                                        // no stamp
      "Docs (2)Date Jun 3 2021 Time 08 00 00 AM",    // a second source named Docs
      "Docs extraDate Jun 4 2021 Time 08 00 00 AM",  // another entry beginning the same way
      "DocsDate Jun 31 2021 Time 08 00 00 AM",       // no such day
      "DocsJun 5 2021",                              // a listed folder's own name, see below
      "Old things",
  };
  const std::vector<std::string> names = {"Docs", "Docs (2)", "DocsJun 5 2021"};
  const auto own_dated = [&](std::size_t index) {
    std::vector<EntryBackup> found;
    for (const EntryBackup& b : ReadEntryBackups(FolderListing(folders), names, index, texts_)) {
      if (b.OwnDated()) found.push_back(b);
    }
    return found;
  };
  const auto names_of = [&](std::size_t index) {
    std::vector<std::string> found;
    for (const EntryBackup& b : own_dated(index)) found.push_back(b.name);
    return found;
  };
  EXPECT_EQ(names_of(0),
            (std::vector<std::string>{"DocsDate Jun 1 2021 Time 08 00 00 AM", "DocsJun 2 2021"}));
  EXPECT_EQ(names_of(1), (std::vector<std::string>{"Docs (2)Date Jun 3 2021 Time 08 00 00 AM"}));
  EXPECT_EQ(names_of(2), (std::vector<std::string>{}));
  EXPECT_EQ(own_dated(0)[1].time.day, 2);
}

}  // namespace
}  // namespace tess::test
