// Each entry's newest backup read back after its copy: a share of it a run, going on where the
// last run stopped, so a backup left alone for a year is still proven whole, or mended, or its
// damage told, long before the day it is needed.
#include <exception>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "backup/backup_run.h"
#include "backup/path_rules.h"
#include "backup/read_back.h"
#include "backup/run_report.h"
#include "copy/copy_paths.h"
#include "history/history_log.h"
#include "ports/clock.h"
#include "ports/event_pump.h"
#include "ports/file_queries.h"
#include "ports/file_system.h"
#include "ports/program_settings.h"

namespace tess {
namespace {}  // namespace

int BackupRun::ReadBackEntry(const Snapshot& run, std::size_t index, const std::string& source,
                             const EntryResult& result, WrittenBackup written,
                             std::map<std::string, EntryReadBack>* state) {
  if (svc_.hash == nullptr || written.lines.empty()) return 0;
  EntryReadBack& kept = (*state)[run.entries[index]];
  // A copy written afresh by this run is trusted again.
  std::erase_if(kept.distrusted,
                [&](const std::string& path) { return written.rewritten.count(path) != 0; });

  ReadBackPlace place;
  std::string source_full;
  if (svc_.files.FullPath(written.landing, &place.folder).Failed() ||
      svc_.files.FullPath(source, &source_full).Failed()) {
    return 0;
  }
  // A file entry's one line names the file, beside which its source lies.
  place.source = IsFolder(svc_.files, source) ? source_full : copy_path::ParentPath(source_full);
  bool fine = true;
  svc_.files.KeepsFineWriteTimes(place.folder, &fine);
  place.coarse_times = !fine;
  place.lines = std::move(written.lines);
  ReadBack reader(svc_.files, *svc_.hash, PumpEvents(svc_.pump));
  const ReadBackResult read =
      reader.Run(place, result.copy.bytes_seen, kept.position, kept.bytes_ahead);
  kept.position = read.position;
  kept.bytes_ahead = read.bytes_ahead;
  if (read.findings.empty()) return 0;

  // Listed afresh: the folder just written is among those that share a damaged copy.
  OlderBackups now;
  ReadOlderBackups(run, index, &now);
  const std::string name = SourceName(CopySource(source));
  int damaged = 0;
  for (ReadBackFinding finding : read.findings) {
    if (finding.verdict == ReadBackVerdict::kNoLine) continue;
    ++damaged;
    // A copy that stayed whole while its source went bad is the one to keep.
    const bool copy_sound = finding.verdict == ReadBackVerdict::kSourceDamaged || finding.repaired;
    if (!copy_sound) kept.distrusted.insert(finding.path);
    std::vector<std::string> names;
    for (const EntryBackup& backup : now.backups) {
      if (!backup.names_another_place && !backup.anothers) names.push_back(backup.name);
    }
    const std::vector<std::string> folders =
        FoldersHolding(svc_.files, now.destination, names, place.folder, finding);
    finding.source = svc_.files.Shown(finding.source);
    const std::string line = ReadBackLine(name, NowText(svc_.clock), finding, folders);
    if (in_.tell) in_.tell(line);
    try {
      svc_.history.AppendHistoryLine(line);
    } catch (const std::exception&) {
      // The run's status still counts the damage, and the tray shows it.
    }
  }
  return damaged;
}

void BackupRun::KeepReadBack(const Snapshot& run,
                             const std::map<std::string, EntryReadBack>& state) {
  if (svc_.settings == nullptr) return;
  std::map<std::string, EntryReadBack> kept;
  for (const std::string& entry : run.entries) {
    if (const auto it = state.find(entry); it != state.end()) kept[entry] = it->second;
  }
  if (kept == run.read_back) return;
  try {
    // Read again: a /verify may have found damage while this run copied.
    const std::map<std::string, EntryReadBack> stored =
        ReadReadBackState(svc_.settings->GetSetting(kKeyReadBackState, ""));
    svc_.settings->SaveSetting(kKeyReadBackState,
                               ReadBackStateText(MergeReadBackState(stored, run.read_back, kept)));
  } catch (...) {
    // Only the next run starts reading back from the beginning.
  }
}

}  // namespace tess
