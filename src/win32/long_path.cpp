#include "win32/long_path.h"

#include <windows.h>

#include "win32/text.h"

namespace tess::win32 {
namespace {

constexpr std::wstring_view kLocalPrefix = L"\\\\?\\";
constexpr std::wstring_view kUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";

bool StartsWith(const std::wstring& text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && std::wstring_view(text).substr(0, prefix.size()) == prefix;
}

std::wstring FullPath(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
    std::wstring full(size, L'\0');
    const DWORD n = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (n == 0) break;
    if (n < size) {
      full.resize(n);
      return full;
    }
    size = n;  // the current folder changed in between: try again with the new size
  }
  ThrowLastError(GetLastError() != 0 ? GetLastError() : ERROR_INVALID_NAME);
}

}  // namespace

std::wstring LongPath(const std::string& path, bool keep_trailing_backslash) {
  if (path.empty()) ThrowLastError(ERROR_PATH_NOT_FOUND);
  std::wstring wide = Widen(path);
  std::wstring result;
  if (StartsWith(wide, kLocalPrefix) || StartsWith(wide, kDevicePrefix)) {
    result = std::move(wide);  // already in the raw form: taken as it is
  } else {
    const std::wstring full = FullPath(wide);
    if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\') {
      if (StartsWith(full, kDevicePrefix)) return full;  // a device, e.g. \\.\pipe\x
      result = std::wstring(kUncPrefix) + full.substr(2);
    } else {
      result = std::wstring(kLocalPrefix) + full;
    }
  }
  const bool had_trailing = !result.empty() && result.back() == L'\\';
  const size_t root = RootLength(result);
  while (result.size() > root && result.back() == L'\\') result.pop_back();
  if (result.size() < root) result.push_back(L'\\');  // a share root named without its "\"
  if (keep_trailing_backslash && had_trailing && result.back() != L'\\') result.push_back(L'\\');
  return result;
}

std::string DisplayPath(const std::wstring& long_path) {
  if (StartsWith(long_path, kUncPrefix))
    return Narrow(L"\\\\" + long_path.substr(kUncPrefix.size()));
  if (StartsWith(long_path, kLocalPrefix)) return Narrow(long_path.substr(kLocalPrefix.size()));
  return Narrow(long_path);
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  std::wstring joined;
  joined.reserve(folder.size() + 1 + name.size());
  joined = folder;
  if (joined.empty() || joined.back() != L'\\') joined.push_back(L'\\');
  joined += name;
  return joined;
}

size_t RootLength(const std::wstring& long_path) {
  if (StartsWith(long_path, kUncPrefix)) {
    // \\?\UNC\server\share\ : the share is part of the root
    size_t pos = long_path.find(L'\\', kUncPrefix.size());
    if (pos == std::wstring::npos) return long_path.size() + 1;
    pos = long_path.find(L'\\', pos + 1);
    return pos == std::wstring::npos ? long_path.size() + 1 : pos + 1;
  }
  if (StartsWith(long_path, kLocalPrefix)) {
    const size_t rest = kLocalPrefix.size();
    if (long_path.size() >= rest + 2 && long_path[rest + 1] == L':') return rest + 3;  // C:\ .
    const size_t pos = long_path.find(L'\\', rest);  // a volume name such as Volume{...}
    return pos == std::wstring::npos ? long_path.size() + 1 : pos + 1;
  }
  return 0;
}

bool IsRootPath(const std::wstring& long_path) { return long_path.size() <= RootLength(long_path); }

std::wstring LeafName(const std::wstring& long_path) {
  if (IsRootPath(long_path)) return {};
  std::wstring path = long_path;
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring ParentPath(const std::wstring& long_path) {
  if (IsRootPath(long_path)) return long_path;
  std::wstring path = long_path;
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  const size_t slash = path.rfind(L'\\');
  if (slash == std::wstring::npos) return long_path;
  const size_t root = RootLength(long_path);
  return slash + 1 <= root ? path.substr(0, root) : path.substr(0, slash);
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace tess::win32
