#include "e2e/files_driver.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <stdexcept>

namespace tess::e2e {

namespace {

// The long form lets the helpers reach whatever the program may have written.
std::wstring Raw(const std::wstring& path) {
  return path.rfind(L"\\\\", 0) == 0 ? path : L"\\\\?\\" + path;
}

win32::UniqueFind FindFirst(const std::wstring& query, WIN32_FIND_DATAW* found) {
  return win32::UniqueFind(
      FindFirstFileExW(query.c_str(), FindExInfoBasic, found, FindExSearchNameMatch, nullptr, 0));
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  if (win32::UniqueFind find = FindFirst(folder + L"\\*", &found)) {
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
    } while (FindNextFileW(find.Get(), &found));
  }
  RemoveDirectoryW(folder.c_str());
}

// Another process may hold the clipboard for a moment.
bool OpenClipboardPatiently() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

std::wstring TempFolder() {
  wchar_t buffer[32768] = {};
  const DWORD n = GetEnvironmentVariableW(L"TEMP", buffer, 32768);
  std::wstring temp(buffer, n < 32768 ? n : 0);
  if (temp.empty()) {
    const DWORD m = GetTempPathW(32768, buffer);
    temp.assign(buffer, m);
  }
  while (!temp.empty() && temp.back() == L'\\') temp.pop_back();
  return temp;
}

std::wstring HistoryLogPath() { return TempFolder() + L"\\Tessaline.txt"; }

bool DeleteHistoryLog() {
  const std::wstring path = HistoryLogPath();
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
  return !Exists(path);
}

std::vector<std::wstring> HistoryLines() {
  std::vector<std::wstring> lines;
  const auto bytes = ReadBytes(HistoryLogPath());
  if (!bytes) return lines;
  const std::wstring text = FromAnsi(*bytes);
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      // A last line without its CR LF is kept, so a damaged log shows in the comparison.
      if (start < text.size()) lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
}

ScratchTree::ScratchTree() {
  static int counter = 0;
  for (;;) {
    const std::wstring candidate = TempFolder() + L"\\tess-e2e-" +
                                   std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(++counter);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("no scratch folder");
  }
}

ScratchTree::~ScratchTree() { RemoveTree(Raw(path_)); }

void MakeFolders(const std::wstring& path) {
  if (CreateDirectoryW(Raw(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) {
    return;
  }
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) throw std::runtime_error("cannot make a folder");
  MakeFolders(path.substr(0, slash));
  if (!CreateDirectoryW(Raw(path).c_str(), nullptr)) {
    throw std::runtime_error("cannot make a folder");
  }
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  MakeFolders(path.substr(0, path.rfind(L'\\')));
  win32::UniqueFile file(CreateFileW(Raw(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot write a file");
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  if (!ok || written != bytes.size()) throw std::runtime_error("cannot write a file");
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
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

namespace {
std::wstring ManyFileName(int index) {
  wchar_t name[16];
  swprintf(name, 16, L"%04d.txt", index);
  return name;
}
}  // namespace

void WriteManyFiles(const std::wstring& folder, int count) {
  for (int i = 0; i < count; ++i) {
    const std::wstring name = ManyFileName(i);
    WriteBytes(folder + L"\\" + name, std::string(name.begin(), name.end()));
  }
}

bool HoldsManyFiles(const std::wstring& folder, int count) {
  if (NamesIn(folder).size() != static_cast<size_t>(count)) return false;
  for (int i = 0; i < count; ++i) {
    const std::wstring name = ManyFileName(i);
    if (ReadBytes(folder + L"\\" + name) != std::string(name.begin(), name.end())) return false;
  }
  return true;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(Raw(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(Raw(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::wstring> NamesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  win32::UniqueFind find = FindFirst(Raw(folder) + L"\\*", &found);
  if (!find) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(find.Get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

LockedFile::LockedFile(const std::wstring& path)
    : file_(CreateFileW(Raw(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr)) {}

std::optional<std::wstring> ClipboardText() {
  if (!OpenClipboardPatiently()) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = std::wstring(chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool SetClipboardText(const std::wstring& text) {
  if (!OpenClipboardPatiently()) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool done = false;
  if (memory != nullptr) {
    if (void* target = GlobalLock(memory)) {
      std::memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!done) GlobalFree(memory);
  }
  CloseClipboard();
  return done;
}

std::wstring FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return L"";
  const int n =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return "";
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                      nullptr, nullptr);
  return bytes;
}

}  // namespace tess::e2e
