#include "support/fakes.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>

#include "base/name_case.h"
#include "base/unchanged_file.h"
#include "copy/copy_tree.h"
#include "support/thread_pool.h"

namespace tess::test {

std::vector<TreeEntry> FolderListing(const std::vector<std::string>& names) {
  std::vector<TreeEntry> listing;
  for (const std::string& name : names) {
    listing.push_back({.name = name, .key = NameKey(name), .attributes = kAttrDirectory});
  }
  return listing;
}

// ---------------- settings ----------------

std::string FakeSettingsStore::GetSetting(const std::string& app, const std::string& section,
                                          const std::string& key,
                                          const std::string& default_value) {
  if (app != "Quintaro" || section != "Tessaline") return default_value;
  read_log.push_back(key);
  const auto it = values.find(key);
  return it == values.end() ? default_value : it->second;
}

void FakeSettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                    const std::string& key, const std::string& value) {
  if (fail_writes) throw PlatformError(70, "Permission denied");
  if (app != "Quintaro" || section != "Tessaline") return;
  values[key] = value;
  write_log.push_back(key + "=" + value);
  if (on_write) on_write(key);
}

// ---------------- files ----------------

std::string FakeFileSystem::Key(const std::string& path) {
  std::string k;
  for (char c : path) {
    // Windows reads a doubled separator as one; only a network path starts with two.
    if (c == '\\' && k.size() >= 2 && k.back() == '\\') continue;
    k += c;
  }
  while (k.size() > 3 && k.back() == '\\') k.pop_back();
  if (k.size() == 3 && k[1] == ':' && k[2] == '\\') k.pop_back();  // "C:\" -> "C:"
  // Letter case as the real file system takes it, so the double holds one file where it does.
  return NameKey(k);
}

namespace {
std::string ParentKey(const std::string& key) {
  const auto slash = key.rfind('\\');
  return slash == std::string::npos ? "" : key.substr(0, slash);
}
std::string Leaf(const std::string& path) {
  std::string p = path;
  while (!p.empty() && p.back() == '\\') p.pop_back();
  const auto slash = p.rfind('\\');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}
// A path as the copy engine shows it: no trailing backslash, except the one a drive root
// keeps ("R:\", also for "R:").
std::string Trimmed(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '\\') p.pop_back();
  if (p.size() == 2 && p[1] == ':') p += '\\';
  return p;
}
}  // namespace

void FakeFileSystem::AddFolder(const std::string& path) {
  std::string key = Key(path);
  std::string p = path;
  while (p.size() > 1 && p.back() == '\\') p.pop_back();
  std::vector<std::string> made;
  while (!key.empty() && dirs_.insert(key).second) {
    made.push_back(key);
    names_[key] = p;
    key = ParentKey(key);
    const auto slash = p.rfind('\\');
    if (slash == std::string::npos) break;
    p = p.substr(0, slash);
  }
  // Parents were found last but made first.
  dir_order_.insert(dir_order_.end(), made.rbegin(), made.rend());
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& content) {
  const std::string key = Key(path);
  AddFolder(path.substr(0, path.rfind('\\')));
  ++clock_;
  files_[key] = std::make_shared<File>(File{content, clock_, clock_});
  names_[key] = path;
}

void FakeFileSystem::Rot(const std::string& path, const std::string& content) {
  files_.at(Key(path))->content = content;
}

void FakeFileSystem::RewriteKeepingWriteTime(const std::string& path, const std::string& content) {
  File& file = *files_.at(Key(path));
  file.content = content;
  file.change = ++clock_;
}

void FakeFileSystem::SetWriteTime(const std::string& path, std::int64_t time) {
  File& file = *files_.at(Key(path));
  file.write = time;
  file.change = ++clock_;
}

bool FakeFileSystem::IsFile(const std::string& path) const { return files_.count(Key(path)); }
bool FakeFileSystem::IsDir(const std::string& path) const { return dirs_.count(Key(path)); }
std::string FakeFileSystem::Content(const std::string& path) const {
  const auto it = files_.find(Key(path));
  return it == files_.end() ? "" : it->second->content;
}

std::vector<std::string> FakeFileSystem::TreeBelow(const std::string& folder) const {
  const std::string prefix = Key(folder) + "\\";
  const auto relative = [&](const std::string& key) {
    const std::string& name = names_.at(key);
    return name.substr(name.size() - (key.size() - prefix.size()));
  };
  std::vector<std::string> tree;
  for (const auto& d : dirs_) {
    if (d.rfind(prefix, 0) == 0) tree.push_back(relative(d) + "\\");
  }
  for (const auto& [k, file] : files_) {
    if (k.rfind(prefix, 0) == 0) tree.push_back(relative(k) + "=" + file->content);
  }
  std::sort(tree.begin(), tree.end());
  return tree;
}

std::int64_t FakeFileSystem::LastWriteTime(const std::string& path) {
  const auto it = files_.find(Key(path));
  if (it != files_.end()) return it->second->write;
  if (IsDir(path)) return 1;
  throw PlatformError(53, "File not found");
}

std::uint32_t FakeFileSystem::Attributes(const std::string& path) {
  if (IsDir(path)) {
    const auto set = folder_attributes.find(Key(path));
    return set == folder_attributes.end() ? kAttrDirectory : set->second;
  }
  if (IsFile(path)) return read_only.count(Key(path)) ? kAttrReadOnly : 32;
  throw PlatformError(53, "File not found");
}

namespace {
// "*" matches any run of characters, "?" any one, as a listing matches a name's last part.
bool MatchesPattern(const std::string& name, const std::string& pattern) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchesPattern(name.substr(skip), pattern.substr(1))) return true;
    }
    return false;
  }
  if (name.empty() || (pattern[0] != '?' && pattern[0] != name[0])) return false;
  return MatchesPattern(name.substr(1), pattern.substr(1));
}
}  // namespace

bool FakeFileSystem::ListingFindsAny(const std::string& pattern) {
  if (pattern.find_first_of("*?") != std::string::npos) {
    const std::string key = Key(pattern);
    const std::string dir = ParentKey(key);
    const std::string last = key.substr(dir.size() + 1);
    const auto matches = [&](const std::string& k) {
      return ParentKey(k) == dir && MatchesPattern(k.substr(dir.size() + 1), last);
    };
    for (const auto& [k, v] : files_) {
      if (matches(k)) return true;
    }
    for (const auto& d : dirs_) {
      if (matches(d)) return true;
    }
    return false;
  }
  if (!pattern.empty() && pattern.back() == '\\') {
    const std::string key = Key(pattern);
    if (!IsDir(pattern)) return false;
    if (key.size() == 2) {  // a drive root lists only what it holds
      for (const auto& [k, v] : files_) {
        if (ParentKey(k) == key) return true;
      }
      for (const auto& d : dirs_) {
        if (ParentKey(d) == key) return true;
      }
      return false;
    }
    return true;  // "." is always there
  }
  return IsFile(pattern) || IsDir(pattern);
}

bool FakeFileSystem::OrdinaryFileExists(const std::string& pattern) { return IsFile(pattern); }

bool FakeFileSystem::IsRootFolder(const std::string& folder) {
  const std::string key = Key(folder);
  if (key.size() == 2 && key[1] == ':') return true;
  if (key.rfind("\\\\", 0) != 0) return false;
  const auto share = key.find('\\', 2);
  return share != std::string::npos && share + 1 < key.size() &&
         key.find('\\', share + 1) == std::string::npos;
}

namespace {
// The characters Windows-1252 puts at 128 to 159 (0: none there).
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The code points of UTF-8 text; a byte that starts no valid sequence stands for itself as
// U+FFFD.
std::vector<char32_t> CodePoints(const std::string& text) {
  std::vector<char32_t> points;
  for (size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) {
      points.push_back(0xFFFD);
      ++i;
      continue;
    }
    char32_t point = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (int k = 1; k < length; ++k) point = (point << 6) | (text[i + k] & 0x3F);
    points.push_back(point);
    i += length;
  }
  return points;
}
}  // namespace

std::vector<int> FakeFileSystem::AnsiCodes(const std::string& text) {
  std::vector<int> codes;
  for (const char32_t point : CodePoints(text)) {
    int code = 63;
    if (point < 0x80 || (point >= 0xA0 && point <= 0xFF)) code = static_cast<int>(point);
    for (int i = 0; i < 32; ++i) {
      if (kCp1252High[i] != 0 && kCp1252High[i] == point) code = 128 + i;
    }
    codes.push_back(code);
  }
  return codes;
}

FolderCopy CopyWatcher::Over(FileTree& files) {
  return [this, &files](const std::string& source, const std::string& destination,
                        const CopySettings& settings) {
    copies.push_back({source, destination, settings.overwrite, settings.link_from});
    return CopyTree(files, source, destination, settings);
  };
}

// ---------------- files: the primitives of a copy ----------------

namespace {
FileError Fails(FileErrorKind kind, const char* text) { return FileError{kind, text}; }

// Runs each job at once, on the caller's thread.
class InlinePool : public WorkPool {
 public:
  explicit InlinePool(std::function<void()> events) : events_(std::move(events)) {}
  void Submit(Job job) override {
    ++running_;
    job();
    --running_;
  }
  void Drain() override {}
  void NoteProgress() override {
    if (events_) events_();
  }
  int Running() override { return running_; }

 private:
  std::function<void()> events_;
  int running_ = 0;
};
}  // namespace

// An open file of the tree, followed by its key through a rename.
class FakeFileSystem::Handle : public OpenFile {
 public:
  Handle(FakeFileSystem& files, std::string key, bool in_place = false)
      : files_(files), key_(std::move(key)), record_(files_.files_.at(key_)), in_place_(in_place) {}

  FileError Read(char* data, std::size_t size, std::size_t* got) override {
    std::lock_guard lock(files_.primitives_);
    const auto it = files_.files_.find(key_);
    if (it == files_.files_.end()) return Fails(FileErrorKind::kNotFound, kFileNotFound);
    const std::string& content = it->second->content;
    *got = std::min(size, content.size() - std::min(content.size(), at_));
    content.copy(data, *got, at_);
    at_ += *got;
    return {};
  }
  FileError Write(const char* data, std::size_t size) override {
    std::lock_guard lock(files_.primitives_);
    File& file = *files_.files_.at(key_);
    if (in_place_) {
      file.content.replace(at_, size, data, size);
      at_ += size;
    } else {
      file.content.append(data, size);
    }
    file.write = file.change = ++files_.clock_;
    return {};
  }
  // Reaches the file even once this name is gone, as a handle does; a time of 0 is left alone.
  FileError SetTimes(const FileTimes& times, std::uint32_t attributes) override {
    std::lock_guard lock(files_.primitives_);
    File& file = *record_;
    if (times.write != 0) file.write = times.write;
    const std::string coarse = Key(files_.coarse_volume) + "\\";
    if (!files_.coarse_volume.empty() && key_.rfind(coarse, 0) == 0) {
      file.write -= file.write % kCoarseWriteTimeSlack;
    }
    file.change = ++files_.clock_;
    if (attributes != 0) files_.SetReadOnlyOf(record_, (attributes & kAttrReadOnly) != 0);
    return {};
  }
  FileError Flush() override { return {}; }
  FileError Describe(TreeEntry* entry) override {
    std::lock_guard lock(files_.primitives_);
    entry->attributes = files_.Attributes(key_);
    entry->size = record_->content.size();
    entry->times = {record_->write, record_->write, record_->write, record_->change};
    return {};
  }
  // The record's address: every name of a linked file shares the record.
  FileError Identity(std::string* id) override {
    *id = std::to_string(reinterpret_cast<std::uintptr_t>(record_.get()));
    return {};
  }
  FileError RenameOver(const std::string& target, bool replace) override {
    std::lock_guard lock(files_.primitives_);
    const std::string to = Key(target);
    if (files_.dirs_.count(to)) return Fails(FileErrorKind::kAlreadyExists, kAlreadyExists);
    if (!files_.dirs_.count(ParentKey(to))) return Fails(FileErrorKind::kNotFound, kPathNotFound);
    if (files_.files_.count(to)) {
      if (!replace) return Fails(FileErrorKind::kAlreadyExists, kAlreadyExists);
      if (files_.read_only.count(to) || files_.locked.count(to)) {
        return Fails(FileErrorKind::kAccessDenied, kAccessDenied);
      }
    }
    // The name now stands for the new file; a file it named before keeps its other names.
    const std::shared_ptr<File> moved = files_.files_.at(key_);
    moved->change = ++files_.clock_;
    const bool read_only = files_.read_only.count(key_) != 0;
    files_.files_.erase(key_);
    files_.read_only.erase(key_);
    files_.files_[to] = moved;
    files_.names_[to] = target;
    files_.SetReadOnly(to, read_only);
    key_ = to;
    return {};
  }

 private:
  FakeFileSystem& files_;
  std::string key_;
  std::shared_ptr<File> record_;  // the file the name stood for when it was opened
  std::size_t at_ = 0;
  const bool in_place_;  // writes go over the bytes from the start, not after them
};

void FakeFileSystem::SetReadOnly(const std::string& key, bool read_only_now) {
  if (read_only_now) {
    read_only.insert(key);
  } else {
    read_only.erase(key);
  }
}

// Attributes belong to the file, so every name it has shows them.
void FakeFileSystem::SetReadOnlyOf(const std::shared_ptr<File>& record, bool read_only_now) {
  for (const auto& [key, file] : files_) {
    if (file == record) SetReadOnly(key, read_only_now);
  }
}

FileError FakeFileSystem::FullPath(const std::string& path, std::string* full) {
  if (path.empty()) return Fails(FileErrorKind::kNotFound, kPathNotFound);
  *full = Trimmed(path);
  return {};
}

FileError FakeFileSystem::Refusal(CopyRefusal refusal) {
  switch (refusal) {
    case CopyRefusal::kFileExists:
      return Fails(FileErrorKind::kAlreadyExists, kFileExists);
    case CopyRefusal::kFolderInTheWay:
      return Fails(FileErrorKind::kAlreadyExists, kAlreadyExists);
    case CopyRefusal::kNotAFolder:
      return Fails(FileErrorKind::kOther, kNotAFolder);
    case CopyRefusal::kDiskFull:
      return Fails(FileErrorKind::kDiskFull, kDiskFull);
    case CopyRefusal::kNoSuchDrive:
      return Fails(FileErrorKind::kNotFound, kNoSuchDrive);
  }
  return Fails(FileErrorKind::kOther, "");
}

TreeEntry FakeFileSystem::EntryOf(const std::string& key) {
  TreeEntry entry;
  entry.name = Leaf(names_.at(key));
  entry.key = Key(entry.name);
  entry.attributes = Attributes(key);
  const auto file = files_.find(key);
  if (file != files_.end()) {
    const File& record = *file->second;
    entry.size = record.content.size();
    entry.times = {record.write, record.write, record.write, record.change};
    entry.file_id = reinterpret_cast<std::uintptr_t>(&record);  // as Identity gives it
  } else {
    entry.names_another_place = links.count(key) != 0;
  }
  return entry;
}

// Files and folders alike in the order of their names, as NTFS lists them.
FileError FakeFileSystem::List(const std::string& folder, std::vector<TreeEntry>* entries) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(folder);
  const auto refused = refused_listings.find(key);
  if (refused != refused_listings.end()) {
    if (refused->second == 70) return Fails(FileErrorKind::kAccessDenied, kAccessDenied);
    if (refused->second == 76) return Fails(FileErrorKind::kNotFound, kPathNotFound);
    return Fails(FileErrorKind::kOther, "The device is not ready.");
  }
  if (!dirs_.count(key)) return Fails(FileErrorKind::kNotFound, kPathNotFound);
  // Files by name, then folders in the order they were made, as some file systems list them.
  for (const auto& [k, file] : files_) {
    if (ParentKey(k) == key) entries->push_back(EntryOf(k));
  }
  for (const std::string& d : dir_order_) {
    if (ParentKey(d) == key && dirs_.count(d)) entries->push_back(EntryOf(d));
  }
  return {};
}

FileError FakeFileSystem::Describe(const std::string& path, TreeEntry* entry) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (!files_.count(key) && !dirs_.count(key)) {
    return Fails(FileErrorKind::kNotFound, kFileNotFound);
  }
  *entry = EntryOf(key);
  entry->name = Leaf(path);  // as the path names it
  entry->key = Key(entry->name);
  entry->names_another_place = false;
  return {};
}

FileError FakeFileSystem::OpenForReading(const std::string& path, std::unique_ptr<OpenFile>* file) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (!files_.count(key)) return Fails(FileErrorKind::kNotFound, kFileNotFound);
  if (locked.count(key)) return Fails(FileErrorKind::kOther, kSharingViolation);
  *file = std::make_unique<Handle>(*this, key);
  return {};
}

FileError FakeFileSystem::OpenPastCache(const std::string& path, std::unique_ptr<OpenFile>* file) {
  return OpenForReading(path, file);
}

FileError FakeFileSystem::OpenInPlace(const std::string& path, std::unique_ptr<OpenFile>* file) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (!files_.count(key)) return Fails(FileErrorKind::kNotFound, kFileNotFound);
  if (locked.count(key) || read_only.count(key)) {
    return Fails(FileErrorKind::kAccessDenied, kAccessDenied);
  }
  *file = std::make_unique<Handle>(*this, key, true);
  return {};
}

FileError FakeFileSystem::CreateExclusive(const std::string& path, std::uint32_t attributes,
                                          std::unique_ptr<OpenFile>* file) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (!dirs_.count(ParentKey(key))) return Fails(FileErrorKind::kNotFound, kPathNotFound);
  if (files_.count(key) || dirs_.count(key)) {
    return Fails(FileErrorKind::kAlreadyExists, kFileExists);
  }
  ++clock_;
  files_[key] = std::make_shared<File>(File{"", clock_, clock_});
  names_[key] = path;
  SetReadOnly(key, (attributes & kAttrReadOnly) != 0);
  *file = std::make_unique<Handle>(*this, key);
  return {};
}

FileError FakeFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (dirs_.count(key)) {
    folder_attributes[key] = attributes | kAttrDirectory;
    return {};
  }
  if (!files_.count(key)) return Fails(FileErrorKind::kNotFound, kFileNotFound);
  SetReadOnlyOf(files_.at(key), (attributes & kAttrReadOnly) != 0);
  return {};
}

FileError FakeFileSystem::Delete(const std::string& path) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (!files_.count(key)) return Fails(FileErrorKind::kNotFound, kFileNotFound);
  if (read_only.count(key) || locked.count(key)) {
    return Fails(FileErrorKind::kAccessDenied, kAccessDenied);
  }
  files_.erase(key);
  return {};
}

// Keys at or below a folder's, re-rooted at its new name's.
namespace {
bool AtOrBelow(const std::string& key, const std::string& root) {
  return key == root || key.rfind(root + "\\", 0) == 0;
}
template <typename Value>
void MoveKeys(std::map<std::string, Value>* map, const std::string& from, const std::string& to) {
  std::map<std::string, Value> moved;
  for (auto it = map->begin(); it != map->end();) {
    if (AtOrBelow(it->first, from)) {
      moved[to + it->first.substr(from.size())] = std::move(it->second);
      it = map->erase(it);
    } else {
      ++it;
    }
  }
  map->merge(moved);
}
void MoveKeys(std::set<std::string>* set, const std::string& from, const std::string& to) {
  std::set<std::string> moved;
  for (auto it = set->begin(); it != set->end();) {
    if (AtOrBelow(*it, from)) {
      moved.insert(to + it->substr(from.size()));
      it = set->erase(it);
    } else {
      ++it;
    }
  }
  set->merge(moved);
}
}  // namespace

// Open files inside a folder do not stop its rename, as under Wine (Windows refuses it).
FileError FakeFileSystem::Rename(const std::string& from, const std::string& to) {
  std::lock_guard lock(primitives_);
  const std::string old_key = Key(from);
  const std::string new_key = Key(to);
  if (!files_.count(old_key) && !dirs_.count(old_key)) {
    return Fails(FileErrorKind::kNotFound, kFileNotFound);
  }
  if (!dirs_.count(ParentKey(new_key))) return Fails(FileErrorKind::kNotFound, kPathNotFound);
  if (new_key != old_key && (files_.count(new_key) || dirs_.count(new_key))) {
    return Fails(FileErrorKind::kAlreadyExists, kAlreadyExists);
  }
  std::map<std::string, std::string> names;
  for (const auto& [key, name] : names_) {
    // The part below the folder, as its names were written.
    if (AtOrBelow(key, old_key)) {
      names[key] = Trimmed(to) + name.substr(name.size() - (key.size() - old_key.size()));
    }
  }
  for (const auto& [key, name] : names) names_.erase(key);
  for (const auto& [key, name] : names) names_[new_key + key.substr(old_key.size())] = name;
  MoveKeys(&files_, old_key, new_key);
  MoveKeys(&dirs_, old_key, new_key);
  for (std::string& key : dir_order_) {
    if (AtOrBelow(key, old_key)) key = new_key + key.substr(old_key.size());
  }
  for (auto* keys : {&read_only, &locked, &uncreatable, &links}) MoveKeys(keys, old_key, new_key);
  MoveKeys(&folder_attributes, old_key, new_key);
  MoveKeys(&refused_listings, old_key, new_key);
  return {};
}

FileError FakeFileSystem::RemoveFolder(const std::string& path) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (files_.count(key)) return Fails(FileErrorKind::kOther, kNotAFolder);
  if (!dirs_.count(key)) return Fails(FileErrorKind::kNotFound, kFileNotFound);
  for (const auto& [k, file] : files_) {
    if (ParentKey(k) == key) return Fails(FileErrorKind::kOther, kNotEmpty);
  }
  for (const std::string& d : dirs_) {
    if (ParentKey(d) == key) return Fails(FileErrorKind::kOther, kNotEmpty);
  }
  // Windows keeps a read-only folder, as it keeps a read-only file.
  const auto attributes = folder_attributes.find(key);
  if (attributes != folder_attributes.end() && (attributes->second & kAttrReadOnly) != 0) {
    return Fails(FileErrorKind::kAccessDenied, kAccessDenied);
  }
  dirs_.erase(key);
  std::erase(dir_order_, key);
  names_.erase(key);
  folder_attributes.erase(key);
  links.erase(key);
  return {};
}

FileError FakeFileSystem::OpenForAttributes(const std::string& path,
                                            std::unique_ptr<OpenFile>* file) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (!files_.count(key)) return Fails(FileErrorKind::kNotFound, kFileNotFound);
  *file = std::make_unique<Handle>(*this, key);
  return {};
}

FileError FakeFileSystem::HoldLock(const std::string& path, std::unique_ptr<OpenFile>* lock) {
  class Held : public OpenFile {
   public:
    Held(FakeFileSystem& files, std::string key) : files_(files), key_(std::move(key)) {}
    ~Held() override {
      std::lock_guard lock(files_.primitives_);
      files_.held_locks.erase(key_);
    }
    FileError Read(char*, std::size_t, std::size_t* got) override { return *got = 0, FileError{}; }
    FileError Write(const char*, std::size_t) override { return {}; }
    FileError SetTimes(const FileTimes&, std::uint32_t) override { return {}; }
    FileError Flush() override { return {}; }
    FileError RenameOver(const std::string&, bool) override { return {}; }
    FileError Identity(std::string* id) override { return *id = key_, FileError{}; }
    FileError Describe(TreeEntry*) override { return {}; }

   private:
    FakeFileSystem& files_;
    std::string key_;
  };
  std::lock_guard guard(primitives_);
  const std::string key = Key(path);
  if (!dirs_.count(ParentKey(key))) return Fails(FileErrorKind::kNotFound, kPathNotFound);
  if (!held_locks.insert(key).second) return Fails(FileErrorKind::kOther, kSharingViolation);
  *lock = std::make_unique<Held>(*this, key);
  return {};
}

FileError FakeFileSystem::MakeFolder(const std::string& path) {
  std::lock_guard lock(primitives_);
  const std::string key = Key(path);
  if (uncreatable.count(key)) return Fails(FileErrorKind::kAccessDenied, kAccessDenied);
  if (dirs_.count(key) || files_.count(key)) {
    return Fails(FileErrorKind::kAlreadyExists, kAlreadyExists);
  }
  if (!dirs_.count(ParentKey(key))) return Fails(FileErrorKind::kNotFound, kPathNotFound);
  dirs_.insert(key);
  dir_order_.push_back(key);
  names_[key] = Trimmed(path);
  created_folders.push_back(path);
  return {};
}

FileError FakeFileSystem::FreeSpace(const std::string& folder, std::uint64_t* bytes) {
  std::lock_guard lock(primitives_);
  if (!dirs_.count(Key(folder))) return Fails(FileErrorKind::kNotFound, kPathNotFound);
  *bytes = free_bytes;
  return {};
}

FileError FakeFileSystem::KeepsFineWriteTimes(const std::string& folder, bool* fine) {
  *fine = coarse_volume.empty() || (Key(folder) + "\\").rfind(Key(coarse_volume) + "\\", 0) != 0;
  return {};
}

FileError FakeFileSystem::MakeHardLink(const std::string& existing, const std::string& link) {
  std::lock_guard lock(primitives_);
  const std::string from = Key(existing);
  const std::string to = Key(link);
  if (links_refused) return Fails(FileErrorKind::kOther, kInvalidFunction);
  if (!files_.count(from)) return Fails(FileErrorKind::kNotFound, kFileNotFound);
  if (!dirs_.count(ParentKey(to))) return Fails(FileErrorKind::kNotFound, kPathNotFound);
  if (files_.count(to) || dirs_.count(to)) {
    return Fails(FileErrorKind::kAlreadyExists, kAlreadyExists);
  }
  if (Volume(from) != Volume(to)) return Fails(FileErrorKind::kOther, kNotSameDevice);
  if (locked.count(from)) return Fails(FileErrorKind::kAccessDenied, kAccessDenied);
  if (LinkCount(existing) >= max_links) return Fails(FileErrorKind::kOther, kTooManyLinks);
  files_[to] = files_.at(from);
  names_[to] = link;
  SetReadOnly(to, read_only.count(from) != 0);
  files_.at(to)->change = ++clock_;  // a new name changes the file
  return {};
}

int FakeFileSystem::LinkCount(const std::string& path) const {
  const auto it = files_.find(Key(path));
  if (it == files_.end()) return 0;
  return static_cast<int>(std::count_if(
      files_.begin(), files_.end(), [&](const auto& named) { return named.second == it->second; }));
}

bool FakeFileSystem::SameFile(const std::string& a, const std::string& b) const {
  const auto first = files_.find(Key(a));
  const auto second = files_.find(Key(b));
  return first != files_.end() && second != files_.end() && first->second == second->second;
}

std::string FakeFileSystem::Volume(const std::string& key) {
  if (key.rfind("\\\\", 0) == 0) {  // \\server\share
    const auto share_end = key.find('\\', key.find('\\', 2) + 1);
    return key.substr(0, share_end);
  }
  return key.substr(0, key.find('\\'));
}

std::unique_ptr<WorkPool> FakeFileSystem::MakeWorkPool(int, std::function<void()> events) {
  if (writer_threads > 0) return std::make_unique<ThreadPool>(writer_threads, std::move(events));
  return std::make_unique<InlinePool>(std::move(events));
}

void FakeFileSystem::AppendLine(const std::string& path, const std::string& text) {
  std::string bytes;
  for (const int code : AnsiCodes(text)) bytes += static_cast<char>(code);
  AppendBytes(path, bytes + "\r\n");
}

void FakeFileSystem::AppendBytes(const std::string& path, const std::string& bytes) {
  if (fail_appends) throw PlatformError(75, "Path/File access error");
  const std::string key = Key(path);
  std::shared_ptr<File>& record = files_[key];
  if (!record) record = std::make_shared<File>();
  File& file = *record;
  file.content += bytes;
  file.write = file.change = ++clock_;
  names_[key] = path;
}

std::string FakeFileSystem::ReadAnsiText(const std::string& path) {
  if (!IsFile(path)) throw PlatformError(53, "File not found");
  std::string text;  // Windows-1252 to UTF-8
  for (const char byte : Content(path)) {
    const auto code = static_cast<unsigned char>(byte);
    const char32_t point = code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : code;
    if (point < 0x80) {
      text += static_cast<char>(point);
      continue;
    }
    if (point >= 0x800) text += static_cast<char>(0xE0 | (point >> 12));
    text += static_cast<char>(point >= 0x800 ? 0x80 | ((point >> 6) & 0x3F) : 0xC0 | (point >> 6));
    text += static_cast<char>(0x80 | (point & 0x3F));
  }
  return text;
}

// ---------------- shell, registry, environment ----------------

std::string FakeShell::SpecialFolderPath(int folder_id) { return folder_id == 0 ? desktop : ""; }

std::string FakeShell::BrowseForFolder(const std::string& title, const std::string& start) {
  browses.push_back({title, start});
  if (browse_answers.empty()) return "";
  std::string answer = browse_answers.front();
  browse_answers.pop_front();
  return answer;
}

void FakeShell::StartProcess(const std::string& program, const std::string& argument,
                             bool show_minimized) {
  if (fail_start) throw PlatformError(53, "File not found");
  started.push_back({program, argument, show_minimized});
}

void FakeShell::Open(const std::string& path) {
  if (fail_start) throw PlatformError(53, "File not found");
  started.push_back({"open", path, false});
}

std::string FakeRegistry::Key(Hive hive, const std::string& subkey, const std::string& name) {
  return std::string(hive == Hive::kLocalMachine ? "HKLM" : "HKCU") + "|" + subkey + "|" + name;
}

bool FakeRegistry::SetStringValue(Hive hive, const std::string& subkey, const std::string& name,
                                  const std::string& data) {
  ++calls;
  if (hive == Hive::kLocalMachine && !machine_writable) return false;
  values[Key(hive, subkey, name)] = data;
  return true;
}

bool FakeRegistry::DeleteValue(Hive hive, const std::string& subkey, const std::string& name) {
  ++calls;
  if (hive == Hive::kLocalMachine && !machine_writable) return false;
  return values.erase(Key(hive, subkey, name)) != 0;
}

std::string FakeEnvironment::Variable(const std::string& name) {
  const auto it = variables.find(name);
  return it == variables.end() ? "" : it->second;
}

// ---------------- dialogs ----------------

BoxResult FakeDialogs::MessageBox(const std::string& text, const std::string& title,
                                  BoxButtons buttons, BoxIcon icon) {
  boxes.push_back({text, title, buttons, icon});
  if (on_box) on_box(boxes.back());
  if (buttons == BoxButtons::kOk) return BoxResult::kOk;
  if (answers.empty()) return BoxResult::kYes;
  const BoxResult r = answers.front();
  answers.pop_front();
  return r;
}

std::vector<FakeDialogs::Box> FakeDialogs::Errors() const {
  std::vector<Box> out;
  for (const auto& b : boxes) {
    if (b.title == "Application Error") out.push_back(b);
  }
  return out;
}

// ---------------- notify icon ----------------

std::vector<FakeNotifyIcon::Call> FakeNotifyIcon::Balloons() const {
  std::vector<Call> balloons;
  for (const Call& call : calls) {
    if (call.kind == Call::Kind::kShowBalloon && !call.text.empty()) balloons.push_back(call);
  }
  return balloons;
}

// ---------------- clock ----------------

LocalTime FakeClock::Now() {
  ++now_calls;
  const LocalTime reading = now;
  if (after_now) after_now();
  return reading;
}

double FakeClock::SecondsSinceMidnight() {
  return now.hour * 3600.0 + now.minute * 60.0 + now.second + now.millisecond / 1000.0;
}

double FakeClock::UtcSecondsOf(const LocalTime& t) {
  using namespace std::chrono;
  const auto seconds_of = [](const LocalTime& l) {
    const sys_days day{year{l.year} / l.month / l.day};
    return day.time_since_epoch().count() * 86400.0 + l.hour * 3600 + l.minute * 60 + l.second;
  };
  const double wall = seconds_of(t);
  return summer_from && wall >= seconds_of(*summer_from) ? wall - 3600 : wall;
}

std::string FakeClock::MonthAbbreviation(int month) {
  static const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  return kMonths[(month - 1) % 12];
}

std::string FakeClock::GeneralDate(const LocalTime& t) {
  char buf[64];
  if (t.hour == 0 && t.minute == 0 && t.second == 0) {
    std::snprintf(buf, sizeof buf, "%d/%d/%d", t.month, t.day, t.year);
  } else {
    const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
    std::snprintf(buf, sizeof buf, "%d/%d/%d %d:%02d:%02d %s", t.month, t.day, t.year, h12,
                  t.minute, t.second, t.hour < 12 ? "AM" : "PM");
  }
  return buf;
}

std::string FakeClock::NumberText(double value, int decimals) {
  char digits[64];
  std::snprintf(digits, sizeof digits, "%.*f", decimals, value);
  std::string text = digits;
  const std::size_t point = text.find('.');
  const std::size_t sign = text[0] == '-' ? 1 : 0;
  for (std::size_t at = point == std::string::npos ? text.size() : point; at > sign + 3; at -= 3) {
    text.insert(at - 3, ",");
  }
  return text;
}

void FakeClock::Advance(double seconds) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  monotonic += seconds;
  utc += seconds;
  long long ms = static_cast<long long>(seconds * 1000 + 0.5);
  long long total =
      ((now.hour * 60LL + now.minute) * 60 + now.second) * 1000 + now.millisecond + ms;
  while (total >= 86400000LL) {
    total -= 86400000LL;
    if (++now.day > kDays[now.month - 1]) {
      now.day = 1;
      if (++now.month > 12) {
        now.month = 1;
        ++now.year;
      }
    }
  }
  now.millisecond = static_cast<int>(total % 1000);
  total /= 1000;
  now.second = static_cast<int>(total % 60);
  now.minute = static_cast<int>(total / 60 % 60);
  now.hour = static_cast<int>(total / 3600);
}

// ---------------- pump ----------------

void ScriptedEventPump::ProcessPendingEvents() {
  ++calls;
  if (every_call) every_call();
  const auto it = script_.find(calls);
  if (it == script_.end()) return;
  auto actions = std::move(it->second);
  script_.erase(it);
  for (auto& action : actions) action();
}

void ScriptedEventPump::At(int call, std::function<void()> action) {
  script_[calls + call].push_back(std::move(action));
}

}  // namespace tess::test
