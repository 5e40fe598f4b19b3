#include "win32/win_file_system.h"

#include <windows.h>

#include "base/platform_error.h"
#include "win32/handles.h"
#include "win32/long_path.h"
#include "win32/text.h"

namespace tess::win32 {
namespace {

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

// The listing query for a pattern: a folder path ending with "\" lists the folder's contents.
std::wstring ListingQuery(const std::string& pattern) {
  std::wstring query = LongPath(pattern, true);
  if (query.back() == L'\\') query += L'*';
  return query;
}

FindHandle FindFirst(const std::wstring& query, WIN32_FIND_DATAW* found) {
  return FindHandle(
      FindFirstFileExW(query.c_str(), FindExInfoBasic, found, FindExSearchNameMatch, nullptr, 0));
}

}  // namespace

std::int64_t WinFileSystem::LastWriteTime(const std::string& path) {
  const std::wstring target = LongPath(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data)) {
    ThrowLastError(GetLastError());
  }
  // "name\" names a folder; a file of that name does not answer to it.
  if (EndsWithSeparator(path) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ThrowLastError(ERROR_FILE_NOT_FOUND);
  }
  return static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
      data.ftLastWriteTime.dwLowDateTime);
}

std::uint32_t WinFileSystem::Attributes(const std::string& path) {
  const std::wstring target = LongPath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) ThrowLastError(GetLastError());
  if (EndsWithSeparator(path) && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ThrowLastError(ERROR_FILE_NOT_FOUND);
  }
  return attributes;
}

bool WinFileSystem::ListingFindsAny(const std::string& pattern) {
  if (pattern.empty()) return false;
  const std::wstring query = ListingQuery(pattern);
  WIN32_FIND_DATAW found;
  if (FindFirst(query, &found)) return true;
  const DWORD code = GetLastError();
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES) return false;
  if (EndsWithSeparator(pattern)) {
    // "name\" where name is a file: no such folder, whatever error the listing gave.
    const std::wstring folder = query.substr(0, query.size() - 2);  // without "\*"
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      return false;
    }
  }
  if (code == ERROR_PATH_NOT_FOUND) {
    // A missing folder is an answer; a missing drive is an unusable name.
    const std::wstring root = query.substr(0, RootLength(query));
    const DWORD root_attributes = GetFileAttributesW(root.c_str());
    if (root_attributes != INVALID_FILE_ATTRIBUTES) return false;
    ThrowLastError(ERROR_INVALID_DRIVE);
  }
  ThrowLastError(code);
}

bool WinFileSystem::OrdinaryFileExists(const std::string& pattern) {
  try {
    if (pattern.empty()) return false;
    WIN32_FIND_DATAW found;
    FindHandle find = FindFirst(ListingQuery(pattern), &found);
    if (!find) return false;
    constexpr DWORD kNotOrdinary =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
      if ((found.dwFileAttributes & kNotOrdinary) == 0) return true;
    } while (FindNextFileW(find.get(), &found));
    return false;
  } catch (const PlatformError&) {
    return false;
  }
}

bool WinFileSystem::IsRootFolder(const std::string& folder) { return IsRootPath(LongPath(folder)); }

std::vector<int> WinFileSystem::AnsiCodes(const std::string& text) {
  constexpr int kQuestionMark = 63;
  const std::wstring wide = Widen(text);
  // With UTF-8 as the code page every character has bytes, and the flags below are refused.
  const bool utf8 = GetACP() == CP_UTF8;
  std::vector<int> codes;
  for (size_t i = 0; i < wide.size();) {
    const bool pair =
        IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
    const int units = pair ? 2 : 1;
    char bytes[8];
    BOOL defaulted = FALSE;
    // No best fit: a character the code page lacks must not pass for a look-alike it has.
    const int count =
        WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, &wide[i], units, bytes,
                            sizeof bytes, nullptr, utf8 ? nullptr : &defaulted);
    int code = kQuestionMark;
    if (count == 1 && !defaulted) {
      code = static_cast<unsigned char>(bytes[0]);
    } else if (count >= 2 && !defaulted) {
      code = static_cast<unsigned char>(bytes[0]) * 256 + static_cast<unsigned char>(bytes[1]);
    }
    codes.push_back(code);
    i += units;
  }
  return codes;
}

void WinFileSystem::AppendLine(const std::string& path, const std::string& text) {
  AppendBytes(path, Utf8ToAnsi(text) + "\r\n");
}

void WinFileSystem::AppendBytes(const std::string& path, const std::string& bytes) {
  const std::wstring target = LongPath(path);
  // Append-only access: every write lands at the end, even if another writer moved it.
  FileHandle file(CreateFileW(target.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) ThrowLastError(GetLastError());
  // A short write means a full volume: Wine reports it so, and only a second write for the rest
  // gives the full-disk error.
  for (size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                   &written, nullptr)) {
      ThrowLastError(GetLastError());
    }
    if (written == 0) ThrowLastError(ERROR_DISK_FULL);
    done += written;
  }
}

std::string WinFileSystem::ReadAnsiText(const std::string& path) {
  const std::wstring target = LongPath(path);
  FileHandle file(CreateFileW(target.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) ThrowLastError(GetLastError());
  std::string bytes;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
    bytes.reserve(static_cast<size_t>(size.QuadPart));
  }
  char chunk[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) ThrowLastError(GetLastError());
    if (got == 0) break;
    bytes.append(chunk, got);
  }
  return AnsiToUtf8(bytes);
}

}  // namespace tess::win32
