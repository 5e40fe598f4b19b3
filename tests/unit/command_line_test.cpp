// The command line: what each start asks for, the exit code of a backup from it, and that run
// over the stored settings, which writes the window's history lines and changes no setting; and
// reading the backups back against their manifests.
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include "backup/backup_run.h"
#include "backup/manifest.h"
#include "ports/console.h"
#include "shell/command_line_backup.h"
#include "shell/command_line_verify.h"
#include "support/fake_hash.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

TEST(CommandLineTest, EachArgumentListAsksForOneKindOfStart) {
  const struct {
    std::vector<std::string> arguments;
    StartRequest request;
    std::string unknown;
  } cases[] = {
      {{}, StartRequest::kWindow, ""},
      {{"/backup"}, StartRequest::kBackup, ""},
      {{"/BACKUP"}, StartRequest::kBackup, ""},
      {{"-backup"}, StartRequest::kBackup, ""},
      {{"--Backup"}, StartRequest::kBackup, ""},
      {{"/backup", "/backup"}, StartRequest::kBackup, ""},
      {{"/verify"}, StartRequest::kVerify, ""},
      {{"-VERIFY"}, StartRequest::kVerify, ""},
      {{"/verify", "/?"}, StartRequest::kUsage, ""},
      {{"/?"}, StartRequest::kUsage, ""},
      {{"-?"}, StartRequest::kUsage, ""},
      {{"/help"}, StartRequest::kUsage, ""},
      {{"/backup", "/?"}, StartRequest::kUsage, ""},
      {{"/x", "/?"}, StartRequest::kUsage, ""},
      {{"/backupnow"}, StartRequest::kUnknownArgument, "/backupnow"},
      {{"backup"}, StartRequest::kUnknownArgument, "backup"},
      {{"/"}, StartRequest::kUnknownArgument, "/"},
      {{""}, StartRequest::kUnknownArgument, ""},
      {{"C:\\Data", "/backup"}, StartRequest::kUnknownArgument, "C:\\Data"},
      {{"/backup", "/x", "/y"}, StartRequest::kUnknownArgument, "/x"},
  };
  for (const auto& c : cases) {
    const CommandLine line = ReadCommandLine(c.arguments);
    const std::string shown = c.arguments.empty() ? "(none)" : c.arguments[0];
    EXPECT_EQ(line.request, c.request) << shown;
    EXPECT_EQ(line.unknown_argument, c.unknown) << shown;
  }
  EXPECT_EQ(UnknownArgumentText("/x").rfind("Unknown option: /x\r\n\r\n", 0), 0u);
  EXPECT_NE(UsageText().find("/backup"), std::string::npos);
  EXPECT_NE(UsageText().find("/verify"), std::string::npos);
}

TEST(CommandLineTest, ExitCodeSaysWhetherEverythingNothingOrSomethingInBetweenWasSaved) {
  using Kind = RunOutcome::Kind;
  const struct {
    Kind kind;
    int processed, failed, listed, reported;
    int code;
  } cases[] = {
      {Kind::kClean, 2, 0, 2, 0, kExitAllSaved},
      {Kind::kWithErrors, 2, 1, 2, 0, kExitSomeNotSaved},
      {Kind::kClean, 1, 0, 2, 0, kExitSomeNotSaved},  // one listed folder was not found
      {Kind::kClean, 2, 0, 2, 1, kExitSomeNotSaved},  // a history line could not be written
      {Kind::kClean, 0, 0, 2, 0, kExitNothingRan},    // no listed folder was found
      {Kind::kEmptyList, 0, 0, 0, 0, kExitNothingRan},
      {Kind::kDestinationMissing, 0, 0, 2, 0, kExitNothingRan},
  };
  for (const auto& c : cases) {
    RunOutcome outcome;
    outcome.kind = c.kind;
    outcome.folders_processed = c.processed;
    outcome.folders_failed = c.failed;
    EXPECT_EQ(BackupExitCode(outcome, c.listed, c.reported), c.code)
        << static_cast<int>(c.kind) << " " << c.processed << "/" << c.listed;
  }
}

struct FakeConsole : Console {
  bool Available() override { return true; }
  void WriteLine(const std::string& text) override { lines.push_back(text); }
  std::vector<std::string> lines;
};

// Copies of one source fail, as a locked file would make them.
struct FailingCopy {
  FolderCopy Over(FileTree& files) {
    return [this, &files](const std::string& source, const std::string& destination,
                          const CopySettings& settings) {
      CopyOutcome outcome = CopyTree(files, source, destination, settings);
      if (source == failing_source) {
        outcome.files_failed = 1;
        outcome.first_failure_path = source + "\\locked.txt";
        outcome.first_failure_reason = "Permission denied";
      }
      return outcome;
    };
  }
  std::string failing_source;
};

class CommandLineBackupTest : public ::testing::Test {
 protected:
  CommandLineBackupTest() {
    fakes_.pump.every_call = nullptr;  // time stands still
    fakes_.environment.variables["TEMP"] = "C:\\Temp";
    files_.AddFolder("C:\\Temp");
    files_.AddFolder("D:\\Backups");
    files_.AddFile("C:\\Data\\Alpha\\a.txt", "A");
    files_.AddFile("C:\\Data\\Beta\\b.txt", "B");
    fakes_.settings.values["Folders"] = "C:\\Data\\Alpha;C:\\Data\\Beta;";
    fakes_.settings.values["Path"] = "D:\\Backups";
    fakes_.settings.values["Include Date"] = "Off";
  }
  int Run() {
    return RunBackupFromCommandLine({fakes_.settings, files_, fakes_.shell, fakes_.environment,
                                     fakes_.clock, fakes_.pump, console_, copy_.Over(files_),
                                     [this] { told_.push_back(fakes_.settings.write_log); }});
  }
  std::string Log() { return files_.Content("C:\\Temp\\Tessaline.txt"); }

  FakeServices fakes_;
  FakeFileSystem& files_ = fakes_.files;
  FailingCopy copy_;
  FakeConsole console_;
  // What was stored each time a window copy was told of the outcome.
  std::vector<std::vector<std::string>> told_;
};

// A run from the command line changes no setting but what each folder's copy went through (for
// the next run's progress) and the latest run's outcome, which the window's tray shows.
TEST_F(CommandLineBackupTest, ACleanRunLogsAsTheWindowDoesEndsWithZeroAndChangesNoSetting) {
  EXPECT_EQ(Run(), kExitAllSaved);
  EXPECT_EQ(files_.Content("D:\\Backups\\Alpha\\a.txt"), "A");
  EXPECT_EQ(files_.Content("D:\\Backups\\Beta\\b.txt"), "B");
  EXPECT_EQ(Log(),
            "Alpha was backup saved at 8/31/2021 4:05:06 PM\r\n"
            "Beta was backup saved at 8/31/2021 4:05:06 PM\r\n");
  EXPECT_EQ(console_.lines,
            std::vector<std::string>{"Auto Backup Complete at 8/31/2021 4:05:06 PM"});
  EXPECT_EQ(
      fakes_.settings.write_log,
      (std::vector<std::string>{"Entry Totals=C:\\Data\\Alpha|1|1|C:\\Data\\Beta|1|1|",
                                "Latest Backup Status=Auto Backup Complete at 8/31/2021 4:05:06 PM",
                                "Latest Backup Clean=On"}));
  // A running window copy is told once, when the outcome is already stored.
  EXPECT_EQ(told_, std::vector<std::vector<std::string>>{fakes_.settings.write_log});
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());

  // The same run from the window writes the same lines.
  files_.Delete("C:\\Temp\\Tessaline.txt");
  MainForm form(Services{fakes_.settings, files_, fakes_.shell, fakes_.registry, fakes_.environment,
                         fakes_.dialogs, fakes_.notify_icon, fakes_.clock, fakes_.pump});
  form.OnLoad();
  const std::string from_command_line =
      "Alpha was backup saved at 8/31/2021 4:05:06 PM\r\n"
      "Beta was backup saved at 8/31/2021 4:05:06 PM\r\n";
  form.Backup().SaveAll();
  EXPECT_EQ(Log(), from_command_line);
}

TEST_F(CommandLineBackupTest, TheStoredNamingOptionsNameTheFolders) {
  const struct {
    const char* include_date;
    const char* backup_option;
    const char* landed;
  } cases[] = {
      {"On", "1", "D:\\Backups\\AlphaDate Aug 31 2021 Time 04 05 06 PM\\a.txt"},
      {"On", "2", "D:\\Backups\\AlphaAug 31 2021\\a.txt"},
      {"On", "not a number", "D:\\Backups\\AlphaAug 31 2021\\a.txt"},
      {nullptr, nullptr, "D:\\Backups\\AlphaDate Aug 31 2021 Time 04 05 06 PM\\a.txt"},
      {"Off", "1", "D:\\Backups\\Alpha\\a.txt"},
  };
  fakes_.settings.values["Folders"] = "C:\\Data\\Alpha;";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.landed);
    fakes_.settings.values.erase("Include Date");
    fakes_.settings.values.erase("Backup Option");
    if (c.include_date) fakes_.settings.values["Include Date"] = c.include_date;
    if (c.backup_option) fakes_.settings.values["Backup Option"] = c.backup_option;
    EXPECT_EQ(Run(), kExitAllSaved);
    EXPECT_EQ(files_.Content(c.landed), "A");
  }
}

// The window's two stored choices about dated folders hold for a run from the command line too.
TEST_F(CommandLineBackupTest, TheStoredKeepFewerAndSnapshotLinksSettingsApply) {
  fakes_.settings.values["Folders"] = "C:\\Data\\Alpha;";
  fakes_.settings.values["Include Date"] = "On";
  const std::string older = "D:\\Backups\\AlphaDate Aug 30 2021 Time 09 00 00 AM\\a.txt";
  const std::string oldest = "D:\\Backups\\AlphaDate Aug 1 2021 Time 09 00 00 AM\\a.txt";
  const std::string landed = "D:\\Backups\\AlphaDate Aug 31 2021 Time 04 05 06 PM\\a.txt";
  files_.AddFile(older, "A");
  files_.AddFile(oldest, "A");
  files_.AddFile("D:\\Backups\\AlphaDate Aug 1 2021 Time 08 00 00 AM\\a.txt", "A");
  fakes_.settings.values["Snapshot Links"] = "Off";
  EXPECT_EQ(Run(), kExitAllSaved);
  EXPECT_FALSE(files_.SameFile(landed, older));
  EXPECT_TRUE(files_.IsFile("D:\\Backups\\AlphaDate Aug 1 2021 Time 08 00 00 AM\\a.txt"));

  fakes_.settings.values.erase("Snapshot Links");
  fakes_.settings.values["Keep Fewer Backups"] = "On";
  fakes_.clock.now.hour = 17;
  EXPECT_EQ(Run(), kExitAllSaved);
  EXPECT_TRUE(
      files_.SameFile("D:\\Backups\\AlphaDate Aug 31 2021 Time 05 05 06 PM\\a.txt", landed));
  EXPECT_FALSE(files_.IsFile("D:\\Backups\\AlphaDate Aug 1 2021 Time 08 00 00 AM\\a.txt"));
  EXPECT_TRUE(files_.IsFile(oldest));
  EXPECT_NE(Log().find("Alpha had 1 older backup folder removed at"), std::string::npos) << Log();
}

TEST_F(CommandLineBackupTest, AnEntryNotSavedEndsWithOneAndIsLoggedAsNotSaved) {
  copy_.failing_source = "C:\\Data\\Beta";
  EXPECT_EQ(Run(), kExitSomeNotSaved);
  EXPECT_NE(Log().find("Beta was NOT backup saved at"), std::string::npos) << Log();
  ASSERT_EQ(console_.lines.size(), 1u);
  EXPECT_NE(console_.lines[0].find("with errors in 1 of 2 folders"), std::string::npos);
}

TEST_F(CommandLineBackupTest, NothingToRunEndsWithTwoAndLogsNothing) {
  const struct {
    const char* what;
    const char* folders;
    const char* path;
    const char* status;
  } cases[] = {
      {"no entries", "", "D:\\Backups", "No files added to backup."},
      {"no destination", "C:\\Data\\Alpha;", "D:\\Gone", "D:\\Gone does not exist"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    console_.lines.clear();
    fakes_.settings.values["Folders"] = c.folders;
    fakes_.settings.values["Path"] = c.path;
    EXPECT_EQ(Run(), kExitNothingRan);
    EXPECT_FALSE(files_.IsFile("C:\\Temp\\Tessaline.txt"));
    ASSERT_EQ(console_.lines.size(), 1u);
    if (c.status) EXPECT_EQ(console_.lines[0], c.status);
    if (c.status) EXPECT_EQ(fakes_.settings.values["Latest Backup Status"], c.status);
    EXPECT_EQ(fakes_.settings.values["Latest Backup Clean"], c.folders[0] ? "Off" : "On");
  }
}

TEST_F(CommandLineBackupTest, ASourceThatIsGoneIsLoggedAsNotSavedAndEndsWithOne) {
  // A renamed folder or an unplugged drive is a folder not saved, told like any other.
  fakes_.settings.values["Folders"] = "C:\\Data\\Gone;";
  fakes_.settings.values["Path"] = "D:\\Backups";
  EXPECT_EQ(Run(), kExitSomeNotSaved);
  const std::string log = files_.Content("C:\\Temp\\Tessaline.txt");
  EXPECT_EQ(log.rfind("Gone was NOT backup saved at ", 0), 0u) << log;
}

TEST_F(CommandLineBackupTest, AFailureReportGoesToTheConsoleNotABoxAndCounts) {
  files_.fail_appends = true;  // the history log cannot be written
  EXPECT_EQ(Run(), kExitSomeNotSaved);
  EXPECT_TRUE(fakes_.dialogs.boxes.empty());
  ASSERT_GE(console_.lines.size(), 2u);
  EXPECT_EQ(console_.lines[0].rfind("Backup run NOT complete at 8/31/2021 4:05:06 PM: ", 0), 0u)
      << console_.lines[0];
  EXPECT_NE(console_.lines[0].find("a failure at line 158: "), std::string::npos);
  EXPECT_NE(console_.lines.back().find(" with errors (see View History Log)"), std::string::npos);
}

// /verify over two per-day folders sharing a.txt through a link: the shared file is read once;
// a missing file and a line that cannot be read are each told, on the console and in the log,
// with their exit codes; nothing to verify ends with 2.
TEST_F(CommandLineBackupTest, VerifyTellsEachFindingOnceAndReadsASharedFileOnce) {
  FakeHash hash;
  files_.writer_threads = 2;
  const auto verify = [&] {
    console_.lines.clear();
    return VerifyFromCommandLine({fakes_.settings, files_, fakes_.shell, fakes_.environment,
                                  fakes_.clock, fakes_.pump, console_, hash});
  };
  const auto hex = [&](const std::string& bytes) {
    Sha256Digest digest{};
    const auto run = hash.Start();
    run->Add(bytes.data(), bytes.size());
    run->Finish(&digest);
    return digest;
  };
  fakes_.settings.values["Folders"] = "C:\\Docs;";
  EXPECT_EQ(verify(), kExitNothingRan);  // no backup folder with a manifest
  const std::string one = "D:\\Backups\\DocsAug 30 2021";
  const std::string two = "D:\\Backups\\DocsAug 31 2021";
  files_.AddFile(one + "\\a.txt", "alpha");
  files_.AddFile(one + "\\b.txt", "beta");
  files_.AddFolder(two);
  ASSERT_FALSE(files_.MakeHardLink(one + "\\a.txt", two + "\\a.txt").Failed());
  files_.AddFile(one + ".sha256",
                 ManifestText({}, {{"a.txt", hex("alpha")}, {"b.txt", hex("beta")}}));
  files_.AddFile(two + ".sha256", ManifestText({}, {{"a.txt", hex("alpha")}}));
  const int hashed = hash.runs;
  EXPECT_EQ(verify(), kExitAllSaved);
  EXPECT_EQ(hash.runs - hashed, 2);
  EXPECT_EQ(console_.lines, std::vector<std::string>{
                                "Verified 3 files in 2 backup folders: 0 damaged, 0 missing, 0 "
                                "unreadable, 0 manifest lines unreadable; 9 bytes read at "
                                "8/31/2021 4:05:06 PM"});

  files_.Delete(one + "\\b.txt");
  files_.AddFile(two + ".sha256", files_.Content(two + ".sha256") + "garbage\n");
  EXPECT_EQ(verify(), kExitSomeNotSaved);
  const std::vector<std::string> told{
      "missing: " + one + "\\b.txt", "manifest line 9 cannot be read: " + two + ".sha256",
      "Verified 3 files in 2 backup folders: 0 damaged, 1 missing, 0 unreadable, 1 manifest "
      "lines unreadable; 5 bytes read at 8/31/2021 4:05:06 PM"};
  EXPECT_EQ(console_.lines, told);
  const std::string log = files_.Content("C:\\Temp\\Tessaline.txt");
  EXPECT_NE(log.find(told[0] + "\r\n" + told[1] + "\r\n"), std::string::npos) << log;
}

}  // namespace
}  // namespace tess::test
