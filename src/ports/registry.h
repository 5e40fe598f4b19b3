// The few raw registry writes the program makes outside its own settings.
#pragma once

#include <string>

namespace tess {

enum class Hive { kLocalMachine, kCurrentUser };

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens an existing key (never creates it) and writes one REG_SZ value.
  // Returns false when the key cannot be opened for writing or the write fails.
  virtual bool SetStringValue(Hive hive, const std::string& subkey, const std::string& name,
                              const std::string& data) = 0;
  // Opens an existing key and deletes one value; false when it could not.
  virtual bool DeleteValue(Hive hive, const std::string& subkey, const std::string& name) = 0;
};

}  // namespace tess
