// The file-tree cases against the file-system double; tests/platform runs the same cases against
// the real file system, so a double that copies otherwise than the real thing fails here or there.
#include <gtest/gtest.h>

#include "contract/case_runner.h"
#include "support/fakes.h"
#include "support/plain_copy.h"

namespace tess::test {
namespace {

using contract::FileTreeCase;
using contract::Reason;

class DoubleFiles : public contract::CaseFiles {
 public:
  explicit DoubleFiles(bool at_drive_root) : root_(at_drive_root ? "R:" : "C:\\Users\\Ann\\Case") {
    files_.AddFolder(root_);
  }

  std::string Root() const override { return root_; }
  void Make(const contract::Entry& entry) override {
    if (entry.folder) {
      files_.AddFolder(At(entry.path));
    } else {
      files_.AddFile(At(entry.path), entry.content);
    }
  }
  void Write(const std::string& path, const std::string& content) override {
    files_.AddFile(At(path), content);
  }
  void RewriteKeepingWriteTime(const std::string& path, const std::string& content) override {
    files_.RewriteKeepingWriteTime(At(path), content);
  }
  void LockUntilTheNextCopyEnds(const std::string& path) override {
    files_.locked.insert(FakeFileSystem::Key(At(path)));
  }
  CopyOutcome Copy(const std::string& source, const std::string& destination,
                   bool overwrite) override {
    const CopyOutcome out = PlainCopy(files_, source, destination, overwrite, nullptr);
    files_.locked.clear();
    return out;
  }
  std::map<Reason, std::string> ReasonTexts() const override {
    return {{Reason::kFileNotFound, FakeFileSystem::kFileNotFound},
            {Reason::kFileExists, FakeFileSystem::kFileExists},
            {Reason::kAlreadyExists, FakeFileSystem::kAlreadyExists},
            {Reason::kSharingViolation, FakeFileSystem::kSharingViolation}};
  }
  std::vector<std::string> Tree() override { return files_.TreeBelow(root_); }

 private:
  std::string At(const std::string& relative) const { return root_ + "\\" + relative; }

  std::string root_;
  FakeFileSystem files_;
};

class FileTreeContractTest : public ::testing::TestWithParam<FileTreeCase> {};

TEST_P(FileTreeContractTest, TheDoubleCopiesAsTheRealFileSystemDoes) {
  DoubleFiles files(GetParam().at_drive_root);
  contract::RunCase(GetParam(), files);
}

INSTANTIATE_TEST_SUITE_P(Cases, FileTreeContractTest,
                         ::testing::ValuesIn(contract::FileTreeCases()), contract::CaseName);

}  // namespace
}  // namespace tess::test
