#include "backup/backup_run.h"

#include <exception>
#include <string>
#include <vector>

#include "backup/folder_naming.h"
#include "backup/path_rules.h"
#include "backup/run_report.h"
#include "base/error_trap.h"
#include "controls/controls.h"
#include "history/history_log.h"
#include "ports/dialogs.h"
#include "ports/event_pump.h"
#include "ports/file_queries.h"
#include "ports/file_system.h"

namespace tess {

namespace {

constexpr char kSaveAllLocation[] = "in Tessaline2021/08/31.IntervalSave.SaveAll ";
constexpr int kMaxCreationAttempts = 10;

// The copy never shows anything of its own; whatever goes wrong is counted in its outcome.
CopyOutcome CopyQuiet(FileSystem& files, EventPump& pump, const std::string& source,
                      const std::string& destination) {
  const auto yield = [&pump] {
    try {
      pump.ProcessPendingEvents();
    } catch (...) {
    }
  };
  try {
    return files.CopyFolder(source, destination, true, yield);
  } catch (const std::exception& e) {
    CopyOutcome failed;
    failed.folders_failed = 1;
    failed.first_failure_path = source;
    failed.first_failure_reason = e.what();
    return failed;
  }
}

bool EndsWithBackslash(const std::string& text) { return !text.empty() && text.back() == '\\'; }

}  // namespace

RunOutcome BackupRun::SaveAll() {
  ErrorTrap trap(svc_.dialogs, kSaveAllLocation);
  RunOutcome outcome;
  const auto finish = [&](RunOutcome::Kind kind) {
    outcome.kind = kind;
    outcome.final_status = in_.status_line.Caption();
    return outcome;
  };

  if (!trap.Test(102, [&] { return in_.entries.Count() > 0; })) {
    trap.Step(172, [&] { in_.status_line.SetCaption(kNoFilesStatus); });
    return finish(RunOutcome::Kind::kEmptyList);
  }
  if (trap.Test(104, [&] { return !PathFound(svc_.files, in_.destination()); })) {
    trap.Step(106, [&] { in_.status_line.SetCaption(in_.destination() + kDoesNotExist); });
    return finish(RunOutcome::Kind::kDestinationMissing);
  }

  // The entries as they stand now, each processed once and in this order: the list may be
  // edited while the run lets events in, and reading it by position would then skip an entry
  // or copy one twice.
  std::vector<std::string> entries;
  trap.Step(116, [&] { entries = in_.entries.Items(); });
  for (const std::string& entry : entries) {
    std::string source;
    trap.Step(118, [&] { source = EntryFolder(entry); });
    if (!trap.Test(120, [&] { return PathFound(svc_.files, source); })) {
      trap.Step(162, [&] { svc_.pump.ProcessPendingEvents(); });
      continue;
    }
    ++outcome.folders_processed;

    // The folder name starts as N, the entry's last part as stored, and gets its stamp.
    std::string folder_name;
    trap.Step(122, [&] { folder_name = source; });
    trap.Step(124, [&] { folder_name = LastPathPart(folder_name); });
    FolderStamp stamp = FolderStamp::kNone;
    if (trap.Test(126, [&] {
          stamp = in_.stamp();
          return stamp != FolderStamp::kNone;
        })) {
      if (trap.Test(128, [&] { return stamp == FolderStamp::kDateAndTime; })) {
        trap.Step(130, [&] { folder_name += DateTimeSuffix(svc_.clock); });
      } else if (trap.Test(132, [&] { return stamp == FolderStamp::kDate; })) {
        trap.Step(134, [&] { folder_name += DateSuffix(svc_.clock); });
      }
    } else {
      trap.Step(144, [&] { folder_name.clear(); });
    }
    // The destination text is read afresh at every use: the user may edit it mid-run.
    const auto destination = [&] { return CleanPath(in_.destination() + "\\" + folder_name); };

    EntryResult result;
    int attempts = 0;
    trap.Step(136, [&] { attempts = 0; });
    while (trap.Test(138, [&] {
      return !IsFolder(svc_.files, destination()) && attempts < kMaxCreationAttempts;
    })) {
      trap.Step(140, [&] {
        try {
          svc_.files.CreateFolder(destination());
        } catch (const std::exception& e) {
          result.creation_error = e.what();
          throw;
        }
      });
      trap.Step(142, [&] { ++attempts; });
      // The test above counts a failure of its own as met; this keeps that loop finite.
      if (attempts >= kMaxCreationAttempts) break;
    }

    if (trap.Test(146, [&] { return EndsWithBackslash(source); })) {
      trap.Step(148, [&] { source = CopySource(source); });
    }
    if (trap.Test(150, [&] { return IsFolder(svc_.files, destination()); })) {
      // A file entry needs no destination of its own: the copy puts a file inside the
      // destination folder whether or not the destination ends in a backslash.
      trap.Step(152, [&] {
        result.kind = EntryResult::Kind::kCopied;
        result.copy = CopyQuiet(svc_.files, svc_.pump, source, destination());
      });
    } else {
      trap.Step(154, [&] {
        result.kind = EntryResult::Kind::kNotCopied;
        result.missing_destination = destination();
        svc_.dialogs.MessageBox(
            kDestinationFolderMissing + std::string("\r\n") + result.missing_destination, "",
            BoxButtons::kOk, BoxIcon::kNone);
      });
    }
    if (!result.Complete()) ++outcome.folders_failed;

    trap.Step(156, [&] { svc_.pump.ProcessPendingEvents(); });
    trap.Step(158, [&] {
      svc_.history.AppendHistoryLine(HistoryLine(SourceName(source), NowText(svc_.clock), result));
    });
    trap.Step(160, [&] { svc_.pump.ProcessPendingEvents(); });
    trap.Step(162, [&] { svc_.pump.ProcessPendingEvents(); });
  }

  trap.Step(170, [&] {
    in_.status_line.SetCaption(
        CompleteStatus(NowText(svc_.clock), outcome.folders_failed, outcome.folders_processed));
  });
  return finish(outcome.folders_failed > 0 ? RunOutcome::Kind::kWithErrors
                                           : RunOutcome::Kind::kClean);
}

}  // namespace tess
