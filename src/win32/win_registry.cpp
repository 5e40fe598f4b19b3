#include "win32/win_registry.h"

#include <windows.h>

#include "win32/handles.h"
#include "win32/text.h"

namespace tess::win32 {

namespace {
// Query value, set value, create subkey, enumerate subkeys, notify, create link.
constexpr REGSAM kRunKeyAccess = 0x3F;

HKEY RootOf(Hive hive) {
  return hive == Hive::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool OpenExisting(Hive hive, const std::string& subkey, UniqueKey& key) {
  std::wstring path = Widen(subkey);
  // Not every registry accepts a trailing separator on a key path; it names the same key.
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  return RegOpenKeyExW(RootOf(hive), path.c_str(), 0, kRunKeyAccess, key.Put()) == ERROR_SUCCESS;
}
}  // namespace

bool WinRegistry::SetStringValue(Hive hive, const std::string& subkey, const std::string& name,
                                 const std::string& data) {
  UniqueKey key;
  if (!OpenExisting(hive, subkey, key)) return false;
  const std::wstring wide = Widen(data);
  return RegSetValueExW(key.Get(), Widen(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(wide.c_str()),
                        static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool WinRegistry::DeleteValue(Hive hive, const std::string& subkey, const std::string& name) {
  UniqueKey key;
  if (!OpenExisting(hive, subkey, key)) return false;
  return RegDeleteValueW(key.Get(), Widen(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace tess::win32
