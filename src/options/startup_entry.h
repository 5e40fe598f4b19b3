// The program's entry in the list of programs Windows starts at log-on.
#pragma once

#include <string>

namespace tess {

class Registry;

inline constexpr char kRunSubkey[] = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
inline constexpr char kUserRunSubkey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The command Windows runs at log-on: the path in double quotes, so that a folder with blanks
// ("C:\Program Files\...") is never read as a shorter program ("C:\Program.exe") plus arguments.
std::string StartupCommand(const std::string& module_path);

// Names the value after the running executable's file name and points it at its quoted path.
// Writes the machine-wide entry, or the per-user one when the machine-wide key refuses the
// write. Returns whether either entry was written.
bool AddToWindowsStartup(Registry& registry, const std::string& module_path);
// Removes the value from both keys by name, whatever its data (quoted as now or unquoted as
// older versions wrote it); a missing value is no failure.
void RemoveFromWindowsStartup(Registry& registry, const std::string& module_path);

}  // namespace tess
