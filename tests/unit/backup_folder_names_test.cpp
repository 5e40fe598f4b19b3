// Reading backup folder names back: the entry they belong to, the copy number and the stamp,
// and a destination's listing read as each entry's backup folders.
#include "backup/backup_folder_names.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "backup/destination_listing.h"
#include "backup/folder_naming.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

class BackupFolderNamesTest : public ::testing::Test {
 protected:
  FakeClock clock;
  StampTexts texts = StampTexts::From(clock);
};

TEST_F(BackupFolderNamesTest, ReadsEveryNameARunWrites) {
  // What the run itself writes, read back: the name alone, each stamp, each with a copy number.
  const std::string date_time = DateTimeSuffix(clock);  // Aug 31 2021, 04 05 06 PM
  const std::string date = DateSuffix(clock);
  struct Case {
    std::string folder;
    int copy_number;
    FolderStamp stamp;
    LocalTime time;
  } cases[] = {
      {"Photos", 1, FolderStamp::kNone, {}},
      {"Photos" + date_time, 1, FolderStamp::kDateAndTime, {2021, 8, 31, 16, 5, 6, 0}},
      {"Photos" + date, 1, FolderStamp::kDate, {2021, 8, 31, 0, 0, 0, 0}},
      {"Photos (2)", 2, FolderStamp::kNone, {}},
      {"Photos (12)" + date_time, 12, FolderStamp::kDateAndTime, {2021, 8, 31, 16, 5, 6, 0}},
      {"PHOTOS (3)" + date, 3, FolderStamp::kDate, {2021, 8, 31, 0, 0, 0, 0}},
      {"PhotosDate Sep 1 2021 Time 12 30 00 AM",
       1,
       FolderStamp::kDateAndTime,
       {2021, 9, 1, 0, 30, 0, 0}},
      {"PhotosDate Dec 7 2026 Time 12 00 09 PM",
       1,
       FolderStamp::kDateAndTime,
       {2026, 12, 7, 12, 0, 9, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    const auto name = ReadBackupFolderName(c.folder, "Photos", texts);
    ASSERT_TRUE(name.has_value());
    EXPECT_EQ(name->copy_number, c.copy_number);
    EXPECT_EQ(name->stamp, c.stamp);
    if (c.stamp != FolderStamp::kNone) {
      EXPECT_FALSE(StampIsLater(name->time, c.time));
      EXPECT_FALSE(StampIsLater(c.time, name->time));
    }
  }
}

TEST_F(BackupFolderNamesTest, RefusesWhatNoRunWrites) {
  // Another entry whose name starts the same way, a user's own folder, broken stamps.
  for (const char* folder : {"Photos 2019",
                             "Photos 2019Date Aug 31 2021 Time 04 05 06 PM",
                             "PhotosX",
                             "Photo",
                             "Photos (1)",
                             "Photos (02)",
                             "Photos ()",
                             "Photos (2",
                             "Photos (2) extra",
                             "PhotosDate Aug 32 2021 Time 04 05 06 PM",
                             "PhotosDate Aug 31 2021 Time 13 05 06 PM",
                             "PhotosDate Aug 31 2021 Time 04 60 06 PM",
                             "PhotosDate Aug 31 21 Time 04 05 06 PM",
                             "PhotosDate Aug 31 2021 Time 04 05 06 XM",
                             "PhotosDate Foo 31 2021 Time 04 05 06 PM",
                             "PhotosAug 31 2021 copy",
                             "PhotosAug 31",
                             "PhotosJun 31 2021",
                             "PhotosFeb 29 2021",
                             "PhotosFeb 29 1900",
                             ""}) {
    EXPECT_FALSE(ReadBackupFolderName(folder, "Photos", texts).has_value()) << folder;
  }
  EXPECT_TRUE(ReadBackupFolderName("PhotosFeb 29 2024", "Photos", texts).has_value());
  EXPECT_FALSE(ReadBackupFolderName("Photos", "", texts).has_value());
}

TEST_F(BackupFolderNamesTest, ALocaleWithoutDesignatorsAndOtherMonthNames) {
  StampTexts german = texts;
  german.months[2] = "Mär";
  german.am = german.pm = "";
  const auto name = ReadBackupFolderName("DatenDate Mär 5 2024 Time 09 15 00", "Daten", german);
  ASSERT_TRUE(name.has_value());
  EXPECT_EQ(name->time.month, 3);
  EXPECT_EQ(name->time.hour, 9);
  EXPECT_FALSE(ReadBackupFolderName("DatenDate Mär 5 2024 Time 09 15 00 PM", "Daten", german));
}

TEST_F(BackupFolderNamesTest, AnyOfTheRunsEntriesAndTheOrderOfStamps) {
  const std::vector<std::string> entries{"Docs", "Photos"};
  EXPECT_TRUE(IsBackupFolderOf("docsAug 31 2021", entries, texts));
  EXPECT_TRUE(IsBackupFolderOf("Photos (2)", entries, texts));
  EXPECT_FALSE(IsBackupFolderOf("Music", entries, texts));
  EXPECT_FALSE(IsBackupFolderOf("Docs.txt", entries, texts));
  // Whatever the letters' case, in any script: "фото" for the entry "Фото".
  EXPECT_TRUE(
      IsBackupFolderOf("\xD1\x84\xD0\xBE\xD1\x82\xD0\xBE"
                       "Aug 31 2021",
                       {"\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE"}, texts));

  // Later by the moment named, not by the text: 12 AM comes before 01 AM, and Sep after Aug.
  const LocalTime midnight =
      ReadBackupFolderName("XDate Aug 31 2021 Time 12 10 00 AM", "X", texts)->time;
  const LocalTime one =
      ReadBackupFolderName("XDate Aug 31 2021 Time 01 00 00 AM", "X", texts)->time;
  const LocalTime september = ReadBackupFolderName("XSep 1 2021", "X", texts)->time;
  EXPECT_TRUE(StampIsLater(one, midnight));
  EXPECT_TRUE(StampIsLater(september, one));
  EXPECT_FALSE(StampIsLater(midnight, midnight));
}

// One line per backup folder of a reading: name | stamp and time | flags | files beside.
std::string Line(const EntryBackup& b) {
  char when[32] = "";
  if (b.stamp != FolderStamp::kNone) {
    std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", b.time.year, b.time.month,
                  b.time.day, b.time.hour, b.time.minute, b.time.second);
  }
  std::string line = b.name + " | " + when + " |";
  if (b.another_entry_may_claim) line += " claimed";
  if (b.names_another_place) line += " link";
  if (b.OwnDated()) line += " own-dated";
  line += " |";
  for (const std::string& file : b.files_beside) line += " " + file;
  return line;
}

TEST_F(BackupFolderNamesTest, ADestinationListingReadsAsEachEntrysBackupFolders) {
  std::vector<TreeEntry> listing = FolderListing(
      {"Docs", "DocsAug 30 2021", "DocsDate Aug 31 2021 Time 04 05 06 PM", "Docs (2)Aug 30 2021",
       "DocsJun 5 2021", "Docs extraAug 30 2021", "~tessaline-0123456789abcdef.tmp"});
  listing.push_back({.name = "DocsAug 29 2021",
                     .attributes = kAttrDirectory | kAttrReparsePoint,
                     .names_another_place = true});
  for (const char* file : {"docsaug 30 2021.SHA256", "DocsDate Aug 31 2021 Time 04 05 06 PM.sha256",
                           "DocsDate Aug 31 2021 Time 04 05 06 PM.tar.gz", "DocsAug 31 2021",
                           "Docs (2)Aug 30 2021.sha256"}) {
    listing.push_back({.name = file});
  }
  // The run's entries; the third one's own folder reads as a dated folder of the first.
  const std::vector<std::string> names = {"Docs", "Docs (2)", "DocsJun 5 2021"};
  const std::vector<std::vector<std::string>> expected = {
      {"Docs |  | |", "DocsAug 30 2021 | 2021-08-30 00:00:00 | own-dated | docsaug 30 2021.SHA256",
       "DocsDate Aug 31 2021 Time 04 05 06 PM | 2021-08-31 16:05:06 | own-dated | DocsDate Aug 31 "
       "2021 Time 04 05 06 PM.sha256 DocsDate Aug 31 2021 Time 04 05 06 PM.tar.gz",
       "DocsJun 5 2021 | 2021-06-05 00:00:00 | claimed |",
       "DocsAug 29 2021 | 2021-08-29 00:00:00 | link |"},
      {"Docs (2)Aug 30 2021 | 2021-08-30 00:00:00 | own-dated | Docs (2)Aug 30 2021.sha256"},
      {"DocsJun 5 2021 |  | claimed |"},
      {},
  };
  for (std::size_t index = 0; index < expected.size(); ++index) {
    std::vector<std::string> lines;
    for (const EntryBackup& b : ReadEntryBackups(listing, names, index, texts)) {
      lines.push_back(Line(b));
    }
    EXPECT_EQ(lines, expected[index]) << "entry " << index;
  }
}

}  // namespace
}  // namespace tess::test
