#include "backup/backup_run.h"

#include <string>
#include <utility>
#include <vector>

#include "backup/backup_names.h"
#include "backup/destination_listing.h"
#include "backup/path_rules.h"
#include "backup/run_report.h"
#include "base/error_trap.h"
#include "base/path_text.h"
#include "history/history_log.h"
#include "ports/clock.h"
#include "ports/dialogs.h"
#include "ports/event_pump.h"
#include "ports/program_settings.h"

namespace tess {

namespace {

constexpr char kSaveAllLocation[] = "in Tessaline2021/08/31.IntervalSave.SaveAll ";

// Where a run's failures go. A person who started the run sees each in the "Application
// Error" box; when nobody is there, a failure inside an entry is told in that entry's history
// line and one outside every entry in a line of its own, and the run goes on without waiting.
class RunReports : public ErrorReporter {
 public:
  RunReports(Dialogs& dialogs, HistoryLog& history, Clock& clock, Attendance attendance,
             const std::function<void(const std::string&)>& tell)
      : dialogs_(dialogs), history_(history), clock_(clock), attendance_(attendance), tell_(tell) {}
  void ShowApplicationError(const std::string& text) override {
    dialogs_.ShowApplicationError(text);
  }
  void Report(const std::string& location, int line, const std::string& description) override {
    if (attendance_ == Attendance::kAttended) return dialogs_.Report(location, line, description);
    const std::string failure = StepFailure(line, description);
    if (in_entry_) return entry_failures_.push_back(failure);
    ++run_failures_;
    const std::string told = RunFailureLine(NowText(clock_), failure);
    if (tell_) tell_(told);
    try {
      history_.AppendHistoryLine(told);
    } catch (...) {
      // The log itself failed; the run's outcome still counts the failure.
    }
  }
  void BeginEntry() { in_entry_ = true; }
  std::vector<std::string> EndEntry() {
    in_entry_ = false;
    return std::exchange(entry_failures_, {});
  }
  int RunFailures() const { return run_failures_; }

 private:
  Dialogs& dialogs_;
  HistoryLog& history_;
  Clock& clock_;
  const Attendance attendance_;
  const std::function<void(const std::string&)>& tell_;
  bool in_entry_ = false;
  std::vector<std::string> entry_failures_;
  int run_failures_ = 0;
};

}  // namespace

RunOutcome BackupRun::SaveAll(Attendance attendance) {
  RunReports reports(svc_.dialogs, svc_.history, svc_.clock, attendance, in_.tell);
  ErrorTrap trap(reports, kSaveAllLocation);
  RunOutcome outcome;
  std::string status;  // the status line as this run last wrote it
  const auto show = [&](const std::string& text) {
    status = text;
    in_.status(text);
  };
  const auto finish = [&](RunOutcome::Kind kind) {
    outcome.run_failures = reports.RunFailures();
    if (kind == RunOutcome::Kind::kClean &&
        (outcome.run_failures > 0 || outcome.damaged_copies > 0)) {
      kind = RunOutcome::Kind::kWithErrors;
    }
    outcome.kind = kind;
    outcome.final_status = status;
    return outcome;
  };
  // Taken once: the user may type in the destination box while the run lets events in, and
  // the rest of the run must not go to a half-typed path (nor make folders there). A path pasted
  // in quotes or with a trailing blank means the folder without them.
  const std::string destination = TakenFolderPath(in_.destination());

  std::vector<std::string> entries;
  if (!trap.Test(102, [&] {
        entries = in_.entries();
        return !entries.empty();
      })) {
    trap.Step(172, [&] { show(kNoFilesStatus); });
    return finish(RunOutcome::Kind::kEmptyList);
  }
  // A name no folder can have is as missing as a drive not plugged in, and as quietly.
  if (trap.Test(104, [&] {
        return !CanNameFolder(destination) || !PathFound(svc_.files, destination);
      })) {
    trap.Step(106, [&] { show(destination + kDoesNotExist); });
    return finish(RunOutcome::Kind::kDestinationMissing);
  }

  Snapshot run = TakeSnapshot(trap, destination, std::move(entries));
  run.attended = attendance == Attendance::kAttended;
  bool leftovers_tried = false;
  std::map<std::string, EntryTotals> found;
  std::map<std::string, EntryReadBack> read_back = run.read_back;
  for (std::size_t i = 0; i < run.entries.size(); ++i) {
    std::string source;
    OlderBackups older;
    WrittenBackup written;
    reports.BeginEntry();
    EntryResult result = BackUpEntry(trap, run, i, &source, &older, &written);
    if (result.kind == EntryResult::Kind::kCopied && result.copy.folders_failed == 0) {
      found[run.entries[i]] = {result.copy.FilesSeen(), result.copy.bytes_seen};
    }
    trap.Step(156, [&] { svc_.pump.ProcessPendingEvents(); });
    for (std::string& failure : reports.EndEntry()) result.failures.push_back(std::move(failure));
    ++outcome.folders_processed;
    if (!result.Complete()) ++outcome.folders_failed;

    trap.Step(158, [&] {
      svc_.history.AppendHistoryLine(
          HistoryLine(SourceName(CopySource(source)), NowText(svc_.clock), result));
    });
    trap.Step(159, [&] { KeepFewer(run, i, result, &older, &leftovers_tried); });
    trap.Step(160, [&] { svc_.pump.ProcessPendingEvents(); });
    trap.Step(161, [&] {
      outcome.damaged_copies +=
          ReadBackEntry(run, i, source, result, std::move(written), &read_back);
    });
    trap.Step(162, [&] { svc_.pump.ProcessPendingEvents(); });
  }

  KeepTotals(run, found);
  KeepReadBack(run, read_back);
  trap.Step(170, [&] {
    show(CompleteStatus(NowText(svc_.clock), outcome.folders_failed, outcome.folders_processed,
                        reports.RunFailures(), outcome.damaged_copies));
  });
  return finish(outcome.folders_failed > 0 ? RunOutcome::Kind::kWithErrors
                                           : RunOutcome::Kind::kClean);
}

// The entries as they stand now, each processed once and in this order: the list may be edited
// while the run lets events in, and reading it by position would then skip an entry or copy one
// twice. Their folder names come from the whole list, so two sources of the same name never
// share a folder and each keeps its folder from run to run.
BackupRun::Snapshot BackupRun::TakeSnapshot(ErrorTrap& trap, const std::string& destination,
                                            std::vector<std::string> entries) {
  Snapshot run;
  run.destination = destination;
  // Totals that cannot be read only leave the progress without them.
  try {
    if (svc_.settings != nullptr) {
      run.totals = ReadEntryTotals(svc_.settings->GetSetting(kKeyEntryTotals, ""));
    }
  } catch (...) {
  }
  // A state that cannot be read only starts the reading back from the beginning.
  try {
    if (svc_.settings != nullptr) {
      run.read_back = ReadReadBackState(svc_.settings->GetSetting(kKeyReadBackState, ""));
    }
  } catch (...) {
  }
  // Read once: a run either links its stamped folders' unchanged files or copies them all, and
  // keeps fewer for every entry or for none.
  try {
    const RunChoices choices = in_.choices();
    run.snapshot_links = choices.snapshot_links;
    run.keep_fewer = choices.keep_fewer;
  } catch (...) {
  }
  // A destination inside a source must not take the backups of earlier runs in again, or the
  // backup doubles on every run: the copy leaves out what reads as a backup folder of an entry.
  trap.Step(116, [&] {
    std::vector<std::string> base_names;
    for (const std::string& entry : entries) base_names.push_back(BackupBaseName(entry));
    run.stamp_texts = StampTexts::From(svc_.clock);
    run.names = NamesByOwner(destination, entries, base_names, run.stamp_texts);
    run.copy.copies_folder = destination;
    run.copy.leave_out = LeftOutOfCopies(std::move(base_names), run.stamp_texts);
    run.entries = std::move(entries);
  });
  return run;
}

void BackupRun::KeepTotals(const Snapshot& run, const std::map<std::string, EntryTotals>& found) {
  if (svc_.settings == nullptr) return;
  std::map<std::string, EntryTotals> kept;
  for (const std::string& entry : run.entries) {
    if (const auto it = found.find(entry); it != found.end()) {
      kept[entry] = it->second;
    } else if (const auto earlier = run.totals.find(entry); earlier != run.totals.end()) {
      kept[entry] = earlier->second;
    }
  }
  try {
    svc_.settings->SaveSetting(kKeyEntryTotals, EntryTotalsText(kept));
  } catch (...) {
    // Only the next run's progress goes without totals.
  }
}

}  // namespace tess
