// Removing older backup folders on the real file system under Wine: the primitives it stands on
// (a rename that never replaces, the removal of an empty folder only), a read-only file shared by
// a link with a kept folder, and a file another program holds open.
#include "backup/thinning.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "win32/win_file_system.h"
#include "win_support/files.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

constexpr char kOld[] = "DocsDate Jun 1 2021 Time 08 00 00 AM";
constexpr char kKept[] = "DocsDate Jun 1 2021 Time 09 00 00 AM";

class ThinningPlatformTest : public ::testing::Test {
 protected:
  FolderRemoval Remove(const std::string& name) {
    return RemoveBackupFolder(files_, dir_.Path(), name, 7, nullptr);
  }
  int Leftovers() { return CountMatching(dir_.Path(), "~tessaline-*.tmp"); }

  TempTree dir_;
  win32::WinFileSystem files_;
};

TEST_F(ThinningPlatformTest, ARenameNeverReplacesAndOnlyAnEmptyFolderIsRemoved) {
  BuildTree(dir_.Path(), {File("a\\x.txt", "x"), File("b\\y.txt", "y"), File("c.txt", "c")});
  EXPECT_EQ(files_.Rename(dir_ / "a", dir_ / "b").kind, FileErrorKind::kAlreadyExists);
  EXPECT_EQ(files_.Rename(dir_ / "a", dir_ / "c.txt").kind, FileErrorKind::kAlreadyExists);
  EXPECT_EQ(files_.Rename(dir_ / "gone", dir_ / "d").kind, FileErrorKind::kNotFound);
  ASSERT_FALSE(files_.Rename(dir_ / "a", dir_ / "d").Failed());
  EXPECT_TRUE(
      HoldsTree(dir_.Path(), {File("d\\x.txt", "x"), File("b\\y.txt", "y"), File("c.txt", "c")}));

  const FileError full = files_.RemoveFolder(dir_ / "b");
  EXPECT_TRUE(full.Failed());
  EXPECT_NE(full.kind, FileErrorKind::kNotFound);
  EXPECT_TRUE(files_.RemoveFolder(dir_ / "c.txt").Failed());
  EXPECT_EQ(files_.RemoveFolder(dir_ / "gone").kind, FileErrorKind::kNotFound);
  MakeFolders(dir_ / "empty");
  EXPECT_FALSE(files_.RemoveFolder(dir_ / "empty").Failed());
  EXPECT_FALSE(Exists(dir_ / "empty"));
}

TEST_F(ThinningPlatformTest, AReadOnlyFileGoesAndKeepsItsBitUnderTheNameALinkGaveIt) {
  BuildTree(dir_ / kOld,
            {File("ro.txt", "read-only", kAttrReadOnly), File("hidden.txt", "hidden", kAttrHidden),
             File("sub\\b.txt", "beta"), Folder("sub\\empty")});
  SetAttributesOf(dir_ / kOld + "\\sub", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  MakeFolders(dir_ / kKept);
  ASSERT_FALSE(files_.MakeHardLink(dir_ / kOld + "\\ro.txt", dir_ / kKept + "\\ro.txt").Failed());
  ASSERT_FALSE(
      files_.MakeHardLink(dir_ / kOld + "\\hidden.txt", dir_ / kKept + "\\hidden.txt").Failed());
  const Tree kept = ReadTree(dir_ / kKept);
  ASSERT_NE(AttributesOf(dir_ / kKept + "\\ro.txt") & FILE_ATTRIBUTE_READONLY, 0u);

  const FolderRemoval removal = Remove(kOld);
  EXPECT_EQ(removal.kind, FolderRemoval::Kind::kRemoved) << removal.reason;
  EXPECT_FALSE(Exists(dir_ / kOld));
  EXPECT_EQ(Leftovers(), 0);
  EXPECT_TRUE(SameTree(kept, ReadTree(dir_ / kKept)));
  EXPECT_NE(AttributesOf(dir_ / kKept + "\\ro.txt") & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(ThinningPlatformTest, AFolderWithAFileHeldOpenStaysWholeUnderItsNameOrNoBackupName) {
  // Alone in its folder, the held file stops the removal before anything has gone.
  BuildTree(dir_ / kOld, {File("held.pst", "mail")});
  {
    LockedFile held(dir_ / kOld + "\\held.pst");
    ASSERT_TRUE(held.Held());
    const FolderRemoval removal = Remove(kOld);
    EXPECT_EQ(removal.kind, FolderRemoval::Kind::kKept);
    EXPECT_FALSE(removal.reason.empty());
    EXPECT_EQ(Leftovers(), 0);
  }
  EXPECT_TRUE(HoldsTree(dir_ / kOld, {File("held.pst", "mail")}));
  // Among others, whichever the listing gives first decides; either way no half folder keeps
  // a backup name, and once the file is free the rest goes.
  BuildTree(dir_ / kKept, {File("a.txt", "a"), File("held.pst", "mail"), File("z.txt", "z")});
  {
    LockedFile held(dir_ / kKept + "\\held.pst");
    const FolderRemoval removal = Remove(kKept);
    held.Release();
    if (removal.kind == FolderRemoval::Kind::kKept) {
      EXPECT_TRUE(HoldsTree(dir_ / kKept,
                            {File("a.txt", "a"), File("held.pst", "mail"), File("z.txt", "z")}));
    } else {
      ASSERT_EQ(removal.kind, FolderRemoval::Kind::kLeftUnfinished);
      EXPECT_FALSE(Exists(dir_ / kKept));
      EXPECT_EQ(Leftovers(), 1);
    }
  }
  std::vector<tess::TreeEntry> listing;
  ASSERT_FALSE(files_.List(dir_.Path(), &listing).Failed());
  EXPECT_TRUE(FinishRemovals(files_, dir_.Path(), listing, nullptr).empty());
  EXPECT_EQ(Remove(kOld).kind, FolderRemoval::Kind::kRemoved);
  if (Exists(dir_ / kKept)) EXPECT_EQ(Remove(kKept).kind, FolderRemoval::Kind::kRemoved);
  EXPECT_TRUE(NamesIn(dir_.Path()).empty());
}

}  // namespace
}  // namespace tess::test
