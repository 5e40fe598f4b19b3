#include "platform/scratch_folder.h"

#include <windows.h>

#include <stdexcept>

#include "platform/win32/text.h"

namespace tess::test {
namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found,
                                 FindExSearchNameMatch, nullptr, 0);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

int CountIn(const std::wstring& folder, const std::wstring& pattern) {
  int count = 0;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileExW((folder + L"\\" + pattern).c_str(), FindExInfoBasic, &found,
                                 FindExSearchNameMatch, nullptr, 0);
  if (find != INVALID_HANDLE_VALUE) {
    do ++count;
    while (FindNextFileW(find, &found));
    FindClose(find);
  }
  find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                          nullptr, 0);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L".." && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        count += CountIn(folder + L"\\" + name, pattern);
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  return count;
}

}  // namespace

ScratchFolder::ScratchFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  static int counter = 0;
  std::wstring base(temp, n);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  for (;;) {
    const std::wstring candidate = base + L"\\tess-test-" + std::to_wstring(GetCurrentProcessId()) +
                                   L"-" + std::to_wstring(++counter);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = win32::Narrow(candidate);
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no scratch folder");
  }
}

ScratchFolder::~ScratchFolder() { RemoveTree(Raw(path_)); }

std::wstring Raw(const std::string& path) { return L"\\\\?\\" + win32::Widen(path); }

void MakeFolders(const std::string& path) {
  const size_t slash = path.rfind('\\');
  if (CreateDirectoryW(Raw(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    return;
  }
  if (slash == std::string::npos) throw std::runtime_error("cannot make " + path);
  MakeFolders(path.substr(0, slash));
  if (!CreateDirectoryW(Raw(path).c_str(), nullptr))
    throw std::runtime_error("cannot make " + path);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  MakeFolders(path.substr(0, path.rfind('\\')));
  HANDLE file = CreateFileW(Raw(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadBytes(const std::string& path) {
  HANDLE file = CreateFileW(Raw(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read " + path);
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(Raw(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolderOnDisk(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Raw(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::uint32_t AttributesOf(const std::string& path) {
  return GetFileAttributesW(Raw(path).c_str());
}

void SetAttributesOf(const std::string& path, std::uint32_t attributes) {
  SetFileAttributesW(Raw(path).c_str(), attributes);
}

std::uint64_t WriteTimeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Raw(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

void SetWriteTimeOf(const std::string& path, std::uint64_t time) {
  HANDLE file = CreateFileW(Raw(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  FILETIME ft{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  SetFileTime(file, nullptr, nullptr, &ft);
  CloseHandle(file);
}

int CountMatching(const std::string& folder, const std::string& pattern) {
  return CountIn(Raw(folder), win32::Widen(pattern));
}

}  // namespace tess::test
