#include "backup/backup_run.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_folder_names.h"
#include "backup/backup_names.h"
#include "backup/copy_tree.h"
#include "backup/folder_naming.h"
#include "backup/path_rules.h"
#include "backup/run_report.h"
#include "base/error_trap.h"
#include "base/name_case.h"
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
                      const std::string& destination, CopySettings settings) {
  settings.overwrite = true;
  settings.yield = [&pump] {
    try {
      pump.ProcessPendingEvents();
    } catch (...) {
    }
  };
  try {
    return files.CopyFolderWith(source, destination, settings);
  } catch (const std::exception& e) {
    CopyOutcome failed;
    failed.folders_failed = 1;
    failed.first_failure_path = source;
    failed.first_failure_reason = e.what();
    return failed;
  }
}

bool EndsWithBackslash(const std::string& text) { return !text.empty() && text.back() == '\\'; }

// The entry's newest earlier stamped backup folder under the destination, by the moment its
// stamp names (not by its name's sort order), never the folder being written and never one of
// another entry whose name begins the same way; empty when there is none or the destination
// cannot be listed: the copy then simply makes no links.
std::string NewestEarlierBackup(FileSystem& files, const std::string& destination,
                                const std::string& backup_name, const std::string& folder_name,
                                const StampTexts& texts) {
  try {
    std::string newest;
    LocalTime newest_time;
    for (const SubFolder& folder : files.SubFolders(destination)) {
      if (folder.names_another_place || SameName(folder.name, folder_name)) continue;
      const auto read = ReadBackupFolderName(folder.name, backup_name, texts);
      if (!read || read->copy_number != 1 || read->stamp == FolderStamp::kNone) continue;
      if (newest.empty() || StampIsLater(read->time, newest_time)) {
        newest = folder.name;
        newest_time = read->time;
      }
    }
    return newest.empty() ? newest : CleanPath(destination + "\\" + newest);
  } catch (...) {
    return "";
  }
}

// The system's own words for a source that is not there, as the copy's failures carry them;
// empty when it has none (a path with a wildcard, or a source that came back meanwhile).
std::string WhyNotFound(FileSystem& files, const std::string& source) {
  try {
    files.Attributes(source);
  } catch (const std::exception& e) {
    return e.what();
  }
  return "";
}

}  // namespace

RunOutcome BackupRun::SaveAll() {
  ErrorTrap trap(svc_.dialogs, kSaveAllLocation);
  RunOutcome outcome;
  const auto finish = [&](RunOutcome::Kind kind) {
    outcome.kind = kind;
    outcome.final_status = in_.status_line.Caption();
    return outcome;
  };
  // Taken once: the user may type in the destination box while the run lets events in, and
  // the rest of the run must not go to a half-typed path (nor make folders there).
  const std::string destination_text = in_.destination();

  if (!trap.Test(102, [&] { return in_.entries.Count() > 0; })) {
    trap.Step(172, [&] { in_.status_line.SetCaption(kNoFilesStatus); });
    return finish(RunOutcome::Kind::kEmptyList);
  }
  if (trap.Test(104, [&] { return !PathFound(svc_.files, destination_text); })) {
    trap.Step(106, [&] { in_.status_line.SetCaption(destination_text + kDoesNotExist); });
    return finish(RunOutcome::Kind::kDestinationMissing);
  }

  // The entries as they stand now, each processed once and in this order: the list may be
  // edited while the run lets events in, and reading it by position would then skip an entry
  // or copy one twice. Their folder names come from the whole list, so two sources of the same
  // name never share a folder and each keeps its folder from run to run.
  std::vector<std::string> entries;
  std::vector<std::string> names;
  // Read once: a run either links its stamped folders' unchanged files or copies them all. A
  // setting that cannot be read leaves links on, as when it was never written.
  bool snapshot_links = true;
  try {
    snapshot_links = !in_.snapshot_links || in_.snapshot_links();
  } catch (...) {
  }
  // A destination inside a source must not take the backups of earlier runs in again, or the
  // backup doubles on every run: the copy leaves out what reads as a backup folder of an entry.
  CopySettings copy_settings;
  trap.Step(116, [&] {
    std::vector<std::string> items = in_.entries.Items();
    names = BackupFolderNames(items);
    copy_settings.backups_folder = destination_text;
    for (const std::string& item : items) {
      copy_settings.backup_names.push_back(BackupBaseName(item));
    }
    copy_settings.stamp_texts = StampTexts::From(svc_.clock);
    entries = std::move(items);
  });
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string& entry = entries[i];
    std::string source;
    trap.Step(118, [&] { source = EntryFolder(entry); });
    ++outcome.folders_processed;

    EntryResult result;
    if (!trap.Test(120, [&] { return PathFound(svc_.files, source); })) {
      // A renamed folder or an unplugged drive must not stop being backed up unnoticed.
      result.kind = EntryResult::Kind::kSourceMissing;
      result.missing_source = entry;
      result.source_error = WhyNotFound(svc_.files, source);
    } else {
      // The folder name: the entry's own name (numbered when an earlier entry has it) and the
      // stamp.
      std::string folder_name;
      std::string landing;  // where the copy puts the entry, when not the destination below
      std::string link_from;  // the entry's previous backup folder, when files are linked
      trap.Step(122, [&] { folder_name = names[i]; });
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
        // Without the stamp only the destination itself must be there first: the copy makes
        // the entry's folder in it, and a destination it cannot write to is the copy's
        // failure, logged for the entry. The folder's path never ends in a backslash, so the
        // copy merges the source's contents into it whether or not the entry ends in one. A
        // file lands in the destination as itself; only a file whose name an earlier entry
        // has goes into a folder of its own.
        trap.Step(144, [&] {
          landing = CleanPath(destination_text + "\\" + folder_name);
          if (folder_name == BackupBaseName(entry) && !IsFolder(svc_.files, source)) {
            landing.clear();
          }
          folder_name.clear();
        });
      }
      // The folder that must be there before the copy, made when missing: the stamped folder
      // (where the copy lands), or without the stamp the destination itself.
      const std::string destination = CleanPath(destination_text + "\\" + folder_name);
      if (landing.empty()) landing = destination;
      if (snapshot_links && (stamp == FolderStamp::kDateAndTime || stamp == FolderStamp::kDate)) {
        try {
          link_from = NewestEarlierBackup(svc_.files, CleanPath(destination_text), names[i],
                                          folder_name, copy_settings.stamp_texts);
        } catch (...) {
          link_from.clear();  // no links this time; the copy is whole all the same
        }
      }

      int attempts = 0;
      trap.Step(136, [&] { attempts = 0; });
      while (trap.Test(138, [&] {
        return !IsFolder(svc_.files, destination) && attempts < kMaxCreationAttempts;
      })) {
        trap.Step(140, [&] {
          try {
            svc_.files.CreateFolder(destination);
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
      if (trap.Test(150, [&] { return IsFolder(svc_.files, destination); })) {
        // The copy makes the landing folder when it is missing, and puts a file entry inside
        // it whether or not its path ends in a backslash.
        trap.Step(152, [&] {
          result.kind = EntryResult::Kind::kCopied;
          CopySettings settings = copy_settings;
          settings.link_from = link_from;
          result.copy = CopyQuiet(svc_.files, svc_.pump, source, landing, settings);
        });
      } else {
        trap.Step(154, [&] {
          result.kind = EntryResult::Kind::kNotCopied;
          result.missing_destination = destination;
          svc_.dialogs.MessageBox(
              kDestinationFolderMissing + std::string("\r\n") + result.missing_destination, "",
              BoxButtons::kOk, BoxIcon::kNone);
        });
      }
    }
    if (!result.Complete()) ++outcome.folders_failed;

    trap.Step(156, [&] { svc_.pump.ProcessPendingEvents(); });
    trap.Step(158, [&] {
      svc_.history.AppendHistoryLine(
          HistoryLine(SourceName(CopySource(source)), NowText(svc_.clock), result));
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
