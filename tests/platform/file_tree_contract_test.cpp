// The file-tree cases against the real file system under Wine; tests/unit runs the same cases
// against the file-system double.
#include <windows.h>
// windows.h maps DeleteFile to DeleteFileW, which would rename the interface's member here.
#undef DeleteFile

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "contract/file_tree_cases.h"
#include "platform/win32/text.h"
#include "platform/win32/win_file_system.h"
#include "win_support/files.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

using contract::FileTreeCase;
using contract::Reason;
using contract::StepKind;
using win32::WinFileSystem;

std::string ReasonText(Reason reason) {
  switch (reason) {
    case Reason::kNone:
      return "";
    case Reason::kFileNotFound:
      return win32::SystemMessage(ERROR_FILE_NOT_FOUND);
    case Reason::kFileExists:
      return win32::SystemMessage(ERROR_FILE_EXISTS);
    case Reason::kAlreadyExists:
      return win32::SystemMessage(ERROR_ALREADY_EXISTS);
    case Reason::kSharingViolation:
      return win32::SystemMessage(ERROR_SHARING_VIOLATION);
  }
  return "?";
}

// A case's tree entries as a tree to build or to compare with.
Tree AsTree(const std::vector<std::string>& entries) {
  Tree tree;
  for (const std::string& text : entries) {
    const contract::Entry entry = contract::ParseEntry(text);
    tree.push_back(entry.folder ? Folder(entry.path) : File(entry.path, entry.content));
  }
  return tree;
}

class FileTreeContractTest : public ::testing::TestWithParam<FileTreeCase> {
 protected:
  TempTree scratch_;
  WinFileSystem files_;
};

TEST_P(FileTreeContractTest, TheRealFileSystemCopiesAsTheDoubleDoes) {
  const FileTreeCase& c = GetParam();
  std::string folder = scratch_.Path();
  std::unique_ptr<MappedDrive> drive;
  std::string root = folder;
  if (c.at_drive_root) {
    folder = scratch_ / "drive";
    MakeFolders(folder);
    drive = std::make_unique<MappedDrive>(folder);
    if (drive->Letter().empty()) GTEST_SKIP() << "no drive letter for this case: " << drive->Why();
    root = drive->Letter();
  }
  const auto at = [&](const std::string& relative) { return folder + "\\" + relative; };
  BuildTree(folder, AsTree(c.tree));
  std::unique_ptr<LockedFile> lock;
  int number = 0;
  for (const contract::Step& step : c.steps) {
    SCOPED_TRACE("step " + std::to_string(++number));
    switch (step.kind) {
      case StepKind::kWrite:
        Sleep(20);  // file-system clocks advance in steps: the new times come after the old
        WriteBytes(at(step.path), step.content);
        break;
      case StepKind::kRewriteKeepingWriteTime:
        RewriteKeepingWriteTime(at(step.path), step.content);
        break;
      case StepKind::kLock:
        lock = std::make_unique<LockedFile>(at(step.path));
        ASSERT_TRUE(lock->Held());
        break;
      case StepKind::kCopy: {
        const CopyOutcome out =
            files_.CopyFolder(contract::Resolve(step.path, root),
                              contract::Resolve(step.destination, root), step.overwrite, nullptr);
        lock.reset();
        EXPECT_EQ(contract::OutcomeLine(out),
                  contract::OutcomeLine(step.outcome, root, ReasonText(step.outcome.reason)));
        break;
      }
    }
  }
  EXPECT_TRUE(HoldsTree(folder, AsTree(contract::ExpectedTree(c, root))));
}

INSTANTIATE_TEST_SUITE_P(Cases, FileTreeContractTest,
                         ::testing::ValuesIn(contract::FileTreeCases()),
                         [](const ::testing::TestParamInfo<FileTreeCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tess::test
