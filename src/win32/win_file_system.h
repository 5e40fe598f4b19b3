// The file-system service over the wide Win32 file APIs, in the long-path form so that
// names outside the ANSI code page and paths past 260 characters work.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ports/file_system.h"

namespace tess::win32 {

// Notes beyond the interface:
// - An empty path names nothing: ListingFindsAny("") is false, the other queries throw.
// - ListingFindsAny throws for a drive that does not exist, as for any unusable drive.
// - OrdinaryFileExists counts what a plain directory listing shows: no folders, no hidden
//   or system files. It never throws; a failing listing answers false.
// - List counts a reparse point as naming another place by one rule (EntersFolder), and
//   answers "not found" for a path that is no folder, whatever the system said.
// - The file-tree primitives live in win_file_tree.cpp, the listing in folder_listing.cpp.
class WinFileSystem : public FileSystem {
 public:
  std::int64_t LastWriteTime(const std::string& path) override;
  std::uint32_t Attributes(const std::string& path) override;
  bool ListingFindsAny(const std::string& pattern) override;
  bool OrdinaryFileExists(const std::string& pattern) override;
  bool IsRootFolder(const std::string& folder) override;
  std::vector<int> AnsiCodes(const std::string& text) override;

  void AppendLine(const std::string& path, const std::string& text) override;
  void AppendBytes(const std::string& path, const std::string& bytes) override;
  std::string ReadAnsiText(const std::string& path) override;

  FileError FullPath(const std::string& path, std::string* full) override;
  std::string Shown(const std::string& full) override;
  bool SamePath(const std::string& a, const std::string& b) override;
  FileError Refusal(CopyRefusal refusal) override;
  FileError List(const std::string& folder, std::vector<TreeEntry>* entries) override;
  FileError Describe(const std::string& path, TreeEntry* entry) override;
  FileError OpenForReading(const std::string& path, std::unique_ptr<OpenFile>* file) override;
  FileError OpenPastCache(const std::string& path, std::unique_ptr<OpenFile>* file) override;
  FileError OpenInPlace(const std::string& path, std::unique_ptr<OpenFile>* file) override;
  FileError CreateExclusive(const std::string& path, std::uint32_t attributes,
                            std::unique_ptr<OpenFile>* file) override;
  FileError SetAttributes(const std::string& path, std::uint32_t attributes) override;
  FileError Delete(const std::string& path) override;
  FileError Rename(const std::string& from, const std::string& to) override;
  FileError RemoveFolder(const std::string& path) override;
  FileError OpenForAttributes(const std::string& path, std::unique_ptr<OpenFile>* file) override;
  FileError HoldLock(const std::string& path, std::unique_ptr<OpenFile>* lock) override;
  FileError MakeFolder(const std::string& path) override;
  FileError FreeSpace(const std::string& folder, std::uint64_t* bytes) override;
  FileError MakeHardLink(const std::string& existing, const std::string& link) override;
  // Coarse when the volume names a FAT file system (FAT, FAT32, exFAT); otherwise it writes a
  // write time with a fraction of a second to a probe file of its own and reads it back.
  FileError KeepsFineWriteTimes(const std::string& folder, bool* fine) override;
  // CopyPool threads; workers 0 takes CopyWorkers().
  std::unique_ptr<WorkPool> MakeWorkPool(int workers, std::function<void()> events) override;
};

// True when a walk goes into a folder with these attributes and this reparse tag: any folder
// that is not a reparse point, and reparse points that are not name surrogates. A reparse point
// whose tag is not known (0: Wine shows Linux symbolic links so) counts as a link.
bool EntersFolder(std::uint32_t attributes, std::uint32_t reparse_tag);
// The system's words for a Win32 error number, with the kind the copy tells apart.
FileError ErrorOf(unsigned long code);
// ErrorOf the calling thread's last error.
FileError LastError();
// A path as the wide calls take it: long form, or only widened when the copy core joined it
// onto a full path already.
std::wstring WidePath(const std::string& path);
// The folder's listing for List (folder_listing.cpp); a folder as a long path.
FileError ListFolder(const std::wstring& folder, std::vector<TreeEntry>* entries);
// The reparse tag of a path itself (a link is not followed), for when a listing gave none; 0
// when it cannot be read.
std::uint32_t ReparseTagOf(const std::wstring& path);

}  // namespace tess::win32
