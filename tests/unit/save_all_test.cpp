// The backup run against test doubles: naming, order of steps, live reads, truthful lines.
#include <gtest/gtest.h>

#include "backup/backup_run.h"
#include "folders/subfolder_walk.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

// The fake tree, plus listings that fail on demand, and folders that are gone (a drive
// unplugged) while their files stay for the next run.
struct TestFiles : FakeFileSystem {
  bool ListingFindsAny(const std::string& pattern) override {
    if (listing_fails.count(Key(pattern))) throw PlatformError(52, "Bad file name or number");
    if (gone.count(Key(pattern))) return false;
    return FakeFileSystem::ListingFindsAny(pattern);
  }
  std::uint32_t Attributes(const std::string& path) override {
    if (gone.count(Key(path))) throw PlatformError(76, kPathNotFound);
    return FakeFileSystem::Attributes(path);
  }
  FileError List(const std::string& folder, std::vector<TreeEntry>* entries) override {
    if (refused.count(Key(folder)))
      return FileError{FileErrorKind::kAccessDenied, "Permission denied"};
    return FakeFileSystem::List(folder, entries);
  }
  std::set<std::string> listing_fails;
  std::set<std::string> gone;
  std::set<std::string> refused;  // folders the copy may not list
};

constexpr char kDocs[] = "C:\\Users\\Ann\\Documents";
constexpr char kNow[] = "8/31/2021 4:05:06 PM";

class SaveAllTest : public ::testing::Test {
 protected:
  SaveAllTest() {
    fakes_.pump.every_call = nullptr;  // time stands still unless a test moves it
    form_.OnLoad();
    files_.AddFolder("D:\\Backups");
    form_.destination_box.SetText("D:\\Backups");
  }
  RunOutcome Run() { return form_.Backup().SaveAll(); }
  void AddEntry(const std::string& text) { form_.folder_list.Append(text); }
  void AddSource(const std::string& folder) {
    files_.AddFolder(folder);
    AddEntry(folder);
  }
  std::string Log() { return files_.Content(form_.History().HistoryLogPath()); }
  std::vector<int> ErrorLines() const {
    std::vector<int> lines;
    for (const auto& box : fakes_.dialogs.Errors()) {
      const auto at = box.text.find("at line ");
      lines.push_back(std::stoi(box.text.substr(at + 8)));
    }
    return lines;
  }

  FakeServices fakes_;
  TestFiles files_;
  CopyWatcher copier_;
  MainForm form_{Services{fakes_.settings, files_, fakes_.shell, fakes_.registry,
                          fakes_.environment, fakes_.dialogs, fakes_.notify_icon, fakes_.clock,
                          fakes_.pump, copier_.Over(files_)}};
};

TEST_F(SaveAllTest, EmptyListOnlySetsItsStatus) {
  const RunOutcome out = Run();
  EXPECT_EQ(form_.status_frame.Caption(), "No files added to backup.");
  EXPECT_EQ(out.kind, RunOutcome::Kind::kEmptyList);
  EXPECT_TRUE(out.Clean());
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
  EXPECT_FALSE(files_.IsFile(form_.History().HistoryLogPath()));
  EXPECT_EQ(fakes_.pump.calls, 0);
}

TEST_F(SaveAllTest, MissingDestinationOnlySetsItsStatus) {
  AddSource(kDocs);
  form_.destination_box.SetText("D:\\Nowhere");
  const RunOutcome out = Run();
  EXPECT_EQ(form_.status_frame.Caption(), "D:\\Nowhere does not exist");
  EXPECT_EQ(out.kind, RunOutcome::Kind::kDestinationMissing);
  EXPECT_FALSE(out.Clean());
  EXPECT_EQ(out.final_status, "D:\\Nowhere does not exist");
  EXPECT_TRUE(copier_.copies.empty());
  EXPECT_TRUE(files_.created_folders.empty());
  EXPECT_FALSE(files_.IsFile(form_.History().HistoryLogPath()));
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

// The run goes into the folder a pasted destination names; one no folder can have (Windows
// refuses to list it) is as quietly missing as a drive that is not there.
TEST_F(SaveAllTest, APastedDestinationIsTakenAsTheFolderItNamesAndAForbiddenOneIsMissing) {
  AddSource(kDocs);
  form_.stamp_box.SetValue(0);
  form_.destination_box.SetText("\"D:\\Backups \"");
  EXPECT_EQ(Run().kind, RunOutcome::Kind::kClean);
  EXPECT_EQ(copier_.copies.at(0).destination, "D:\\Backups\\Documents");
  files_.Delete(form_.History().HistoryLogPath());
  files_.listing_fails.insert(FakeFileSystem::Key("D:\\Back|ups"));
  form_.destination_box.SetText("D:\\Back|ups");
  EXPECT_EQ(Run().kind, RunOutcome::Kind::kDestinationMissing);
  EXPECT_EQ(form_.Backup().SaveAll(Attendance::kUnattended).final_status,
            "D:\\Back|ups does not exist");
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
  EXPECT_FALSE(files_.IsFile(form_.History().HistoryLogPath()));
}

struct NamingCase {
  int stamp;
  bool create_new;
  const char* destination;  // passed to the copy
  const char* landed;       // where the source's file ends up
};

class SaveAllNamingTest : public SaveAllTest, public ::testing::WithParamInterface<NamingCase> {};

TEST_P(SaveAllNamingTest, CopiesIntoTheNamedFolderAndLogsTheEntry) {
  const NamingCase& c = GetParam();
  files_.AddFile(std::string(kDocs) + "\\a.txt", "A");
  AddEntry(kDocs);
  form_.stamp_box.SetValue(c.stamp);
  if (!c.create_new) form_.overwrite_option.SetValue(true);

  const RunOutcome out = Run();
  ASSERT_EQ(copier_.copies.size(), 1u);
  EXPECT_EQ(copier_.copies[0].source, kDocs);
  EXPECT_EQ(copier_.copies[0].destination, c.destination);
  EXPECT_TRUE(copier_.copies[0].overwrite);
  EXPECT_EQ(files_.Content(c.landed), "A");
  EXPECT_EQ(Log(), std::string("Documents was backup saved at ") + kNow + "\r\n");
  EXPECT_EQ(form_.status_frame.Caption(), std::string("Auto Backup Complete at ") + kNow);
  EXPECT_EQ(out.kind, RunOutcome::Kind::kClean);
  EXPECT_EQ(out.folders_processed, 1);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    NamingTable, SaveAllNamingTest,
    ::testing::Values(NamingCase{0, true, "D:\\Backups\\Documents",
                                 "D:\\Backups\\Documents\\a.txt"},
                      NamingCase{1, true, "D:\\Backups\\DocumentsDate Aug 31 2021 Time 04 05 06 PM",
                                 "D:\\Backups\\DocumentsDate Aug 31 2021 Time 04 05 06 PM\\a.txt"},
                      NamingCase{1, false, "D:\\Backups\\DocumentsAug 31 2021",
                                 "D:\\Backups\\DocumentsAug 31 2021\\a.txt"}));

TEST_F(SaveAllTest, DestinationTextsKeepOneBackslashAndTheNetworkPrefix) {
  AddSource(kDocs);
  form_.overwrite_option.SetValue(true);
  form_.destination_box.SetText("D:\\Backups\\");
  Run();
  files_.AddFolder("\\\\server\\share\\Backups");
  form_.destination_box.SetText("\\\\server\\share\\Backups");
  Run();
  form_.stamp_box.SetValue(0);
  form_.destination_box.SetText("\\\\server\\share\\Backups\\");
  Run();
  ASSERT_EQ(copier_.copies.size(), 3u);
  EXPECT_EQ(copier_.copies[0].destination, "D:\\Backups\\DocumentsAug 31 2021");
  EXPECT_EQ(copier_.copies[1].destination, "\\\\server\\share\\Backups\\DocumentsAug 31 2021");
  EXPECT_EQ(copier_.copies[2].destination, "\\\\server\\share\\Backups\\Documents");
}

// A trailing backslash once left an entry without a name, and every such entry of a run was
// copied into one folder named by the stamp alone, their files mixed.
TEST_F(SaveAllTest, TrailingBackslashAndDriveRootEntriesEachGetAFolderOfTheirOwn) {
  files_.AddFile("C:\\Data\\Docs\\d.txt", "D");
  AddEntry("C:\\Data\\Docs\\");
  files_.AddFile("E:\\photo.jpg", "P");
  files_.AddFile("E:\\app\\tool.cfg", "T");
  AddEntry("E:\\");
  AddEntry("E:");  // the drive typed alone means the same root, and meets its name
  Run();           // stamp on, create new
  ASSERT_EQ(copier_.copies.size(), 3u);
  const std::string stamp = "Date Aug 31 2021 Time 04 05 06 PM";
  EXPECT_EQ(copier_.copies[0].source, "C:\\Data\\Docs");
  EXPECT_EQ(copier_.copies[0].destination, "D:\\Backups\\Docs" + stamp);
  // A drive root is copied from the root itself: "E:" alone is the current folder on E:.
  EXPECT_EQ(copier_.copies[1].source, "E:\\");
  EXPECT_EQ(copier_.copies[1].destination, "D:\\Backups\\E" + stamp);
  EXPECT_EQ(copier_.copies[2].source, "E:\\");
  EXPECT_EQ(copier_.copies[2].destination, "D:\\Backups\\E (2)" + stamp);
  EXPECT_EQ(files_.Content("D:\\Backups\\Docs" + stamp + "\\d.txt"), "D");
  for (const std::string root : {"E", "E (2)"}) {
    const std::string folder = "D:\\Backups\\" + root + stamp;
    EXPECT_EQ(files_.Content(folder + "\\photo.jpg"), "P");
    EXPECT_EQ(files_.Content(folder + "\\app\\tool.cfg"), "T");
    EXPECT_FALSE(files_.IsFile(folder + "\\d.txt"));
  }
  EXPECT_EQ(Log(), std::string("Docs was backup saved at ") + kNow + "\r\nE: was backup saved at " +
                       kNow + "\r\nE: was backup saved at " + kNow + "\r\n");
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());

  // Without the stamp each lands under its own name, whether or not it ends in a backslash.
  form_.stamp_box.SetValue(0);
  copier_.copies.clear();
  Run();
  ASSERT_EQ(copier_.copies.size(), 3u);
  EXPECT_EQ(copier_.copies[0].destination, "D:\\Backups\\Docs");
  EXPECT_EQ(copier_.copies[1].destination, "D:\\Backups\\E");
  EXPECT_EQ(copier_.copies[2].destination, "D:\\Backups\\E (2)");
  EXPECT_EQ(files_.Content("D:\\Backups\\Docs\\d.txt"), "D");
  EXPECT_EQ(files_.Content("D:\\Backups\\E\\app\\tool.cfg"), "T");
  EXPECT_FALSE(files_.IsFile("D:\\Backups\\d.txt"));
  EXPECT_FALSE(files_.IsFile("D:\\Backups\\photo.jpg"));
}

// Two sources of one name, copied in the same second or on the same day, once shared a folder
// and overwrote each other's files. The later one gets a number, in every mode, and keeps it
// on every run while the list keeps its order, even when the earlier source is missing.
TEST_F(SaveAllTest, SourcesOfOneNameNeverShareAFolder) {
  files_.AddFile("C:\\A\\Photos\\a.jpg", "from A");
  files_.AddFile("D:\\B\\Photos\\a.jpg", "from B");
  AddEntry("C:\\A\\Photos");
  AddEntry("D:\\B\\Photos\\");
  AddSource("C:\\Music");

  struct Mode {
    int stamp;
    bool overwrite;
    const char* first;
    const char* second;
  };
  for (const Mode& m : {Mode{1, false, "PhotosDate Aug 31 2021 Time 04 05 06 PM",
                             "Photos (2)Date Aug 31 2021 Time 04 05 06 PM"},
                        Mode{1, true, "PhotosAug 31 2021", "Photos (2)Aug 31 2021"},
                        Mode{0, true, "Photos", "Photos (2)"}}) {
    SCOPED_TRACE(m.first);
    form_.stamp_box.SetValue(m.stamp);
    if (m.overwrite) form_.overwrite_option.SetValue(true);
    const std::string first = std::string("D:\\Backups\\") + m.first;
    const std::string second = std::string("D:\\Backups\\") + m.second;
    copier_.copies.clear();
    EXPECT_TRUE(Run().Clean());
    ASSERT_EQ(copier_.copies.size(), 3u);
    EXPECT_EQ(copier_.copies[0].destination, first);
    EXPECT_EQ(copier_.copies[1].destination, second);
    EXPECT_EQ(files_.Content(first + "\\a.jpg"), "from A");
    EXPECT_EQ(files_.Content(second + "\\a.jpg"), "from B");
  }

  // The next run, with C:\A\Photos unplugged: B's backup still goes to its own folder, never
  // into A's.
  files_.gone.insert(FakeFileSystem::Key("C:\\A\\Photos"));
  files_.AddFile("D:\\B\\Photos\\b.jpg", "new in B");
  copier_.copies.clear();
  Run();
  ASSERT_EQ(copier_.copies.size(), 2u);
  EXPECT_EQ(copier_.copies[0].source, "D:\\B\\Photos");
  EXPECT_EQ(copier_.copies[0].destination, "D:\\Backups\\Photos (2)");
  EXPECT_EQ(files_.Content("D:\\Backups\\Photos\\a.jpg"), "from A");
  EXPECT_FALSE(files_.IsFile("D:\\Backups\\Photos\\b.jpg"));
  EXPECT_EQ(files_.Content("D:\\Backups\\Photos (2)\\b.jpg"), "new in B");
}

// Without the stamp a file entry lands beside the folders as itself, as it always did; only
// a file whose name an earlier entry has needs a folder of its own to stay apart.
TEST_F(SaveAllTest, AFileEntryOfATakenNameGetsItsOwnFolderWithoutTheStamp) {
  files_.AddFile("C:\\A\\notes.txt", "A");
  files_.AddFile("C:\\B\\notes.txt", "B");
  AddEntry("C:\\A\\notes.txt");
  AddEntry("C:\\B\\notes.txt");
  form_.stamp_box.SetValue(0);
  EXPECT_TRUE(Run().Clean());
  EXPECT_EQ(files_.Content("D:\\Backups\\notes.txt"), "A");
  EXPECT_EQ(files_.Content("D:\\Backups\\notes.txt (2)\\notes.txt"), "B");
}

TEST_F(SaveAllTest, AnEmptyDriveRootIsADestinationLikeAnyFolder) {
  AddSource(kDocs);
  form_.stamp_box.SetValue(0);
  files_.AddFolder("R:\\");
  for (const char* destination : {"R:\\", "R:"}) {
    form_.destination_box.SetText(destination);
    const RunOutcome out = Run();
    EXPECT_EQ(out.kind, RunOutcome::Kind::kClean) << destination;
    EXPECT_EQ(form_.status_frame.Caption(), std::string("Auto Backup Complete at ") + kNow);
    ASSERT_FALSE(copier_.copies.empty());
    EXPECT_EQ(copier_.copies.back().destination, "R:\\Documents");
  }
  EXPECT_EQ(copier_.copies.size(), 2u);
  EXPECT_TRUE(files_.IsDir("R:\\Documents"));
}

TEST_F(SaveAllTest, WildcardsFindNothing) {
  // A pattern would match D:\Backups, and then a folder named by the pattern would be asked for.
  AddSource(kDocs);
  form_.destination_box.SetText("D:\\Back*");
  const RunOutcome out = Run();
  EXPECT_EQ(out.kind, RunOutcome::Kind::kDestinationMissing);
  EXPECT_EQ(form_.status_frame.Caption(), "D:\\Back* does not exist");
  EXPECT_TRUE(copier_.copies.empty());

  // An entry with a wildcard is as missing as a source that is gone, and told as such.
  form_.destination_box.SetText("D:\\Backups");
  AddEntry("C:\\Users\\Ann\\Doc?ments");
  Run();
  ASSERT_EQ(copier_.copies.size(), 1u);
  EXPECT_EQ(copier_.copies[0].source, kDocs);
  EXPECT_EQ(Log(), std::string("Documents was backup saved at ") + kNow +
                       "\r\nDoc?ments was NOT backup saved at " + kNow +
                       ": the folder C:\\Users\\Ann\\Doc?ments was not found: File not found\r\n");
}

// A profile backed up onto its own Desktop, with a folder of it listed too: every run takes in
// the user's own files on the Desktop and no earlier backup of either entry, so the backups do
// not double from run to run.
TEST_F(SaveAllTest, ABackupInsideItsOwnSourceTakesInNoEarlierBackup) {
  const std::string profile = "C:\\Users\\Ann";
  files_.AddFile(profile + "\\notes.txt", "notes");
  files_.AddFile(profile + "\\Desktop\\todo.txt", "todo");
  files_.AddFile(std::string(kDocs) + "\\letter.txt", "letter");
  AddEntry(profile);
  AddEntry(kDocs);
  form_.destination_box.SetText(profile + "\\Desktop");
  for (int run = 0; run < 4; ++run) {
    fakes_.clock.now.second = 6 + run;
    EXPECT_TRUE(Run().Clean());
  }
  const std::string stamp = "Date Aug 31 2021 Time 04 05 09 PM";
  EXPECT_EQ(files_.TreeBelow(profile + "\\Desktop\\Ann" + stamp),
            (std::vector<std::string>{"Desktop\\", "Desktop\\todo.txt=todo", "Documents\\",
                                      "Documents\\letter.txt=letter", "notes.txt=notes"}));
  EXPECT_EQ(files_.TreeBelow(profile + "\\Desktop\\Documents" + stamp),
            (std::vector<std::string>{"letter.txt=letter"}));
  EXPECT_EQ(ListSubfolders(files_, profile + "\\Desktop").size(), 8u);
}

TEST_F(SaveAllTest, AtMidnightTheDateStandsAlone) {
  AddSource(kDocs);
  form_.overwrite_option.SetValue(true);
  fakes_.clock.now = {2021, 9, 1, 0, 0, 0, 0};
  Run();
  EXPECT_EQ(copier_.copies.at(0).destination, "D:\\Backups\\DocumentsSep 1 2021");
  EXPECT_EQ(Log(), "Documents was backup saved at 9/1/2021\r\n");
  EXPECT_EQ(form_.status_frame.Caption(), "Auto Backup Complete at 9/1/2021");
}

// The user may type in the destination box while the run lets events in: the run keeps the
// destination it started with (a half-typed path gets no folders), and the edit applies from
// the next run. The stamp box is read for each entry.
TEST_F(SaveAllTest, EventsRunAroundTheHistoryLineAndADestinationEditWaitsForTheNextRun) {
  files_.AddFile(std::string(kDocs) + "\\a.txt");
  AddEntry(kDocs);
  AddSource("C:\\Users\\Ann\\Pictures");
  AddEntry("C:\\Gone");
  std::vector<size_t> lines_at_pass;
  fakes_.pump.every_call = [&] {
    const std::string log = Log();
    lines_at_pass.push_back(static_cast<size_t>(std::count(log.begin(), log.end(), '\n')));
  };
  // After the first entry, the user starts typing a new destination and turns the stamp off.
  files_.AddFolder("F:\\Other");
  fakes_.pump.At(4, [&] {
    form_.destination_box.SetText("F:\\Oth");
    form_.stamp_box.SetValue(0);
  });
  Run();
  // Documents: a pass during its one-file copy, then before and after its line, then the
  // entry's closing pass; Pictures has no files; the missing entry has its line, too.
  EXPECT_EQ(lines_at_pass, (std::vector<size_t>{0, 0, 1, 1, 1, 2, 2, 2, 3, 3}));
  ASSERT_EQ(copier_.copies.size(), 2u);
  EXPECT_EQ(copier_.copies[1].destination, "D:\\Backups\\Pictures");
  EXPECT_FALSE(files_.IsDir("F:\\Oth"));
  EXPECT_FALSE(files_.IsDir("F:\\Oth\\Pictures"));

  form_.destination_box.SetText("F:\\Other");
  Run();
  ASSERT_EQ(copier_.copies.size(), 4u);
  EXPECT_EQ(copier_.copies[2].destination, "F:\\Other\\Documents");
  EXPECT_EQ(copier_.copies[3].destination, "F:\\Other\\Pictures");
}

// A renamed folder or an unplugged drive is told on every run, in the system's words, and
// stays in the list for the day it comes back.
TEST_F(SaveAllTest, AMissingSourceGetsItsNotSavedLineAndTheStatusTellsOfErrors) {
  AddEntry("C:\\Gone\\Docs\\");
  AddSource(kDocs);
  files_.gone.insert(FakeFileSystem::Key("F:\\Photos"));
  AddEntry("F:\\Photos");
  const RunOutcome out = Run();
  EXPECT_EQ(Log(), std::string("Docs was NOT backup saved at ") + kNow +
                       ": the folder C:\\Gone\\Docs\\ was not found: File not found\r\n"
                       "Documents was backup saved at " +
                       kNow +
                       "\r\n"
                       "Photos was NOT backup saved at " +
                       kNow + ": the folder F:\\Photos was not found: " +
                       FakeFileSystem::kPathNotFound + "\r\n");
  EXPECT_EQ(copier_.copies.size(), 1u);
  EXPECT_EQ(files_.created_folders.size(), 1u);  // only the folder of the one found
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
  const std::string status = std::string("Auto Backup Complete at ") + kNow +
                             " with errors in 2 of 3 folders (see View History Log)";
  EXPECT_EQ(form_.status_frame.Caption(), status);
  EXPECT_EQ(out.kind, RunOutcome::Kind::kWithErrors);
  EXPECT_EQ(out.folders_processed, 3);
  EXPECT_EQ(out.folders_failed, 2);
  EXPECT_EQ(form_.folder_list.Items(),
            (std::vector<std::string>{"C:\\Gone\\Docs\\", kDocs, "F:\\Photos"}));
}

TEST_F(SaveAllTest, PartlyFailedCopyIsLoggedAndReportedAsFailed) {
  files_.AddFile(std::string(kDocs) + "\\a.txt");
  files_.AddFile(std::string(kDocs) + "\\b.pst");
  files_.AddFile(std::string(kDocs) + "\\c.txt");
  files_.locked.insert(FakeFileSystem::Key(std::string(kDocs) + "\\b.pst"));
  AddEntry(kDocs);
  AddSource("C:\\Users\\Ann\\Pictures");
  const RunOutcome out = Run();
  EXPECT_EQ(Log(), std::string("Documents was NOT backup saved at ") + kNow +
                       ": 1 of 3 files failed, first C:\\Users\\Ann\\Documents\\b.pst: The "
                       "process cannot access the file because it is being used by another "
                       "process.\r\nPictures was backup saved at " +
                       kNow + "\r\n");
  const std::string status = std::string("Auto Backup Complete at ") + kNow +
                             " with errors in 1 of 2 folders (see View History Log)";
  EXPECT_EQ(form_.status_frame.Caption(), status);
  EXPECT_EQ(out.kind, RunOutcome::Kind::kWithErrors);
  EXPECT_EQ(out.folders_failed, 1);
  EXPECT_EQ(out.final_status, status);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());  // the copy itself stays quiet
}

// Ten attempts to make the folder; a person who started the run sees one report and the box,
// a run nobody watches shows nothing. Both write the same NOT saved line and count the error.
TEST_F(SaveAllTest, AnUncreatableFolderIsReportedOnceOrOnlyLogged) {
  AddSource(kDocs);
  form_.overwrite_option.SetValue(true);
  files_.uncreatable.insert(FakeFileSystem::Key("D:\\Backups\\DocumentsAug 31 2021"));
  for (const Attendance attendance : {Attendance::kAttended, Attendance::kUnattended}) {
    const bool attended = attendance == Attendance::kAttended;
    SCOPED_TRACE(attended ? "attended" : "unattended");
    fakes_.dialogs.boxes.clear();
    files_.Delete(form_.History().HistoryLogPath());
    const RunOutcome out = form_.Backup().SaveAll(attendance);
    EXPECT_EQ(files_.created_folders.size(), 0u);
    if (attended) {
      EXPECT_EQ(ErrorLines(), std::vector<int>{140});
      EXPECT_NE(fakes_.dialogs.boxes[0].text.find(std::string(FakeFileSystem::kAccessDenied) +
                                                  "\r\nin Tessaline2021/08/31.IntervalSave.SaveAll "
                                                  "at line 140"),
                std::string::npos);
      ASSERT_EQ(fakes_.dialogs.boxes.size(), 2u);
      const auto& box = fakes_.dialogs.boxes.back();
      EXPECT_EQ(box.text,
                "Destination folder does not exist.\r\nD:\\Backups\\DocumentsAug 31 2021");
      EXPECT_EQ(box.title, "");
      EXPECT_EQ(box.buttons, BoxButtons::kOk);
      EXPECT_EQ(box.icon, BoxIcon::kNone);
    } else {
      EXPECT_TRUE(fakes_.dialogs.boxes.empty());
    }
    EXPECT_TRUE(copier_.copies.empty());
    EXPECT_EQ(Log(), std::string("Documents was NOT backup saved at ") + kNow +
                         ": the destination folder D:\\Backups\\DocumentsAug 31 2021 could not "
                         "be created: " +
                         FakeFileSystem::kAccessDenied + "\r\n");
    EXPECT_EQ(out.kind, RunOutcome::Kind::kWithErrors);
  }
}

// In a run nobody watches, a failing step becomes part of the entry's line, or a line of its
// own outside every entry, and the run counts it.
TEST_F(SaveAllTest, AnUnwatchedRunLogsWhatWouldBeABox) {
  AddSource(kDocs);
  files_.listing_fails.insert(FakeFileSystem::Key("D:\\Backups"));
  RunOutcome out = form_.Backup().SaveAll(Attendance::kUnattended);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
  EXPECT_EQ(out.kind, RunOutcome::Kind::kDestinationMissing);
  EXPECT_EQ(out.run_failures, 1);
  EXPECT_EQ(Log(), std::string("Backup run NOT complete at ") + kNow +
                       ": a failure at line 104: Bad file name or number\r\n");

  files_.listing_fails.clear();
  files_.Delete(form_.History().HistoryLogPath());
  fakes_.pump.At(1, [] { throw PlatformError(5, "Invalid procedure call or argument"); });
  out = form_.Backup().SaveAll(Attendance::kUnattended);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
  EXPECT_EQ(out.folders_failed, 1);
  EXPECT_EQ(Log(), std::string("Documents was NOT backup saved at ") + kNow +
                       ": a failure at line 156: Invalid procedure call or argument\r\n");
  EXPECT_NE(out.final_status.find(" with errors in 1 of 1 folders"), std::string::npos);
}

TEST_F(SaveAllTest, FileEntryLandsInsideTheDestinationFolder) {
  files_.AddFile("C:\\Data\\notes.txt", "N");
  AddEntry("C:\\Data\\notes.txt");
  form_.stamp_box.SetValue(0);
  Run();
  EXPECT_EQ(files_.Content("D:\\Backups\\notes.txt"), "N");
  EXPECT_FALSE(files_.IsDir("D:\\Backups\\notes.txt"));

  form_.stamp_box.SetValue(1);  // create new
  Run();
  EXPECT_EQ(files_.Content("D:\\Backups\\notes.txtDate Aug 31 2021 Time 04 05 06 PM\\notes.txt"),
            "N");
  EXPECT_EQ(Log(), std::string("notes.txt was backup saved at ") + kNow +
                       "\r\nnotes.txt was backup saved at " + kNow + "\r\n");
}

TEST_F(SaveAllTest, FailingDestinationQueryCountsAsMissing) {
  AddSource(kDocs);
  files_.listing_fails.insert(FakeFileSystem::Key("Q:\\"));
  form_.destination_box.SetText("Q:\\");
  Run();
  EXPECT_EQ(ErrorLines(), std::vector<int>{104});
  EXPECT_EQ(fakes_.dialogs.boxes[0].text.rfind("Bad file name or number\r\n", 0), 0u);
  EXPECT_EQ(form_.status_frame.Caption(), "Q:\\ does not exist");
  EXPECT_TRUE(copier_.copies.empty());
}

TEST_F(SaveAllTest, FailingSourceQueryCountsAsFound) {
  AddSource(kDocs);
  files_.listing_fails.insert(FakeFileSystem::Key(kDocs));
  Run();
  EXPECT_EQ(ErrorLines(), std::vector<int>{120});
  EXPECT_EQ(copier_.copies.size(), 1u);
  EXPECT_EQ(Log(), std::string("Documents was backup saved at ") + kNow + "\r\n");
}

TEST_F(SaveAllTest, ACopyThatCannotReadItsSourceIsQuietButLoggedAsFailed) {
  AddSource(kDocs);
  files_.refused.insert(FakeFileSystem::Key(kDocs));
  const RunOutcome out = Run();
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
  EXPECT_EQ(Log(), std::string("Documents was NOT backup saved at ") + kNow +
                       ": 1 folder failed, first C:\\Users\\Ann\\Documents: Permission "
                       "denied\r\n");
  EXPECT_EQ(out.folders_failed, 1);
}

TEST_F(SaveAllTest, FailingHistoryAppendIsReportedAndTheRunGoesOn) {
  AddSource(kDocs);
  AddSource("C:\\Users\\Ann\\Pictures");
  files_.fail_appends = true;
  const RunOutcome out = Run();
  EXPECT_EQ(ErrorLines(), (std::vector<int>{158, 158}));
  EXPECT_EQ(copier_.copies.size(), 2u);
  EXPECT_EQ(form_.status_frame.Caption(), std::string("Auto Backup Complete at ") + kNow);
  EXPECT_TRUE(out.Clean());
}

// The list may change while the run lets events in; the run goes on with the entries as they
// stood when it started, each exactly once and in that order.
TEST_F(SaveAllTest, EntriesRemovedDuringTheRunAreStillEachCopiedOnce) {
  const std::string pictures = "C:\\Users\\Ann\\Pictures";
  const std::string music = "C:\\Users\\Ann\\Music";
  files_.AddFile(std::string(kDocs) + "\\a.txt", "A");
  AddEntry(kDocs);
  files_.AddFile(pictures + "\\p.jpg", "P");
  AddEntry(pictures);
  AddSource(music);
  // The user deletes Documents while it is being copied (the copy's own pass), then clears
  // the list while Pictures is being copied.
  fakes_.pump.At(1, [&] { form_.folder_list.Remove(1); });
  fakes_.pump.At(5, [&] { form_.folder_list.Clear(); });
  const RunOutcome out = Run();
  ASSERT_EQ(copier_.copies.size(), 3u);
  EXPECT_EQ(copier_.copies[0].source, kDocs);
  EXPECT_EQ(copier_.copies[1].source, pictures);
  EXPECT_EQ(copier_.copies[2].source, music);
  EXPECT_EQ(files_.Content("D:\\Backups\\DocumentsDate Aug 31 2021 Time 04 05 06 PM\\a.txt"), "A");
  EXPECT_EQ(files_.Content("D:\\Backups\\PicturesDate Aug 31 2021 Time 04 05 06 PM\\p.jpg"), "P");
  EXPECT_EQ(Log(), std::string("Documents was backup saved at ") + kNow +
                       "\r\nPictures was backup saved at " + kNow +
                       "\r\nMusic was backup saved at " + kNow + "\r\n");
  EXPECT_EQ(form_.status_frame.Caption(), std::string("Auto Backup Complete at ") + kNow);
  EXPECT_EQ(out.folders_processed, 3);
  EXPECT_TRUE(out.Clean());
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
  EXPECT_EQ(form_.folder_list.Count(), 0);
}

TEST_F(SaveAllTest, EntriesReorderedDuringTheRunAreEachCopiedOnceInTheFirstOrder) {
  const std::vector<std::string> sources = {kDocs, "C:\\Users\\Ann\\Pictures",
                                            "C:\\Users\\Ann\\Music"};
  for (const auto& source : sources) AddSource(source);
  // While the first entry is processed the user drags the last one to the top:
  // Music, Documents, Pictures. Read by position, Documents would be copied twice and Music
  // never.
  fakes_.pump.At(1, [&] {
    form_.folder_list.SetItemText(1, sources[2]);
    form_.folder_list.SetItemText(2, sources[0]);
    form_.folder_list.SetItemText(3, sources[1]);
  });
  const RunOutcome out = Run();
  ASSERT_EQ(copier_.copies.size(), 3u);
  for (size_t i = 0; i < sources.size(); ++i) EXPECT_EQ(copier_.copies[i].source, sources[i]);
  EXPECT_EQ(out.folders_processed, 3);
  EXPECT_EQ(form_.folder_list.ItemText(1), sources[2]);

  // The next run takes the new order.
  copier_.copies.clear();
  Run();
  ASSERT_EQ(copier_.copies.size(), 3u);
  EXPECT_EQ(copier_.copies[0].source, sources[2]);
}

}  // namespace
}  // namespace tess::test
