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

std::string ReadBackLine(const std::string& name, const std::string& when,
                         const ReadBackFinding& finding, const std::vector<std::string>& folders) {
  const std::string count =
      std::to_string(folders.size()) + (folders.size() == 1 ? " backup folder" : " backup folders");
  const std::string path = OneLine(finding.path);
  const std::string reason = finding.reason.empty() ? "" : " (" + OneLine(finding.reason) + ")";
  switch (finding.verdict) {
    case ReadBackVerdict::kWhole:
    case ReadBackVerdict::kNoLine:
      return "";
    case ReadBackVerdict::kSourceDamaged:
      return name + ": the source may be damaged, found at " + when + ": " +
             OneLine(finding.source) +
             " no longer matches its backup copy, though its size and write time are "
             "unchanged; the backup copy is kept";
    case ReadBackVerdict::kRepair:
      if (finding.repaired) {
        return name + ": a damaged backup copy was repaired at " + when + ": " + path +
               ", damaged in " + count + ", was written again from its unchanged source";
      }
      break;
    case ReadBackVerdict::kDamaged:
      break;
  }
  std::string list;
  for (const std::string& folder : folders) list += (list.empty() ? "" : ", ") + OneLine(folder);
  const char* what = finding.missing ? "a missing backup copy"
                     : finding.reason.empty() || finding.verdict == ReadBackVerdict::kRepair
                         ? "a damaged backup copy"
                         : "a damaged or unreadable backup copy";
  return name + ": " + what + " was found at " + when + ": " + path + ", in " + count + " (" +
         list + "); " +
         (finding.verdict == ReadBackVerdict::kRepair
              ? "its repair from the source failed" + reason
              : "it cannot be repaired from its source, which has changed, is gone or cannot be "
                "read" +
                    reason) +
         "; the next backup copies it afresh";
}

std::string CompleteStatus(const std::string& when, int folders_failed, int folders_processed,
                           int run_failures, int damaged_copies) {
  std::string status = kAutoBackupComplete + when;
  bool errors = true;
  if (folders_failed > 0) {
    status += " with errors in " + std::to_string(folders_failed) + " of " +
              std::to_string(folders_processed) + " folders";
  } else if (run_failures > 0) {
    status += " with errors";
  } else {
    errors = false;
  }
  if (damaged_copies > 0) {
    status += (errors ? " and " : " with ") + std::to_string(damaged_copies) +
              (damaged_copies == 1 ? " damaged backup copy" : " damaged backup copies");
  }
  if (errors || damaged_copies > 0) status += " (see View History Log)";
  return status;
}

}  // namespace tess
