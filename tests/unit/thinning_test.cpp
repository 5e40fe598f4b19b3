// Removing an older backup folder step by step, with a failure or a crash at every step in turn:
// whatever stays under a backup name is whole, the folder that shares its files by links keeps
// them (read-only bit included), and what a crash leaves is finished by the next removal.
#include "backup/thinning.h"

#include "backup/destination_listing.h"

#include <gtest/gtest.h>

#include "support/fakes.h"
#include "support/faulty_tree.h"

namespace tess::test {
namespace {

constexpr char kBackups[] = "D:\\Backups";
constexpr char kOld[] = "DocsDate Jun 1 2021 Time 08 00 00 AM";
constexpr char kKept[] = "DocsDate Jun 1 2021 Time 09 00 00 AM";

std::string In(const std::string& folder, const std::string& path = "") {
  return std::string(kBackups) + "\\" + folder + (path.empty() ? "" : "\\" + path);
}

// Two backup folders of one entry, the older linked to the newer as a run links them: a shared
// read-only file, a shared file, one of its own in a subfolder, and an empty subfolder.
struct TwoBackups {
  TwoBackups() {
    files.AddFile(In(kOld, "a.txt"), "alpha");
    files.AddFile(In(kOld, "sub\\own.txt"), "old version");
    files.AddFolder(In(kOld, "sub\\empty"));
    files.AddFile(In(kOld, "sub\\ro.txt"), "read-only");
    files.SetAttributes(In(kOld, "sub\\ro.txt"), kAttrReadOnly);
    files.AddFile(In(kKept, "sub\\own.txt"), "new version");
    files.MakeHardLink(In(kOld, "a.txt"), In(kKept, "a.txt"));
    files.MakeHardLink(In(kOld, "sub\\ro.txt"), In(kKept, "sub\\ro.txt"));
    old_tree = files.TreeBelow(In(kOld));
    kept_tree = files.TreeBelow(In(kKept));
  }
  // The newer folder as it was, its read-only file still read-only.
  ::testing::AssertionResult KeptWhole(bool attributes = true) {
    if (files.TreeBelow(In(kKept)) != kept_tree) return ::testing::AssertionFailure() << "changed";
    if (attributes && !files.read_only.count(FakeFileSystem::Key(In(kKept, "sub\\ro.txt")))) {
      return ::testing::AssertionFailure() << "lost its read-only bit";
    }
    return ::testing::AssertionSuccess();
  }
  // The names in the destination, leftovers apart, and how many leftovers.
  std::vector<std::string> Backups(int* leftovers) {
    std::vector<TreeEntry> listing;
    files.List(kBackups, &listing);
    std::vector<std::string> names;
    *leftovers = 0;
    for (const TreeEntry& entry : listing) {
      if (IsRemovalLeftover(entry)) {
        ++*leftovers;
      } else {
        names.push_back(entry.name);
      }
    }
    return names;
  }
  // A later removal without faults: the leftovers first, then the folder if it is still there.
  void FinishCleanly() {
    std::vector<TreeEntry> listing;
    files.List(kBackups, &listing);
    EXPECT_TRUE(FinishRemovals(files, kBackups, listing, nullptr).empty());
    if (files.IsDir(In(kOld))) {
      EXPECT_EQ(RemoveBackupFolder(files, kBackups, kOld, 99, nullptr).kind,
                FolderRemoval::Kind::kRemoved);
    }
  }

  FakeFileSystem files;
  std::vector<std::string> old_tree, kept_tree;
};

// Every change the removal makes fails in turn, or the process dies there; then a removal
// without faults runs, as the next run would.
TEST(ThinningTest, AFailureOrACrashAtEveryStepLeavesEveryBackupWhole) {
  for (const bool crash : {false, true}) {
    for (std::uint64_t step = 1;; ++step) {
      SCOPED_TRACE((crash ? "crash at change " : "failing change ") + std::to_string(step));
      TwoBackups t;
      FaultyTree faulty(t.files);
      (crash ? faulty.die_at_change_number : faulty.fail_change_number) = step;
      const FolderRemoval removal = RemoveBackupFolder(faulty, kBackups, kOld, 1, nullptr);
      int leftovers = -1;
      if (crash ? !faulty.Died() : faulty.failed_change.empty()) {
        ASSERT_GT(step, 6u);  // past the last change: the removal went through
        EXPECT_EQ(removal.kind, FolderRemoval::Kind::kRemoved);
        EXPECT_EQ(t.Backups(&leftovers), std::vector<std::string>{kKept});
        EXPECT_EQ(leftovers, 0);
        EXPECT_TRUE(t.KeptWhole());
        break;
      }
      // The old folder is whole under its name, or has no backup name at all. Only a read-only
      // bit whose return failed or never came, once its file's name was gone, is lost.
      if (t.files.IsDir(In(kOld))) EXPECT_EQ(t.files.TreeBelow(In(kOld)), t.old_tree);
      if (removal.kind == FolderRemoval::Kind::kKept) EXPECT_TRUE(t.files.IsDir(In(kOld)));
      const bool bit_kept = !crash && faulty.failed_change != "SetTimes";
      EXPECT_TRUE(t.KeptWhole(bit_kept));
      t.FinishCleanly();
      EXPECT_EQ(t.Backups(&leftovers), std::vector<std::string>{kKept});
      EXPECT_EQ(leftovers, 0);
      EXPECT_TRUE(t.KeptWhole(bit_kept));
    }
  }
}

TEST(ThinningTest, OnlyLeftoversAreFinishedAndAFolderGoneMeanwhileIsNoFailure) {
  TwoBackups t;
  t.files.AddFile(In("~tessaline-00000000000000aa.tmp", "x\\half.txt"), "rest");
  t.files.AddFile(In("~tessaline-00000000000000bb.tmp"), "a file of that shape is no leftover");
  t.files.AddFile(In("~tessaline-notes", "mine.txt"), "a user's folder");
  std::vector<TreeEntry> listing;
  t.files.List(kBackups, &listing);
  EXPECT_TRUE(FinishRemovals(t.files, kBackups, listing, nullptr).empty());
  EXPECT_FALSE(t.files.IsDir(In("~tessaline-00000000000000aa.tmp")));
  EXPECT_TRUE(t.files.IsFile(In("~tessaline-00000000000000bb.tmp")));
  EXPECT_TRUE(t.files.IsFile(In("~tessaline-notes", "mine.txt")));
  EXPECT_EQ(
      RemoveBackupFolder(t.files, kBackups, "DocsDate Jun 2 2021 Time 08 00 00 AM", 1, nullptr)
          .kind,
      FolderRemoval::Kind::kGone);
}

}  // namespace
}  // namespace tess::test
