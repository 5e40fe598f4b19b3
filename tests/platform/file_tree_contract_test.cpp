// The file-tree cases against the real file system under Wine; tests/unit runs the same cases
// against the file-system double.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "contract/case_runner.h"
#include "win32/text.h"
#include "win32/win_file_system.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"
#include "support/plain_copy.h"

namespace tess::test {
namespace {

using contract::FileTreeCase;
using contract::Reason;

// The real file system below a fresh folder, or below a drive letter that names one.
class RealFiles : public contract::CaseFiles {
 public:
  RealFiles(const std::string& folder, const std::string& root) : folder_(folder), root_(root) {}

  std::string Root() const override { return root_; }
  void Make(const contract::Entry& entry) override {
    if (entry.folder) {
      MakeFolders(At(entry.path));
    } else {
      WriteBytes(At(entry.path), entry.content);
    }
  }
  void Write(const std::string& path, const std::string& content) override {
    Sleep(20);  // file-system clocks advance in steps: the new times come after the old ones
    WriteBytes(At(path), content);
  }
  void RewriteKeepingWriteTime(const std::string& path, const std::string& content) override {
    test::RewriteKeepingWriteTime(At(path), content);
  }
  void LockUntilTheNextCopyEnds(const std::string& path) override {
    lock_ = std::make_unique<LockedFile>(At(path));
    ASSERT_TRUE(lock_->Held());
  }
  CopyOutcome Copy(const std::string& source, const std::string& destination,
                   bool overwrite) override {
    const CopyOutcome out = PlainCopy(files_, source, destination, overwrite, nullptr);
    lock_.reset();
    return out;
  }
  std::map<Reason, std::string> ReasonTexts() const override {
    return {{Reason::kFileNotFound, win32::SystemMessage(ERROR_FILE_NOT_FOUND)},
            {Reason::kFileExists, win32::SystemMessage(ERROR_FILE_EXISTS)},
            {Reason::kAlreadyExists, win32::SystemMessage(ERROR_ALREADY_EXISTS)},
            {Reason::kSharingViolation, win32::SystemMessage(ERROR_SHARING_VIOLATION)}};
  }
  std::vector<std::string> Tree() override {
    std::vector<std::string> tree;
    for (const TreeEntry& entry : ReadTree(folder_)) {
      tree.push_back(entry.folder ? entry.path + "\\" : entry.path + "=" + entry.content);
    }
    std::sort(tree.begin(), tree.end());
    return tree;
  }

 private:
  std::string At(const std::string& relative) const { return folder_ + "\\" + relative; }

  std::string folder_;
  std::string root_;
  win32::WinFileSystem files_;
  std::unique_ptr<LockedFile> lock_;
};

class FileTreeContractTest : public ::testing::TestWithParam<FileTreeCase> {
 protected:
  TempTree scratch_;
};

TEST_P(FileTreeContractTest, TheRealFileSystemCopiesAsTheDoubleDoes) {
  if (!GetParam().at_drive_root) {
    RealFiles files(scratch_.Path(), scratch_.Path());
    return contract::RunCase(GetParam(), files);
  }
  const std::string folder = scratch_ / "drive";
  MakeFolders(folder);
  const MappedDrive drive(folder);
  if (drive.Letter().empty()) GTEST_SKIP() << "no drive letter for this case: " << drive.Why();
  RealFiles files(folder, drive.Letter());
  contract::RunCase(GetParam(), files);
}

INSTANTIATE_TEST_SUITE_P(Cases, FileTreeContractTest,
                         ::testing::ValuesIn(contract::FileTreeCases()), contract::CaseName);

}  // namespace
}  // namespace tess::test
