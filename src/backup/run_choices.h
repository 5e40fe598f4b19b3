// What the options ask of a backup run: how each entry's backup folder is named, whether a
// stamped folder's unchanged files become links, and whether older dated folders are thinned.
#pragma once

#include "backup/folder_naming.h"

namespace tess {

struct RunChoices {
  FolderStamp stamp = FolderStamp::kNone;
  // A stamped folder's unchanged files become links to the entry's previous backup folder.
  bool snapshot_links = true;
  // Each entry's older dated backup folders are thinned out after its copy (thinning_rule.h).
  bool keep_fewer = false;
  bool operator==(const RunChoices&) const = default;
};

}  // namespace tess
