// Raw registry writes outside the settings store: the start-with-Windows entries.
#pragma once

#include "ports/registry.h"

namespace tess::win32 {

class WinRegistry : public Registry {
 public:
  bool SetStringValue(Hive hive, const std::string& subkey, const std::string& name,
                      const std::string& data) override;
  bool DeleteValue(Hive hive, const std::string& subkey, const std::string& name) override;
};

}  // namespace tess::win32
