// What the installer tests ask of the machine a package was installed on: programs run to their
// end, the Run keys, the uninstall entries, the Start-menu shortcut, installed products of one
// upgrade code and the version resource of an executable.
#pragma once

#include <windows.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tess::package {

// Runs a command line and waits for it to end; its exit code, or -1 when it did not start or
// did not end in time.
int RunAndWait(std::wstring command_line,
               std::chrono::milliseconds timeout = std::chrono::minutes(3));

// A folder of the shell, such as CSIDL_PROGRAM_FILES; empty when there is none.
std::wstring ShellFolder(int csidl);

// A text value of the registry (64-bit view); nothing when absent or not text.
std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const wchar_t* name);
void SetRegistryText(HKEY root, const std::wstring& key, const wchar_t* name,
                     const std::wstring& value);

// An entry of the list of installed programs.
struct UninstallEntry {
  std::wstring key;  // the subkey's name: the product code for an installer package
  std::wstring publisher;
  std::wstring version;
  std::wstring icon;  // DisplayIcon
};
// The entries whose display name is exactly the one given.
std::vector<UninstallEntry> UninstallEntriesNamed(const std::wstring& display_name);

// Product codes installed with the upgrade code.
std::vector<std::wstring> ProductsOfUpgradeCode(const std::wstring& upgrade_code);
// The icon file the installer keeps for a product; empty when none is registered.
std::wstring ProductIcon(const std::wstring& product_code);

// A shell link read back.
struct Shortcut {
  std::wstring target;
  std::wstring working_folder;
  std::wstring icon;  // the icon's file; empty when the link takes its target's
};
std::optional<Shortcut> ReadShortcut(const std::wstring& link_path);

// An executable's version resource: its fixed version as "a.b.c.d" and its US English texts by
// name ("ProductName", "LegalCopyright", ...); nothing when it has none.
struct VersionResource {
  std::wstring file_version;
  std::wstring product_version;
  std::map<std::wstring, std::wstring> texts;
};
std::optional<VersionResource> ReadVersionResource(const std::wstring& path);
// Whether the executable carries an icon group resource of this number.
bool HasIconGroup(const std::wstring& path, int id);

}  // namespace tess::package
