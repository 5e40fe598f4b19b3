// Keeping fewer older backup folders within a run: when it removes (a complete copy, or one
// stopped by a full disk), a folder that cannot go, what a removal cut short left inside a
// source, and a run started from the event pump in the middle of a removal.
#include <gtest/gtest.h>

#include "support/fakes.h"

namespace tess::test {
namespace {

constexpr char kDocs[] = "C:\\Users\\Ann\\Documents";
constexpr char kNow[] = "8/31/2021 4:05:06 PM";
constexpr char kSaved[] = "Documents was backup saved at 8/31/2021 4:05:06 PM\r\n";
constexpr char kEarly[] = "D:\\Backups\\DocumentsDate Jun 1 2021 Time 08 00 00 AM";  // goes
constexpr char kLater[] = "D:\\Backups\\DocumentsDate Jun 1 2021 Time 09 00 00 AM";  // stays
constexpr char kManifest[] = "# Tessaline backup manifest\n";
// Manifests whose folders are gone: this program's goes, a file of someone else's stays.
constexpr char kLone[] = "D:\\Backups\\DocumentsDate May 1 2021 Time 08 00 00 AM.sha256";
constexpr char kForeign[] = "D:\\Backups\\DocumentsDate May 2 2021 Time 08 00 00 AM.sha256";

class KeepFewerRunTest : public ::testing::Test {
 protected:
  KeepFewerRunTest() {
    fakes_.pump.every_call = nullptr;  // time stands still
    form_.OnLoad();                    // no settings yet: stamp on, create new
    form_.destination_box.SetText("D:\\Backups");
    files_.AddFile(std::string(kDocs) + "\\a.txt", "alpha");
    form_.folder_list.Append(kDocs);
    for (const char* folder : {kEarly, kLater}) {
      files_.AddFile(std::string(folder) + "\\a.txt");
      files_.AddFile(std::string(folder) + ".sha256", kManifest);
    }
    form_.keep_fewer_box.SetValue(1);
  }
  std::string Log() { return files_.Content(form_.History().HistoryLogPath()); }

  FakeServices fakes_;
  FakeFileSystem& files_ = fakes_.files;
  MainForm form_{fakes_.Wire()};
};

TEST_F(KeepFewerRunTest, OnlyACompleteCopyOrOneStoppedByAFullDiskRemoves) {
  files_.AddFile(kLone, kManifest);
  files_.AddFile(kForeign, "my own notes");
  form_.stamp_box.SetValue(0);  // no dated folder written: nothing to thin, whatever the box says
  form_.Backup().SaveAll();
  form_.stamp_box.SetValue(1);
  files_.locked.insert(FakeFileSystem::Key(std::string(kDocs) + "\\a.txt"));
  form_.Backup().SaveAll();
  EXPECT_TRUE(files_.IsDir(kEarly));
  files_.locked.clear();

  // The folder a full disk cut short stays as the newest; the older one goes, for room.
  files_.free_bytes = 1;
  fakes_.clock.now.hour = 17;
  EXPECT_FALSE(form_.Backup().SaveAll().Clean());
  EXPECT_FALSE(files_.IsDir(kEarly));
  EXPECT_FALSE(files_.IsFile(std::string(kEarly) + ".sha256"));  // gone after its folder
  EXPECT_TRUE(files_.IsFile(std::string(kLater) + ".sha256"));
  EXPECT_FALSE(files_.IsFile(kLone));
  EXPECT_EQ(files_.Content(kForeign), "my own notes");
  EXPECT_TRUE(files_.IsDir("D:\\Backups\\DocumentsDate Aug 31 2021 Time 05 05 06 PM"));
  EXPECT_NE(Log().find("Documents had 1 older backup folder removed at 8/31/2021 5:05:06 PM"),
            std::string::npos)
      << Log();
}

TEST_F(KeepFewerRunTest, AFolderThatCannotGoStaysWholeWithALineAndTheEntryCountsAsSaved) {
  files_.locked.insert(FakeFileSystem::Key(std::string(kEarly) + "\\a.txt"));
  const RunOutcome outcome = form_.Backup().SaveAll();
  EXPECT_EQ(outcome.final_status, std::string("Auto Backup Complete at ") + kNow);
  EXPECT_TRUE(files_.IsFile(std::string(kEarly) + "\\a.txt"));
  EXPECT_EQ(Log(), std::string(kSaved) +
                       "Documents kept its older backup folder DocumentsDate Jun 1 2021 Time 08 "
                       "00 00 AM at " +
                       kNow + ", which could not be removed: Access is denied.\r\n");
}

TEST_F(KeepFewerRunTest, ALeftoverInsideASourceIsNeitherCopiedNorKept) {
  form_.destination_box.SetText(std::string(kDocs) + "\\Backups");
  const std::string leftover = std::string(kDocs) + "\\Backups\\~tessaline-00000000000000aa.tmp";
  files_.AddFile(leftover + "\\half.txt", "rest");
  files_.AddFile(std::string(kDocs) + "\\Backups\\DocumentsDate Jun 1 2021 Time 07 00 00 AM.sha256",
                 kManifest);
  form_.Backup().SaveAll();
  EXPECT_EQ(files_.TreeBelow(std::string(kDocs) +
                             "\\Backups\\DocumentsDate Aug 31 2021 Time 04 05 06 PM"),
            (std::vector<std::string>{"Backups\\", "a.txt=alpha"}));
  EXPECT_FALSE(files_.IsDir(leftover));
}

TEST_F(KeepFewerRunTest, ARunStartedInsideARemovalLeavesRemovingToIt) {
  const std::string first = "D:\\Backups\\DocumentsDate Jun 1 2021 Time 07 00 00 AM";
  files_.AddFolder(first);
  bool nested = false;
  fakes_.pump.every_call = [&] {
    if (nested || files_.IsDir(first)) return;
    nested = true;  // the first folder has gone: a timed run comes due
    fakes_.clock.now.second = 7;
    form_.Backup().SaveAll();
  };
  form_.Backup().SaveAll();
  ASSERT_TRUE(nested);
  EXPECT_EQ(Log(), std::string(kSaved) + "Documents was backup saved at 8/31/2021 4:05:07 PM\r\n" +
                       "Documents had 2 older backup folders removed at 8/31/2021 4:05:07 PM\r\n");
}

}  // namespace
}  // namespace tess::test
