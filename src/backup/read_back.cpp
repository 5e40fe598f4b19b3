#include "backup/read_back.h"

#include <algorithm>
#include <exception>
#include <memory>

#include "base/text.h"
#include "copy/copy_paths.h"
#include "copy/file_decision.h"
#include "ports/event_pump.h"

namespace tess {
namespace {

constexpr std::size_t kReadBytes = 1u << 20;
constexpr char kSeparator = '|';
constexpr char kNoHash[] = "The system could not make a SHA-256 hash.";

// FNV-1a of a path: an order that scatters the files of one folder (a folder of large videos,
// say) over the week rather than reading them in a row, and the same in every build.
std::uint64_t Spread(const std::string& path) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : path) h = (h ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
  return h;
}

std::uint64_t Share(std::uint64_t total) { return (total + kReadBackRuns - 1) / kReadBackRuns; }

}  // namespace

ReadBackShare ShareOf(std::uint64_t files, std::uint64_t bytes) {
  return {std::max<std::uint64_t>(1, Share(files)), Share(bytes)};
}

std::vector<const std::string*> ReadBackOrder(const ManifestLines& lines,
                                              const std::string& position) {
  using Place = std::pair<std::uint64_t, const std::string*>;
  const auto before = [](const Place& a, const Place& b) {
    return a.first != b.first ? a.first < b.first : *a.second < *b.second;
  };
  std::vector<Place> order;
  order.reserve(lines.size());
  for (const auto& line : lines) order.emplace_back(Spread(line.first), &line.first);
  std::sort(order.begin(), order.end(), before);
  const auto next =
      std::upper_bound(order.begin(), order.end(), Place{Spread(position), &position}, before);
  std::rotate(order.begin(), next, order.end());
  std::vector<const std::string*> paths;
  paths.reserve(order.size());
  for (const Place& place : order) paths.push_back(place.second);
  return paths;
}

ReadBackVerdict DecideReadBack(const ReadBackFacts& f) {
  if (!f.line) return ReadBackVerdict::kNoLine;
  const bool source_known = f.source_unchanged && f.source_read;
  if (f.copy_whole) {
    return source_known && !f.source_matches ? ReadBackVerdict::kSourceDamaged
                                             : ReadBackVerdict::kWhole;
  }
  return source_known && f.source_matches ? ReadBackVerdict::kRepair : ReadBackVerdict::kDamaged;
}

std::vector<std::string> FoldersHolding(FileTree& files, const std::string& destination,
                                        const std::vector<std::string>& names,
                                        const std::string& folder, const ReadBackFinding& finding) {
  const auto identity = [&](const std::string& path) {
    std::unique_ptr<OpenFile> file;
    std::string id;
    if (files.OpenForReading(path, &file).Failed() || file->Identity(&id).Failed()) id.clear();
    return id;
  };
  std::vector<std::string> folders;
  const std::string id = identity(finding.copy);
  const std::string relative = WindowsRelativePath(finding.path);
  for (const std::string& name : names) {
    if (id.empty() || destination.empty()) break;
    const std::string holder = copy_path::Join(destination, name);
    if (identity(copy_path::Join(holder, relative)) == id) folders.push_back(files.Shown(holder));
  }
  if (folders.empty()) folders.push_back(files.Shown(folder));
  return folders;
}

// "entry|position|bytes ahead|count|path|path|": no name or path on Windows holds a "|".
std::map<std::string, EntryReadBack> ReadReadBackState(const std::string& text) {
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (c == kSeparator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  parts.pop_back();  // what follows the last separator is no whole part
  std::map<std::string, EntryReadBack> state;
  const auto number = [](const std::string& digits, std::size_t most, std::uint64_t* value) {
    return !digits.empty() && digits.size() <= most &&
           ReadDigits(digits, most, value) == digits.size();
  };
  for (std::size_t i = 0; i + 3 < parts.size();) {
    std::uint64_t ahead = 0;
    std::uint64_t count = 0;
    if (parts[i].empty() || !number(parts[i + 2], 19, &ahead) || !number(parts[i + 3], 9, &count) ||
        count > parts.size() - i - 4) {
      break;
    }
    EntryReadBack& entry = state[parts[i]];
    entry.position = parts[i + 1];
    entry.bytes_ahead = ahead;
    entry.distrusted.insert(parts.begin() + static_cast<std::ptrdiff_t>(i + 4),
                            parts.begin() + static_cast<std::ptrdiff_t>(i + 4 + count));
    i += 4 + count;
  }
  return state;
}

std::string ReadBackStateText(const std::map<std::string, EntryReadBack>& state) {
  const auto plain = [](const std::string& s) { return s.find(kSeparator) == std::string::npos; };
  std::string text;
  for (const auto& [entry, kept] : state) {
    if (entry.empty() || !plain(entry) || !plain(kept.position)) continue;
    std::string paths;
    std::size_t count = 0;
    for (const std::string& path : kept.distrusted) {
      if (path.empty() || !plain(path)) continue;
      paths += path + kSeparator;
      ++count;
    }
    text += entry + kSeparator + kept.position + kSeparator + std::to_string(kept.bytes_ahead) +
            kSeparator + std::to_string(count) + kSeparator + paths;
  }
  return text;
}

std::map<std::string, EntryReadBack> MergeReadBackState(
    std::map<std::string, EntryReadBack> stored, const std::map<std::string, EntryReadBack>& before,
    const std::map<std::string, EntryReadBack>& after) {
  for (const auto& [entry, mine] : after) {
    const auto was = before.find(entry);
    const EntryReadBack old = was == before.end() ? EntryReadBack{} : was->second;
    if (mine == old) continue;
    EntryReadBack& kept = stored[entry];
    if (mine.position != old.position || mine.bytes_ahead != old.bytes_ahead) {
      kept.position = mine.position;
      kept.bytes_ahead = mine.bytes_ahead;
    }
    for (const std::string& path : old.distrusted) {
      if (mine.distrusted.count(path) == 0) kept.distrusted.erase(path);
    }
    kept.distrusted.insert(mine.distrusted.begin(), mine.distrusted.end());
  }
  for (const auto& [entry, old] : before) {
    if (after.count(entry) == 0) stored.erase(entry);
  }
  return stored;
}

ReadBack::ReadBack(FileTree& files, ContentHash& hash, std::function<void()> events)
    : files_(files),
      hash_(hash),
      events_(std::move(events)),
      buffer_(std::make_unique_for_overwrite<char[]>(kReadBytes)) {}

ReadBackResult ReadBack::Run(const ReadBackPlace& place, std::uint64_t folder_bytes,
                             const std::string& position, std::uint64_t bytes_ahead) {
  ReadBackResult result;
  result.position = position;
  const ReadBackShare share = ShareOf(place.lines.size(), folder_bytes);
  // Never more lent than a week's reading, so a folder that shrank does not coast for long.
  bytes_ahead = std::min(bytes_ahead, folder_bytes);
  for (const std::string* path : ReadBackOrder(place.lines, position)) {
    if (result.files >= share.files && result.copy_bytes + bytes_ahead >= share.bytes) break;
    ReadBackFinding finding = Check(place, *path, &result);
    result.position = *path;
    if (finding.verdict != ReadBackVerdict::kWhole) result.findings.push_back(std::move(finding));
  }
  const std::uint64_t had = result.copy_bytes + bytes_ahead;
  result.bytes_ahead = had > share.bytes ? had - share.bytes : 0;
  return result;
}

ReadBackFinding ReadBack::Check(const ReadBackPlace& place, const std::string& path,
                                ReadBackResult* totals) {
  ReadBackFinding finding;
  finding.path = path;
  finding.copy = copy_path::Join(place.folder, WindowsRelativePath(path));
  finding.source = copy_path::Join(place.source, WindowsRelativePath(path));
  ReadBackFacts facts;
  const auto line = place.lines.find(path);
  facts.line = line != place.lines.end();
  if (!facts.line) {
    finding.verdict = ReadBackVerdict::kNoLine;
    return finding;
  }
  // Each file is opened once: what it is, and its bytes, come through the one handle.
  TreeEntry copy;
  TreeEntry source;
  std::unique_ptr<OpenFile> file;
  FileError e = files_.OpenPastCache(finding.copy, &file);
  finding.missing = e.kind == FileErrorKind::kNotFound;
  Sha256Digest found{};
  ++totals->files;
  if (!e.Failed()) e = file->Describe(&copy);
  if (!e.Failed()) e = HashOf(*file, &found, &totals->copy_bytes);
  if (e.Failed()) finding.reason = e.text;
  facts.copy_whole = !e.Failed() && found == line->second;
  file.reset();
  if (!finding.missing && !copy.IsFolder() &&
      !files_.OpenForReading(finding.source, &file).Failed() && !file->Describe(&source).Failed() &&
      !source.IsFolder()) {
    FileRules rules;
    rules.coarse_times = place.coarse_times;
    facts.source_unchanged = IsCurrent(source, copy, rules);
  }
  if (facts.source_unchanged) {
    Sha256Digest source_hash{};
    const FileError se = HashOf(*file, &source_hash, &totals->source_bytes);
    facts.source_read = !se.Failed();
    facts.source_matches = facts.source_read && source_hash == line->second;
    if (se.Failed() && finding.reason.empty()) finding.reason = se.text;
  }
  file.reset();
  finding.verdict = DecideReadBack(facts);
  if (finding.verdict == ReadBackVerdict::kRepair) {
    finding.repaired = Repair(finding, source, copy, line->second);
  }
  return finding;
}

FileError ReadBack::HashOf(OpenFile& file, Sha256Digest* digest, std::uint64_t* bytes) {
  try {
    const std::unique_ptr<HashRun> run = hash_.Start();
    if (!run) return {FileErrorKind::kOther, kNoHash};
    EventBreaks breaks(events_, EventBreaks::First::kAfterAnInterval);
    for (;;) {
      std::size_t got = 0;
      if (FileError e = file.Read(buffer_.get(), kReadBytes, &got); e.Failed()) return e;
      if (got == 0) break;
      run->Add(buffer_.get(), got);
      *bytes += got;
      breaks.TakeIfDue();
    }
    if (!run->Finish(digest)) return {FileErrorKind::kOther, kNoHash};
    return {};
  } catch (const std::exception& e) {
    return {FileErrorKind::kOther, e.what()};
  }
}

// The copy is written over from the start with the source's bytes, which have its size, and
// its times are put back last: a repair cut short leaves a copy whose write time is the moment
// it was cut, which no source has, so the next copy replaces it and every reading still finds
// it damaged; it never passes for mended.
bool ReadBack::Repair(ReadBackFinding& finding, const TreeEntry& source, const TreeEntry& copy,
                      const Sha256Digest& line) {
  const bool read_only = (copy.attributes & kAttrReadOnly) != 0;
  try {
    std::unique_ptr<OpenFile> from;
    std::unique_ptr<OpenFile> to;
    FileError e = files_.OpenForReading(finding.source, &from);
    if (!e.Failed() && read_only) {
      // The bit belongs to every name of the file; it goes back with the times.
      e = files_.SetAttributes(finding.copy, SettableAttributes(copy.attributes) & ~kAttrReadOnly);
    }
    if (!e.Failed()) e = files_.OpenInPlace(finding.copy, &to);
    const std::unique_ptr<HashRun> run = e.Failed() ? nullptr : hash_.Start();
    if (!e.Failed() && !run) e = {FileErrorKind::kOther, kNoHash};
    EventBreaks breaks(events_, EventBreaks::First::kAfterAnInterval);
    std::uint64_t written = 0;
    while (!e.Failed()) {
      std::size_t got = 0;
      if (e = from->Read(buffer_.get(), kReadBytes, &got); e.Failed() || got == 0) break;
      run->Add(buffer_.get(), got);
      e = to->Write(buffer_.get(), got);
      written += got;
      breaks.TakeIfDue();
    }
    Sha256Digest digest{};
    if (!e.Failed() && (!run->Finish(&digest) || digest != line || written != source.size)) {
      e = {FileErrorKind::kOther, "The source changed while the copy was repaired."};
    }
    if (!e.Failed()) {
      e = to->SetTimes({copy.times.creation, copy.times.access, copy.times.write, 0},
                       read_only ? SettableAttributes(copy.attributes) : 0);
    }
    if (!e.Failed()) e = to->Flush();
    if (!e.Failed()) return true;
    finding.reason = e.text;
  } catch (const std::exception& e) {
    finding.reason = e.what();
  }
  if (read_only) files_.SetAttributes(finding.copy, SettableAttributes(copy.attributes));
  return false;
}

}  // namespace tess
