#include "win32/win_environment.h"

#include <windows.h>

#include <vector>

#include "win32/text.h"

namespace tess::win32 {

std::string WinEnvironment::Variable(const std::string& name) {
  const std::wstring wide = Widen(name);
  DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0) return "";
  std::vector<wchar_t> buffer(size);
  size = GetEnvironmentVariableW(wide.c_str(), buffer.data(), size);
  return Narrow(buffer.data(), size);
}

std::string WinEnvironment::ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return "";
    if (n < buffer.size()) return Narrow(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace tess::win32
