// The stored "Folders" text: any stored text reads without harm, and every list a user can
// have comes back whole and in order after a store and a restore.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "folders/folder_text.h"
#include "fuzz/fuzz_input.h"

namespace {

// Windows never allows a double quote in a path, and blank entries are never listed.
bool UserCanHave(const std::string& entry) {
  return entry.find('"') == std::string::npos && entry.find_first_not_of(' ') != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tess::fuzz::FuzzInput input(data, size);

  // Whatever an older version or a hand edit left in the store.
  for (const auto& entry : tess::SplitFolderEntries(input.All())) {
    FUZZ_CHECK(entry.find_first_not_of(' ') != std::string::npos, input.All());
  }

  std::vector<std::string> entries;
  for (auto& piece : input.Pieces()) {
    if (UserCanHave(piece)) entries.push_back(std::move(piece));
  }
  const auto restored = tess::SplitFolderEntries(tess::JoinFolderEntries(entries));
  FUZZ_CHECK(restored == entries, input.All());
  return 0;
}
