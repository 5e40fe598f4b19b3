// A destination volume that is full, for real: an 8 MB tmpfs mounted from Wine's Linux side and
// given a drive letter. Skipped, with the reason, where mounting is not allowed.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "copy/copy_tree.h"
#include "base/platform_error.h"
#include "support/faulty_tree.h"
#include "win32/text.h"
#include "win32/win_file_system.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"
#include "support/plain_copy.h"

namespace tess::test {
namespace {

constexpr char kTempPattern[] = "~tessaline-*.tmp";

std::string Bytes(size_t count, char fill) { return std::string(count, fill); }

std::uint64_t FreeBytes(const std::string& root) {
  ULARGE_INTEGER available{};
  GetDiskFreeSpaceExW(win32::Widen(root).c_str(), &available, nullptr, nullptr);
  return available.QuadPart;
}

class FullDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "mounts a small file system from Wine's Linux side";
    MakeFolders(scratch_ / "drive");
    mount_point_ = LinuxPath(scratch_ / "drive");
    const auto mounted =
        RunLinuxShell("mount -t tmpfs -o size=8m tmpfs " + ShellQuoted(mount_point_));
    if (!mounted || mounted->exit_code != 0) {
      mount_point_.clear();
      GTEST_SKIP() << "cannot mount a small tmpfs here: "
                   << (mounted ? mounted->output : std::string("no Linux shell"));
    }
    drive_ = std::make_unique<MappedDrive>(scratch_ / "drive");
    if (drive_->Letter().empty()) GTEST_SKIP() << "no drive letter: " << drive_->Why();
    root_ = drive_->Letter() + "\\";
    ASSERT_EQ(FreeBytes(root_), 8u << 20);
  }

  void TearDown() override {
    drive_.reset();
    if (mount_point_.empty()) return;
    const auto unmounted = RunLinuxShell("umount " + ShellQuoted(mount_point_));
    EXPECT_TRUE(unmounted && unmounted->exit_code == 0)
        << (unmounted ? unmounted->output : std::string("no Linux shell"));
  }

  // The source: a file that cannot fit next to its earlier copy, and one that can.
  void MakeSourceAndEarlierCopy() {
    WriteBytes(scratch_ / "src\\big.bin", Bytes(6 << 20, 'n'));
    WriteBytes(scratch_ / "src\\small.txt", "fits");
    WriteBytes(root_ + "dest\\big.bin", Bytes(3 << 20, 'o'));
  }

  // Copies while noting the least free room seen, by a thread that keeps asking while the
  // copy's writers run, and whenever the copy lets events in. Without asking for the free room
  // first, the copy meets a full volume only in its writes.
  CopyOutcome CopyWatchingTheRoom(const std::string& source, const std::string& destination,
                                  bool ask_for_free_room) {
    std::atomic<std::uint64_t> least(FreeBytes(root_));
    const auto note = [&] {
      const std::uint64_t now = FreeBytes(root_);
      std::uint64_t seen = least.load();
      while (now < seen && !least.compare_exchange_weak(seen, now)) {
      }
    };
    std::atomic<bool> done(false);
    std::thread watcher([&] {
      while (!done.load()) note();
    });
    win32::WinFileSystem files;
    FaultyTree room_unknown(files);
    room_unknown.hide_free_space = !ask_for_free_room;
    CopySettings settings;
    settings.yield = note;
    const CopyOutcome out = CopyTree(room_unknown, source, destination, settings);
    done.store(true);
    watcher.join();
    least_room_ = least.load();
    return out;
  }

  void ExpectDiskFullAndEarlierCopyIntact(const CopyOutcome& out) {
    EXPECT_EQ(out.files_failed, 1u);
    EXPECT_EQ(out.files_copied + out.files_skipped, 1u);
    EXPECT_EQ(out.first_failure_path, root_ + "dest\\big.bin");
    EXPECT_EQ(out.first_failure_reason, win32::SystemMessage(ERROR_DISK_FULL));
    EXPECT_EQ(ReadBytes(root_ + "dest\\big.bin"), Bytes(3 << 20, 'o'));
    EXPECT_EQ(ReadBytes(root_ + "dest\\small.txt"), "fits");
    EXPECT_EQ(CountMatching(root_ + "dest", kTempPattern), 0);
  }

  TempTree scratch_;
  std::string mount_point_;
  std::unique_ptr<MappedDrive> drive_;
  std::string root_;  // "R:\"
  std::uint64_t least_room_ = 0;
};

TEST_F(FullDiskTest, AFileThatCannotFitFailsAsDiskFullBeforeItIsWritten) {
  MakeSourceAndEarlierCopy();
  const std::uint64_t room = FreeBytes(root_);
  win32::WinFileSystem files;
  ExpectDiskFullAndEarlierCopyIntact(
      PlainCopy(files, scratch_ / "src", root_ + "dest", true, nullptr));
  ExpectDiskFullAndEarlierCopyIntact(CopyWatchingTheRoom(scratch_ / "src", root_ + "dest", true));
  EXPECT_GE(least_room_, room - (64 << 10));  // the volume was never filled up

  // Once there is room, the next run replaces the copy.
  WriteBytes(scratch_ / "src\\big.bin", Bytes(4 << 20, 'n'));
  const CopyOutcome later = PlainCopy(files, scratch_ / "src", root_ + "dest", true, nullptr);
  EXPECT_TRUE(later.Complete()) << later.first_failure_path << ": " << later.first_failure_reason;
  EXPECT_EQ(ReadBytes(root_ + "dest\\big.bin"), Bytes(4 << 20, 'n'));
  EXPECT_EQ(CountMatching(root_ + "dest", kTempPattern), 0);
}

TEST_F(FullDiskTest, AVolumeThatFillsUpDuringAWriteFailsAsDiskFull) {
  MakeSourceAndEarlierCopy();
  const std::uint64_t room = FreeBytes(root_);
  ExpectDiskFullAndEarlierCopyIntact(CopyWatchingTheRoom(scratch_ / "src", root_ + "dest", false));
  EXPECT_LT(least_room_, room - (2 << 20));  // the write ran on into the full volume

  // A first copy that does not fit leaves nothing under its name.
  const CopyOutcome first = CopyWatchingTheRoom(scratch_ / "src\\big.bin", root_ + "new", false);
  EXPECT_EQ(first.files_failed, 1u);
  EXPECT_EQ(first.first_failure_reason, win32::SystemMessage(ERROR_DISK_FULL));
  EXPECT_FALSE(Exists(root_ + "new\\big.bin"));
  EXPECT_EQ(CountMatching(root_ + "new", kTempPattern), 0);
}

TEST_F(FullDiskTest, AHistoryLineThatDoesNotFitFailsAsDiskFull) {
  // Leave a little room, less than the line needs.
  WriteBytes(root_ + "fill\\filler.bin", Bytes(FreeBytes(root_) - (8 << 10), 'f'));
  win32::WinFileSystem files;
  try {
    files.AppendLine(root_ + "Tessaline.txt", Bytes(64 << 10, 'x'));
    ADD_FAILURE() << "the line was written";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), kErrDiskFull);
    EXPECT_EQ(std::string(e.what()), win32::SystemMessage(ERROR_DISK_FULL));
  }
}

}  // namespace
}  // namespace tess::test
