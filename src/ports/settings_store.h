// Per-user named text values: application, section, key.
#pragma once

#include <string>

namespace tess {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or default_value when the key (or section) is absent.
  virtual std::string GetSetting(const std::string& app, const std::string& section,
                                 const std::string& key, const std::string& default_value) = 0;
  // Creates what is missing and stores the value. Throws PlatformError when the write fails.
  virtual void SaveSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

}  // namespace tess
