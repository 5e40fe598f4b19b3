// A destination whose volume keeps coarse write times, for real: the exFAT drive S: that the
// test run mounts through FUSE (tests/faults/fault_drives.sh), where a write time comes back cut
// to the second. Skipped, with the reason, where loop devices or FUSE are refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "win32/win_file_system.h"
#include "win_support/app.h"
#include "win_support/files.h"
#include "win_support/temp_tree.h"
#include "support/plain_copy.h"

namespace tess::test {
namespace {

constexpr char kExfatDrive[] = "S:\\";
constexpr std::uint64_t kSecond = 10'000'000;
// 2021-01-01 10:00:01.7654321 UTC, in FILETIME ticks.
constexpr std::uint64_t kWritten = 132539328010000000ull + 7'654'321;

std::string ExfatState() {
  const auto state = ReadBytes(ProgramFolder() + L"\\fault_drives\\exfat_state.txt");
  if (!state) return "no state file: the drive script did not run (run the tests through ctest)";
  return state->substr(0, state->find_first_of("\r\n"));
}

class CoarseTimesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string state = ExfatState();
    if (state != "ready") GTEST_SKIP() << "no exFAT drive on this machine: " << state;
  }

  win32::WinFileSystem files_;
};

TEST_F(CoarseTimesTest, TheExfatDriveKeepsCoarseTimesAndTheTemporaryFolderFineOnes) {
  bool fine = true;
  ASSERT_FALSE(files_.KeepsFineWriteTimes(kExfatDrive, &fine).Failed());
  EXPECT_FALSE(fine);
  // The probe leaves no file behind.
  EXPECT_EQ(CountMatching(kExfatDrive, "~tessaline-*.tmp"), 0);

  TempTree here;
  fine = false;
  ASSERT_FALSE(files_.KeepsFineWriteTimes(here.Path(), &fine).Failed());
  EXPECT_TRUE(fine);
}

TEST_F(CoarseTimesTest, ASecondCopyOfAnUnchangedTreeRewritesNothing) {
  TempTree source({File("a.txt", "alpha", 0, kWritten), File("sub\\b.txt", "beta", 0, kWritten),
                   File("c.bin", std::string(100 << 10, 'c'), 0, kWritten + kSecond)});
  const std::string leaf = source.Path().substr(source.Path().rfind('\\') + 1);
  const std::string destination = std::string(kExfatDrive) + leaf;
  struct Removed {
    std::string path;
    ~Removed() { RemoveTree(path); }
  } removed{destination};

  const CopyOutcome first = PlainCopy(files_, source.Path(), destination, true, nullptr);
  EXPECT_EQ(first.files_copied, 3u)
      << first.first_failure_path << ": " << first.first_failure_reason;
  // The copy's write time is cut to the drive's steps, so the exact check would never match.
  ASSERT_NE(WriteTimeOf(destination + "\\a.txt"), kWritten);

  const CopyOutcome second = PlainCopy(files_, source.Path(), destination, true, nullptr);
  EXPECT_TRUE(second.Complete());
  EXPECT_EQ(second.files_copied, 0u);
  EXPECT_EQ(second.files_skipped, 3u);

  // A file written anew seconds later, of the same size, is copied again.
  WriteBytes(source / "a.txt", "ALPHA");
  SetWriteTimeOf(source / "a.txt", kWritten + 5 * kSecond);
  const CopyOutcome third = PlainCopy(files_, source.Path(), destination, true, nullptr);
  EXPECT_EQ(third.files_copied, 1u);
  EXPECT_EQ(third.files_skipped, 2u);
  EXPECT_EQ(ReadBytes(destination + "\\a.txt"), "ALPHA");
}

}  // namespace
}  // namespace tess::test
