// The settings store over the registry: one REG_SZ value per key under
// HKEY_CURRENT_USER\Software\VB and VBA Program Settings\<application>\<section>, the place
// earlier versions of the program wrote, so their settings are read as they are.
#pragma once

#include <string>

#include "ports/settings_store.h"

namespace tess::win32 {

inline constexpr wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings";

class RegistrySettingsStore : public SettingsStore {
 public:
  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& default_value) override;
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;
};

}  // namespace tess::win32
