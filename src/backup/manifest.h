// A backup folder's manifest, written and read as text: GNU sha256sum's form, so anyone can
// check a backup with tools they already have, with "#" lines saying whose backup it is.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/content_hash.h"

namespace tess {

// A manifest sits beside its backup folder, named like it with this ending.
inline constexpr char kManifestEnding[] = ".sha256";

// Who the backup belongs to and how its copy went.
struct ManifestOwner {
  std::string source;    // the source as listed
  std::string computer;  // the computer's name
  std::string user;
  std::string written;  // when, in UTC: "2026-12-08T17:30:00Z"
  // The entry's copy went through whole. A run killed before its end writes no manifest at all,
  // so only a run that ended can say yes or no here.
  bool complete = false;
};

// Each file's hash, by its path relative to the backup folder with "/" between names
// ("Letters/2026/März.txt"). Kept as bytes, not as the text's 64 hex digits: a tree of 100,000
// files holds a hundred thousand of them at once.
using ManifestLines = std::map<std::string, Sha256Digest>;

// The whole manifest: the "#" lines, then one line per file (64 lowercase hex digits, two
// blanks, the path), "\n" after each, UTF-8 without a byte-order mark.
std::string ManifestText(const ManifestOwner& owner, const ManifestLines& lines);
// The same text handed to put in pieces of about 64 KB, so the manifest of a large tree is
// never whole in memory; put answers false to stop.
void PutManifestText(const ManifestOwner& owner, const ManifestLines& lines,
                     const std::function<bool(std::string_view)>& put);

struct ManifestReading {
  bool ours = false;  // it begins with this program's first line
  ManifestOwner owner;
  ManifestLines lines;  // every line that could be read
  // The line numbers (from 1) of lines that cannot be read: damaged, hand-edited, cut short, or
  // naming a path outside the folder. Its "# files:" count not met counts as line 0.
  std::vector<int> unreadable;
};

// Never fails: what cannot be read is listed, and a run trusts none of it.
ManifestReading ReadManifest(std::string_view text);

// The same reading of a text that comes in pieces, cut anywhere.
class ManifestReader {
 public:
  void Add(std::string_view piece);
  // Once the last piece is in.
  ManifestReading Finish();

 private:
  void ReadLine(std::string_view line);

  ManifestReading reading_;
  std::string partial_;  // the start of a line the next piece ends
  std::optional<std::size_t> files_said_;
  std::size_t files_read_ = 0;
  int number_ = 0;
};

// The digest as a manifest writes it: 64 lowercase hex digits.
std::string HexDigest(const Sha256Digest& digest);

// A path below a backup folder in Windows form ("a\b.txt") as a manifest names it ("a/b.txt"),
// and back.
std::string ManifestPath(std::string_view windows_relative);
std::string WindowsRelativePath(std::string_view manifest_path);

// The manifest's file name for a backup folder (or a file backed up as itself), and the name of
// what a manifest is for; nothing for a name that is no manifest's.
std::string ManifestName(std::string_view backup_name);
std::optional<std::string> ManifestSubject(std::string_view file_name);

}  // namespace tess
