// Keeping fewer older backup folders from the window: the check box and its setting, when a run
// removes (after a complete copy or one stopped by a full disk, with the stamp on), the history
// lines it writes, a folder that cannot go, and a run started from the event pump meanwhile.
#include <gtest/gtest.h>

#include "backup/thinning.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

constexpr char kDocs[] = "C:\\Users\\Ann\\Documents";
constexpr char kBackups[] = "D:\\Backups";
constexpr char kNow[] = "8/31/2021 4:05:06 PM";
constexpr char kToday[] = "DocumentsDate Aug 31 2021 Time 04 05 06 PM";

std::string In(const std::string& folder) { return std::string(kBackups) + "\\" + folder; }

class KeepFewerRunTest : public ::testing::Test {
 protected:
  KeepFewerRunTest() {
    fakes_.pump.every_call = nullptr;  // time stands still
    form_.OnLoad();                    // no settings yet: stamp on, create new
    files_.AddFolder(kBackups);
    form_.destination_box.SetText(kBackups);
    files_.AddFile(std::string(kDocs) + "\\a.txt", "alpha");
    form_.folder_list.Append(kDocs);
    // Two a day on Aug 10 and in the week of Jun 1; folders of others and of the user around.
    for (const char* folder :
         {"DocumentsDate Aug 10 2021 Time 08 00 00 AM",
          "DocumentsDate Aug 10 2021 Time 09 00 00 AM", "DocumentsDate Jun 1 2021 Time 08 00 00 AM",
          "DocumentsDate Jun 1 2021 Time 09 00 00 AM",
          "Documents (2)Date Jun 1 2021 Time 07 00 00 AM", "MusicDate Jun 1 2021 Time 07 00 00 AM",
          "Documents old", "Documents"}) {
      files_.AddFile(In(folder) + "\\a.txt", "alpha");
    }
    form_.keep_fewer_box.SetValue(1);
  }
  std::string Log() { return files_.Content(form_.History().HistoryLogPath()); }
  bool Has(const std::string& folder) { return files_.IsDir(In(folder)); }

  FakeServices fakes_;
  FakeFileSystem& files_ = fakes_.files;
  MainForm form_{fakes_.Wire()};
};

TEST_F(KeepFewerRunTest, TheBoxStoresItsValueAndFollowsTheStampBox) {
  EXPECT_EQ(fakes_.settings.values["Keep Fewer Backups"], "On");
  form_.keep_fewer_box.SetValue(0);
  EXPECT_EQ(fakes_.settings.values["Keep Fewer Backups"], "Off");
  form_.stamp_box.SetValue(0);
  EXPECT_FALSE(form_.keep_fewer_box.Enabled());
  form_.stamp_box.SetValue(1);
  EXPECT_TRUE(form_.keep_fewer_box.Enabled());

  // Restored at start, and shown disabled when the stamp is off; anything but "On" is off.
  const struct {
    const char* stored;
    const char* include_date;
    int checked;
    bool enabled;
  } cases[] = {{"On", "On", 1, true},
               {"On", "Off", 1, false},
               {"on", "On", 0, true},
               {nullptr, "On", 0, true}};
  for (const auto& c : cases) {
    FakeServices fresh;
    if (c.stored) fresh.settings.values["Keep Fewer Backups"] = c.stored;
    fresh.settings.values["Include Date"] = c.include_date;
    MainForm form(fresh.Wire());
    form.OnLoad();
    EXPECT_EQ(form.keep_fewer_box.Value(), c.checked) << (c.stored ? c.stored : "absent");
    EXPECT_EQ(form.keep_fewer_box.Enabled(), c.enabled) << c.include_date;
  }
}

TEST_F(KeepFewerRunTest, ACompleteCopyRemovesWhatTheRuleLetsGoAndSaysSoInOneLine) {
  ASSERT_TRUE(form_.Backup().SaveAll().Clean());
  EXPECT_EQ(Log(), std::string("Documents was backup saved at ") + kNow + "\r\n" +
                       "Documents had 2 older backup folders removed at " + kNow + "\r\n");
  EXPECT_FALSE(Has("DocumentsDate Aug 10 2021 Time 08 00 00 AM"));
  EXPECT_FALSE(Has("DocumentsDate Jun 1 2021 Time 08 00 00 AM"));
  for (const char* kept : {kToday, "DocumentsDate Aug 10 2021 Time 09 00 00 AM",
                           "DocumentsDate Jun 1 2021 Time 09 00 00 AM",
                           "Documents (2)Date Jun 1 2021 Time 07 00 00 AM",
                           "MusicDate Jun 1 2021 Time 07 00 00 AM", "Documents old", "Documents"}) {
    EXPECT_EQ(files_.Content(In(kept) + "\\a.txt"), "alpha") << kept;
  }
  // The next run finds nothing more to remove; with the box off nothing is ever removed.
  fakes_.clock.now.hour = 17;
  form_.Backup().SaveAll();
  EXPECT_EQ(Log().find("removed", Log().find("removed") + 1), std::string::npos) << Log();
  form_.keep_fewer_box.SetValue(0);
  files_.AddFolder(In("DocumentsDate Aug 10 2021 Time 07 00 00 AM"));
  fakes_.clock.now.hour = 18;
  form_.Backup().SaveAll();
  EXPECT_TRUE(Has("DocumentsDate Aug 10 2021 Time 07 00 00 AM"));
}

TEST_F(KeepFewerRunTest, OnlyACompleteCopyOrOneStoppedByAFullDiskRemoves) {
  form_.stamp_box.SetValue(0);  // no dated folders: nothing to thin, whatever the box says
  form_.Backup().SaveAll();
  EXPECT_TRUE(Has("DocumentsDate Aug 10 2021 Time 08 00 00 AM"));
  form_.stamp_box.SetValue(1);

  files_.locked.insert(FakeFileSystem::Key(std::string(kDocs) + "\\a.txt"));
  form_.Backup().SaveAll();
  EXPECT_TRUE(Has("DocumentsDate Aug 10 2021 Time 08 00 00 AM"));
  files_.locked.clear();

  // A full disk: the folder the run began stays as the newest, the older ones go so the next
  // run finds room.
  files_.free_bytes = 1;
  fakes_.clock.now.hour = 17;
  EXPECT_FALSE(form_.Backup().SaveAll().Clean());
  EXPECT_FALSE(Has("DocumentsDate Aug 10 2021 Time 08 00 00 AM"));
  EXPECT_TRUE(Has("DocumentsDate Aug 31 2021 Time 05 05 06 PM"));
  EXPECT_NE(Log().find("Documents had 2 older backup folders removed at 8/31/2021 5:05:06 PM"),
            std::string::npos)
      << Log();
}

TEST_F(KeepFewerRunTest, AFolderThatCannotGoStaysWholeWithALineAndTheEntryCountsAsSaved) {
  files_.locked.insert(FakeFileSystem::Key(In("DocumentsDate Jun 1 2021 Time 08 00 00 AM\\a.txt")));
  const RunOutcome outcome = form_.Backup().SaveAll();
  EXPECT_TRUE(outcome.Clean());
  EXPECT_EQ(outcome.final_status, std::string("Auto Backup Complete at ") + kNow);
  EXPECT_EQ(files_.Content(In("DocumentsDate Jun 1 2021 Time 08 00 00 AM\\a.txt")), "alpha");
  EXPECT_EQ(Log(), std::string("Documents was backup saved at ") + kNow + "\r\n" +
                       "Documents kept its older backup folder DocumentsDate Jun 1 2021 Time 08 "
                       "00 00 AM at " +
                       kNow + ", which could not be removed: Access is denied.\r\n" +
                       "Documents had 1 older backup folder removed at " + kNow + "\r\n");
}

TEST_F(KeepFewerRunTest, ALeftoverInsideASourceIsNeitherCopiedNorKept) {
  // The destination lies inside the listed folder; a removal cut short left its rest there.
  form_.destination_box.SetText(std::string(kDocs) + "\\Backups");
  const std::string leftover = std::string(kDocs) + "\\Backups\\~tessaline-00000000000000aa.tmp";
  files_.AddFile(leftover + "\\half.txt", "rest");
  form_.Backup().SaveAll();
  EXPECT_EQ(files_.TreeBelow(std::string(kDocs) + "\\Backups\\" + kToday),
            (std::vector<std::string>{"Backups\\", "a.txt=alpha"}));
  EXPECT_FALSE(files_.IsDir(leftover));
}

TEST_F(KeepFewerRunTest, ARunStartedInsideARemovalLeavesRemovingToIt) {
  int nested = 0;
  fakes_.pump.every_call = [&] {
    // Once the first folder has gone, a timed run comes due.
    if (nested == 0 && !Has("DocumentsDate Jun 1 2021 Time 08 00 00 AM")) {
      ++nested;
      fakes_.clock.now.second = 7;
      form_.Backup().SaveAll();
    }
  };
  form_.Backup().SaveAll();
  ASSERT_EQ(nested, 1);
  EXPECT_EQ(Log(), std::string("Documents was backup saved at ") + kNow + "\r\n" +
                       "Documents was backup saved at 8/31/2021 4:05:07 PM\r\n" +
                       "Documents had 2 older backup folders removed at 8/31/2021 4:05:07 PM\r\n");
}

}  // namespace
}  // namespace tess::test
