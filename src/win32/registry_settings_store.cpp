#include "win32/registry_settings_store.h"

#include <windows.h>

#include <vector>

#include "win32/handles.h"
#include "win32/text.h"

namespace tess::win32 {

namespace {
std::wstring SectionPath(const std::string& app, const std::string& section) {
  return std::wstring(kSettingsRoot) + L"\\" + Widen(app) + L"\\" + Widen(section);
}
}  // namespace

std::string RegistrySettingsStore::GetSetting(const std::string& app, const std::string& section,
                                              const std::string& key,
                                              const std::string& default_value) {
  UniqueKey hkey;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(app, section).c_str(), 0, KEY_QUERY_VALUE,
                    hkey.Put()) != ERROR_SUCCESS) {
    return default_value;
  }
  const std::wstring name = Widen(key);
  DWORD type = 0;
  DWORD bytes = 0;
  if (RegQueryValueExW(hkey.Get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return default_value;
  }
  // The value may change between the two calls; retry with the size the second call reports.
  std::vector<wchar_t> buffer;
  LSTATUS status;
  do {
    buffer.assign(bytes / sizeof(wchar_t) + 2, L'\0');
    bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    status = RegQueryValueExW(hkey.Get(), name.c_str(), nullptr, &type,
                              reinterpret_cast<BYTE*>(buffer.data()), &bytes);
  } while (status == ERROR_MORE_DATA);
  if (status != ERROR_SUCCESS) return default_value;
  size_t length = bytes / sizeof(wchar_t);
  if (length > buffer.size()) length = buffer.size();
  std::wstring text(buffer.data(), length);
  const auto nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return Narrow(text);
}

void RegistrySettingsStore::SaveSetting(const std::string& app, const std::string& section,
                                        const std::string& key, const std::string& value) {
  UniqueKey hkey;
  LSTATUS status =
      RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(app, section).c_str(), 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, hkey.Put(), nullptr);
  if (status != ERROR_SUCCESS) ThrowLastError(static_cast<unsigned long>(status));
  const std::wstring data = Widen(value);
  status = RegSetValueExW(hkey.Get(), Widen(key).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  if (status != ERROR_SUCCESS) ThrowLastError(static_cast<unsigned long>(status));
}

}  // namespace tess::win32
