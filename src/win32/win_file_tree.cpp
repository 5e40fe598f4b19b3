// The file-tree primitives of WinFileSystem over the wide Win32 APIs. They carry out what their
// caller decides and decide nothing themselves; every one of them is safe to call from the
// writer threads.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/name_case.h"
#include "base/temporary_name.h"
#include "win32/copy_pool.h"
#include "win32/handles.h"
#include "win32/long_path.h"
#include "win32/name_itself.h"
#include "win32/text.h"
#include "win32/win_file_system.h"
#include "win32/win_open_file.h"

namespace tess::win32 {

FileError ErrorOf(DWORD code) {
  FileErrorKind kind = FileErrorKind::kOther;
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      kind = FileErrorKind::kNotFound;
      break;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
      kind = FileErrorKind::kAlreadyExists;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      kind = FileErrorKind::kDiskFull;
      break;
    case ERROR_ACCESS_DENIED:
      kind = FileErrorKind::kAccessDenied;
      break;
    default:
      break;
  }
  return FileError{kind, SystemMessage(code)};
}

// A path the copy core joined onto a full path is already in the long form: only widened.
std::wstring WidePath(const std::string& path) {
  if (path.rfind("\\\\?\\", 0) == 0) {
    std::wstring wide = Widen(path);
    while (wide.size() > RootLength(wide) && wide.back() == L'\\') wide.pop_back();
    return wide;
  }
  return LongPath(path);
}

FileError LastError() { return ErrorOf(GetLastError()); }

namespace {

std::int64_t Ticks(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime);
}

DWORD SettableOrNormal(std::uint32_t attributes) {
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

// File systems that keep write times in steps of one or two seconds.
bool HasCoarseWriteTimes(const std::wstring& file_system) {
  for (const wchar_t* name : {L"FAT", L"FAT12", L"FAT16", L"FAT32", L"exFAT", L"vfat"}) {
    if (CompareStringOrdinal(file_system.c_str(), -1, name, -1, TRUE) == CSTR_EQUAL) return true;
  }
  return false;
}

// Writes a write time with a fraction of a second to a small file of its own in the folder and
// reads it back. The file has the shape of the copy's temporary names, so should the program
// die before it is deleted, the next copy into the folder removes it like any leftover.
FileError ProbeWriteTimes(const std::wstring& folder, bool* fine) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  const std::uint64_t tag = ticks.QuadPart ^ (std::uint64_t{GetCurrentThreadId()} << 40) ^
                            (std::uint64_t{GetCurrentProcessId()} << 20);
  const std::wstring path = JoinPath(folder, Widen(TemporaryName(tag)));

  FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY, nullptr));
  if (!file) return LastError();
  // A whole second and 0.7654321 s.
  const LONGLONG written =
      static_cast<LONGLONG>(ticks.QuadPart / 10'000'000 * 10'000'000 + 7'654'321);
  FILE_BASIC_INFO basic{};
  basic.LastWriteTime.QuadPart = written;
  const bool set = SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof basic) != 0;
  const FileError e = set ? FileError{} : LastError();
  file.Close();
  WIN32_FILE_ATTRIBUTE_DATA data;
  const bool read = set && GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
  DeleteFileW(path.c_str());
  if (!set) return e;
  if (!read) return LastError();
  ULARGE_INTEGER kept;
  kept.LowPart = data.ftLastWriteTime.dwLowDateTime;
  kept.HighPart = data.ftLastWriteTime.dwHighDateTime;
  *fine = static_cast<LONGLONG>(kept.QuadPart) == written;
  return {};
}

}  // namespace

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

FileError WinFileSystem::FullPath(const std::string& path, std::string* full) {
  try {
    *full = Narrow(LongPath(path));
    return {};
  } catch (const std::exception& e) {
    return FileError{FileErrorKind::kOther, e.what()};
  }
}

std::string WinFileSystem::Shown(const std::string& full) { return DisplayPath(Widen(full)); }

bool WinFileSystem::SamePath(const std::string& a, const std::string& b) {
  return win32::SamePath(WidePath(a), WidePath(b));
}

FileError WinFileSystem::Refusal(CopyRefusal refusal) {
  switch (refusal) {
    case CopyRefusal::kFileExists:
      return ErrorOf(ERROR_FILE_EXISTS);
    case CopyRefusal::kFolderInTheWay:
      return ErrorOf(ERROR_ALREADY_EXISTS);
    case CopyRefusal::kNotAFolder:
      return ErrorOf(ERROR_DIRECTORY);
    case CopyRefusal::kDiskFull:
      return ErrorOf(ERROR_DISK_FULL);
    case CopyRefusal::kNoSuchDrive:
      return ErrorOf(ERROR_INVALID_DRIVE);
  }
  return ErrorOf(ERROR_GEN_FAILURE);
}

FileError WinFileSystem::List(const std::string& folder, std::vector<TreeEntry>* entries) {
  return ListFolder(WidePath(folder), entries);
}

FileError WinFileSystem::Describe(const std::string& path, TreeEntry* entry) {
  const std::wstring wide = WidePath(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return LastError();
  const std::wstring leaf = LeafName(wide);
  entry->name = Narrow(leaf);
  entry->key = NameKey(entry->name);
  entry->attributes = data.dwFileAttributes;
  entry->names_another_place = false;  // named directly, a link is followed
  entry->times = {Ticks(data.ftCreationTime), Ticks(data.ftLastAccessTime),
                  Ticks(data.ftLastWriteTime), 0};
  entry->size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    // The change time is not in the attribute data; a file's copy is judged by it.
    FileHandle handle(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILE_BASIC_INFO basic;
    if (handle && GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic)) {
      entry->times.change = basic.ChangeTime.QuadPart;
    }
  }
  return {};
}

FileError WinFileSystem::OpenForReading(const std::string& path, std::unique_ptr<OpenFile>* file) {
  FileHandle handle(CreateFileW(WidePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle) return LastError();
  *file = OpenFileOf(std::move(handle));
  return {};
}

FileError WinFileSystem::OpenPastCache(const std::string& path, std::unique_ptr<OpenFile>* file) {
  FileHandle handle(CreateFileW(
      WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  // A file system that cannot read past its cache (a network share, some drivers) is read
  // through it.
  if (!handle) return OpenForReading(path, file);
  std::unique_ptr<OpenFile> past = PastCacheFileOf(std::move(handle));
  if (!past) return OpenForReading(path, file);
  *file = std::move(past);
  return {};
}

FileError WinFileSystem::OpenInPlace(const std::string& path, std::unique_ptr<OpenFile>* file) {
  // Written through to the disk: a repaired copy must be on the disk, not in a cache, when the
  // repair is told.
  FileHandle handle(CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_WRITE_THROUGH, nullptr));
  if (!handle) return LastError();
  *file = OpenFileOf(std::move(handle));
  return {};
}

FileError WinFileSystem::CreateExclusive(const std::string& path, std::uint32_t attributes,
                                         std::unique_ptr<OpenFile>* file) {
  // No sharing: while this run writes the file, no other run may delete it as a leftover.
  FileHandle handle(CreateFileW(WidePath(path).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                CREATE_NEW,
                                SettableOrNormal(attributes) | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!handle) return LastError();
  *file = OpenFileOf(std::move(handle));
  return {};
}

FileError WinFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  if (!SetFileAttributesW(WidePath(path).c_str(), SettableOrNormal(attributes))) {
    return LastError();
  }
  return {};
}

FileError WinFileSystem::Delete(const std::string& path) {
  if (const DWORD code = DeleteNameItself(WidePath(path), false)) return ErrorOf(code);
  return {};
}

FileError WinFileSystem::Rename(const std::string& from, const std::string& to) {
  // No MOVEFILE_REPLACE_EXISTING and no MOVEFILE_COPY_ALLOWED: a name only, never a copy.
  if (!MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), 0)) return LastError();
  return {};
}

FileError WinFileSystem::RemoveFolder(const std::string& path) {
  if (const DWORD code = DeleteNameItself(WidePath(path), true)) return ErrorOf(code);
  return {};
}

FileError WinFileSystem::OpenForAttributes(const std::string& path,
                                           std::unique_ptr<OpenFile>* file) {
  // Attribute access is not subject to sharing, and sharing delete lets a delete of this name
  // go ahead while the handle still reaches the file. A link is opened as itself: what is set
  // never reaches the file it names.
  FileHandle handle;
  if (const DWORD code =
          OpenNameItself(WidePath(path), FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, &handle)) {
    return ErrorOf(code);
  }
  *file = OpenFileOf(std::move(handle));
  return {};
}

FileError WinFileSystem::HoldLock(const std::string& path, std::unique_ptr<OpenFile>* lock) {
  // Shared with nobody, and deleted when the last handle closes: by the system, too, when the
  // program dies holding it, so a lock never outlives its holder.
  FileHandle handle(CreateFileW(
      WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!handle) return LastError();
  *lock = OpenFileOf(std::move(handle));
  return {};
}

FileError WinFileSystem::MakeFolder(const std::string& path) {
  // Wine answers "file not found" where Windows says "path not found" for a missing parent;
  // both are kNotFound.
  if (!CreateDirectoryW(WidePath(path).c_str(), nullptr)) return LastError();
  return {};
}

FileError WinFileSystem::FreeSpace(const std::string& folder, std::uint64_t* bytes) {
  ULARGE_INTEGER available;
  if (!GetDiskFreeSpaceExW(JoinPath(WidePath(folder), L"").c_str(), &available, nullptr, nullptr)) {
    return LastError();
  }
  *bytes = available.QuadPart;
  return {};
}

FileError WinFileSystem::MakeHardLink(const std::string& existing, const std::string& link) {
  if (!CreateHardLinkW(WidePath(link).c_str(), WidePath(existing).c_str(), nullptr)) {
    return LastError();
  }
  return {};
}

FileError WinFileSystem::KeepsFineWriteTimes(const std::string& folder, bool* fine) {
  *fine = true;
  const std::wstring wide = JoinPath(WidePath(folder), L"");
  std::vector<wchar_t> root(wide.size() + 2);
  wchar_t file_system[MAX_PATH + 1] = {};
  if (GetVolumePathNameW(wide.c_str(), root.data(), static_cast<DWORD>(root.size())) &&
      GetVolumeInformationW(root.data(), nullptr, 0, nullptr, nullptr, nullptr, file_system,
                            MAX_PATH + 1) &&
      HasCoarseWriteTimes(file_system)) {
    *fine = false;
    return {};
  }
  // Any other name is not proof of fine times: Wine names most Linux file systems "NTFS",
  // exFAT through FUSE among them, and a network share names the server's file system as it
  // likes. The volume itself shows what it keeps.
  return ProbeWriteTimes(wide, fine);
}

std::unique_ptr<WorkPool> WinFileSystem::MakeWorkPool(int workers, std::function<void()> events) {
  return std::make_unique<CopyPool>(workers > 0 ? workers : CopyWorkers(), std::move(events));
}

}  // namespace tess::win32
