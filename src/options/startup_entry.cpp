#include "options/startup_entry.h"

#include "base/path_text.h"
#include "ports/registry.h"

namespace tess {

std::string StartupCommand(const std::string& module_path) { return "\"" + module_path + "\""; }

bool AddToWindowsStartup(Registry& registry, const std::string& module_path) {
  const std::string name = FileNameOf(module_path);
  if (name.empty()) return false;
  const std::string command = StartupCommand(module_path);
  if (registry.SetStringValue(Hive::kLocalMachine, kRunSubkey, name, command)) return true;
  // Without administrator rights the machine-wide key is closed to us; the per-user list
  // starts the program just the same for this user.
  return registry.SetStringValue(Hive::kCurrentUser, kUserRunSubkey, name, command);
}

void RemoveFromWindowsStartup(Registry& registry, const std::string& module_path) {
  const std::string name = FileNameOf(module_path);
  if (name.empty()) return;
  registry.DeleteValue(Hive::kLocalMachine, kRunSubkey, name);
  registry.DeleteValue(Hive::kCurrentUser, kUserRunSubkey, name);
}

}  // namespace tess
