// The program's entry in the list of programs Windows starts at log-on.
#pragma once

#include <string>

namespace tess {

class Registry;

inline constexpr char kRunSubkey[] = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
inline constexpr char kUserRunSubkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Names the value after the running executable's file name and points it at its full path.
// Writes the machine-wide entry, or the per-user one when the machine-wide key refuses the
// write. Returns whether either entry was written.
bool AddToWindowsStartup(Registry& registry, const std::string& module_path);
// Removes the value from both keys; a missing value is no failure.
void RemoveFromWindowsStartup(Registry& registry, const std::string& module_path);

}  // namespace tess
