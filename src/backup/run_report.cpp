#include "backup/run_report.h"

#include "base/text.h"

namespace tess {

namespace {
constexpr char kSavedAt[] = " was backup saved at ";
constexpr char kNotSavedAt[] = " was NOT backup saved at ";

std::string CopyFailure(const CopyOutcome& copy) {
  std::string what;
  if (copy.files_failed > 0) {
    what = std::to_string(copy.files_failed) + " of " + std::to_string(copy.FilesSeen()) +
           " files failed";
  }
  if (copy.folders_failed > 0) {
    if (!what.empty()) what += ", ";
    what += std::to_string(copy.folders_failed) +
            (copy.folders_failed == 1 ? " folder failed" : " folders failed");
  }
  if (!copy.first_failure_path.empty()) {
    what += ", first " + OneLine(copy.first_failure_path);
    if (!copy.first_failure_reason.empty()) what += ": " + OneLine(copy.first_failure_reason);
  }
  return what;
}
}  // namespace

std::string StepFailure(int line, const std::string& description) {
  return "a failure at line " + std::to_string(line) + ": " + OneLine(description);
}

std::string RunFailureLine(const std::string& when, const std::string& failure) {
  return "Backup run NOT complete at " + when + ": " + failure;
}

std::string HistoryLine(const std::string& name, const std::string& when,
                        const EntryResult& result) {
  if (result.Complete()) return name + kSavedAt + when;
  std::string why;
  if (result.kind == EntryResult::Kind::kCopied) {
    why = CopyFailure(result.copy);
  } else if (result.kind == EntryResult::Kind::kSourceMissing) {
    why = "the folder " + OneLine(result.missing_source) + " was not found";
    if (!result.source_error.empty()) why += ": " + OneLine(result.source_error);
  } else if (!result.creation_error.empty()) {
    why = "the destination folder " + result.missing_destination +
          " could not be created: " + OneLine(result.creation_error);
  } else {
    why = "the destination folder " + result.missing_destination + " does not exist";
  }
  for (const std::string& failure : result.failures) why += (why.empty() ? "" : "; ") + failure;
  return name + kNotSavedAt + when + ": " + why;
}

std::string CompleteStatus(const std::string& when, int folders_failed, int folders_processed,
                           int run_failures) {
  std::string status = kAutoBackupComplete + when;
  if (folders_failed > 0) {
    status += " with errors in " + std::to_string(folders_failed) + " of " +
              std::to_string(folders_processed) + " folders (see View History Log)";
  } else if (run_failures > 0) {
    status += " with errors (see View History Log)";
  }
  return status;
}

}  // namespace tess
