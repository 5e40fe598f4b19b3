// The subfolder walk: a list of folder paths extended, level by level, with every folder below
// them that can and should be listed, while the window keeps responding.
#pragma once

#include <string>
#include <vector>

#include "ports/file_tree.h"

namespace tess {

class FileSystem;
class EventPump;
class ErrorReporter;

struct WalkServices {
  FileSystem& files;
  EventPump& pump;
  ErrorReporter& reporter;
};

// Appends to folders every folder below its entries: first the subfolders of every entry, then
// theirs, level by level; within a level grouped by parent in the list's order, and within a
// parent in the file system's order. Each found path is the parent's text, the name and "\"
// (entries are expected to end with "\"). Left out, with everything below them: folders whose
// name fails SubfolderNameTaken, folders that only name another place, and folders that are
// not listable (hidden, system and nothing else, or that and a reparse point, unless a root).
// An entry that is missing, a file, or 260 characters or longer stays but is not listed; an
// entry that refuses listing or has gone is removed from folders. With recurse false only the
// first level is added. Failures before the first listing, and while appending, are reported
// as the walk's own; failures during listings end that folder's listing quietly.
void WalkSubfolders(std::vector<std::string>& folders, bool recurse, const WalkServices& services);

// The immediate subfolders of a folder as its listing shows them, hidden and system ones
// included, in the file system's order. Throws PlatformError: kErrPermissionDenied when
// listing is refused, kErrPathNotFound when there is no such folder (or it is a file).
std::vector<TreeEntry> ListSubfolders(FileSystem& files, const std::string& folder);

// True when a subfolder's name is taken: shorter than 260 characters, no "?", no character
// whose code in the ANSI code page is below 32, from 127 to 159, or 63 (a character the code
// page cannot hold), and neither "." nor "..".
bool SubfolderNameTaken(FileSystem& files, const std::string& name);

}  // namespace tess
