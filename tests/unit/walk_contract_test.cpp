// The walk cases against the file-system double; tests/platform runs the same cases against the
// real file system, so a double that lists or describes folders otherwise fails here or there.
#include <gtest/gtest.h>

#include "contract/walk_cases.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

using contract::WalkCase;

class DoubleFolders : public contract::WalkFiles {
 public:
  explicit DoubleFolders(bool at_drive_root)
      : root_(at_drive_root ? "R:" : "C:\\Users\\Ann\\Case") {
    files_.AddFolder(root_);
  }
  std::string Root() const override { return root_; }
  void MakeFolder(const std::string& path) override { files_.AddFolder(At(path)); }
  void AddAttributes(const std::string& path, std::uint32_t attributes) override {
    const std::string key = FakeFileSystem::Key(At(path));
    files_.folder_attributes[key] = files_.Attributes(At(path)) | attributes;
  }
  FileSystem& Files() override { return files_; }

 private:
  std::string At(const std::string& relative) const {
    return relative.empty() ? root_ + "\\" : root_ + "\\" + relative;
  }
  std::string root_;
  FakeFileSystem files_;
};

class WalkContractTest : public ::testing::TestWithParam<WalkCase> {};

TEST_P(WalkContractTest, TheDoubleIsWalkedAsTheRealFileSystemIs) {
  DoubleFolders folders(GetParam().at_drive_root);
  contract::RunWalkCase(GetParam(), folders);
}

INSTANTIATE_TEST_SUITE_P(Cases, WalkContractTest, ::testing::ValuesIn(contract::WalkCases()),
                         contract::WalkCaseName);

}  // namespace
}  // namespace tess::test
