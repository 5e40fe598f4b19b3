// A unique folder under the Windows temporary folder for one test, removed with everything
// in it (read-only files and long paths included) when the test ends, plus small file helpers.
#pragma once

#include <cstdint>
#include <string>

namespace tess::test {

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder's ordinary path (no trailing backslash), UTF-8.
  const std::string& Path() const { return path_; }
  // Path() + "\" + relative.
  std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

// The raw long form of an absolute ordinary path, for calls the helpers make themselves.
std::wstring Raw(const std::string& path);

void MakeFolders(const std::string& path);                           // with parents
void WriteBytes(const std::string& path, const std::string& bytes);  // makes the parents
std::string ReadBytes(const std::string& path);  // throws std::runtime_error when unreadable
bool Exists(const std::string& path);
bool IsFolderOnDisk(const std::string& path);
std::uint32_t AttributesOf(const std::string& path);
void SetAttributesOf(const std::string& path, std::uint32_t attributes);
std::uint64_t WriteTimeOf(const std::string& path);
void SetWriteTimeOf(const std::string& path, std::uint64_t time);
// Names in a folder matching a pattern such as "~tessaline-*.tmp", counted recursively.
int CountMatching(const std::string& folder, const std::string& pattern);

}  // namespace tess::test
