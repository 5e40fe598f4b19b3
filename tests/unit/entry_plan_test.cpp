// Where each entry of a run goes, as a table: the backup folder's name, the folder made before
// the copy, where the copy lands and whether it links; and which earlier folder it links to.
#include "backup/entry_plan.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tess::test {
namespace {

constexpr char kStamp[] = "Date Aug 31 2021 Time 04 05 06 PM";

struct PlanCase {
  EntryPlanInputs in;
  const char* folder_name;
  const char* must_exist;
  const char* landing;
  bool links;
};

TEST(EntryPlanTest, EachEntryLandsWhereItsNameStampAndDestinationPutIt) {
  using S = FolderStamp;
  // clang-format off
  const PlanCase cases[] = {
    {{"C:\\Data\\Docs", "Docs", S::kNone, "", "D:\\Backups", true, true},
     "", "D:\\Backups\\", "D:\\Backups\\Docs", false},
    {{"C:\\Data\\Docs\\", "Docs", S::kNone, "", "D:\\Backups\\", true, true},
     "", "D:\\Backups\\", "D:\\Backups\\Docs", false},
    {{"C:\\Data\\notes.txt", "notes.txt", S::kNone, "", "D:\\Backups", false, true},
     "", "D:\\Backups\\", "D:\\Backups\\", false},
    {{"C:\\Other\\notes.txt", "notes.txt (2)", S::kNone, "", "D:\\Backups", false, true},
     "", "D:\\Backups\\", "D:\\Backups\\notes.txt (2)", false},
    {{"C:\\Data\\Docs", "Docs", S::kDateAndTime, kStamp, "D:\\Backups", true, true},
     "DocsDate Aug 31 2021 Time 04 05 06 PM", "D:\\Backups\\DocsDate Aug 31 2021 Time 04 05 06 PM",
     "D:\\Backups\\DocsDate Aug 31 2021 Time 04 05 06 PM", true},
    {{"C:\\Data\\Docs", "Docs", S::kDate, "Aug 31 2021", "\\\\server\\share\\Backups", true, true},
     "DocsAug 31 2021", "\\\\server\\share\\Backups\\DocsAug 31 2021",
     "\\\\server\\share\\Backups\\DocsAug 31 2021", true},
    {{"C:\\Data\\Docs", "Docs", S::kDate, "Aug 31 2021", "D:\\Backups", true, false},
     "DocsAug 31 2021", "D:\\Backups\\DocsAug 31 2021", "D:\\Backups\\DocsAug 31 2021", false},
    {{"C:\\Data\\notes.txt", "notes.txt", S::kDate, "Aug 31 2021", "D:\\Backups", false, true},
     "notes.txtAug 31 2021", "D:\\Backups\\notes.txtAug 31 2021",
     "D:\\Backups\\notes.txtAug 31 2021", true},
    {{"E:\\", "E (2)", S::kNameOnly, "", "D:\\Backups", true, true},
     "E (2)", "D:\\Backups\\E (2)", "D:\\Backups\\E (2)", false},
  };
  // clang-format on
  for (const PlanCase& c : cases) {
    const EntryPlan plan = PlanEntry(c.in);
    EXPECT_EQ(plan.folder_name, c.folder_name) << c.in.entry;
    EXPECT_EQ(plan.must_exist, c.must_exist) << c.in.entry;
    EXPECT_EQ(plan.landing, c.landing) << c.in.entry;
    EXPECT_EQ(plan.links, c.links) << c.in.entry;
  }
}

TEST(EntryPlanTest, AnEntryLinksToItsOwnNewestStampedFolderByTheMomentItNames) {
  StampTexts texts;
  texts.months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  texts.am = "AM";
  texts.pm = "PM";
  const std::vector<std::string> folders = {
      "DocsDate Aug 9 2021 Time 11 00 00 PM",  // sorts after "Aug 30" by name, older by stamp
      "DocsDate Aug 30 2021 Time 09 00 00 AM",
      "DocsAug 29 2021",
      "Docs (2)Date Sep 1 2021 Time 09 00 00 AM",   // another entry of the same name
      "DocsExtraDate Sep 2 2021 Time 09 00 00 AM",  // another entry beginning the same way
      "Docs",                                       // no stamp
      "DOCSDATE AUG 31 2021 TIME 04 05 06 PM",      // the folder being written, in any case
  };
  // The run's entries are named `names`; the newest for the first of them.
  const auto newest = [&](const std::vector<std::string>& listed,
                          const std::vector<std::string>& names, const std::string& except) {
    return NewestEarlierBackup(ReadEntryBackups(FolderListing(listed), names, 0, texts), except);
  };
  EXPECT_EQ(newest(folders, {"Docs"}, "DocsDate Aug 31 2021 Time 04 05 06 PM"),
            "DocsDate Aug 30 2021 Time 09 00 00 AM");
  EXPECT_EQ(newest(folders, {"Docs (2)"}, ""), "Docs (2)Date Sep 1 2021 Time 09 00 00 AM");
  EXPECT_EQ(newest(folders, {"Music"}, ""), "");
  EXPECT_EQ(newest({}, {"Docs"}, ""), "");
  // A folder another entry of the run could claim as its own is nobody's to link to.
  EXPECT_EQ(newest({"DocsAug 29 2021", "DocsAug 31 2021"}, {"Docs", "DocsAug 31 2021"}, ""),
            "DocsAug 29 2021");
}

}  // namespace
}  // namespace tess::test
