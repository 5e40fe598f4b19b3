// Runs one file-tree case on one file system, the double or the real one: the runner says how
// its file system makes an entry, takes each kind of step and words each failure reason; the
// steps, the outcome checks and the final comparison are the same for both.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "contract/file_tree_cases.h"

namespace tess::contract {

class CaseFiles {
 public:
  virtual ~CaseFiles() = default;

  // What "@" stands for: a folder, or a drive ("R:").
  virtual std::string Root() const = 0;
  // Paths relative to the root.
  virtual void Make(const Entry& entry) = 0;
  virtual void Write(const std::string& path, const std::string& content) = 0;
  virtual void RewriteKeepingWriteTime(const std::string& path, const std::string& content) = 0;
  virtual void LockUntilTheNextCopyEnds(const std::string& path) = 0;
  // Paths as the copy is given them.
  virtual CopyOutcome Copy(const std::string& source, const std::string& destination,
                           bool overwrite) = 0;
  // How the file system words each failure reason.
  virtual std::map<Reason, std::string> ReasonTexts() const = 0;
  // Everything below the root in the cases' form ("a\b.txt=text", "a\empty\"), sorted.
  virtual std::vector<std::string> Tree() = 0;
};

inline void RunCase(const FileTreeCase& c, CaseFiles& files) {
  const std::string root = files.Root();
  std::map<Reason, std::string> reasons = files.ReasonTexts();
  reasons[Reason::kNone] = "";
  for (const std::string& entry : c.tree) files.Make(ParseEntry(entry));
  int number = 0;
  for (const Step& step : c.steps) {
    SCOPED_TRACE("step " + std::to_string(++number));
    switch (step.kind) {
      case StepKind::kWrite:
        files.Write(step.path, step.content);
        break;
      case StepKind::kRewriteKeepingWriteTime:
        files.RewriteKeepingWriteTime(step.path, step.content);
        break;
      case StepKind::kLock:
        files.LockUntilTheNextCopyEnds(step.path);
        break;
      case StepKind::kCopy:
        EXPECT_EQ(OutcomeLine(files.Copy(Resolve(step.path, root), Resolve(step.destination, root),
                                         step.overwrite)),
                  OutcomeLine(step.outcome, root, reasons.at(step.outcome.reason)));
        break;
    }
  }
  EXPECT_EQ(files.Tree(), ExpectedTree(c, root));
}

// Names the parameterised tests after their cases.
inline std::string CaseName(const ::testing::TestParamInfo<FileTreeCase>& info) {
  return info.param.name;
}

}  // namespace tess::contract
