#include "win32/copy_engine.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "base/unchanged_file.h"
#include "win32/copy_pool.h"
#include "win32/handles.h"
#include "win32/long_path.h"
#include "win32/text.h"

namespace tess::win32 {
namespace {

// Attribute bits a copied file carries over; the others belong to the volume (compression,
// sparse, encryption) or to the way the file is stored.
constexpr DWORD kFileAttributesKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                      FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// Bits put right on a file that is otherwise identical. The archive bit is left alone: Wine
// reports it on every file whatever was set, so comparing it would rewrite every skipped file.
constexpr DWORD kFileAttributesChecked =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// Folder bits carried over. A folder's read-only bit only marks a customised view on
// Windows, and Wine turns it into a folder nobody may write into, so it stays behind.
constexpr DWORD kFolderAttributesKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Small enough to stay in the processor cache between the read and the write.
constexpr DWORD kBufferBytes = 64u << 10;
constexpr DWORD kSmallestBufferBytes = 4u << 10;
// Room for a few hundred names per listing call.
constexpr size_t kListingBytes = 64u << 10;
constexpr int kTempHexDigits = 16;

// One name of a folder listing with what the copy reads of it.
struct Listed {
  std::wstring name;
  DWORD attributes = 0;
  DWORD reparse_tag = 0;  // for a reparse point; 0 when its listing did not give one
  std::int64_t creation = 0;
  std::int64_t access = 0;
  std::int64_t write = 0;
  std::int64_t change = 0;
  std::uint64_t size = 0;
};

FileStamp StampOf(const Listed& file) { return FileStamp{file.size, file.write, file.change}; }

bool NameLess(const Listed& a, const Listed& b) {
  return CompareStringOrdinal(a.name.data(), static_cast<int>(a.name.size()), b.name.data(),
                              static_cast<int>(b.name.size()), TRUE) == CSTR_LESS_THAN;
}

// The entry of a listing sorted by NameLess that has the name, compared as the file system
// compares names; null when there is none.
const Listed* FindName(const std::vector<Listed>& sorted, const std::wstring& name) {
  Listed key;
  key.name = name;
  const auto it = std::lower_bound(sorted.begin(), sorted.end(), key, NameLess);
  if (it == sorted.end() || NameLess(key, *it)) return nullptr;
  return &*it;
}

// Reads a folder's names batch by batch, each with its times, size and attributes, from the
// folder's own listing: one call per batch instead of one per file, which is what keeps a
// repeat run over an unchanged tree cheap.
class FolderReader {
 public:
  explicit FolderReader(const std::wstring& folder)
      : folder_(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)) {
    if (!folder_) error_ = GetLastError();
  }

  // The next name ("." and ".." included); false at the end or on a failure.
  bool Next(Listed* entry) {
    if (!folder_ || error_ != 0 || done_) return false;
    if (at_ == nullptr && !ReadBatch()) return false;
    const auto* info = reinterpret_cast<const FILE_FULL_DIR_INFO*>(at_);
    entry->name.assign(info->FileName, info->FileNameLength / sizeof(wchar_t));
    entry->attributes = info->FileAttributes;
    // For a reparse point the listing gives its tag where the extended-attribute size would be.
    entry->reparse_tag = (info->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? info->EaSize : 0;
    entry->creation = info->CreationTime.QuadPart;
    entry->access = info->LastAccessTime.QuadPart;
    entry->write = info->LastWriteTime.QuadPart;
    entry->change = info->ChangeTime.QuadPart;
    entry->size = static_cast<std::uint64_t>(info->EndOfFile.QuadPart);
    at_ = info->NextEntryOffset == 0 ? nullptr : at_ + info->NextEntryOffset;
    return true;
  }

  // 0 after the last name; the system's error code when the folder could not be read.
  DWORD Error() const { return error_; }

 private:
  bool ReadBatch() {
    if (!GetFileInformationByHandleEx(folder_.get(), FileFullDirectoryInfo, batch_.data(),
                                      static_cast<DWORD>(batch_.size() * sizeof batch_[0]))) {
      const DWORD code = GetLastError();
      done_ = true;
      // An empty drive root has not even "." to list.
      if (code != ERROR_NO_MORE_FILES && !(code == ERROR_FILE_NOT_FOUND && first_)) error_ = code;
      return false;
    }
    first_ = false;
    at_ = reinterpret_cast<const char*>(batch_.data());
    return true;
  }

  FileHandle folder_;
  std::vector<std::uint64_t> batch_ = std::vector<std::uint64_t>(kListingBytes / 8);
  const char* at_ = nullptr;
  DWORD error_ = 0;
  bool first_ = true;
  bool done_ = false;
};

// What the copy needs of one file named directly; answers 0 or the system's error code.
DWORD DescribeFile(const std::wstring& path, Listed* file) {
  FileHandle handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILE_BASIC_INFO basic;
  FILE_STANDARD_INFO standard;
  if (!handle || !GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic) ||
      !GetFileInformationByHandleEx(handle.get(), FileStandardInfo, &standard, sizeof standard)) {
    return GetLastError();
  }
  file->name = LeafName(path);
  file->attributes = basic.FileAttributes;
  file->creation = basic.CreationTime.QuadPart;
  file->access = basic.LastAccessTime.QuadPart;
  file->write = basic.LastWriteTime.QuadPart;
  file->change = basic.ChangeTime.QuadPart;
  file->size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
  return 0;
}

DWORD SettableAttributes(DWORD attributes) {
  const DWORD kept = attributes & kFileAttributesKept;
  return kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept;
}

bool IsDots(const wchar_t* name) {
  return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsDirectory(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Deletes a temporary file whatever attributes it was given; failures are left for the next
// run (the file may still be open in another run).
void DeleteTemporary(const std::wstring& path) {
  if (DeleteFileW(path.c_str())) return;
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

// Removes the leftovers of interrupted runs from a destination folder.
void RemoveLeftovers(const std::wstring& folder) {
  const std::wstring pattern =
      JoinPath(folder, std::wstring(kTempPrefix) + L"*" + std::wstring(kTempSuffix));
  WIN32_FIND_DATAW found;
  FindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, 0));
  if (!find) return;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
        IsTemporaryName(found.cFileName)) {
      DeleteTemporary(JoinPath(folder, found.cFileName));
    }
  } while (FindNextFileW(find.get(), &found));
}

// Creates a folder and any missing parents. Answers 0 when the folder is there afterwards
// (created tells whether this call made it), otherwise the system's error code.
DWORD CreateFolderChain(const std::wstring& path, bool* created) {
  *created = false;
  if (IsRootPath(path)) {
    if (IsDirectory(GetFileAttributesW(path.c_str()))) return 0;
    const DWORD code = GetLastError();
    return code == ERROR_PATH_NOT_FOUND || code == ERROR_FILE_NOT_FOUND ? ERROR_INVALID_DRIVE
                                                                        : code;
  }
  if (CreateDirectoryW(path.c_str(), nullptr)) {
    *created = true;
    return 0;
  }
  DWORD code = GetLastError();
  // Wine answers "file not found" where Windows says "path not found" for a missing parent.
  if (code == ERROR_PATH_NOT_FOUND || code == ERROR_FILE_NOT_FOUND) {
    bool parent_created = false;
    const DWORD parent_code = CreateFolderChain(ParentPath(path), &parent_created);
    if (parent_code != 0) return parent_code;
    if (CreateDirectoryW(path.c_str(), nullptr)) {
      *created = true;
      return 0;
    }
    code = GetLastError();
  }
  if (code == ERROR_ALREADY_EXISTS) {
    return IsDirectory(GetFileAttributesW(path.c_str())) ? 0 : ERROR_FILE_EXISTS;
  }
  return code;
}

// The name a folder is copied under: its own, or for a drive root the drive letter.
std::wstring FolderName(const std::wstring& path) {
  std::wstring name = LeafName(path);
  if (!name.empty()) return name;
  std::wstring root = path;
  while (!root.empty() && root.back() == L'\\') root.pop_back();
  name = root.substr(root.rfind(L'\\') + 1);
  if (!name.empty() && name.back() == L':') name.pop_back();
  return name;
}

// One copy: the walk runs on the caller's thread, which decides for each file whether it needs
// writing; the writing runs on a pool of worker threads while the caller waits for them with
// its messages moving. Per-file costs (opening, creating, renaming, closing) rather than bytes
// dominate small files, and those overlap well across threads.
class CopyRun {
 public:
  explicit CopyRun(const CopySettings& settings)
      : settings_(settings),
        pool_(settings.workers > 0 ? settings.workers : kCopyWorkers, [this] { LetEventsRun(); }) {
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    name_seed_ = static_cast<std::uint64_t>(counter.QuadPart) ^
                 (static_cast<std::uint64_t>(GetCurrentProcessId()) << 40) ^
                 reinterpret_cast<std::uintptr_t>(this) ^ 0x9E3779B97F4A7C15ull;
  }

  CopyOutcome Run(const std::string& source, const std::string& destination) {
    try {
      Start(source, destination);
      pool_.Drain();
      RetryDeferred();
    } catch (const std::exception& e) {
      FailRun(source, e.what());
    } catch (...) {
      FailRun(source, "Unexpected failure");
    }
    // Whatever ended the walk, nothing may still write when the outcome is read.
    pool_.Drain();
    std::lock_guard lock(out_lock_);
    return out_;
  }

  bool Interrupted() const { return interrupted_.load(); }

 private:
  // The copy a new one replaces, if there is one.
  struct EarlierCopy {
    bool exists = false;
    DWORD attributes = 0;
  };

  // One file to write, as the walk found it.
  struct FileJob {
    std::uint64_t order = 0;  // its place in the walk, so failures are told in walk order
    std::wstring source;
    std::wstring folder;
    Listed file;
    EarlierCopy earlier;
    bool last_try = false;  // a second try after a full disk: a failure now counts
  };

  void Start(const std::string& source, const std::string& destination) {
    const std::wstring from = LongPath(source);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(from.c_str(), GetFileExInfoStandard, &data)) {
      return FailFolder(from, GetLastError());
    }
    std::wstring to = LongPath(destination);
    bool created = false;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      // A single file lands in the destination folder under its own name.
      Listed file;
      if (const DWORD code = DescribeFile(from, &file)) return FailFile(NextOrder(), from, code);
      if (const DWORD code = CreateFolderChain(to, &created)) return FailFolder(to, code);
      Listed copy;
      bool have_copy = false;
      if (!created) {
        RemoveLeftovers(to);
        const DWORD code = DescribeFile(JoinPath(to, file.name), &copy);
        if (code != 0 && code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND) {
          return FailFile(NextOrder(), JoinPath(to, file.name), code);
        }
        have_copy = code == 0;
      }
      return CopyOneFile(from, file, to, have_copy ? &copy : nullptr);
    }
    const bool into =
        !destination.empty() && (destination.back() == '\\' || destination.back() == '/');
    if (into) {
      // The destination must exist and receives the source under its own name.
      const DWORD attributes = GetFileAttributesW(to.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) return FailFolder(to, GetLastError());
      if (!IsDirectory(attributes)) return FailFolder(to, ERROR_DIRECTORY);
      to = JoinPath(to, FolderName(from));
    }
    if (const DWORD code = CreateFolderChain(to, &created)) return FailFolder(to, code);
    target_root_ = to;
    CopyContents(from, to, created);
    if (created && !IsRootPath(from)) KeepFolderAttributes(to, data.dwFileAttributes);
  }

  // A subfolder met in a listing, copied once the files of its folder are done.
  struct Subfolder {
    std::wstring name;
    DWORD attributes = 0;
    bool copy_exists = false;  // the destination already has a folder of that name
  };

  // Copies what the source folder holds into target: first its files, then each subfolder in
  // turn, so that only the names of one folder's subfolders stay in memory per level.
  void CopyContents(const std::wstring& source, const std::wstring& target, bool target_is_new) {
    std::vector<Subfolder> subfolders;
    CopyFiles(source, target, target_is_new, &subfolders);
    for (const Subfolder& subfolder : subfolders) {
      if (interrupted_.load()) return;
      const std::wstring to = JoinPath(target, subfolder.name);
      bool created = false;
      if (!subfolder.copy_exists) {
        if (const DWORD code = CreateFolderChain(to, &created)) {
          FailFolder(to, code);
          continue;
        }
      }
      CopyContents(JoinPath(source, subfolder.name), to, created);
      if (created) KeepFolderAttributes(to, subfolder.attributes);
    }
  }

  // Copies the files of one folder and collects its subfolders. The copies already in target
  // are read in one listing; a new target has none.
  void CopyFiles(const std::wstring& source, const std::wstring& target, bool target_is_new,
                 std::vector<Subfolder>* subfolders) {
    FolderReader reader(source);
    if (reader.Error() != 0) return FailFolder(source, reader.Error());
    std::vector<Listed> copies;
    if (!target_is_new) {
      if (const DWORD code = ReadCopies(target, &copies)) return FailFolder(target, code);
    }
    Listed entry;
    while (reader.Next(&entry)) {
      if (IsDots(entry.name.c_str())) continue;
      const Listed* copy = FindName(copies, entry.name);
      if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
        const std::wstring from = JoinPath(source, entry.name);
        if ((entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) && entry.reparse_tag == 0) {
          entry.reparse_tag = ReparseTagOf(from);
        }
        if (!EntersFolder(entry.attributes, entry.reparse_tag)) continue;
        if (SamePath(from, target_root_)) continue;  // the copy itself
        const bool copy_exists = copy != nullptr && (copy->attributes & FILE_ATTRIBUTE_DIRECTORY);
        subfolders->push_back({entry.name, entry.attributes, copy_exists});
        continue;
      }
      if (IsTemporaryName(entry.name)) continue;
      LetEventsRunBetweenFiles();
      CopyOneFile(JoinPath(source, entry.name), entry, target, copy);
      if (interrupted_.load()) return;
    }
    if (reader.Error() != 0) FailFolder(source, reader.Error());
  }

  // Reads what a destination folder holds, sorted by name, and deletes the leftovers of
  // interrupted runs on the way. Answers 0 or the system's error code.
  static DWORD ReadCopies(const std::wstring& folder, std::vector<Listed>* copies) {
    FolderReader reader(folder);
    Listed entry;
    while (reader.Next(&entry)) {
      if (IsDots(entry.name.c_str())) continue;
      if ((entry.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && IsTemporaryName(entry.name)) {
        DeleteTemporary(JoinPath(folder, entry.name));
        continue;
      }
      copies->push_back(std::move(entry));
    }
    std::sort(copies->begin(), copies->end(), NameLess);
    return reader.Error();
  }

  // Decides, from the two listings, whether a file needs writing into folder, and hands it to
  // the pool when it does. copy is what the destination's listing showed under the file's
  // name, if anything.
  void CopyOneFile(const std::wstring& source, const Listed& file, const std::wstring& folder,
                   const Listed* copy) {
    const std::uint64_t order = NextOrder();
    EarlierCopy earlier;
    if (copy != nullptr) {
      const std::wstring target = JoinPath(folder, file.name);
      if (copy->attributes & FILE_ATTRIBUTE_DIRECTORY) {
        return FailFile(order, target, ERROR_ALREADY_EXISTS);
      }
      if (CopyIsCurrent(StampOf(file), StampOf(*copy))) {
        if ((copy->attributes ^ file.attributes) & kFileAttributesChecked) {
          SetFileAttributesW(target.c_str(), SettableAttributes(file.attributes));
        }
        Count(&CopyOutcome::files_skipped);
        return;
      }
      if (!settings_.overwrite) return FailFile(order, target, ERROR_FILE_EXISTS);
      earlier = EarlierCopy{true, copy->attributes};
    }
    auto job = std::make_shared<FileJob>(FileJob{order, source, folder, file, earlier, false});
    pool_.Submit([this, job] { WriteGuarded(*job); });
  }

  // Copies that failed for a full disk while other copies were filling it too are tried once
  // more, one at a time, once the rest are done: the temporary files of the others are gone by
  // then, and a file that fits on its own is not lost to a race it had no part in.
  void RetryDeferred() {
    std::vector<FileJob> again;
    {
      std::lock_guard lock(out_lock_);
      again.swap(deferred_);
    }
    for (FileJob& job : again) {
      if (interrupted_.load()) return;
      job.last_try = true;
      auto shared = std::make_shared<FileJob>(std::move(job));
      pool_.Submit([this, shared] { WriteGuarded(*shared); });
      pool_.Drain();
    }
  }

  // On a worker: writes one file; no failure escapes to the pool.
  void WriteGuarded(const FileJob& job) {
    if (interrupted_.load()) return;  // as if the process had died before it
    try {
      Write(job);
    } catch (const std::exception& e) {
      RecordFileFailure(job.order, DisplayPath(JoinPath(job.folder, job.file.name)), e.what());
    } catch (...) {
      RecordFileFailure(job.order, DisplayPath(JoinPath(job.folder, job.file.name)),
                        "Unexpected failure");
    }
  }

  // On a worker: copies the file through a temporary file and renames it into place.
  void Write(const FileJob& job) {
    const Listed& file = job.file;
    const std::wstring target = JoinPath(job.folder, file.name);
    FileHandle in(CreateFileW(job.source.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) return FailFile(job.order, job.source, GetLastError());
    if (const DWORD code = CheckRoom(job.folder, file.size)) return FailWrite(job, target, code);
    std::wstring temp;
    DWORD code = 0;
    FileHandle out = CreateTemporary(job.folder, file.attributes, &temp, &code);
    if (!out) return FailWrite(job, target, code);

    bool read_failed = false;
    code = CopyData(in.get(), out.get(), file.size, &read_failed);
    if (interrupted_.load()) return FailFile(job.order, target, ERROR_OPERATION_ABORTED);
    in.Close();
    if (code == 0) code = StampTemporary(out.get(), file);
    if (code == 0) code = PutInPlace(out.get(), target, job.earlier);
    out.Close();
    if (code != 0) {
      DeleteTemporary(temp);
      if (read_failed) return FailFile(job.order, job.source, code);
      return FailWrite(job, target, code);
    }
    Count(&CopyOutcome::files_copied);
  }

  // A failed write; a full disk while other copies were running is tried again at the end.
  void FailWrite(const FileJob& job, const std::wstring& target, DWORD code) {
    const bool disk_full = code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL;
    if (disk_full && !job.last_try && pool_.Running() > 1) {
      std::lock_guard lock(out_lock_);
      if (deferred_.size() < kMaxDeferred) {
        deferred_.push_back(job);
        return;
      }
    }
    FailFile(job.order, target, code);
  }

  // Renames the finished temporary file to target. Only a replacement can lose a good copy, so
  // only then are data and rename forced to disk. A copy that turns up after the folder was
  // listed (another run writing the same folder) is found by the rename and replaced in turn.
  DWORD PutInPlace(HANDLE file, const std::wstring& target, EarlierCopy earlier) {
    if (!earlier.exists) {
      const DWORD code = RenameOver(file, target, false);
      if (code != ERROR_ALREADY_EXISTS && code != ERROR_FILE_EXISTS) return code;
      WIN32_FILE_ATTRIBUTE_DATA have;
      if (!GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &have)) return code;
      if (IsDirectory(have.dwFileAttributes)) return ERROR_ALREADY_EXISTS;
      if (!settings_.overwrite) return ERROR_FILE_EXISTS;
      earlier = EarlierCopy{true, have.dwFileAttributes};
    }
    if (!FlushFileBuffers(file)) return GetLastError();
    // Windows refuses to replace a read-only file, and an earlier copy of a read-only source
    // is read-only.
    const DWORD old_attributes = earlier.attributes;
    const bool cleared = (old_attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (cleared) {
      SetFileAttributesW(target.c_str(),
                         SettableAttributes(old_attributes & ~FILE_ATTRIBUTE_READONLY));
    }
    const DWORD code = RenameOver(file, target, true);
    if (code != 0) {
      if (cleared) SetFileAttributesW(target.c_str(), SettableAttributes(old_attributes));
      return code;
    }
    // The rename itself is made durable too, as MOVEFILE_WRITE_THROUGH would.
    FlushFileBuffers(file);
    return 0;
  }

  // Atomically puts the open temporary file in the place of target, replacing what is there
  // when replace_existing is set. Renaming through the handle that wrote the file saves reopening
  // it by name (which is what MoveFileExW does and what costs most per file under Wine).
  static DWORD RenameOver(HANDLE file, const std::wstring& target, bool replace_existing) {
    // The NT form (\??\C:\x for \\?\C:\x) is taken as it is by every layer below.
    std::wstring name = target;
    if (name.rfind(L"\\\\?\\", 0) == 0) name[1] = L'?';
    const size_t name_bytes = name.size() * sizeof(wchar_t);
    const size_t total = offsetof(FILE_RENAME_INFO, FileName) + name_bytes + sizeof(wchar_t);
    // FILE_RENAME_INFO needs 8-byte alignment.
    std::vector<std::uint64_t> buffer((total + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = replace_existing ? TRUE : FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name_bytes);
    std::memcpy(rename->FileName, name.data(), name_bytes);
    if (!SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(total))) {
      return GetLastError();
    }
    return 0;
  }

  // The temporary file is born with the source's attributes except read-only, which comes
  // last, so that plain files need no attribute change afterwards.
  FileHandle CreateTemporary(const std::wstring& folder, DWORD attributes, std::wstring* path,
                             DWORD* code) {
    const DWORD born_with = SettableAttributes(attributes & ~FILE_ATTRIBUTE_READONLY);
    for (int attempt = 0; attempt < 8; ++attempt) {
      *path = JoinPath(folder, NextTemporaryName());
      // No sharing: while this run writes the file, no other run may delete it as a leftover.
      FileHandle file(CreateFileW(path->c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                  born_with | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
      if (file) return file;
      *code = GetLastError();
      if (*code != ERROR_FILE_EXISTS && *code != ERROR_ALREADY_EXISTS) break;
    }
    return FileHandle();
  }

  // Answers 0 or the error code; a short read at the known end of the file ends the copy
  // without a second read. A small file gets a buffer of its own size.
  DWORD CopyData(HANDLE in, HANDLE out, std::uint64_t expected, bool* read_failed) {
    const DWORD buffer_bytes = static_cast<DWORD>(
        std::clamp<std::uint64_t>(expected + 1, kSmallestBufferBytes, kBufferBytes));
    const auto buffer = std::make_unique_for_overwrite<char[]>(buffer_bytes);
    std::uint64_t done = 0;
    std::uint64_t since_progress = 0;
    for (;;) {
      if (interrupted_.load()) return ERROR_OPERATION_ABORTED;  // another file fired the seam
      DWORD want = buffer_bytes;
      if (settings_.interrupt_after_bytes) {
        const std::uint64_t limit = *settings_.interrupt_after_bytes;
        if (done >= limit) {
          interrupted_.store(true);
          return ERROR_OPERATION_ABORTED;
        }
        want = static_cast<DWORD>(std::min<std::uint64_t>(want, limit - done));
      }
      DWORD got = 0;
      if (!ReadFile(in, buffer.get(), want, &got, nullptr)) {
        *read_failed = true;
        return GetLastError();
      }
      if (got == 0) return 0;
      if (const DWORD code = WriteAll(out, buffer.get(), got)) return code;
      done += got;
      since_progress += got;
      if (since_progress >= kYieldBytes) {
        since_progress = 0;
        pool_.NoteProgress();
      }
      if (got < want && done >= expected) return 0;
    }
  }

  // Answers ERROR_DISK_FULL when the volume that holds folder has less room than bytes, so a
  // file that cannot fit fails at once with the reason a user understands, before any of it is
  // written and without filling the disk for every other program first. The room is asked for
  // again only when the last answer, less what was set aside since, does not cover a file.
  DWORD CheckRoom(const std::wstring& folder, std::uint64_t bytes) {
    if (bytes == 0 || !settings_.check_free_space) return 0;
    std::lock_guard lock(room_lock_);
    if (room_unknown_) return 0;
    if (bytes > room_) {
      ULARGE_INTEGER available;
      if (!GetDiskFreeSpaceExW(JoinPath(folder, L"").c_str(), &available, nullptr, nullptr)) {
        room_unknown_ = true;  // the writes will tell
        return 0;
      }
      room_ = available.QuadPart;
      if (bytes > room_) return ERROR_DISK_FULL;
    }
    room_ -= bytes;
    return 0;
  }

  // Writes all of data; answers 0 or the error code. A disk file takes everything it is given
  // unless its volume is full, and Wine passes on the short write of a full Linux file system
  // as a success: only a second write for the rest reports the full disk.
  static DWORD WriteAll(HANDLE out, const char* data, DWORD size) {
    while (size > 0) {
      DWORD put = 0;
      if (!WriteFile(out, data, size, &put, nullptr)) return GetLastError();
      if (put == 0) return ERROR_DISK_FULL;
      data += put;
      size -= put;
    }
    return 0;
  }

  // Gives the temporary file the source's times, and the read-only bit when the source has
  // it, in one call before the rename, so the finished copy never shows the wrong ones.
  static DWORD StampTemporary(HANDLE file, const Listed& info) {
    FILE_BASIC_INFO basic{};
    basic.CreationTime.QuadPart = info.creation;
    basic.LastAccessTime.QuadPart = info.access;
    basic.LastWriteTime.QuadPart = info.write;
    // Zero leaves the attributes the file was created with.
    if (info.attributes & FILE_ATTRIBUTE_READONLY) {
      basic.FileAttributes = SettableAttributes(info.attributes);
    }
    if (!SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof basic)) {
      return GetLastError();
    }
    return 0;
  }

  static void KeepFolderAttributes(const std::wstring& folder, DWORD source_attributes) {
    const DWORD bits = source_attributes & kFolderAttributesKept;
    if (bits != 0) SetFileAttributesW(folder.c_str(), bits);
  }

  std::wstring NextTemporaryName() {
    // splitmix64 over a per-run seed and a shared count: cheap, safe on any thread, and two
    // runs do not walk the same names.
    std::uint64_t value = name_seed_ + 0x9E3779B97F4A7C15ull * (name_count_.fetch_add(1) + 1);
    value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
    value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
    value ^= value >> 31;
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring name(kTempPrefix);
    name.resize(name.size() + kTempHexDigits);
    for (int i = 0; i < kTempHexDigits; ++i) {
      name[name.size() - 1 - i] = kHex[value & 0xF];
      value >>= 4;
    }
    name += kTempSuffix;
    return name;
  }

  // Small files take well under a millisecond each, and a pass through the event pump costs
  // a noticeable share of that, so between files the pump runs at most every
  // kYieldInterval: often enough for a window to feel live.
  void LetEventsRunBetweenFiles() {
    if (GetTickCount64() - last_yield_ms_ >= kYieldIntervalMs) LetEventsRun();
  }

  // The caller's thread only.
  void LetEventsRun() {
    last_yield_ms_ = GetTickCount64();
    if (!settings_.yield) return;
    try {
      settings_.yield();
    } catch (...) {
      // The event pump's failures belong to its handlers; the copy goes on.
    }
  }

  // The walk's own places: each file and each failing folder takes the next one.
  std::uint64_t NextOrder() { return next_order_++; }

  void Count(std::uint64_t CopyOutcome::*counter) {
    std::lock_guard lock(out_lock_);
    ++(out_.*counter);
  }
  // Keeps the failure that comes first in the walk, whichever thread met it first.
  void Record(std::uint64_t order, const std::string& path, const std::string& reason) {
    if (order >= first_failure_order_) return;
    first_failure_order_ = order;
    out_.first_failure_path = path;
    out_.first_failure_reason = reason;
  }
  void RecordFileFailure(std::uint64_t order, const std::string& path, const std::string& reason) {
    std::lock_guard lock(out_lock_);
    ++out_.files_failed;
    Record(order, path, reason);
  }
  void FailFile(std::uint64_t order, const std::wstring& path, DWORD code) {
    RecordFileFailure(order, DisplayPath(path), SystemMessage(code));
  }
  void FailFolder(const std::wstring& path, DWORD code) {
    const std::uint64_t order = NextOrder();
    const std::string reason = SystemMessage(code);
    std::lock_guard lock(out_lock_);
    ++out_.folders_failed;
    Record(order, DisplayPath(path), reason);
  }
  // The walk itself failed (no memory): the source counts as a failed folder.
  void FailRun(const std::string& source, const std::string& reason) {
    const std::uint64_t order = NextOrder();
    std::lock_guard lock(out_lock_);
    ++out_.folders_failed;
    Record(order, source, reason);
  }

  // At most this many copies wait for a second try after a full disk; beyond that the disk is
  // simply full, and memory stays bounded.
  static constexpr size_t kMaxDeferred = 64;

  const CopySettings& settings_;
  std::wstring target_root_;
  std::uint64_t next_order_ = 0;  // the caller's thread only
  ULONGLONG last_yield_ms_ = 0;   // the caller's thread only
  std::uint64_t name_seed_ = 0;
  std::atomic<std::uint64_t> name_count_{0};
  std::atomic<bool> interrupted_{false};

  SlimLock out_lock_;  // guards out_, first_failure_order_ and deferred_
  CopyOutcome out_;
  std::uint64_t first_failure_order_ = std::numeric_limits<std::uint64_t>::max();
  std::vector<FileJob> deferred_;

  SlimLock room_lock_;      // guards room_ and room_unknown_
  std::uint64_t room_ = 0;  // free bytes on the destination's volume, as last known
  bool room_unknown_ = false;

  // Last, so that it goes first: its threads use everything above.
  CopyPool pool_;
};

}  // namespace

bool IsTemporaryName(std::wstring_view name) {
  if (name.size() != kTempPrefix.size() + kTempHexDigits + kTempSuffix.size()) return false;
  auto same = [](std::wstring_view a, std::wstring_view b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
  };
  if (!same(name.substr(0, kTempPrefix.size()), kTempPrefix)) return false;
  if (!same(name.substr(name.size() - kTempSuffix.size()), kTempSuffix)) return false;
  const std::wstring_view digits = name.substr(kTempPrefix.size(), kTempHexDigits);
  return std::all_of(digits.begin(), digits.end(), [](wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
  });
}

std::uint32_t ReparseTagOf(const std::wstring& path) {
  FileHandle handle(CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (!handle ||
      !GetFileInformationByHandleEx(handle.get(), FileAttributeTagInfo, &tag, sizeof tag)) {
    return 0;
  }
  return (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? tag.ReparseTag : 0;
}

bool EntersFolder(std::uint32_t attributes, std::uint32_t reparse_tag) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return true;
  return reparse_tag != 0 && !IsReparseTagNameSurrogate(reparse_tag);
}

CopyOutcome CopyTree(const std::string& source, const std::string& destination,
                     const CopySettings& settings, bool* interrupted) {
  CopyRun run(settings);
  CopyOutcome outcome = run.Run(source, destination);
  if (interrupted != nullptr) *interrupted = run.Interrupted();
  return outcome;
}

}  // namespace tess::win32
