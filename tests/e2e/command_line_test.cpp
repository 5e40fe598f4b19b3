// The program from the command line: /backup runs one backup with the stored settings and no
// window, logs as a run from the window does and says in its exit code how it went; it runs
// beside a window copy without stopping it or being stopped; /? prints the usage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "e2e/clock_texts.h"
#include "e2e/status_recorder.h"
#include "view/control_ids.h"
#include "win32/text.h"
#include "win_support/e2e_fixture.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/notification_area.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using namespace std::chrono_literals;

// A history line with every run of digits as "#": the form, without the moment.
std::wstring Form(const std::wstring& line) {
  std::wstring form;
  for (const wchar_t c : line) {
    if (std::iswdigit(c)) {
      if (form.empty() || form.back() != L'#') form += L'#';
    } else {
      form += c;
    }
  }
  return form;
}

class CommandLineE2eTest : public AutoBackupOffTest {
 protected:
  void SetUp() override {
    AutoBackupOffTest::SetUp();
    BuildTree(tree_.Path(), Under("Sources", Under("Alpha", {File("a.txt", "alpha")}) +
                                                 Under("Beta", {File("b.txt", "beta")})));
    SeedFolders({alpha_, beta_}, backups_);
    SeedSetting(L"Include Date", L"Off");
  }
  // Runs /backup to its end: its exit code, and what it printed.
  Finished Backup() {
    const auto finished = RunToEnd(L"/backup");
    EXPECT_TRUE(finished.has_value()) << "the program did not start or did not end";
    return finished.value_or(Finished{~0u, ""});
  }

  TempTree tree_;
  const std::wstring alpha_ = tree_ / L"Sources\\Alpha";
  const std::wstring beta_ = tree_ / L"Sources\\Beta";
  const std::wstring backups_ = tree_.MadeFolder(L"Backups");
};

TEST_F(CommandLineE2eTest, ExitCodesOfACleanRunALockedFileAnEmptyListAndAMissingDestination) {
  {
    SCOPED_TRACE("clean");
    const Finished run = Backup();
    EXPECT_EQ(run.exit_code, 0u) << run.output;
    EXPECT_EQ(ReadBytes(backups_ + L"\\Alpha\\a.txt"), "alpha");
    EXPECT_EQ(ReadBytes(backups_ + L"\\Beta\\b.txt"), "beta");
    const auto lines = HistoryLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(StartsWith(lines[0], L"Alpha was backup saved at ")) << win32::Narrow(lines[0]);
    EXPECT_TRUE(StartsWith(lines[1], L"Beta was backup saved at ")) << win32::Narrow(lines[1]);
    EXPECT_NE(run.output.find("Auto Backup Complete at "), std::string::npos) << run.output;
  }
  {
    SCOPED_TRACE("a locked file");
    WriteBytes(beta_ + L"\\b.txt", "beta, changed");
    LockedFile locked(beta_ + L"\\b.txt");
    ASSERT_TRUE(locked.Held());
    const Finished run = Backup();
    EXPECT_EQ(run.exit_code, 1u) << run.output;
    const auto lines = HistoryLines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_TRUE(StartsWith(lines[2], L"Alpha was backup saved at ")) << win32::Narrow(lines[2]);
    EXPECT_TRUE(StartsWith(lines[3], L"Beta was NOT backup saved at ")) << win32::Narrow(lines[3]);
    EXPECT_EQ(ReadBytes(backups_ + L"\\Beta\\b.txt"), "beta");  // the good copy stays
  }
  {
    SCOPED_TRACE("an empty list");
    SeedSetting(L"Folders", L"");
    const Finished run = Backup();
    EXPECT_EQ(run.exit_code, 2u) << run.output;
    EXPECT_NE(run.output.find("No files added to backup."), std::string::npos) << run.output;
    EXPECT_EQ(HistoryLines().size(), 4u);
  }
  {
    SCOPED_TRACE("a missing destination");
    const std::wstring nowhere = tree_ / L"Nowhere";
    SeedFolders({alpha_}, nowhere);
    const Finished run = Backup();
    EXPECT_EQ(run.exit_code, 2u) << run.output;
    EXPECT_NE(run.output.find(win32::Narrow(nowhere) + " does not exist"), std::string::npos)
        << run.output;
    EXPECT_EQ(HistoryLines().size(), 4u);
    EXPECT_FALSE(Exists(nowhere));
  }
  // Nothing of the window's start-up ran: it would have stored the naming options.
  EXPECT_EQ(ReadSetting(L"Backup Option"), std::nullopt);
  EXPECT_EQ(ReadSetting(L"Include Date"), L"Off");
  EXPECT_EQ(MainWindowsOfTheProgram(), 0);
}

TEST_F(CommandLineE2eTest, HistoryLinesHaveTheFormOfAWindowRunsAndANewFolderEachRunInCreateMode) {
  SeedSetting(L"Include Date", L"On");
  SeedSetting(L"Backup Option", L"1");
  {
    App& app = StartProgram();
    app.Click(kIdBackupNowButton);  // Backup Now
    ASSERT_TRUE(WaitUntil([] { return HistoryLines().size() == 2; }, 30s));
  }
  const Finished run = Backup();
  EXPECT_EQ(run.exit_code, 0u) << run.output;
  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(Form(lines[2]), Form(lines[0]))
      << win32::Narrow(lines[2]) << " | " << win32::Narrow(lines[0]);
  EXPECT_EQ(Form(lines[3]), Form(lines[1]))
      << win32::Narrow(lines[3]) << " | " << win32::Narrow(lines[1]);
  EXPECT_TRUE(StartsWith(lines[2], L"Alpha was backup saved at ")) << win32::Narrow(lines[2]);
  // "Date ... Time ..." folders, as the window names them.
  int stamped = 0;
  for (const auto& name : NamesIn(backups_)) stamped += StartsWith(name, L"AlphaDate ") ? 1 : 0;
  EXPECT_GE(stamped, 1);
}

// The two runs write the same destination folders at once. Their temporary files are named apart
// (per process and per run), so neither ever writes into or removes the other's. Where both
// replace the same file at the same moment, one replacement can be refused while the other
// run's new copy is still open; that run then says so truthfully and the next run completes.
TEST_F(CommandLineE2eTest, ARunBesideAWindowCopysRunNeitherStopsNorCollidesWithIt) {
  TempTree many(Under("Many", ManyFiles(kManyFiles)));
  const std::wstring source = many / L"Many";
  SeedSetting(L"Folders", StoredList({source, alpha_}));
  App& app = StartProgram();
  StatusRecorder status(app.Control(kIdStatusFrame));
  app.Click(kIdBackupNowButton);  // Backup Now
  ASSERT_GE(status.WaitFor(kBackingUp), 0);
  const Finished run = Backup();
  EXPECT_TRUE(run.exit_code == 0 || run.exit_code == 1) << run.exit_code << " " << run.output;
  const int done =
      status.WaitFor([](const std::wstring& text) { return StartsWith(text, kComplete); }, 0, 60s);
  ASSERT_GE(done, 0);
  const bool window_failed = status.Texts()[done].find(L"with errors") != std::wstring::npos;

  // The window copy was neither stopped nor shown anew, and no second window came.
  EXPECT_TRUE(app.Running());
  EXPECT_EQ(MainWindowsOfTheProgram(), 1);
  EXPECT_EQ(app.FindMessageBox(), nullptr) << app.MessageBoxText(app.FindMessageBox());
  // Every file whole, and no temporary file of either run left behind.
  EXPECT_TRUE(HoldsTree(backups_ + L"\\Many", ManyFiles(kManyFiles)));
  EXPECT_EQ(CountMatching(backups_, L"~tessaline-*.tmp"), 0);
  // Each run's lines agree with what it said, and no failure concerns a temporary file.
  const auto lines = HistoryLines();
  ASSERT_EQ(lines.size(), 4u);
  int not_saved = 0;
  for (const auto& line : lines) {
    if (line.find(L" was NOT backup saved at ") != std::wstring::npos) ++not_saved;
    EXPECT_EQ(line.find(L"~tessaline-"), std::wstring::npos) << win32::Narrow(line);
  }
  EXPECT_EQ(not_saved > 0, run.exit_code == 1 || window_failed);

  // Run alone, the next one completes.
  const Finished again = Backup();
  EXPECT_EQ(again.exit_code, 0u) << again.output;
}

// The window's tray tells the outcome of a run beside it at once, not at its next start.
TEST_F(CommandLineE2eTest, TheTrayOfAWindowCopyTellsTheOutcomeOfARunBesideIt) {
  App& app = StartProgram();
  ASSERT_TRUE(WaitUntil([] { return !ProgramTrayTip().empty(); }));
  const std::wstring nowhere = tree_ / L"Nowhere";
  SeedFolders({alpha_}, nowhere);
  EXPECT_EQ(Backup().exit_code, 2u);
  const std::wstring missing = L"Tessaline|" + nowhere + L" does not exist";
  EXPECT_TRUE(WaitUntil([&] { return StartsWith(ProgramTrayTip(), missing); }, 5s))
      << win32::Narrow(ProgramTrayTip());
  SeedFolders({alpha_}, backups_);
  EXPECT_EQ(Backup().exit_code, 0u);
  EXPECT_TRUE(WaitUntil(
      [] { return StartsWith(ProgramTrayTip(), L"Tessaline|Auto Backup Complete at "); }, 5s))
      << win32::Narrow(ProgramTrayTip());
  EXPECT_TRUE(app.Running());
}

// Each backup folder's manifest checks with the real sha256sum, and /verify finds a byte
// damaged in a file two dated folders share through a link, in both, though its size and write
// time are as they were; its source unchanged, it writes the copy again, whole in both.
TEST_F(CommandLineE2eTest, ManifestsCheckWithSha256sumAndVerifyNamesADamagedLinkedFileInBoth) {
  if (!UnderWine()) GTEST_SKIP() << "sha256sum is run on the Linux side";
  SeedSetting(L"Include Date", L"On");
  SeedSetting(L"Backup Option", L"1");
  WriteBytes(alpha_ + L"\\Sub folder\\Zo\u00eb \u6587\u4ef6.txt", "deep and wide");
  const auto alpha_folders = [&] {
    std::vector<std::wstring> folders;
    for (const auto& name : NamesIn(backups_)) {
      if (StartsWith(name, L"AlphaDate ") && IsFolderOnDisk(backups_ + L"\\" + name)) {
        folders.push_back(backups_ + L"\\" + name);
      }
    }
    return folders;
  };
  ASSERT_EQ(Backup().exit_code, 0u);
  const auto first = alpha_folders();
  ASSERT_EQ(first.size(), 1u);
  const std::wstring manifest = first[0] + L".sha256";
  EXPECT_NE(AttributesOf(manifest) & FILE_ATTRIBUTE_HIDDEN, 0u);
  EXPECT_NE(ReadBytes(manifest).value_or("").find("\n# complete: yes\n"), std::string::npos);
  const auto checked =
      RunLinuxShell("cd " + ShellQuoted(LinuxPath(win32::Narrow(first[0]))) + " && sha256sum -c " +
                    ShellQuoted("../" + win32::Narrow(LastPart(manifest))));
  ASSERT_TRUE(checked.has_value());
  EXPECT_EQ(checked->exit_code, 0) << checked->output;
  EXPECT_NE(checked->output.find("a.txt: OK"), std::string::npos) << checked->output;

  Sleep(1100);  // a stamp of its own
  ASSERT_EQ(Backup().exit_code, 0u);
  const auto both = alpha_folders();
  ASSERT_EQ(both.size(), 2u);
  const std::wstring second = both[0] == first[0] ? both[1] : both[0];
  // The linked file's line came over from the first manifest.
  const std::string first_text = ReadBytes(manifest).value_or("");
  const std::size_t line_end = first_text.find("  a.txt\n");
  ASSERT_NE(line_end, std::string::npos) << first_text;
  EXPECT_NE(ReadBytes(second + L".sha256").value_or("").find(first_text.substr(line_end - 64, 73)),
            std::string::npos);
  ASSERT_EQ(RunToEnd(L"/verify").value_or(Finished{~0u, ""}).exit_code, 0u);
  RewriteKeepingWriteTime(first[0] + L"\\a.txt", "alphA");  // both names see it
  const Finished verify = RunToEnd(L"/verify").value_or(Finished{~0u, ""});
  EXPECT_EQ(verify.exit_code, 1u) << verify.output;
  for (const std::wstring& folder : both) {
    EXPECT_NE(verify.output.find("damaged: " + win32::Narrow(folder) + "\\a.txt"),
              std::string::npos)
        << verify.output;
  }
  // Each shared file read once: 5 + 13 + 4 bytes, not twice that.
  EXPECT_NE(verify.output.find("Verified 6 files in 4 backup folders: 2 damaged, 0 missing, 0 "
                               "unreadable, 0 manifest lines unreadable; 22 bytes read at "),
            std::string::npos)
      << verify.output;
  const auto lines = HistoryLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_TRUE(StartsWith(lines.back(), L"Verified 6 files")) << win32::Narrow(lines.back());
  // Told after the first folder's finding, once: the second folder shares the mended file.
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::wstring& line) {
                            return StartsWith(line,
                                              L"Alpha: a damaged backup copy was repaired at ") &&
                                   line.find(
                                       L": a.txt, damaged in 2 backup folders, was written "
                                       L"again from its unchanged source") != std::wstring::npos;
                          }),
            1);
  EXPECT_EQ(ReadBytes(first[0] + L"\\a.txt"), "alpha");
  EXPECT_EQ(RunToEnd(L"/verify").value_or(Finished{~0u, ""}).exit_code, 0u);
}

TEST_F(CommandLineE2eTest, TwoComputersBackingUpOneSourceNameKeepApartInEveryMode) {
  // One source path on two computers, told apart by the computer's name as Windows gives it.
  const auto as = [&](const wchar_t* computer, const char* text) {
    WriteBytes(alpha_ + L"\\a.txt", text);
    const ScopedVariable name(L"COMPUTERNAME", computer);
    EXPECT_EQ(Backup().exit_code, 0u) << win32::Narrow(computer);
  };
  const std::wstring today = DayStamp(LocalNow());
  struct Mode {
    const wchar_t* include_date;
    const wchar_t* option;
    std::wstring first;  // where each computer's backup lands, before any stamp of its own
    std::wstring second;
  } modes[] = {{L"Off", L"1", L"Alpha", L"Alpha (2)"},
               {L"On", L"2", L"Alpha" + today, L"Alpha (2)" + today},
               {L"On", L"1", L"AlphaDate ", L"Alpha (2)Date "}};
  for (const Mode& mode : modes) {
    SCOPED_TRACE(win32::Narrow(mode.first));
    RemoveTree(backups_);
    CreateDirectoryW(backups_.c_str(), nullptr);
    SeedSetting(L"Include Date", mode.include_date);
    SeedSetting(L"Backup Option", mode.option);
    as(L"PC-A", "from A");
    as(L"PC-B", "from B");
    as(L"PC-A", "from A again");
    std::vector<std::wstring> firsts, seconds;
    for (const auto& name : NamesIn(backups_)) {
      if (!StartsWith(name, L"Alpha") || !IsFolderOnDisk(backups_ + L"\\" + name)) continue;
      (StartsWith(name, mode.second) ? seconds : firsts).push_back(name);
      EXPECT_TRUE(StartsWith(name, mode.first) || StartsWith(name, mode.second))
          << win32::Narrow(name);
    }
    ASSERT_FALSE(firsts.empty());
    ASSERT_EQ(seconds.size(), 1u);
    EXPECT_EQ(ReadBytes(backups_ + L"\\" + seconds[0] + L"\\a.txt"), "from B");
    std::vector<std::string> held;
    for (const auto& name : firsts)
      held.push_back(ReadBytes(backups_ + L"\\" + name + L"\\a.txt").value_or(""));
    EXPECT_NE(std::find(held.begin(), held.end(), "from A again"), held.end());
    EXPECT_EQ(std::find(held.begin(), held.end(), "from B"), held.end());
  }
  // Keeping fewer on A leaves B's folders, even an old one under A's name, and removes A's own.
  SeedSetting(L"Keep Fewer Backups", L"On");
  const SYSTEMTIME now = LocalNow();
  // Three folders of one week two months back, a minute apart.
  const auto old_folder = [&](int minute, const char* computer) {
    FILETIME ft{};
    SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
    t.QuadPart -= (60ull * 24 * 3600 - minute * 60ull) * 10'000'000ull;
    ft = {t.LowPart, t.HighPart};
    SYSTEMTIME at{};
    FileTimeToSystemTime(&ft, &at);
    const std::wstring name = L"Alpha" + DateTimeStamp(at);
    WriteBytes(backups_ + L"\\" + name + L"\\a.txt", computer);
    WriteBytes(backups_ + L"\\" + name + L".sha256",
               std::string("# Tessaline backup manifest\n# source: ") + win32::Narrow(alpha_) +
                   "\n# computer: " + computer + "\n# complete: yes\n");
    return name;
  };
  const std::wstring b_old = old_folder(1, "PC-B");
  const std::wstring a_older = old_folder(2, "PC-A");
  const std::wstring a_newer = old_folder(3, "PC-A");
  as(L"PC-A", "from A, keeping fewer");
  EXPECT_TRUE(IsFolderOnDisk(backups_ + L"\\" + b_old));
  EXPECT_TRUE(IsFolderOnDisk(backups_ + L"\\" + a_newer));
  std::wstring log;
  for (const auto& line : HistoryLines()) log += line + L"\n";
  EXPECT_FALSE(IsFolderOnDisk(backups_ + L"\\" + a_older)) << win32::Narrow(log);
}

TEST_F(CommandLineE2eTest, UsageIsPrintedAndAnUnknownOptionRefused) {
  const auto usage = RunToEnd(L"/?");
  ASSERT_TRUE(usage.has_value());
  EXPECT_EQ(usage->exit_code, 0u);
  EXPECT_NE(usage->output.find("Tessaline.exe /backup"), std::string::npos) << usage->output;
  EXPECT_NE(usage->output.find("Tessaline.exe /verify"), std::string::npos) << usage->output;
  EXPECT_NE(usage->output.find("Exit codes"), std::string::npos) << usage->output;
  const auto unknown = RunToEnd(L"/restore");
  ASSERT_TRUE(unknown.has_value());
  EXPECT_EQ(unknown->exit_code, 2u);
  EXPECT_EQ(unknown->output.rfind("Unknown option: /restore", 0), 0u) << unknown->output;
  EXPECT_FALSE(Exists(HistoryLogPath()));
  EXPECT_EQ(MainWindowsOfTheProgram(), 0);
}

}  // namespace
}  // namespace tess::e2e
