// One entry of a backup run carried out: its plan made, its folder made when missing, its
// copy, each read and write a numbered step of the run's trap so a report names the line.
#include <cmath>
#include <cstdint>
#include <exception>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_names.h"
#include "backup/backup_run.h"
#include "backup/entry_manifest.h"
#include "backup/entry_plan.h"
#include "backup/folder_owners.h"
#include "backup/path_rules.h"
#include "base/error_trap.h"
#include "base/platform_error.h"
#include "ports/dialogs.h"
#include "ports/environment.h"
#include "ports/event_pump.h"
#include "ports/file_queries.h"
#include "ports/file_system.h"
#include "schedule/due_time.h"

namespace tess {

namespace {

constexpr int kMaxCreationAttempts = 10;

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

// The files of an entry whose copies were found damaged beyond mending, to be copied afresh.
std::set<std::string> Distrusted(const std::map<std::string, EntryReadBack>& kept,
                                 const std::string& entry) {
  const auto it = kept.find(entry);
  return it == kept.end() ? std::set<std::string>() : it->second.distrusted;
}

// What the entry's last whole copy went through, if it is known.
std::optional<EntryTotals> Expected(const std::map<std::string, EntryTotals>& totals,
                                    const std::string& entry) {
  const auto it = totals.find(entry);
  return it == totals.end() ? std::nullopt : std::optional(it->second);
}

}  // namespace

EntryResult BackupRun::BackUpEntry(ErrorTrap& trap, const Snapshot& run, std::size_t index,
                                   std::string* source_out, OlderBackups* older,
                                   WrittenBackup* written) {
  const std::string& entry = run.entries[index];
  std::string& source = *source_out;
  trap.Step(118, [&] { source = EntryFolder(entry); });
  EntryResult result;
  if (!trap.Test(120, [&] { return PathFound(svc_.files, source); })) {
    // A renamed folder or an unplugged drive must not stop being backed up unnoticed.
    result.kind = EntryResult::Kind::kSourceMissing;
    result.missing_source = entry;
    result.source_error = WhyNotFound(svc_.files, source);
    return result;
  }

  EntryPlanInputs wanted{entry,           "",   FolderStamp::kNone, "",
                         run.destination, true, run.snapshot_links};
  trap.Step(122, [&] { wanted.name = run.names[index]; });
  wanted.stamp = ReadStamp(trap, &wanted.suffix);
  if (wanted.stamp == FolderStamp::kNone) {
    // Without the stamp a file entry lands in the destination as itself.
    trap.Step(144, [&] {
      wanted.source_is_folder =
          wanted.name != BackupBaseName(entry) || IsFolder(svc_.files, source);
    });
  }
  EntryPlan plan = PlanEntry(wanted);
  if (!trap.Test(124, [&] { return ClaimFolder(run, index, &wanted, &plan, &result); })) {
    return result;
  }
  if (plan.links) ReadOlderBackups(run, index, older);
  const std::string link_from = plan.links ? LinkSource(run, *older, plan.folder_name) : "";
  result.backup_folder = plan.folder_name;
  result.linked_folder = LastPathPart(link_from);

  int attempts = 0;
  trap.Step(136, [&] { attempts = 0; });
  while (trap.Test(138, [&] {
    return !IsFolder(svc_.files, plan.must_exist) && attempts < kMaxCreationAttempts;
  })) {
    // The reason goes into the entry's history line; a person who is there sees it once,
    // not once for every attempt.
    trap.Step(
        140,
        [&] {
          try {
            CreateFolder(svc_.files, plan.must_exist);
          } catch (const std::exception& e) {
            result.creation_error = e.what();
            throw;
          }
        },
        run.attended && attempts == 0);
    trap.Step(142, [&] { ++attempts; });
    // The test above counts a failure of its own as met; this keeps that loop finite.
    if (attempts >= kMaxCreationAttempts) break;
  }

  if (trap.Test(146, [&] { return !source.empty() && source.back() == '\\'; })) {
    trap.Step(148, [&] { source = CopySource(source); });
  }
  if (trap.Test(150, [&] { return IsFolder(svc_.files, plan.must_exist); })) {
    // The copy makes the landing folder when it is missing, and puts a file entry inside it
    // whether or not its path ends in a backslash.
    std::optional<EntryManifest> manifest;
    trap.Step(152, [&] {
      CopySettings settings = run.copy;
      settings.link_from = link_from;
      if (svc_.hash != nullptr) {
        std::uint64_t tag = 0;
        ManifestHead(entry, index, &tag);
        manifest.emplace(svc_.files, *svc_.hash, plan.manifest, link_from, tag,
                         Distrusted(run.read_back, entry));
        settings.hashes = manifest->Hashes();
      }
      result.copy = Copy(source, plan.landing, std::move(settings), Expected(run.totals, entry));
      result.kind = EntryResult::Kind::kCopied;  // only a copy that returned can count as saved
    });
    if (manifest && result.kind == EntryResult::Kind::kCopied) {
      trap.Step(153, [&] {
        try {
          WriteManifest(*manifest, entry, index, result.copy);
          *written = {plan.landing, manifest->TakeWritten(), manifest->Rewritten()};
        } catch (const std::exception& e) {
          // Told in the entry's line, never in a box: a drive that took no copy takes no
          // manifest either, and a folder without its proof must not read as saved.
          result.failures.push_back(StepFailure(153, e.what()));
        }
      });
    }
  } else {
    trap.Step(154, [&] {
      result.kind = EntryResult::Kind::kNotCopied;
      result.missing_destination = plan.must_exist;
      if (!run.attended) return;  // the entry's history line says it
      svc_.dialogs.MessageBox(
          kDestinationFolderMissing + std::string("\r\n") + result.missing_destination, "",
          BoxButtons::kOk, BoxIcon::kNone);
    });
  }
  return result;
}

// A stamp of either mode, or with no mode chosen the bare name: a stamp box that cannot be
// read counts as checked, as a failing test does.
FolderStamp BackupRun::ReadStamp(ErrorTrap& trap, std::string* suffix) {
  FolderStamp stamp = FolderStamp::kNone;
  if (!trap.Test(126, [&] {
        stamp = in_.choices().stamp;
        return stamp != FolderStamp::kNone;
      })) {
    return FolderStamp::kNone;
  }
  if (trap.Test(128, [&] { return stamp == FolderStamp::kDateAndTime; })) {
    trap.Step(130, [&] { *suffix = DateTimeSuffix(svc_.clock); });
  } else if (trap.Test(132, [&] { return stamp == FolderStamp::kDate; })) {
    trap.Step(134, [&] { *suffix = DateSuffix(svc_.clock); });
  }
  return stamp == FolderStamp::kNone ? FolderStamp::kNameOnly : stamp;
}

void BackupRun::ReadOlderBackups(const Snapshot& run, std::size_t index, OlderBackups* older) {
  if (older->tried) return;
  older->tried = true;
  try {
    if (!svc_.files.FullPath(CleanPath(run.destination), &older->destination).Failed() &&
        !svc_.files.List(older->destination, &older->listing).Failed()) {
      older->backups = ReadEntryBackups(older->listing, run.names, index, run.stamp_texts);
      WeighOwners(svc_.files, older->destination, OwnerOf(run.entries[index]), &older->backups);
      return;
    }
  } catch (...) {
  }
  // Nothing to go by: no links this time, and nothing removed.
  older->destination.clear();
  older->listing.clear();
  older->backups.clear();
}

std::string BackupRun::LinkSource(const Snapshot& run, const OlderBackups& older,
                                  const std::string& except) {
  if (older.destination.empty()) return "";
  const std::string newest = NewestEarlierBackup(older.backups, except);
  return newest.empty() ? newest : CleanPath(CleanPath(run.destination) + "\\" + newest);
}

// Who the backup belongs to, and whether its copy went through whole: a run killed before this
// leaves no new manifest, so only a run that ended can say either.
void BackupRun::WriteManifest(EntryManifest& manifest, const std::string& entry, std::size_t index,
                              const CopyOutcome& copy) {
  std::uint64_t tag = 0;
  ManifestOwner owner = ManifestHead(entry, index, &tag);
  owner.complete = copy.Complete();
  const std::string failure = manifest.Write(owner, tag);
  if (!failure.empty()) throw PlatformError(kErrPermissionDenied, failure);
}

// The copy never shows anything of its own; whatever goes wrong is counted in its outcome.
CopyOutcome BackupRun::Copy(const std::string& source, const std::string& landing,
                            CopySettings settings, const std::optional<EntryTotals>& expected) {
  settings.overwrite = true;
  settings.yield = PumpEvents(svc_.pump);
  if (in_.progress) {
    // Counting costs the copy nothing; showing is what costs, so it comes ten times a second.
    constexpr double kShowEverySeconds = 0.1;
    double shown_at = -kShowEverySeconds;
    const std::string name = SourceName(CopySource(source));
    const NumberText number = [this](double value, int decimals) {
      return svc_.clock.NumberText(value, decimals);
    };
    settings.progress = [=, this](const CopyProgress& done) mutable {
      const double now = svc_.clock.MonotonicSeconds();
      if (now - shown_at < kShowEverySeconds) return;
      shown_at = now;
      in_.progress(ProgressText(name, done, expected, number), ProgressValue(done, expected));
    };
    in_.progress(ProgressText(name, {}, expected, number), 0);
  }
  if (svc_.copy) return svc_.copy(source, landing, settings);
  return CopyTree(svc_.files, source, landing, settings);
}

}  // namespace tess
