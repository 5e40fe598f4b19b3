// The file-system primitives a folder copy is made of, in the program's own terms. They decide
// nothing: what is current, what is left out, where a file lands and what a failure means are
// their caller's to decide. Paths are UTF-8 text in Windows form. Every primitive may be called
// from several threads at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ports/work_pool.h"

namespace tess {

inline constexpr std::uint32_t kAttrReadOnly = 1;
inline constexpr std::uint32_t kAttrHidden = 2;
inline constexpr std::uint32_t kAttrSystem = 4;
inline constexpr std::uint32_t kAttrDirectory = 16;
inline constexpr std::uint32_t kAttrArchive = 32;
inline constexpr std::uint32_t kAttrReparsePoint = 1024;
inline constexpr std::uint32_t kAttrNotContentIndexed = 8192;
// No bits at all, where 0 would mean "leave the attributes as they are".
inline constexpr std::uint32_t kAttrNormal = 128;

// What went wrong, as far as the copy must tell failures apart, and the system's own words for
// it, which is what a history line shows.
enum class FileErrorKind { kNone, kNotFound, kAlreadyExists, kDiskFull, kAccessDenied, kOther };

struct FileError {
  FileErrorKind kind = FileErrorKind::kNone;
  std::string text;
  bool Failed() const { return kind != FileErrorKind::kNone; }
};

// Failures the copy finds by itself, worded by the system as it words its own.
enum class CopyRefusal {
  kFileExists,      // a different copy is there and may not be replaced
  kFolderInTheWay,  // a folder has the name a file needs
  kNotAFolder,      // a folder was needed and a file is there
  kDiskFull,        // the file does not fit in the room left
  kNoSuchDrive,
};

// Times as counts on one scale (100-nanosecond ticks on Windows); 0 for a time not kept.
struct FileTimes {
  std::int64_t creation = 0;
  std::int64_t access = 0;
  std::int64_t write = 0;
  // When anything about the file last changed; no program can set it back.
  std::int64_t change = 0;
};

// One name as its folder's listing shows it.
struct TreeEntry {
  std::string name;
  // The name as the file system compares names: two names with the same key are one file.
  std::string key;
  std::uint32_t attributes = 0;  // kAttr* bits
  // A folder that only names another place (a junction, a symbolic link, a mount point).
  bool names_another_place = false;
  std::uint64_t size = 0;
  FileTimes times;
  // What tells a file from every other on its volume, the same under each of its names (a file
  // shared by hard links); 0 where the listing does not give it.
  std::uint64_t file_id = 0;
  bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
};

// An open file. Closing happens when it is destroyed.
class OpenFile {
 public:
  virtual ~OpenFile() = default;
  // Reads up to size bytes; *got is 0 at the end.
  virtual FileError Read(char* data, std::size_t size, std::size_t* got) = 0;
  // Writes all of data, or fails.
  virtual FileError Write(const char* data, std::size_t size) = 0;
  // Sets the creation, access and write times, and the attributes; a time or attributes of 0
  // are left as they are.
  virtual FileError SetTimes(const FileTimes& times, std::uint32_t attributes) = 0;
  // Forces what was written, and a rename, to the disk.
  virtual FileError Flush() = 0;
  // Gives the open file the path target, atomically; replaces a file there only when asked.
  virtual FileError RenameOver(const std::string& target, bool replace) = 0;
  // The open file's size, times and attributes, as its folder's listing shows them, its name
  // left empty: what is read of a file already open costs no second open.
  virtual FileError Describe(TreeEntry* entry) = 0;
  // What tells this file from every other on its computer, the same under each of its names (a
  // file shared by hard links): a file read once is known again by it.
  virtual FileError Identity(std::string* id) = 0;
};

class FileTree {
 public:
  virtual ~FileTree() = default;

  // The full, absolute form of a path, which the other primitives take at their fastest and
  // which the copy joins names onto.
  virtual FileError FullPath(const std::string& path, std::string* full) = 0;
  // A full path as a user reads it.
  virtual std::string Shown(const std::string& full) = 0;
  // True when both full paths name the same place, as the file system compares names.
  virtual bool SamePath(const std::string& a, const std::string& b) = 0;
  // The system's words for a failure the copy finds by itself.
  virtual FileError Refusal(CopyRefusal refusal) = 0;

  // What a folder holds ("." and ".." left out), in the file system's order. On a failure
  // entries holds what was read before it.
  virtual FileError List(const std::string& folder, std::vector<TreeEntry>* entries) = 0;
  // One path itself; a link named directly is followed.
  virtual FileError Describe(const std::string& path, TreeEntry* entry) = 0;

  virtual FileError OpenForReading(const std::string& path, std::unique_ptr<OpenFile>* file) = 0;
  // For reading a backup back: the bytes as the disk holds them, past the system's file cache
  // where the file system allows that (elsewhere as OpenForReading), since a file read back from
  // memory proves nothing about the disk.
  virtual FileError OpenPastCache(const std::string& path, std::unique_ptr<OpenFile>* file) = 0;
  // An existing file, to write over its bytes in place, shared with nobody: every name the file
  // has (each backup folder that links it) sees what is written. Only a repair does this; a copy
  // never changes a written file in place.
  virtual FileError OpenInPlace(const std::string& path, std::unique_ptr<OpenFile>* file) = 0;
  // Creates a new file that nobody else may open or delete while it is open; fails with
  // kAlreadyExists when the name is taken.
  virtual FileError CreateExclusive(const std::string& path, std::uint32_t attributes,
                                    std::unique_ptr<OpenFile>* file) = 0;
  // Attribute bits of a file (kAttrReadOnly, kAttrHidden, ...); 0 clears them all.
  virtual FileError SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // Deletes exactly this name: a link loses only itself, never what it names, and a name that
  // cannot be told from what it names is not deleted. A read-only name goes too where the
  // system can delete it without changing the file's attributes, which the file's other names
  // share; elsewhere it fails with kAccessDenied.
  virtual FileError Delete(const std::string& path) = 0;
  // A file or folder gets another name in the same folder; it never replaces: kAlreadyExists
  // when anything has the new name.
  virtual FileError Rename(const std::string& from, const std::string& to) = 0;
  // Exactly one empty folder; a folder that only names another place loses that name alone, and
  // one that cannot be told from the place it names is not removed.
  virtual FileError RemoveFolder(const std::string& path) = 0;
  // Opens a file only to set its attributes through OpenFile::SetTimes (no times given: 0 for
  // each), sharing it with every other use, a delete of this name included. What is set reaches
  // the file under every name it has, and still does once this name is gone. A link is opened as
  // itself, never what it names; a name that cannot be told from what it names is refused.
  virtual FileError OpenForAttributes(const std::string& path, std::unique_ptr<OpenFile>* file) = 0;
  // Holds the file `path` for this program alone until *lock is destroyed, or the program dies,
  // and deletes it then; fails while another program (or another holder here) holds it.
  virtual FileError HoldLock(const std::string& path, std::unique_ptr<OpenFile>* lock) = 0;
  // Exactly one folder: kAlreadyExists when anything has the name, kNotFound without a parent.
  virtual FileError MakeFolder(const std::string& path) = 0;
  // Bytes free for this program on the volume that holds folder.
  virtual FileError FreeSpace(const std::string& folder, std::uint64_t* bytes) = 0;
  // A second name for an existing file.
  virtual FileError MakeHardLink(const std::string& existing, const std::string& link) = 0;
  // Whether the volume that holds folder keeps write times finer than whole seconds (NTFS and
  // most others) rather than in steps of one or two seconds (FAT, exFAT). *fine is true
  // whenever it cannot be told.
  virtual FileError KeepsFineWriteTimes(const std::string& folder, bool* fine) = 0;

  // Threads for the writes of one copy (workers 0: as many as suit this file system). events
  // runs on the caller's thread whenever the pool lets events in.
  virtual std::unique_ptr<WorkPool> MakeWorkPool(int workers, std::function<void()> events) = 0;
};

}  // namespace tess
