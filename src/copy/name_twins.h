// Names of one folder's listing that a destination would take as one name (the one letter-case
// rule): which of them is backed up, and which are left out as its twins.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ports/file_tree.h"

namespace tess {

// For each entry of a listing, the index of the entry backed up under its name: its own index,
// or for a twin the index of the name of its group that comes first in ordinal order (by code
// point, which is UTF-8 byte order: capitals before small letters). A folder on a file system
// that tells case apart (Linux through Wine, a Windows folder with per-folder case sensitivity)
// can hold FAQ.html and faq.html; a destination that does not can hold one of them, and copying
// both would have each overwrite the other on every run. The entries' keys decide.
std::vector<std::size_t> NameHolders(const std::vector<TreeEntry>& listing);

// Why a twin was not copied; first is the path, as shown, of the name backed up in its place.
std::string TwinReason(const std::string& first);

}  // namespace tess
