#include "win_support/files.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

#include "win32/text.h"

namespace tess::test {
namespace {

// Calls visit for every name in the folder that matches the pattern ("." and ".." left out).
void ForEachMatch(const std::wstring& raw_folder, const std::wstring& pattern,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit) {
  WIN32_FIND_DATAW found;
  win32::UniqueFind find(FindFirstFileExW((raw_folder + L"\\" + pattern).c_str(), FindExInfoBasic,
                                          &found, FindExSearchNameMatch, nullptr, 0));
  if (!find) return;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") visit(found);
  } while (FindNextFileW(find.Get(), &found));
}

bool IsFolderEntry(const WIN32_FIND_DATAW& found) {
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void RemoveRawTree(const std::wstring& raw_folder) {
  ForEachMatch(raw_folder, L"*", [&](const WIN32_FIND_DATAW& found) {
    const std::wstring path = raw_folder + L"\\" + found.cFileName;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (IsFolderEntry(found) && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      // A link is removed, never gone into: it may name a folder above it, or one outside the
      // tree that is not ours to empty. (Wine cannot remove a Linux link; its tests do that.)
      RemoveDirectoryW(path.c_str());
    } else if (IsFolderEntry(found)) {
      RemoveRawTree(path);
    } else {
      DeleteFileW(path.c_str());
    }
  });
  RemoveDirectoryW(raw_folder.c_str());
}

int CountRaw(const std::wstring& raw_folder, const std::wstring& pattern) {
  int count = 0;
  ForEachMatch(raw_folder, pattern, [&](const WIN32_FIND_DATAW&) { ++count; });
  ForEachMatch(raw_folder, L"*", [&](const WIN32_FIND_DATAW& found) {
    if (IsFolderEntry(found)) count += CountRaw(raw_folder + L"\\" + found.cFileName, pattern);
  });
  return count;
}

}  // namespace

TestPath::TestPath(const std::string& utf8) : wide_(win32::Widen(utf8)) {}
TestPath::TestPath(const char* utf8) : wide_(win32::Widen(utf8)) {}
std::string TestPath::Utf8() const { return win32::Narrow(wide_); }

std::wstring Raw(const TestPath& path) {
  const std::wstring& wide = path.Wide();
  return wide.rfind(L"\\\\", 0) == 0 ? wide : L"\\\\?\\" + wide;
}

void MakeFolders(const TestPath& path) {
  const std::wstring& wide = path.Wide();
  if (CreateDirectoryW(Raw(wide).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    return;
  }
  const size_t slash = wide.rfind(L'\\');
  if (slash == std::wstring::npos) throw std::runtime_error("cannot make " + path.Utf8());
  MakeFolders(wide.substr(0, slash));
  if (!CreateDirectoryW(Raw(wide).c_str(), nullptr)) {
    throw std::runtime_error("cannot make " + path.Utf8());
  }
}

void WriteBytes(const TestPath& path, const std::string& bytes) {
  const std::wstring& wide = path.Wide();
  const size_t slash = wide.rfind(L'\\');
  if (slash != std::wstring::npos) MakeFolders(wide.substr(0, slash));
  win32::UniqueFile file(CreateFileW(Raw(wide).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot write " + path.Utf8());
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (!ok || written != bytes.size()) throw std::runtime_error("cannot write " + path.Utf8());
}

std::optional<std::string> ReadBytes(const TestPath& path) {
  win32::UniqueFile file(CreateFileW(Raw(path).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                     nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) {
    bytes.append(chunk, got);
  }
  return bytes;
}

bool Exists(const TestPath& path) {
  return GetFileAttributesW(Raw(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolderOnDisk(const TestPath& path) {
  const DWORD attributes = GetFileAttributesW(Raw(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::uint32_t AttributesOf(const TestPath& path) { return GetFileAttributesW(Raw(path).c_str()); }

void SetAttributesOf(const TestPath& path, std::uint32_t attributes) {
  SetFileAttributesW(Raw(path).c_str(), attributes);
}

std::uint64_t WriteTimeOf(const TestPath& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Raw(path).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}

void SetWriteTimeOf(const TestPath& path, std::uint64_t time) {
  win32::UniqueFile file(CreateFileW(Raw(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file) throw std::runtime_error("cannot set the time of " + path.Utf8());
  const FILETIME written{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  SetFileTime(file.Get(), nullptr, nullptr, &written);
}

std::int64_t ChangeTimeOf(const TestPath& path) {
  win32::UniqueFile file(CreateFileW(Raw(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  FILE_BASIC_INFO basic{};
  if (!file || !GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &basic, sizeof basic)) {
    return 0;
  }
  return basic.ChangeTime.QuadPart;
}

void RewriteKeepingWriteTime(const TestPath& path, const std::string& bytes) {
  const std::uint64_t write_time = WriteTimeOf(path);
  Sleep(20);
  WriteBytes(path, bytes);
  SetWriteTimeOf(path, write_time);
}

std::wstring FullPathOf(const TestPath& path) {
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(path.Wide().c_str(), MAX_PATH, full, nullptr);
  std::wstring text = full;
  // Wine gives the current folder with a trailing backslash.
  while (text.size() > 3 && text.back() == L'\\') text.pop_back();
  return text;
}

std::wstring LastPart(const std::wstring& path) {
  std::wstring trimmed = path;
  while (trimmed.size() > 3 && trimmed.back() == L'\\') trimmed.pop_back();
  const auto slash = trimmed.rfind(L'\\');
  return slash == std::wstring::npos ? trimmed : trimmed.substr(slash + 1);
}

std::vector<std::wstring> NamesIn(const TestPath& folder) {
  std::vector<std::wstring> names;
  ForEachMatch(Raw(folder), L"*", [&](const WIN32_FIND_DATAW& found) {
    const std::wstring name = found.cFileName;
    const bool manifest = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0 &&
                          name.size() > 7 && name.compare(name.size() - 7, 7, L".sha256") == 0;
    if (!manifest) names.push_back(name);
  });
  std::sort(names.begin(), names.end());
  return names;
}

int CountMatching(const TestPath& folder, const TestPath& pattern) {
  return CountRaw(Raw(folder), pattern.Wide());
}

void RemoveTree(const TestPath& folder) { RemoveRawTree(Raw(folder)); }

LockedFile::LockedFile(const TestPath& path)
    : file_(CreateFileW(Raw(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {}

}  // namespace tess::test
