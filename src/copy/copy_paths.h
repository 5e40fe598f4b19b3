// Path text of the copy core, for full paths in either form the file tree gives: C:\x and
// \\server\share\x, or with the long-path prefix, \\?\C:\x and \\?\UNC\server\share\x.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tess::copy_path {

// Length of the root part ("C:\", "\\server\share\", with or without the prefix); one more
// than the text's length for a root written without its last backslash; 0 for a relative path.
std::size_t RootLength(const std::string& path);
bool IsRoot(const std::string& path);
// folder + "\" + name, without doubling the backslash after a root.
std::string Join(const std::string& folder, const std::string& name);
// The last name, without a trailing backslash; empty for a root.
std::string LeafName(const std::string& path);
// The folder holding path; a root for itself.
std::string ParentPath(const std::string& path);
// The name a folder is copied under: its own, or for a drive root the drive letter, for a
// share root the share's name.
std::string FolderName(const std::string& path);

}  // namespace tess::copy_path
