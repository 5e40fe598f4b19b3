// Small helpers on real files for tests: write, read and inspect files and folders by path,
// long paths and Unicode names included, and hold a file open as another program would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "win32/handles.h"

namespace tess::test {

// A path given as the program's UTF-8 text or as wide window text, so one set of helpers serves
// the platform tests (which speak the program's language) and the end-to-end tests (which
// speak the windows').
class TestPath {
 public:
  TestPath(const std::string& utf8);  // NOLINT: implicit on purpose
  TestPath(const char* utf8);         // NOLINT
  TestPath(const std::wstring& wide)  // NOLINT
      : wide_(wide) {}
  TestPath(const wchar_t* wide)  // NOLINT
      : wide_(wide) {}
  const std::wstring& Wide() const { return wide_; }
  std::string Utf8() const;

 private:
  std::wstring wide_;
};

// The long form ("\\?\C:\..."), which reaches past 260 characters; a path that already starts
// with two backslashes is left as it is.
std::wstring Raw(const TestPath& path);

// Makes the folder and its parents. Throws std::runtime_error when it cannot.
void MakeFolders(const TestPath& path);
// Writes the bytes, making the parent folders. Throws std::runtime_error when it cannot.
void WriteBytes(const TestPath& path, const std::string& bytes);
// The file's bytes; nullopt when it cannot be read. Others may have it open for writing.
std::optional<std::string> ReadBytes(const TestPath& path);

bool Exists(const TestPath& path);
bool IsFolderOnDisk(const TestPath& path);
std::uint32_t AttributesOf(const TestPath& path);
void SetAttributesOf(const TestPath& path, std::uint32_t attributes);
// The last-write time in FILETIME ticks; 0 when it cannot be read.
std::uint64_t WriteTimeOf(const TestPath& path);
void SetWriteTimeOf(const TestPath& path, std::uint64_t time);
// The change time (content or metadata, which no program can set back); 0 when unreadable.
std::int64_t ChangeTimeOf(const TestPath& path);
// Writes new bytes and puts the last-write time back, as encrypted containers do. File-system
// clocks advance in steps of a few milliseconds, so it first waits for the next step: the
// change time then comes after everything done to the file before.
void RewriteKeepingWriteTime(const TestPath& path, const std::string& bytes);

// What Windows makes of a path text (the process's current folder on a drive named alone, say),
// without a trailing backslash but a drive root's.
std::wstring FullPathOf(const TestPath& path);
// The last part of a path, a trailing backslash left aside: the name the shell shows for a
// folder, in a file manager's caption or the browse dialog's tree.
std::wstring LastPart(const std::wstring& path);

// The names in a folder (no "." or ".."), sorted; the hidden manifests the program keeps beside
// its backup folders are left out, as a file manager that hides hidden files shows them.
std::vector<std::wstring> NamesIn(const TestPath& folder);
// Names matching a pattern such as "~tessaline-*.tmp" in a folder and all its subfolders.
int CountMatching(const TestPath& folder, const TestPath& pattern);
// Removes a folder with everything in it, read-only files included; quiet about what is gone.
// Links to folders are removed, not followed.
void RemoveTree(const TestPath& folder);

// Holds a file open with no sharing, as another program with the file open for writing would,
// until it is released or goes out of scope.
class LockedFile {
 public:
  explicit LockedFile(const TestPath& path);
  bool Held() const { return file_.Valid(); }
  void Release() { file_.Reset(); }

 private:
  win32::UniqueFile file_;
};

}  // namespace tess::test
