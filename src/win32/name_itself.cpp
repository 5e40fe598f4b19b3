#include "win32/name_itself.h"

#include "win32/long_path.h"

namespace tess::win32 {
namespace {

// The path the system reports for an open handle, in the long form; empty when it cannot tell.
std::wstring FinalPath(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  for (int tries = 0; tries < 3; ++tries) {
    const DWORD length =
        GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()), 0);
    if (length == 0) return L"";
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length + 1);
  }
  return L"";
}

// Whether a handle opened by path is that name itself. Windows opens a link as itself when
// asked to; Wine 8 opens what a Unix symbolic link names whatever it is asked (and would
// delete, move or change that instead), which shows only in the path the handle reports.
bool IsNameItself(HANDLE handle, const std::wstring& path) {
  const std::wstring reported = FinalPath(handle);
  if (reported.empty() || SamePath(reported, path)) return true;
  // The path may spell its folders otherwise (a short name, a link on the way): the handle is
  // the name itself when it lies under that name in the folder the path names.
  FileHandle folder(CreateFileW(ParentPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  const std::wstring folder_path = folder ? FinalPath(folder.get()) : L"";
  return !folder_path.empty() && SamePath(reported, JoinPath(folder_path, LeafName(path)));
}

// Windows 10 deletes a read-only name when told to ignore the bit, which leaves the file's
// attributes (shared by its other names) alone; where that is not known (older Windows, Wine 8)
// the plain delete refuses a read-only name.
DWORD DeleteThroughHandle(HANDLE handle) {
  constexpr DWORD kDelete = 0x1;           // FILE_DISPOSITION_FLAG_DELETE
  constexpr DWORD kIgnoreReadOnly = 0x10;  // FILE_DISPOSITION_FLAG_IGNORE_READONLY_ATTRIBUTE
  constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
  DWORD flags = kDelete | kIgnoreReadOnly;
  if (SetFileInformationByHandle(handle, kDispositionInfoEx, &flags, sizeof flags)) {
    return ERROR_SUCCESS;
  }
  const DWORD code = GetLastError();
  if (code != ERROR_INVALID_PARAMETER && code != ERROR_NOT_SUPPORTED &&
      code != ERROR_INVALID_FUNCTION) {
    return code;
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (!SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition)) {
    return GetLastError();
  }
  return ERROR_SUCCESS;
}

}  // namespace

// Opens the name itself, a link as a link, sharing it with every other use; a name that cannot
// be told from what it names is refused, so nothing done through the handle reaches past it.
DWORD OpenNameItself(const std::wstring& path, DWORD access, FileHandle* opened) {
  FileHandle handle(CreateFileW(
      path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!handle) return GetLastError();
  if (!IsNameItself(handle.get(), path)) return ERROR_CANT_ACCESS_FILE;
  *opened = std::move(handle);
  return ERROR_SUCCESS;
}

DWORD DeleteNameItself(const std::wstring& path, bool folder) {
  FileHandle handle;
  if (const DWORD code = OpenNameItself(path, DELETE | FILE_READ_ATTRIBUTES, &handle)) return code;
  // A file is not a folder to remove, nor a folder a file to delete, as the plain calls have it.
  FILE_BASIC_INFO basic;
  if (GetFileInformationByHandleEx(handle.get(), FileBasicInfo, &basic, sizeof basic) &&
      ((basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) {
    return folder ? ERROR_DIRECTORY : ERROR_ACCESS_DENIED;
  }
  // A folder that is not empty refuses, as RemoveDirectoryW refuses it.
  return DeleteThroughHandle(handle.get());
}

}  // namespace tess::win32
