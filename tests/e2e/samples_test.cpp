// Load Sample/Example Folders on the real program beside the sample tree the build puts there:
// the exact entries it appends and stores, the question and its two answers, pressing twice,
// and a Backup Now right after that copies the tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/backup_now.h"
#include "e2e/clock_texts.h"
#include "win32/text.h"
#include "win_support/new_windows.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using Texts = std::vector<std::wstring>;

constexpr wchar_t kQuestion[] =
    L"Would you like this software to open the folder where these sample files are stored (so "
    L"that you can view them before working with them)?";

// The folders of the tree in assets/Samples, in the walk's order: level by level, and within a
// parent in the order the file system lists them, which here is by name.
const Texts kSampleFolders = {L"Documents",
                              L"Pictures",
                              L"Spreadsheets",
                              L"Documents\\Letters",
                              L"Documents\\Notes",
                              L"Pictures\\Sketches",
                              L"Spreadsheets\\Yearly",
                              L"Documents\\Letters\\Drafts"};

std::wstring SampleTree() { return ProgramFolder() + L"\\Samples"; }
std::wstring SampleFolder() { return SampleTree() + L"\\"; }
constexpr size_t kSampleFiles = 8;

size_t FilesIn(const Tree& tree) {
  return std::count_if(tree.begin(), tree.end(), [](const TreeEntry& e) { return !e.folder; });
}

// The entries the button appends: each sample folder with one backslash at its end.
Texts SampleEntries() {
  Texts entries;
  for (const auto& folder : kSampleFolders) entries.push_back(SampleFolder() + folder + L"\\");
  return entries;
}

// The name each sample folder's history line starts with.
Texts SampleLeaves() {
  Texts leaves;
  for (const auto& folder : kSampleFolders) leaves.push_back(LastPart(folder));
  return leaves;
}

class SamplesE2eTest : public BackupNowE2eTest {
 protected:
  // Waits for the question, checks its title, text, buttons and lack of an icon, and answers.
  void Answer(App& app, int answer) {
    const HWND box = app.WaitForMessageBox(20s);
    ASSERT_NE(box, nullptr) << "no question came";
    EXPECT_EQ(app.Text(box), L"Tessaline");
    EXPECT_EQ(app.MessageBoxText(box), kQuestion);
    EXPECT_FALSE(ShowsIcon(box));
    EXPECT_NE(GetDlgItem(box, IDYES), nullptr);
    EXPECT_NE(GetDlgItem(box, IDNO), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    app.PressButton(box, answer);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }

  // Loads the samples, answering No, and follows a Backup Now of them to its completion, which
  // must come without errors.
  void LoadTheSamplesAndBackUp(App& app, CompletedRun& run) {
    app.Click(kIdSamplesButton);
    Answer(app, IDNO);
    ASSERT_EQ(app.ListItems(kIdFolderList), SampleEntries());
    // A run this small may end before its busy text can be seen.
    run = BackupNowUntilComplete(app);
    ASSERT_FALSE(run.completion.empty()) << run.shown;
    EXPECT_TRUE(StampedWithin(run.completion, kComplete, GeneralDate, run.before, run.after));
  }

  const std::wstring destination_ = tree_.MadeFolder(L"Backups");
};

TEST_F(SamplesE2eTest, TheBuildPutsTheSampleTreeBesideTheProgram) {
  Texts on_disk;
  const Tree tree = ReadTree(SampleTree());
  for (const TreeEntry& entry : tree) {
    if (entry.folder) on_disk.push_back(win32::Widen(entry.path));
  }
  Texts expected = kSampleFolders;
  std::sort(expected.begin(), expected.end());
  std::sort(on_disk.begin(), on_disk.end());
  EXPECT_EQ(on_disk, expected) << "the tree beside the program is not the one these tests know";
  EXPECT_EQ(FilesIn(tree), kSampleFiles);
}

TEST_F(SamplesE2eTest, TheButtonAppendsEveryFolderOfTheTreeStoresThemAndNoOpensNothing) {
  SeedSetting(L"Folders", L"C:\\Mine;");
  App& app = StartProgram();
  NewWindows started;

  app.Click(kIdSamplesButton);
  Answer(app, IDNO);
  Texts expected = {L"C:\\Mine"};
  for (const auto& entry : SampleEntries()) expected.push_back(entry);
  EXPECT_EQ(app.ListItems(kIdFolderList), expected);
  EXPECT_TRUE(SettingBecomes(L"Folders", StoredList(expected)));

  // Pressed again, the whole tree is appended again.
  app.Click(kIdSamplesButton);
  Answer(app, IDNO);
  for (const auto& entry : SampleEntries()) expected.push_back(entry);
  EXPECT_EQ(app.ListItems(kIdFolderList), expected);
  EXPECT_TRUE(SettingBecomes(L"Folders", StoredList(expected)));

  ASSERT_TRUE(app.Settle());
  EXPECT_TRUE(started.Now().empty()) << "No opened a window";
  EXPECT_EQ(app.FindMessageBox(), nullptr);
}

TEST_F(SamplesE2eTest, YesOpensTheSampleFolderInTheFileManager) {
  App& app = StartProgram();
  NewWindows started;
  app.Click(kIdSamplesButton);
  Answer(app, IDYES);
  std::vector<NewWindows::Found> windows;
  ASSERT_TRUE(WaitUntil([&] { return !(windows = started.Now()).empty(); }, 20s))
      << "no file manager window";
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(windows[0].class_name, L"ExplorerWClass");
  EXPECT_EQ(windows[0].caption, L"Samples");
  EXPECT_EQ(app.ListItems(kIdFolderList), SampleEntries());
}

TEST_F(SamplesE2eTest, ABackupNowRightAfterCopiesEverySampleFolder) {
  SeedSetting(L"Include Date", L"Off");
  SeedSetting(L"Path", destination_);
  App& app = StartProgram();
  CompletedRun run;
  ASSERT_NO_FATAL_FAILURE(LoadTheSamplesAndBackUp(app, run));

  // Without the stamp each entry lands under its own name: the top folders bring the whole
  // tree, and every deeper folder comes again on its own.
  for (const auto& folder : kSampleFolders) {
    EXPECT_TRUE(
        HoldsTree(destination_ + L"\\" + LastPart(folder), ReadTree(SampleTree() + L"\\" + folder)))
        << folder;
  }
  EXPECT_EQ(NamesIn(destination_).size(), kSampleFolders.size());
  ASSERT_NO_FATAL_FAILURE(ExpectSavedLines(SampleLeaves(), run.before, run.after));
  // The tree itself is as the build left it.
  EXPECT_EQ(FilesIn(ReadTree(SampleTree())), kSampleFiles);
}

// With the default options (stamp on, a new folder on every run) every sample entry ends in a
// backslash; each must still get a folder of its own, named after it, holding its own tree.
TEST_F(SamplesE2eTest, WithTheDefaultOptionsEachSampleGetsAStampedFolderEqualToItsSource) {
  SeedSetting(L"Path", destination_);
  App& app = StartProgram();
  ASSERT_EQ(app.CheckState(kIdStampBox), BST_CHECKED);
  CompletedRun run;
  ASSERT_NO_FATAL_FAILURE(LoadTheSamplesAndBackUp(app, run));

  const auto names = NamesIn(destination_);
  EXPECT_EQ(names.size(), kSampleFolders.size());
  for (const auto& folder : kSampleFolders) {
    const std::wstring leaf = LastPart(folder);
    const auto named = std::find_if(names.begin(), names.end(), [&](const std::wstring& name) {
      return StartsWith(name, leaf + L"Date ");
    });
    ASSERT_NE(named, names.end()) << "no folder for " << folder;
    EXPECT_TRUE(StampedWithin(*named, leaf, DateTimeStamp, run.before, run.after));
    EXPECT_TRUE(HoldsTree(destination_ + L"\\" + *named, ReadTree(SampleTree() + L"\\" + folder)))
        << folder;
  }
  ExpectSavedLines(SampleLeaves(), run.before, run.after);
}

}  // namespace
}  // namespace tess::e2e
