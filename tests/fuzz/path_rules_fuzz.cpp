// Path-text rules over any text: cleaning never grows a path, keeps a network path's two
// leading backslashes, changes nothing but backslashes and leaves no doubled backslash where
// the path had no run of three; the last part is a true tail; a copy never reads a drive
// without its backslash (the current folder on that drive), and a history name holds none;
// the lines of the text taken as a list get backup folder names that start with each entry's
// own name, hold no backslash, differ from each other and come out the same every time.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "backup/backup_names.h"
#include "backup/path_rules.h"
#include "fuzz/fuzz_input.h"

namespace {

std::string WithoutBackslashes(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != '\\') out += c;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tess::fuzz::FuzzInput input(data, size);
  const std::string& path = input.All();

  const std::string clean = tess::CleanPath(path);
  FUZZ_CHECK(WithoutBackslashes(clean) == WithoutBackslashes(path), path);
  if (!path.empty() && path[0] == '\\') {
    FUZZ_CHECK(clean.rfind("\\\\", 0) == 0, path);
    FUZZ_CHECK(clean.size() == 2 || clean[2] != '\\', path);
  } else {
    FUZZ_CHECK(clean.size() <= path.size(), path);
    // One pass halves each run of backslashes, so only runs of three or more leave a pair.
    if (path.find("\\\\\\") == std::string::npos) {
      FUZZ_CHECK(clean.find("\\\\") == std::string::npos, path);
    }
  }

  const std::string last = tess::LastPathPart(path);
  FUZZ_CHECK(last.find('\\') == std::string::npos, path);
  FUZZ_CHECK(last.size() <= path.size(), path);
  FUZZ_CHECK(path.compare(path.size() - last.size(), last.size(), last) == 0, path);

  const std::string source = tess::CopySource(tess::EntryFolder(path));
  FUZZ_CHECK(!(tess::IsDriveRoot(source) && source.size() == 2), path);
  FUZZ_CHECK(WithoutBackslashes(source) == WithoutBackslashes(path), path);
  FUZZ_CHECK(tess::SourceName(source).find('\\') == std::string::npos, path);

  std::vector<std::string> entries;
  for (size_t from = 0; from <= path.size();) {
    const size_t end = std::min(path.find('\n', from), path.size());
    entries.push_back(path.substr(from, end - from));
    from = end + 1;
  }
  const std::vector<std::string> names = tess::BackupFolderNames(entries);
  FUZZ_CHECK(names.size() == entries.size(), path);
  FUZZ_CHECK(names == tess::BackupFolderNames(entries), path);
  std::set<std::string> seen;
  for (size_t i = 0; i < names.size(); ++i) {
    FUZZ_CHECK(names[i].rfind(tess::BackupBaseName(entries[i]), 0) == 0, path);
    FUZZ_CHECK(names[i].find('\\') == std::string::npos, path);
    FUZZ_CHECK(names[i].empty() || seen.insert(names[i]).second, path);
  }
  return 0;
}
