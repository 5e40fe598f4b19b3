// The file-system service over the wide Win32 file APIs, in the long-path form so that
// names outside the ANSI code page and paths past 260 characters work.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ports/file_system.h"

namespace tess::win32 {

// Notes beyond the interface:
// - An empty path names nothing: ListingFindsAny("") is false, the other queries throw.
// - ListingFindsAny throws for a drive that does not exist, as for any unusable drive.
// - OrdinaryFileExists counts what a plain directory listing shows: no folders, no hidden
//   or system files. It never throws; a failing listing answers false.
// - SubFolders counts a reparse point as naming another place by the copy engine's rule
//   (EntersFolder), so the walk and the copy leave out the same folders.
// - CopyFolder: see copy_engine.h for temporary files, reparse points and what is counted.
// A file that includes <windows.h> should #undef DeleteFile before this header, or the macro
// renames the DeleteFile member in that file.
class WinFileSystem : public FileSystem {
 public:
  std::int64_t LastWriteTime(const std::string& path) override;
  std::uint32_t Attributes(const std::string& path) override;
  bool ListingFindsAny(const std::string& pattern) override;
  bool OrdinaryFileExists(const std::string& pattern) override;
  std::vector<SubFolder> SubFolders(const std::string& folder) override;
  bool IsRootFolder(const std::string& folder) override;
  std::vector<int> AnsiCodes(const std::string& text) override;

  void CreateFolder(const std::string& path) override;
  void DeleteFile(const std::string& path) override;
  void ForceDeleteFile(const std::string& path) override;

  CopyOutcome CopyFolder(const std::string& source, const std::string& destination, bool overwrite,
                         const std::function<void()>& yield) override;

  void AppendLine(const std::string& path, const std::string& text) override;
  std::string ReadAnsiText(const std::string& path) override;

  // Test seam: the next copy stops as a crash would once a temporary file holds this many
  // bytes: the temporary file stays, nothing is renamed and that run ends. Fires once.
  void InterruptNextCopyAfter(std::uint64_t bytes) { interrupt_after_bytes_ = bytes; }

 private:
  std::optional<std::uint64_t> interrupt_after_bytes_;
};

}  // namespace tess::win32
