// The walk cases against the real file system under Wine; tests/unit runs the same cases
// against the file-system double.
#include <windows.h>

#include <gtest/gtest.h>

#include "contract/walk_cases.h"
#include "win32/win_file_system.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

using contract::WalkCase;

// Real folders below a fresh folder, or below a drive letter that names one.
class RealFolders : public contract::WalkFiles {
 public:
  RealFolders(const std::string& folder, const std::string& root) : folder_(folder), root_(root) {}
  std::string Root() const override { return root_; }
  void MakeFolder(const std::string& path) override { MakeFolders(At(path)); }
  void AddAttributes(const std::string& path, std::uint32_t attributes) override {
    const std::string folder = At(path);
    SetAttributesOf(folder, (AttributesOf(folder) & ~FILE_ATTRIBUTE_DIRECTORY) | attributes);
    if ((attributes & ~AttributesOf(folder) & FILE_ATTRIBUTE_READONLY) && UnderWine()) {
      // Wine keeps no read-only bit for a folder; it shows one for a folder nobody may write in.
      const auto done = RunLinuxShell("chmod a-w " + ShellQuoted(LinuxPath(folder)));
      EXPECT_TRUE(done && done->exit_code == 0) << (done ? done->output : "no shell");
    }
    EXPECT_EQ(AttributesOf(folder) & attributes, attributes) << folder;
  }
  FileSystem& Files() override { return files_; }

 private:
  std::string At(const std::string& relative) const {
    return relative.empty() ? folder_ : folder_ + "\\" + relative;
  }
  std::string folder_;
  std::string root_;
  win32::WinFileSystem files_;
};

class WalkContractTest : public ::testing::TestWithParam<WalkCase> {
 protected:
  TempTree scratch_;
};

TEST_P(WalkContractTest, TheRealFileSystemIsWalkedAsTheDoubleIs) {
  if (!GetParam().at_drive_root) {
    RealFolders folders(scratch_.Path(), scratch_.Path());
    return contract::RunWalkCase(GetParam(), folders);
  }
  const std::string folder = scratch_ / "drive";
  MakeFolders(folder);
  const MappedDrive drive(folder);
  if (drive.Letter().empty()) GTEST_SKIP() << "no drive letter for this case: " << drive.Why();
  RealFolders folders(folder, drive.Letter());
  contract::RunWalkCase(GetParam(), folders);
  // The root shows the attributes given to its folder, so the case tests the rule for roots.
  for (const contract::WalkFolder& entry : GetParam().tree) {
    if (!entry.path.empty()) continue;
    EXPECT_EQ(AttributesOf(drive.Letter() + "\\") & entry.attributes, entry.attributes);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, WalkContractTest, ::testing::ValuesIn(contract::WalkCases()),
                         contract::WalkCaseName);

}  // namespace
}  // namespace tess::test
