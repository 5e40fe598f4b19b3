// The backup run's side of snapshots: which earlier folder a stamped folder links to, the
// setting that turns links off, a day of runs in overwrite mode, and each folder's manifest.
#include <gtest/gtest.h>

#include <string>

#include "backup/entry_manifest.h"
#include "backup/manifest.h"
#include "copy/copy_tree.h"
#include "support/fake_hash.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

constexpr char kDocs[] = "C:\\Users\\Ann\\Documents";
constexpr char kBackups[] = "D:\\Backups";

std::string Backup(const std::string& folder) { return std::string(kBackups) + "\\" + folder; }

class SnapshotRunTest : public ::testing::Test {
 protected:
  SnapshotRunTest() {
    fakes_.pump.every_call = nullptr;
    form_.OnLoad();  // no settings yet: stamp on, create new
    files_.AddFolder(kBackups);
    form_.destination_box.SetText(kBackups);
    files_.AddFile(std::string(kDocs) + "\\a.txt", "alpha");
    form_.folder_list.Append(kDocs);
  }
  // Runs once and answers the earlier folder the copy was told to link to.
  std::string LinkedTo() {
    fakes_.copier.copies.clear();
    form_.Backup().SaveAll();
    EXPECT_EQ(fakes_.copier.copies.size(), 1u);
    return fakes_.copier.copies.empty() ? "?" : fakes_.copier.copies[0].link_from;
  }

  Services WithManifests() {
    Services services = fakes_.Wire();
    services.hash = &hash_;
    return services;
  }

  FakeServices fakes_;
  FakeFileSystem& files_ = fakes_.files;
  FakeHash hash_;
  MainForm form_{WithManifests()};
};

TEST_F(SnapshotRunTest, TheNewestEarlierFolderOfTheSameEntryIsChosenByItsStamp) {
  // By name "Aug 9" sorts after "Aug 30"; by stamp it is older.
  files_.AddFolder(Backup("DocumentsDate Aug 9 2021 Time 11 00 00 PM"));
  files_.AddFolder(Backup("DocumentsDate Aug 30 2021 Time 09 00 00 AM"));
  files_.AddFolder(Backup("DocumentsAug 29 2021"));
  // Not this entry's backups: another entry whose name starts the same way, a second source
  // of the same name, a folder without a stamp, one whose stamp is no real date.
  files_.AddFolder(Backup("Documents OldDate Aug 31 2021 Time 01 00 00 PM"));
  files_.AddFolder(Backup("Documents (2)Date Aug 31 2021 Time 01 00 00 PM"));
  files_.AddFolder(Backup("Documents"));
  files_.AddFolder(Backup("DocumentsDate Aug 32 2021 Time 01 00 00 PM"));
  EXPECT_EQ(LinkedTo(), Backup("DocumentsDate Aug 30 2021 Time 09 00 00 AM"));
  // The folder just written is the newest for the next run, never for itself.
  fakes_.clock.now.hour = 17;
  EXPECT_EQ(LinkedTo(), Backup("DocumentsDate Aug 31 2021 Time 04 05 06 PM"));
  EXPECT_TRUE(files_.SameFile(Backup("DocumentsDate Aug 31 2021 Time 04 05 06 PM\\a.txt"),
                              Backup("DocumentsDate Aug 31 2021 Time 05 05 06 PM\\a.txt")));
}

TEST_F(SnapshotRunTest, NoLinksWithoutAStampOrWhenTheSettingIsOff) {
  files_.AddFolder(Backup("DocumentsDate Aug 30 2021 Time 09 00 00 AM"));
  fakes_.settings.values["Snapshot Links"] = "Off";
  EXPECT_EQ(LinkedTo(), "");
  fakes_.settings.values["Snapshot Links"] = "off";  // only "Off" turns links off
  EXPECT_EQ(LinkedTo(), Backup("DocumentsDate Aug 30 2021 Time 09 00 00 AM"));
  form_.stamp_box.SetValue(0);
  EXPECT_EQ(LinkedTo(), "");
}

// Overwrite mode: the day's first run links to yesterday's folder; a source file changed
// afterwards reaches today's folder on the second run and leaves yesterday's as it was. Today's
// manifest then has the changed file's new line, the unchanged file's line carried over, and the
// line of a file since deleted from the source, which today's folder still holds. A run that
// changes nothing leaves the manifest as it was.
TEST_F(SnapshotRunTest, OverwriteModeChangesTodayAndKeepsYesterday) {
  files_.AddFile(std::string(kDocs) + "\\b.txt", "beta");
  files_.AddFile(std::string(kDocs) + "\\c.txt", "gamma");
  form_.overwrite_option.SetValue(true);
  fakes_.clock.now = LocalTime{2021, 8, 30, 10, 0, 0, 0};
  EXPECT_EQ(LinkedTo(), "");
  fakes_.clock.now = LocalTime{2021, 8, 31, 10, 0, 0, 0};
  EXPECT_EQ(LinkedTo(), Backup("DocumentsAug 30 2021"));
  const std::string yesterday = Backup("DocumentsAug 30 2021\\a.txt");
  const std::string today = Backup("DocumentsAug 31 2021\\a.txt");
  ASSERT_TRUE(files_.SameFile(yesterday, today));

  const std::string manifest = Backup("DocumentsAug 31 2021.sha256");
  const ManifestLines before = ReadManifest(files_.Content(manifest)).lines;
  files_.AddFile(std::string(kDocs) + "\\a.txt", "alpha, edited");
  ASSERT_FALSE(files_.Delete(std::string(kDocs) + "\\c.txt").Failed());
  fakes_.clock.now.hour = 11;
  form_.Backup().SaveAll();
  EXPECT_EQ(files_.Content(today), "alpha, edited");
  EXPECT_EQ(files_.Content(yesterday), "alpha");
  EXPECT_FALSE(files_.SameFile(yesterday, today));
  const ManifestLines after = ReadManifest(files_.Content(manifest)).lines;
  ASSERT_EQ(after.size(), 3u);
  EXPECT_NE(after.at("a.txt"), before.at("a.txt"));
  EXPECT_EQ(after.at("b.txt"), before.at("b.txt"));
  EXPECT_EQ(after.at("c.txt"), before.at("c.txt"));
  const std::string text = files_.Content(manifest);
  fakes_.clock.now.hour = 12;
  fakes_.clock.utc += 3600;
  form_.Backup().SaveAll();
  EXPECT_EQ(files_.Content(manifest), text);
}

// A run killed after it replaced a copy and before its manifest: the folder's manifest no longer
// vouches for the old line, so the next run, finding the new copy current, hashes it afresh
// rather than carry the old line over beside it.
TEST_F(SnapshotRunTest, ARunKilledAfterReplacingACopyLeavesNoOldLineBesideTheNewCopy) {
  form_.stamp_box.SetValue(0);  // one folder, reused by every run
  form_.Backup().SaveAll();
  const std::string folder = Backup("Documents");
  const std::string manifest = folder + ".sha256";
  ASSERT_EQ(ReadManifest(files_.Content(manifest)).lines.size(), 1u);
  files_.AddFile(std::string(kDocs) + "\\a.txt", "alpha, edited");
  {
    EntryManifest killed(files_, hash_, manifest, "", 1);
    CopySettings settings;
    settings.hashes = killed.Hashes();
    ASSERT_TRUE(CopyTree(files_, kDocs, folder, settings).Complete());
  }
  ASSERT_EQ(files_.Content(folder + "\\a.txt"), "alpha, edited");
  EXPECT_TRUE(ReadManifest(files_.Content(manifest)).lines.empty());
  form_.Backup().SaveAll();
  Sha256Digest edited{};
  const auto run = hash_.Start();
  run->Add("alpha, edited", 13);
  run->Finish(&edited);
  EXPECT_EQ(ReadManifest(files_.Content(manifest)).lines.at("a.txt"), edited);
}

// A linked file's line comes over from the earlier manifest unread; a file whose earlier line
// cannot be read is copied afresh rather than linked; a file of the manifest's name that the
// program did not write is never written over, and the entry is not saved.
TEST_F(SnapshotRunTest, ManifestsCarryLinkedLinesTrustNoDamagedLineAndOverwriteNoOtherFile) {
  files_.AddFile(std::string(kDocs) + "\\b.txt", "beta");
  form_.Backup().SaveAll();
  const std::string first = Backup("DocumentsDate Aug 31 2021 Time 04 05 06 PM");
  std::string text = files_.Content(first + ".sha256");
  const ManifestReading written = ReadManifest(text);
  ASSERT_EQ(written.lines.size(), 2u) << text;
  EXPECT_EQ(written.owner.source, kDocs);
  EXPECT_TRUE(written.owner.complete);
  text[text.find(HexDigest(written.lines.at("b.txt")))] = 'x';
  files_.AddFile(first + ".sha256", text);
  const int hashed = hash_.runs;
  fakes_.clock.now.hour = 17;
  form_.Backup().SaveAll();
  const std::string second = Backup("DocumentsDate Aug 31 2021 Time 05 05 06 PM");
  EXPECT_TRUE(files_.SameFile(first + "\\a.txt", second + "\\a.txt"));
  EXPECT_FALSE(files_.SameFile(first + "\\b.txt", second + "\\b.txt"));
  // Only the copied file was read while copying; reading back then read one copy and its source.
  EXPECT_EQ(hash_.runs - hashed, 3);
  EXPECT_EQ(ReadManifest(files_.Content(second + ".sha256")).lines, written.lines);

  files_.AddFile(Backup("Documents.sha256"), "my own list");
  form_.stamp_box.SetValue(0);
  EXPECT_FALSE(form_.Backup().SaveAll(Attendance::kUnattended).Clean());
  EXPECT_EQ(files_.Content(Backup("Documents.sha256")), "my own list");
  EXPECT_NE(files_.Content(form_.History().HistoryLogPath())
                .find("Documents was NOT backup saved at 8/31/2021 5:05:06 PM: a failure at line "
                      "153: The manifest was not written, since a file of its name is there"),
            std::string::npos)
      << files_.Content(form_.History().HistoryLogPath());
  // A person who saw the box is not told, in the log, that the folder was saved.
  EXPECT_FALSE(form_.Backup().SaveAll().Clean());
}

// A run killed after claiming its folder leaves the claim alone beside it: the next run links to
// that folder's files as it would to a folder without a manifest, reading their sources once.
TEST_F(SnapshotRunTest, AFolderWithOnlyItsClaimIsLinkedToAsOneWithoutAManifest) {
  form_.Backup().SaveAll();
  const std::string killed = Backup("DocumentsDate Aug 31 2021 Time 04 05 06 PM");
  files_.AddFile(killed + ".sha256", ManifestText({kDocs, "", "", "", false}, {}));
  fakes_.clock.now.hour = 17;
  form_.Backup().SaveAll();
  EXPECT_TRUE(files_.SameFile(killed + "\\a.txt",
                              Backup("DocumentsDate Aug 31 2021 Time 05 05 06 PM\\a.txt")));
}

// Another computer claims the name this run gave its second entry while the first one copies:
// the second takes the next free number, claims it, and leaves the other computer's claim alone.
TEST_F(SnapshotRunTest, AClaimMadeElsewhereAfterTheNamingSendsTheEntryToTheNextNumber) {
  form_.stamp_box.SetValue(0);
  fakes_.environment.variables["COMPUTERNAME"] = "PC-A";
  files_.AddFile("C:\\Notes\\n.txt", "notes");
  form_.folder_list.Append("C:\\Notes");
  const std::string theirs =
      ManifestText({"C:\\Notes", "PC-B", "bob", "2021-08-31T20:05:06Z", false}, {});
  fakes_.pump.At(1, [&] { files_.AddFile(Backup("Notes.sha256"), theirs); });
  EXPECT_TRUE(form_.Backup().SaveAll().Clean());
  EXPECT_EQ(files_.Content(Backup("Notes.sha256")), theirs);
  EXPECT_FALSE(files_.IsFile(Backup("Notes\\n.txt")));
  EXPECT_EQ(files_.Content(Backup("Notes (2)\\n.txt")), "notes");
  const ManifestReading ours = ReadManifest(files_.Content(Backup("Notes (2).sha256")));
  EXPECT_EQ(ours.owner.computer, "PC-A");
  EXPECT_TRUE(ours.owner.complete);
  EXPECT_EQ(ours.lines.size(), 1u);
}

}  // namespace
}  // namespace tess::test
