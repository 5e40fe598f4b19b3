// File trees for tests, stated as data: a test lists the files and folders it needs, one helper
// builds them in a fresh folder under the temporary folder and another reads a tree back, so an
// expected tree is compared the same way it was written. The folder goes away with the test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win_support/files.h"

namespace tess::test {

// One file or folder of a tree. The path is relative to the tree's root, with backslashes
// ("docs\\a.txt"); the folders above a file need no entries of their own.
struct TreeEntry {
  std::string path;  // UTF-8
  bool folder = false;
  std::string content;           // a file's bytes
  std::uint32_t attributes = 0;  // kAttrReadOnly, kAttrHidden (platform/file_system.h)
  std::int64_t write_time = 0;   // a file's last-write time; 0: as the system sets it
};
using Tree = std::vector<TreeEntry>;

inline TreeEntry File(std::string path, std::string content, std::uint32_t attributes = 0,
                      std::int64_t write_time = 0) {
  return TreeEntry{std::move(path), false, std::move(content), attributes, write_time};
}
inline TreeEntry Folder(std::string path, std::uint32_t attributes = 0) {
  return TreeEntry{std::move(path), true, "", attributes, 0};
}

// The same entries below a folder: a tree as part of a larger one.
Tree Under(const std::string& folder, Tree tree);
// The entries of both trees.
Tree operator+(Tree tree, const Tree& more);

// The temporary folder every test uses: the one TEMP names (the program reads TEMP too), or
// the system's temporary path without it, always in its long form (no 8.3 parts, as the
// shell's dialogs show it) and without a trailing backslash.
std::wstring TempFolder();

// Builds the entries below a folder, which is made when missing. Throws std::runtime_error
// when something cannot be made.
void BuildTree(const TestPath& folder, const Tree& tree);
// Everything below a folder: every file and folder, sorted by path, with contents, the
// read-only and hidden attributes and the files' write times.
Tree ReadTree(const TestPath& folder);
// Whether two trees hold the same entries, with the folders above files implied. A write time
// of 0 in the expected tree matches any time. Says what differs when they are not the same.
::testing::AssertionResult SameTree(const Tree& expected, const Tree& actual);
// SameTree against what is on disk below the folder.
::testing::AssertionResult HoldsTree(const TestPath& folder, const Tree& expected);

// A fresh folder under TempFolder() holding the given tree, removed with everything in it
// (read-only files and long paths included) when the test ends, pass or fail.
class TempTree {
 public:
  explicit TempTree(const Tree& tree = {});
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // The folder, without a trailing backslash, as UTF-8 and as wide text.
  const std::string& Path() const { return path_; }
  const std::wstring& WidePath() const { return wide_path_; }
  // The folder, a backslash and the relative path, in the relative path's kind of text.
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }
  std::wstring operator/(const std::wstring& relative) const {
    return wide_path_ + L"\\" + relative;
  }
  std::string operator/(const char* relative) const { return *this / std::string(relative); }
  std::wstring operator/(const wchar_t* relative) const { return *this / std::wstring(relative); }
  // The same path, made on disk as a folder with the folders above it.
  std::wstring MadeFolder(const std::wstring& relative) const;

 private:
  std::string path_;
  std::wstring wide_path_;
};

}  // namespace tess::test
