#include "win32/win_open_file.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "base/buffer_shelf.h"
#include "win32/win_file_system.h"

namespace tess::win32 {
namespace {

class WinOpenFile : public OpenFile {
 public:
  explicit WinOpenFile(FileHandle handle) : handle_(std::move(handle)) {}

  FileError Read(char* data, std::size_t size, std::size_t* got) override {
    DWORD read = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!ReadFile(handle_.get(), data, want, &read, nullptr)) return LastError();
    *got = read;
    return {};
  }

  // A disk file takes everything it is given unless its volume is full, and Wine passes on
  // the short write of a full Linux file system as a success: only a second write for the
  // rest reports the full disk.
  FileError Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD put = 0;
      if (!WriteFile(handle_.get(), data, chunk, &put, nullptr)) return LastError();
      if (put == 0) return ErrorOf(ERROR_DISK_FULL);
      data += put;
      size -= put;
    }
    return {};
  }

  FileError SetTimes(const FileTimes& times, std::uint32_t attributes) override {
    FILE_BASIC_INFO basic{};
    basic.CreationTime.QuadPart = times.creation;
    basic.LastAccessTime.QuadPart = times.access;
    basic.LastWriteTime.QuadPart = times.write;
    basic.FileAttributes = attributes;  // 0 leaves the attributes as they are
    if (!SetFileInformationByHandle(handle_.get(), FileBasicInfo, &basic, sizeof basic)) {
      return LastError();
    }
    return {};
  }

  FileError Flush() override {
    if (!FlushFileBuffers(handle_.get())) return LastError();
    return {};
  }

  // Renaming through the handle that wrote the file saves reopening it by name (which is what
  // MoveFileExW does and what costs most per file under Wine).
  FileError RenameOver(const std::string& target, bool replace) override {
    // The NT form (\??\C:\x for \\?\C:\x) is taken as it is by every layer below.
    std::wstring name = WidePath(target);
    if (name.rfind(L"\\\\?\\", 0) == 0) name[1] = L'?';
    const std::size_t name_bytes = name.size() * sizeof(wchar_t);
    const std::size_t total = offsetof(FILE_RENAME_INFO, FileName) + name_bytes + sizeof(wchar_t);
    // FILE_RENAME_INFO needs 8-byte alignment.
    std::vector<std::uint64_t> buffer((total + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = replace ? TRUE : FALSE;
    rename->RootDirectory = nullptr;
    rename->FileNameLength = static_cast<DWORD>(name_bytes);
    std::memcpy(rename->FileName, name.data(), name_bytes);
    if (!SetFileInformationByHandle(handle_.get(), FileRenameInfo, rename,
                                    static_cast<DWORD>(total))) {
      return LastError();
    }
    return {};
  }

  FileError Describe(TreeEntry* entry) override {
    FILE_BASIC_INFO basic;
    LARGE_INTEGER size;
    if (!GetFileInformationByHandleEx(handle_.get(), FileBasicInfo, &basic, sizeof basic) ||
        !GetFileSizeEx(handle_.get(), &size)) {
      return LastError();
    }
    entry->attributes = basic.FileAttributes;
    entry->names_another_place = false;
    entry->times = {basic.CreationTime.QuadPart, basic.LastAccessTime.QuadPart,
                    basic.LastWriteTime.QuadPart, basic.ChangeTime.QuadPart};
    entry->size = static_cast<std::uint64_t>(size.QuadPart);
    return {};
  }

  FileError Identity(std::string* id) override {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle_.get(), &info)) return LastError();
    *id = std::to_string(info.dwVolumeSerialNumber) + ":" +
          std::to_string((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                         info.nFileIndexLow);
    return {};
  }

 protected:
  FileHandle handle_;
};

// Read unbuffered: every read of the disk is a whole number of sectors into memory aligned to a
// page, which is what Windows asks of such reads (Wine accepts any, so only this design keeps
// them right). The caller's reads of any size are served from that buffer.
class PastCacheFile : public WinOpenFile {
 public:
  // A multiple of every sector size there is (512 to 4,096 bytes).
  static constexpr std::size_t kChunk = 1u << 20;

  explicit PastCacheFile(FileHandle handle)
      : WinOpenFile(std::move(handle)), buffer_(Shelf().Take()) {}
  bool Ready() const { return buffer_.get() != nullptr; }

  FileError Read(char* data, std::size_t size, std::size_t* got) override {
    if (at_ == held_ && !ended_) {
      DWORD read = 0;
      if (!ReadFile(handle_.get(), buffer_.get(), kChunk, &read, nullptr)) return LastError();
      // Only the last read of a file comes back short.
      ended_ = read < kChunk;
      at_ = 0;
      held_ = read;
    }
    *got = std::min(size, held_ - at_);
    std::memcpy(data, buffer_.get() + at_, *got);
    at_ += *got;
    return {};
  }

 private:
  // Page-aligned buffers lent from file to file: allocating one for every file costs more than
  // reading a small file. The shelf lives as long as the process, never destroyed while a
  // thread might still read.
  static BufferShelf& Shelf() {
    static auto* const shelf = new BufferShelf(kChunk, 4096);
    return *shelf;
  }

  const BufferShelf::Lease buffer_;
  std::size_t at_ = 0;
  std::size_t held_ = 0;
  bool ended_ = false;
};

}  // namespace

std::unique_ptr<OpenFile> OpenFileOf(FileHandle handle) {
  return std::make_unique<WinOpenFile>(std::move(handle));
}

std::unique_ptr<OpenFile> PastCacheFileOf(FileHandle handle) {
  auto file = std::make_unique<PastCacheFile>(std::move(handle));
  if (!file->Ready()) return nullptr;
  return file;
}

}  // namespace tess::win32
