#include "backup/manifest.h"

#include <cstddef>
#include <cstdint>
#include <utility>

#include "base/text.h"

namespace tess {
namespace {

constexpr std::string_view kFirstLine = "# Tessaline backup manifest";
constexpr std::string_view kSource = "# source: ";
constexpr std::string_view kComputer = "# computer: ";
constexpr std::string_view kUser = "# user: ";
constexpr std::string_view kWritten = "# written: ";
constexpr std::string_view kComplete = "# complete: ";
// How many file lines follow: a manifest cut short at a line's end still reads as damaged.
constexpr std::string_view kFiles = "# files: ";
constexpr std::size_t kHexDigits = 64;

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// GNU's escape for a name with a backslash or a line break in it: the line then begins with a
// backslash. Windows allows neither in a name, but a file system under Wine might.
std::string Escaped(std::string_view name, bool* escaped) {
  std::string out;
  *escaped = false;
  for (char c : name) {
    if (c == '\\' || c == '\n' || c == '\r') {
      *escaped = true;
      out += c == '\\' ? "\\\\" : c == '\n' ? "\\n" : "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view name) {
  std::string out;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '\\') {
      out += name[i];
      continue;
    }
    if (++i == name.size()) return std::nullopt;
    if (name[i] == '\\') {
      out += '\\';
    } else if (name[i] == 'n') {
      out += '\n';
    } else if (name[i] == 'r') {
      out += '\r';
    } else {
      return std::nullopt;
    }
  }
  return out;
}

// A path that stays inside its folder: relative, no empty part, no "." or "..", no drive.
bool StaysInside(std::string_view path) {
  if (path.empty() || path.find(':') != std::string_view::npos) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find('/', start);
    const std::string_view part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

// One file line: the hash, a blank, a blank or "*" (binary mode), the path.
bool ReadFileLine(std::string_view line, ManifestLines* lines) {
  const bool escaped = !line.empty() && line[0] == '\\';
  if (escaped) line.remove_prefix(1);
  Sha256Digest digest{};
  if (line.size() < kHexDigits + 3 || line[kHexDigits] != ' ' ||
      (line[kHexDigits + 1] != ' ' && line[kHexDigits + 1] != '*') ||
      !ReadHex(line.substr(0, kHexDigits), digest.data(), digest.size())) {
    return false;
  }
  std::string_view name = line.substr(kHexDigits + 2);
  std::optional<std::string> path = escaped ? Unescaped(name) : std::string(name);
  if (!path || !StaysInside(*path) || path->find('\\') != std::string::npos) return false;
  (*lines)[*std::move(path)] = digest;
  return true;
}

}  // namespace

void PutManifestText(const ManifestOwner& owner, const ManifestLines& lines,
                     const std::function<bool(std::string_view)>& put) {
  constexpr std::size_t kPiece = 64 * 1024;
  std::string text;
  text.append(kFirstLine).append("\n");
  text.append(kSource).append(OneLine(owner.source)).append("\n");
  text.append(kComputer).append(OneLine(owner.computer)).append("\n");
  text.append(kUser).append(OneLine(owner.user)).append("\n");
  text.append(kWritten).append(OneLine(owner.written)).append("\n");
  text.append(kComplete).append(owner.complete ? "yes" : "no").append("\n");
  text.append(kFiles).append(std::to_string(lines.size())).append("\n");
  for (const auto& [path, digest] : lines) {
    bool escaped = false;
    const std::string name = Escaped(path, &escaped);
    if (escaped) text += '\\';
    text.append(HexDigest(digest)).append("  ").append(name).append("\n");
    if (text.size() >= kPiece) {
      if (!put(text)) return;
      text.clear();
    }
  }
  put(text);
}

std::string ManifestText(const ManifestOwner& owner, const ManifestLines& lines) {
  std::string text;
  PutManifestText(owner, lines, [&text](std::string_view piece) {
    text.append(piece);
    return true;
  });
  return text;
}

void ManifestReader::Add(std::string_view piece) {
  while (!piece.empty()) {
    const std::size_t end = piece.find('\n');
    if (end == std::string_view::npos) {
      partial_.append(piece);
      return;
    }
    if (partial_.empty()) {
      ReadLine(piece.substr(0, end));
    } else {
      partial_.append(piece.substr(0, end));
      ReadLine(partial_);
      partial_.clear();
    }
    piece.remove_prefix(end + 1);
  }
}

void ManifestReader::ReadLine(std::string_view line) {
  ++number_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // edited on Windows
  if (number_ == 1 && line == kFirstLine) {
    reading_.ours = true;
  } else if (StartsWith(line, kSource)) {
    reading_.owner.source = line.substr(kSource.size());
  } else if (StartsWith(line, kComputer)) {
    reading_.owner.computer = line.substr(kComputer.size());
  } else if (StartsWith(line, kUser)) {
    reading_.owner.user = line.substr(kUser.size());
  } else if (StartsWith(line, kWritten)) {
    reading_.owner.written = line.substr(kWritten.size());
  } else if (StartsWith(line, kComplete)) {
    reading_.owner.complete = line.substr(kComplete.size()) == "yes";
  } else if (StartsWith(line, kFiles)) {
    std::uint64_t count = 0;
    const std::string_view digits = line.substr(kFiles.size());
    if (!digits.empty() && ReadDigits(digits, 18, &count) == digits.size()) {
      files_said_ = static_cast<std::size_t>(count);
    } else {
      reading_.unreadable.push_back(number_);
    }
  } else if (StartsWith(line, "#")) {
    // A remark of someone else's: sha256sum passes over it, and so does this.
  } else if (ReadFileLine(line, &reading_.lines)) {
    ++files_read_;
  } else {
    reading_.unreadable.push_back(number_);
  }
}

ManifestReading ManifestReader::Finish() {
  // Cut short in the middle of a line: that line is not whole, whatever it holds.
  if (!partial_.empty()) {
    reading_.unreadable.push_back(++number_);
    partial_.clear();
  }
  if (reading_.ours && files_said_ != files_read_) reading_.unreadable.push_back(0);
  return std::move(reading_);
}

ManifestReading ReadManifest(std::string_view text) {
  ManifestReader reader;
  reader.Add(text);
  return reader.Finish();
}

std::string HexDigest(const Sha256Digest& digest) { return LowerHex(digest.data(), digest.size()); }

std::string ManifestPath(std::string_view windows_relative) {
  std::string path(windows_relative);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::string WindowsRelativePath(std::string_view manifest_path) {
  std::string path(manifest_path);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ManifestName(std::string_view backup_name) {
  return std::string(backup_name) + kManifestEnding;
}

std::optional<std::string> ManifestSubject(std::string_view file_name) {
  constexpr std::string_view kEnding = kManifestEnding;
  if (file_name.size() <= kEnding.size()) return std::nullopt;
  const std::string_view ending = file_name.substr(file_name.size() - kEnding.size());
  for (std::size_t i = 0; i < ending.size(); ++i) {
    if (Lower(ending[i]) != kEnding[i]) return std::nullopt;
  }
  return std::string(file_name.substr(0, file_name.size() - kEnding.size()));
}

}  // namespace tess
