// How far a run has come, as the bar and the text show it: against an entry's totals from its
// previous run, without any, past them, and the totals kept from run to run.
#include "backup/run_progress.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace tess::test {
namespace {

// U.S. numbers: a comma between thousands, a point before the decimals.
std::string UsNumber(double value, int decimals) {
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
  std::string text = digits;
  const std::size_t point = text.find('.');
  for (std::size_t at = point == std::string::npos ? text.size() : point; at > 3; at -= 3) {
    text.insert(at - 3, ",");
  }
  return text;
}

constexpr std::uint64_t kGB = 1024ull * 1024 * 1024;

TEST(RunProgressTest, TheTextNamesTheEntryAndCountsAgainstTheTotalsWhileTheyHold) {
  struct TextCase {
    CopyProgress done;
    std::optional<EntryTotals> expected;
    const char* text;
  };
  const TextCase cases[] = {
      {{1234, 429496730},
       EntryTotals{5000, 1288490189},
       "Docs: 1,234 of 5,000 files, 0.4 of 1.2 GB"},
      {{0, 0}, EntryTotals{24000, 98304000}, "Docs: 0 of 24,000 files, 0.0 of 93.8 MB"},
      {{1234, 429496730}, std::nullopt, "Docs: 1,234 files, 409.6 MB"},
      {{1, 100}, std::nullopt, "Docs: 1 file, 100 bytes"},
      {{5123, kGB + kGB / 2}, EntryTotals{5000, 2 * kGB}, "Docs: 5,123 files, 1.5 GB"},
      {{10, 3 * kGB}, EntryTotals{5000, 2 * kGB}, "Docs: 10 files, 3.0 GB"},
      {{2000000, 5000 * kGB},
       EntryTotals{4000000, 9000 * kGB},
       "Docs: 2,000,000 of 4,000,000 files, 4.9 of 8.8 TB"},
      {{3, 0}, EntryTotals{0, 0}, "Docs: 3 files, 0 bytes"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(ProgressText("Docs", c.done, c.expected, UsNumber), c.text);
  }
}

TEST(RunProgressTest, TheBarFollowsTheShareAndNeverReachesTheEndBeforeTheRunDoes) {
  const EntryTotals expected{1000, 1000000};
  EXPECT_EQ(ProgressValue({0, 0}, expected), 0);
  EXPECT_EQ(ProgressValue({500, 500000}, expected), 500);
  EXPECT_EQ(ProgressValue({500, 0}, expected), 250);  // files and bytes weigh alike
  int last = 0;
  for (const std::uint64_t files : {100, 899, 950, 1000, 1500, 5000}) {
    const int value = ProgressValue({files, files * 1000}, expected);
    EXPECT_GT(value, last) << files;  // always moving, even past the totals
    EXPECT_LT(value, kProgressSteps) << files;
    last = value;
  }
  EXPECT_LT(ProgressValue({100000, 0}, expected), kProgressSteps);
  last = -1;
  for (const std::uint64_t files : {1, 1000, 24000, 1000000}) {
    const int value = ProgressValue({files, 0}, std::nullopt);
    EXPECT_GT(value, last) << files;
    EXPECT_LT(value, kProgressSteps) << files;
    last = value;
  }
  EXPECT_EQ(ProgressValue({10, 0}, EntryTotals{0, 0}), ProgressValue({10, 0}, std::nullopt));
}

TEST(RunProgressTest, TotalsAreKeptAsOneTextAndABrokenTextGivesWhatCameBeforeIt) {
  const std::map<std::string, EntryTotals> totals = {
      {"C:\\Data\\Docs", {5000, 1288490189}}, {"E:\\", {3, 0}}, {"\\\\srv\\share;x", {1, 2}}};
  const std::string text = EntryTotalsText(totals);
  EXPECT_EQ(text, "C:\\Data\\Docs|5000|1288490189|E:\\|3|0|\\\\srv\\share;x|1|2|");
  EXPECT_EQ(ReadEntryTotals(text), totals);
  EXPECT_TRUE(ReadEntryTotals("").empty());
  EXPECT_EQ(ReadEntryTotals("C:\\A|1|2|C:\\B|x|3|C:\\C|4|5|"),
            (std::map<std::string, EntryTotals>{{"C:\\A", {1, 2}}}));
  EXPECT_TRUE(ReadEntryTotals("C:\\A|1|").empty());
  EXPECT_TRUE(ReadEntryTotals("C:\\A|99999999999999999999|1|").empty());
}

}  // namespace
}  // namespace tess::test
