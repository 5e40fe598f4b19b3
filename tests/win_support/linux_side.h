// What a Windows test under Wine does on the Linux side: shell commands for what only Linux can
// do (mount a small file system, make a symbolic link) and drive letters that name a folder,
// one of the test's own among them.
#pragma once

#include <optional>
#include <string>

#include "win_support/temp_tree.h"

namespace tess::test {

// True when the test runs under Wine.
bool UnderWine();

// The Linux path of an absolute Windows path; empty when not under Wine.
std::string LinuxPath(const std::string& windows_path);

struct ShellResult {
  int exit_code = -1;
  std::string output;  // standard output and error together
};

// Runs a /bin/sh command on the Linux side and waits for it to end; nothing when not under
// Wine or when it did not end within the time given. Wine starts a Linux program detached, so
// the command records its end in a file that the test waits for.
std::optional<ShellResult> RunLinuxShell(const std::string& command, int timeout_ms = 20000);

// Text quoted for /bin/sh.
std::string ShellQuoted(const std::string& text);

// A drive letter that names nothing, such as "Q:"; empty when every one is taken.
std::string FreeDriveLetter();

// A drive letter that names a folder while the object lives: a link in the Wine prefix's
// dosdevices under Wine, DefineDosDevice on Windows. Letter() is empty when no letter could be
// mapped; Why() then says what went wrong.
class MappedDrive {
 public:
  explicit MappedDrive(const std::string& folder);
  ~MappedDrive();
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;

  // "R:"
  const std::string& Letter() const { return letter_; }
  const std::string& Why() const { return why_; }

 private:
  std::string letter_;
  std::string why_;
  std::string link_;  // the dosdevices link under Wine
};

// A drive of the test's own: a fresh temporary folder holding a tree, named by a drive letter
// while the object lives. Letter() is empty when no letter could be mapped; Why() says why.
class TempDrive {
 public:
  explicit TempDrive(const Tree& tree = {}) : folder_(tree), drive_(folder_.Path()) {}

  const std::string& Letter() const { return drive_.Letter(); }
  const std::string& Why() const { return drive_.Why(); }

 private:
  TempTree folder_;
  MappedDrive drive_;
};

}  // namespace tess::test
