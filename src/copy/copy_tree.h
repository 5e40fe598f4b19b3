// The folder copy: a walk of a source over the file-tree primitives that makes every decision
// itself, so that the Windows file system and the test double cannot copy differently.
//
// Placement is the scripting runtime's CopyFolder: a destination ending in "\" receives the
// source under its own name (a drive root under its letter); otherwise the contents merge into
// the destination, which is made, with its parents, when missing. A source that is a file lands
// in the destination folder under its own name.
//
// A file that replaces a copy is written under a temporary name, "~tessaline-" + 16 hex digits
// + ".tmp", in the folder of the copy, and renamed over it, so an interrupted run never destroys
// the previous good copy. A file with no copy yet is written under its own name, its times set
// last: one cut short keeps the time of its last write, which its source does not have, so the
// next run finds it out of date and replaces it (a copy that may not replace files always goes
// through a temporary file). A run deletes temporary files it meets in a destination folder
// (the leftovers of an interrupted run), never copies one from a source and never counts one. A
// file being written is held open without sharing, so a second run started from the event pump
// cannot delete or replace the file a first run is still writing.
//
// A file is never changed in place once written: a replacement is a new file renamed over the
// name, so older backups that share a file through a link keep it as it was.
//
// A file whose copy is still current (CopyIsCurrent; on a destination volume with coarse write
// times, CopyIsCurrentOnCoarseVolume) is skipped and its read-only, hidden and
// system bits are put right; the times come from one listing per folder on each side, never
// from opening files. A file larger than the free room on its volume fails as a full disk
// before any of it is written; a write that fills the volume while other writes were running
// is tried once more, alone, at the end. Only a replacement forces data and rename to disk.
//
// Folders that only name another place are not followed (they can lead back up the tree, and
// what they name is backed up where it lives); a source named directly is followed even when
// it is a link. When the destination lies inside the source, the walk leaves the copy out, and
// with it whatever the caller leaves out of the folder that holds its copies
// (CopySettings::copies_folder): a backup kept inside its own source then does not take in
// every earlier backup again and grow without end. At the root of a drive, the system's own
// "System Volume Information" and "$RECYCLE.BIN" are left out: Windows refuses to open them,
// and they are no user's data.
//
// A source folder on a file system that tells letter case apart can hold names the destination
// takes as one (FAQ.html and faq.html, Docs and docs): the first in code point order is copied,
// and each other one fails, a file as a failed file, a folder as a failed folder whose contents
// are not read (name_twins.h), so that no run overwrites the one with the other.
//
// The walk (here), the decision about each file (file_decision.h) and every call of the yield
// run on the caller's thread; the writes and the links run on the file tree's work pool
// (file_writer.h), and both count into one tally (copy_tally.h). A copy returns when every
// write it started has ended. It never throws: what failed is counted, and the first failure
// told is the first in walk order.
#pragma once

#include <functional>
#include <string>

#include "copy/copy_tally.h"
#include "copy/file_hashes.h"
#include "ports/event_pump.h"
#include "ports/file_tree.h"

namespace tess {

struct CopySettings {
  bool overwrite = true;
  // Runs on the caller's thread between files (at most every kYieldIntervalMs), every
  // kYieldBytes of a long file, and whenever a message arrives while the caller waits.
  std::function<void()> yield;
  // Runs on the caller's thread just before each yield, with how far the copy has come: a run
  // that shows its progress reads it here, from the copy's own tally.
  std::function<void(const CopyProgress&)> progress;
  // Writer threads; 0 leaves the number to the file tree.
  int workers = 0;
  // An earlier copy of the same source laid out as this one, or empty. A file that has no copy
  // here yet and is current against its copy there, attributes included, becomes a second name
  // (a hard link) of that copy: the folder then costs only what changed. Where the file system
  // refuses a link (no links at all, too many names, another volume, access) the file is copied.
  std::string link_from;
  // The folder that holds this copy and its siblings (a run's backup folders), and the caller's
  // answer to whether a folder or file met directly inside it stays out of the copy. Empty or
  // null: nothing is left out there.
  std::string copies_folder;
  std::function<bool(const TreeEntry&)> leave_out;
  // Where the hash of each file the copy leaves whole goes, by its path below the destination
  // ("a/b.txt"; a single file by its name): made by the writers from the bytes as they write
  // them, or for a linked or current file lent by an earlier manifest (a file the earlier
  // manifest does not vouch for is copied rather than linked, and a current one's source read
  // once). Null: nothing is hashed.
  FileHashes* hashes = nullptr;
};

CopyOutcome CopyTree(FileTree& files, const std::string& source, const std::string& destination,
                     const CopySettings& settings);

}  // namespace tess
