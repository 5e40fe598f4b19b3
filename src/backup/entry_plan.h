// Where one entry of a backup run goes, worked out from plain values before anything on disk is
// touched: its backup folder's name, the folder that must be there before the copy, where the
// copy lands, and which earlier backup folder its unchanged files are linked to.
#pragma once

#include <string>
#include <vector>

#include "backup/destination_listing.h"
#include "backup/folder_naming.h"

namespace tess {

struct EntryPlanInputs {
  std::string entry;  // the entry as listed
  std::string name;   // its backup folder name, numbered when an earlier entry has it
  FolderStamp stamp = FolderStamp::kNone;  // kNone: the stamp box is off
  std::string suffix;       // the stamp's text, joined straight to the name; empty for none
  std::string destination;  // the destination text, as the run took it
  bool source_is_folder = true;
  bool snapshot_links = true;  // stamped folders link their unchanged files to an earlier one
};

struct EntryPlan {
  std::string folder_name;  // the stamped backup folder's name; empty without the stamp
  // Made before the copy when missing: the stamped folder, or without the stamp the
  // destination itself, since the copy makes the entry's own folder in it.
  std::string must_exist;
  std::string landing;  // what the copy is given as its destination
  // The entry's newest earlier stamped backup folder is to be found and linked to.
  bool links = false;
  // The manifest beside what the copy writes: the backup folder, or a file landing as itself.
  std::string manifest;
};

EntryPlan PlanEntry(const EntryPlanInputs& in);

// Of an entry's backup folders (ReadEntryBackups), the newest of its own dated ones by the
// moment its stamp names (not by its name's sort order), never `except` (the folder being
// written); empty when there is none.
std::string NewestEarlierBackup(const std::vector<EntryBackup>& reading, const std::string& except);

}  // namespace tess
