// A folder's listing for WinFileSystem::List: every name with its times, size, attributes and,
// where the file system gives it, its file ID, read batch by batch from the folder's handle.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "base/name_case.h"
#include "win32/handles.h"
#include "win32/long_path.h"
#include "win32/text.h"
#include "win32/win_file_system.h"

namespace tess::win32 {
namespace {

// Room for a few hundred names per listing call.
constexpr std::size_t kListingBytes = 64u << 10;

bool IsDots(const wchar_t* name, std::size_t length) {
  return (length == 1 && name[0] == L'.') || (length == 2 && name[0] == L'.' && name[1] == L'.');
}

// The errors of a file system that has no listing with file IDs (some network shares): the
// names are listed without them.
bool ListsNoIds(DWORD code) {
  return code == ERROR_INVALID_PARAMETER || code == ERROR_INVALID_LEVEL ||
         code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_FUNCTION;
}

// One batch in either form; both keep the fields a listing needs under the same names.
template <typename Info>
void AppendBatch(const std::wstring& folder, const char* at, std::vector<TreeEntry>* entries) {
  for (;;) {
    const auto* info = reinterpret_cast<const Info*>(at);
    const std::size_t length = info->FileNameLength / sizeof(wchar_t);
    if (!IsDots(info->FileName, length)) {
      TreeEntry entry;
      entry.name = Narrow(info->FileName, length);
      entry.key = NameKey(entry.name);
      entry.attributes = info->FileAttributes;
      if ((info->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          (info->FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // The listing gives a reparse point's tag where the extended-attribute size would be.
        const DWORD tag =
            info->EaSize != 0
                ? info->EaSize
                : ReparseTagOf(JoinPath(folder, std::wstring(info->FileName, length)));
        entry.names_another_place = !EntersFolder(info->FileAttributes, tag);
      }
      entry.times = {info->CreationTime.QuadPart, info->LastAccessTime.QuadPart,
                     info->LastWriteTime.QuadPart, info->ChangeTime.QuadPart};
      entry.size = static_cast<std::uint64_t>(info->EndOfFile.QuadPart);
      if constexpr (std::is_same_v<Info, FILE_ID_BOTH_DIR_INFO>) {
        // 0 and all ones are what a file system whose IDs do not fit 64 bits gives.
        const auto id = static_cast<std::uint64_t>(info->FileId.QuadPart);
        if (id != 0 && id != ~std::uint64_t{0}) entry.file_id = id;
      }
      entries->push_back(std::move(entry));
    }
    if (info->NextEntryOffset == 0) break;
    at += info->NextEntryOffset;
  }
}

}  // namespace

// One call per batch instead of one per file is what keeps a repeat run over an unchanged tree
// cheap; the IDs come in the same calls, so a reader of linked folders knows a file it has read
// without opening it.
FileError ListFolder(const std::wstring& folder, std::vector<TreeEntry>* entries) {
  FileHandle handle(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!handle) return ErrorOf(GetLastError());
  std::vector<std::uint64_t> batch(kListingBytes / 8);
  FILE_INFO_BY_HANDLE_CLASS form = FileIdBothDirectoryInfo;
  bool first = true;
  for (;;) {
    if (!GetFileInformationByHandleEx(handle.get(), form, batch.data(),
                                      static_cast<DWORD>(batch.size() * sizeof batch[0]))) {
      const DWORD code = GetLastError();
      if (first && form == FileIdBothDirectoryInfo && ListsNoIds(code)) {
        form = FileFullDirectoryInfo;
        continue;
      }
      // An empty drive root has not even "." to list.
      if (code == ERROR_NO_MORE_FILES || (code == ERROR_FILE_NOT_FOUND && first)) return {};
      // A file opens like a folder and only fails here: it is no folder there is to list.
      FILE_BASIC_INFO basic;
      if (first &&
          GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic) &&
          (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return FileError{FileErrorKind::kNotFound, SystemMessage(ERROR_DIRECTORY)};
      }
      return ErrorOf(code);
    }
    first = false;
    const char* at = reinterpret_cast<const char*>(batch.data());
    if (form == FileIdBothDirectoryInfo) {
      AppendBatch<FILE_ID_BOTH_DIR_INFO>(folder, at, entries);
    } else {
      AppendBatch<FILE_FULL_DIR_INFO>(folder, at, entries);
    }
  }
}

}  // namespace tess::win32
