// The file-tree cases against the file-system double; tests/platform runs the same cases against
// the real file system, so a double that copies otherwise than the real thing fails here or there.
#include <gtest/gtest.h>

#include "contract/file_tree_cases.h"
#include "support/fakes.h"

namespace tess::test {
namespace {

using contract::FileTreeCase;
using contract::Reason;
using contract::StepKind;

std::string ReasonText(Reason reason) {
  switch (reason) {
    case Reason::kNone:
      return "";
    case Reason::kFileNotFound:
      return FakeFileSystem::kFileNotFound;
    case Reason::kFileExists:
      return FakeFileSystem::kFileExists;
    case Reason::kAlreadyExists:
      return FakeFileSystem::kAlreadyExists;
    case Reason::kSharingViolation:
      return FakeFileSystem::kSharingViolation;
  }
  return "?";
}

class FileTreeContractTest : public ::testing::TestWithParam<FileTreeCase> {};

TEST_P(FileTreeContractTest, TheDoubleCopiesAsTheRealFileSystemDoes) {
  const FileTreeCase& c = GetParam();
  const std::string root = c.at_drive_root ? "R:" : "C:\\Users\\Ann\\Case";
  const auto at = [&](const std::string& relative) { return root + "\\" + relative; };
  FakeFileSystem files;
  files.AddFolder(root);
  for (const std::string& text : c.tree) {
    const contract::Entry entry = contract::ParseEntry(text);
    if (entry.folder) {
      files.AddFolder(at(entry.path));
    } else {
      files.AddFile(at(entry.path), entry.content);
    }
  }
  int number = 0;
  for (const contract::Step& step : c.steps) {
    SCOPED_TRACE("step " + std::to_string(++number));
    switch (step.kind) {
      case StepKind::kWrite:
        files.AddFile(at(step.path), step.content);
        break;
      case StepKind::kRewriteKeepingWriteTime:
        files.RewriteKeepingWriteTime(at(step.path), step.content);
        break;
      case StepKind::kLock:
        files.locked.insert(FakeFileSystem::Key(at(step.path)));
        break;
      case StepKind::kCopy: {
        const CopyOutcome out =
            files.CopyFolder(contract::Resolve(step.path, root),
                             contract::Resolve(step.destination, root), step.overwrite, nullptr);
        files.locked.clear();
        EXPECT_EQ(contract::OutcomeLine(out),
                  contract::OutcomeLine(step.outcome, root, ReasonText(step.outcome.reason)));
        break;
      }
    }
  }
  EXPECT_EQ(files.TreeBelow(root), contract::ExpectedTree(c, root));
}

INSTANTIATE_TEST_SUITE_P(Cases, FileTreeContractTest,
                         ::testing::ValuesIn(contract::FileTreeCases()),
                         [](const ::testing::TestParamInfo<FileTreeCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tess::test
