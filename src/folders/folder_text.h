// The stored text form of the folder list: each entry followed by ";". An entry that itself
// holds ";" is wrapped in double quotes, which Windows never allows in a path, so it comes
// back whole; every other entry is stored exactly as older versions stored it.
#pragma once

#include <string>
#include <vector>

namespace tess {

std::string JoinFolderEntries(const std::vector<std::string>& entries);
// Pieces that are empty or only blanks are skipped; other pieces come back untrimmed.
std::vector<std::string> SplitFolderEntries(const std::string& text);

}  // namespace tess
