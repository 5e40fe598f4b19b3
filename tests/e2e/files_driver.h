// Real files for end-to-end tests: scratch trees under the temporary folder the program also
// uses, the program's history log, a file held open without sharing, and the clipboard.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace tess::e2e {

// The folder named by TEMP, without a trailing backslash. The program inherits this
// environment from the test, so its history log lives here too.
std::wstring TempFolder();
// TEMP\Tessaline.txt, the program's history log.
std::wstring HistoryLogPath();
// Removes the log, so a test starts from "no history"; true when it is gone.
bool DeleteHistoryLog();
// The log's lines without their CR LF, converted from the ANSI code page; empty when absent.
std::vector<std::wstring> HistoryLines();

// A unique folder under TEMP for one test, removed with everything in it (read-only files
// included) when the test ends, pass or fail.
class ScratchTree {
 public:
  ScratchTree();
  ~ScratchTree();
  ScratchTree(const ScratchTree&) = delete;
  ScratchTree& operator=(const ScratchTree&) = delete;

  const std::wstring& Path() const { return path_; }
  // Path() + "\" + relative.
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  std::wstring path_;
};

void MakeFolders(const std::wstring& path);  // with its parents
// Writes the bytes, making the parent folders; throws std::runtime_error on failure.
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::optional<std::string> ReadBytes(const std::wstring& path);
// Fills a folder with count small files "0000.txt", "0001.txt", ..., each holding its own name:
// under Wine a copy costs per file, so this makes a run last long enough to watch.
void WriteManyFiles(const std::wstring& folder, int count);
// True when the folder holds exactly those files with those contents.
bool HoldsManyFiles(const std::wstring& folder, int count);
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
// The names in a folder (no "." or ".."), sorted.
std::vector<std::wstring> NamesIn(const std::wstring& folder);

// Holds a file open with no sharing, as another program with the file open for writing would,
// until it goes out of scope.
class LockedFile {
 public:
  explicit LockedFile(const std::wstring& path);
  bool Held() const { return file_.Valid(); }
  void Release() { file_.Reset(); }

 private:
  win32::UniqueFile file_;
};

// The clipboard's text (CF_UNICODETEXT); nullopt when it holds none or cannot be opened.
std::optional<std::wstring> ClipboardText();
bool SetClipboardText(const std::wstring& text);

// Text in the ANSI code page as the program writes its log, and back.
std::wstring FromAnsi(const std::string& bytes);
std::string ToAnsi(const std::wstring& text);

}  // namespace tess::e2e
