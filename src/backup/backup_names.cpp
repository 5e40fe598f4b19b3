#include "backup/backup_names.h"

#include <algorithm>

#include "backup/path_rules.h"

namespace tess {

namespace {

// The small letter of a capital in the scripts a folder name most often uses (Latin, Greek,
// Cyrillic); any other character stands for itself.
char32_t SmallLetter(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  const bool even = c % 2 == 0;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return even ? c + 1 : c;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return even ? c : c + 1;
  if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

// The name with its capitals made small. Only one- and two-byte characters can change, and
// each stays the length it was.
std::string Folded(const std::string& name) {
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    const auto lead = static_cast<unsigned char>(name[i]);
    if (lead < 0x80) {
      out += static_cast<char>(SmallLetter(lead));
      continue;
    }
    const bool two_bytes = (lead & 0xE0) == 0xC0 && i + 1 < name.size() &&
                           (static_cast<unsigned char>(name[i + 1]) & 0xC0) == 0x80;
    if (!two_bytes) {
      out += name[i];
      continue;
    }
    const char32_t c =
        SmallLetter(((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(name[i + 1]) & 0x3Fu));
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
    ++i;
  }
  return out;
}

bool IsDriveName(const std::string& part) {
  return part.size() == 2 && part[1] == ':' &&
         ((part[0] >= 'A' && part[0] <= 'Z') || (part[0] >= 'a' && part[0] <= 'z'));
}

}  // namespace

std::string BackupBaseName(const std::string& entry) {
  std::string path = entry;
  // Every trailing backslash, not only one: "C:\Data\Docs\\" is still the folder Docs.
  while (!path.empty() && path.back() == '\\') path.pop_back();
  const std::string last = LastPathPart(path);
  return IsDriveName(last) ? last.substr(0, 1) : last;
}

std::vector<std::string> BackupFolderNames(const std::vector<std::string>& entries) {
  std::vector<std::string> own;
  own.reserve(entries.size());
  for (const auto& entry : entries) own.push_back(Folded(BackupBaseName(entry)));

  std::vector<std::string> names;
  std::vector<std::string> taken;  // folded
  names.reserve(entries.size());
  const auto is_taken = [&](const std::string& folded) {
    return std::find(taken.begin(), taken.end(), folded) != taken.end();
  };
  for (size_t i = 0; i < entries.size(); ++i) {
    std::string name = BackupBaseName(entries[i]);
    // An entry without a name (an empty text) has nothing to number.
    if (!name.empty() && is_taken(own[i])) {
      for (int n = 2;; ++n) {
        const std::string numbered = name + " (" + std::to_string(n) + ")";
        const std::string folded = Folded(numbered);
        if (!is_taken(folded) && std::find(own.begin(), own.end(), folded) == own.end()) {
          name = numbered;
          break;
        }
      }
    }
    taken.push_back(Folded(name));
    names.push_back(name);
  }
  return names;
}

}  // namespace tess
