// Snapshots on the real file system under Wine: a folder copied with an earlier backup to link
// to shares its unchanged files with it (one file index, two names), and a file changed later
// gets a file of its own in the new folder only.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "copy/copy_tree.h"
#include "win32/win_file_system.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

struct FileIdentity {
  bool read = false;
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  unsigned links = 0;
};

FileIdentity IdentityOf(const TestPath& path) {
  FileIdentity id;
  const HANDLE file = CreateFileW(Raw(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return id;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(file, &info)) {
    id.read = true;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    id.links = info.nNumberOfLinks;
  }
  CloseHandle(file);
  return id;
}

bool SameFile(const TestPath& a, const TestPath& b) {
  const FileIdentity first = IdentityOf(a);
  const FileIdentity second = IdentityOf(b);
  return first.read && second.read && first.volume == second.volume && first.index == second.index;
}

class SnapshotLinksTest : public ::testing::Test {
 protected:
  CopyOutcome Copy(const std::string& destination, const std::string& link_from) {
    CopySettings settings;
    settings.link_from = link_from;
    return CopyTree(files_, dir_ / "src", destination, settings);
  }

  TempTree dir_;
  win32::WinFileSystem files_;
};

TEST_F(SnapshotLinksTest, UnchangedFilesAreLinkedAndAChangedOneIsNewOnlyInTheNewFolder) {
  WriteBytes(dir_ / "src\\a.txt", "alpha");
  WriteBytes(dir_ / "src\\sub\\b.txt", "beta");
  WriteBytes(dir_ / "src\\big.bin", std::string(3 << 20, 'x'));
  const std::string earlier = dir_ / "DocsAug 30 2021";
  const std::string today = dir_ / "DocsAug 31 2021";
  ASSERT_EQ(Copy(earlier, "").files_copied, 3u);

  CopyOutcome out = Copy(today, earlier);
  EXPECT_TRUE(out.Complete()) << out.first_failure_path << ": " << out.first_failure_reason;
  EXPECT_EQ(out.files_linked, 3u);
  EXPECT_EQ(out.files_copied, 0u);
  for (const char* name : {"a.txt", "sub\\b.txt", "big.bin"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(SameFile(earlier + "\\" + name, today + "\\" + name));
    EXPECT_EQ(IdentityOf(today + "\\" + name).links, 2u);
  }
  // The listings tell the same: one ID for both names of a file, another for another file.
  const auto listed_id = [&](const std::string& folder, const std::string& name) {
    std::vector<tess::TreeEntry> entries;
    EXPECT_FALSE(files_.List(folder, &entries).Failed()) << folder;
    for (const tess::TreeEntry& entry : entries) {
      if (entry.name == name) return entry.file_id;
    }
    return std::uint64_t{0};
  };
  EXPECT_NE(listed_id(earlier, "a.txt"), 0u);
  EXPECT_EQ(listed_id(earlier, "a.txt"), listed_id(today, "a.txt"));
  EXPECT_NE(listed_id(earlier, "a.txt"), listed_id(today, "big.bin"));
  EXPECT_TRUE(IsFolderOnDisk(today + "\\sub"));
  EXPECT_EQ(CountMatching(dir_.Path(), "~tessaline-*.tmp"), 0);

  // The source changes; the day's second run replaces the file in today's folder only.
  WriteBytes(dir_ / "src\\a.txt", "alpha, edited");
  out = Copy(today, earlier);
  EXPECT_TRUE(out.Complete());
  EXPECT_EQ(out.files_copied, 1u);
  EXPECT_EQ(out.files_skipped, 2u);
  EXPECT_EQ(ReadBytes(today + "\\a.txt"), "alpha, edited");
  EXPECT_EQ(ReadBytes(earlier + "\\a.txt"), "alpha");
  EXPECT_FALSE(SameFile(earlier + "\\a.txt", today + "\\a.txt"));
  EXPECT_EQ(IdentityOf(earlier + "\\a.txt").links, 1u);
  EXPECT_EQ(IdentityOf(today + "\\a.txt").links, 1u);
  EXPECT_TRUE(SameFile(earlier + "\\sub\\b.txt", today + "\\sub\\b.txt"));
}

TEST_F(SnapshotLinksTest, LinksAreMadePastTwoHundredSixtyCharacters) {
  const std::string deep = "\\" + std::string(120, 'd') + "\\" + std::string(120, 'e');
  WriteBytes(dir_ / ("src" + deep + "\\file.txt"), "deep");
  const std::string earlier = dir_ / "earlier";
  const std::string later = dir_ / "later";
  ASSERT_TRUE(Copy(earlier, "").Complete());
  const CopyOutcome out = Copy(later, earlier);
  ASSERT_GT((later + deep + "\\file.txt").size(), 260u);
  EXPECT_EQ(out.files_linked, 1u) << out.first_failure_reason;
  EXPECT_TRUE(SameFile(earlier + deep + "\\file.txt", later + deep + "\\file.txt"));
}

// The earlier backup on another volume (a small tmpfs given a drive letter): the system refuses
// every link, and every file is copied instead, completely and quietly.
TEST_F(SnapshotLinksTest, AnEarlierBackupOnAnotherVolumeIsCopiedFrom) {
  if (!UnderWine()) GTEST_SKIP() << "mounts a small file system from Wine's Linux side";
  MakeFolders(dir_ / "drive");
  const std::string mount_point = LinuxPath(dir_ / "drive");
  const auto mounted = RunLinuxShell("mount -t tmpfs -o size=8m tmpfs " + ShellQuoted(mount_point));
  if (!mounted || mounted->exit_code != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs here: "
                 << (mounted ? mounted->output : std::string("no Linux shell"));
  }
  {
    MappedDrive drive(dir_ / "drive");
    if (drive.Letter().empty()) {
      RunLinuxShell("umount " + ShellQuoted(mount_point));
      GTEST_SKIP() << "no drive letter: " << drive.Why();
    }
    WriteBytes(dir_ / "src\\a.txt", "alpha");
    WriteBytes(dir_ / "src\\sub\\b.txt", "beta");
    const std::string earlier = drive.Letter() + "\\DocsAug 30 2021";
    const std::string today = dir_ / "DocsAug 31 2021";
    ASSERT_EQ(Copy(earlier, "").files_copied, 2u);
    const CopyOutcome out = Copy(today, earlier);
    EXPECT_TRUE(out.Complete()) << out.first_failure_path << ": " << out.first_failure_reason;
    EXPECT_EQ(out.files_copied, 2u);
    EXPECT_EQ(out.files_linked, 0u);
    EXPECT_EQ(ReadBytes(today + "\\a.txt"), "alpha");
    EXPECT_EQ(ReadBytes(today + "\\sub\\b.txt"), "beta");
    EXPECT_EQ(IdentityOf(today + "\\a.txt").links, 1u);
  }
  const auto unmounted = RunLinuxShell("umount " + ShellQuoted(mount_point));
  EXPECT_TRUE(unmounted && unmounted->exit_code == 0);
}

}  // namespace
}  // namespace tess::test
