// Path text in the long-path form (\\?\C:\..., \\?\UNC\server\share\...) that lets the wide
// file APIs reach past 260 characters, and back to the ordinary form for messages.
#pragma once

#include <string>

namespace tess::win32 {

// The absolute, normalised long-path form of an ordinary path (relative parts, "." and "..",
// doubled separators and forward slashes resolved the way Windows resolves them). A trailing
// backslash is kept only when keep_trailing_backslash is set, or when the path is a root,
// which needs it. Throws PlatformError for an empty or unusable path.
std::wstring LongPath(const std::string& path, bool keep_trailing_backslash = false);
// The ordinary form of a long path, for failure reports: \\?\C:\x gives C:\x.
std::string DisplayPath(const std::wstring& long_path);
// folder + "\" + name, without doubling the backslash after a root.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// Length of the root part of a long path: "\\?\C:\" or "\\?\UNC\server\share\".
size_t RootLength(const std::wstring& long_path);
// True when the long path names a drive root or a share root.
bool IsRootPath(const std::wstring& long_path);
// The last name of a long path without its trailing backslash; empty for a root.
std::wstring LeafName(const std::wstring& long_path);
// The folder holding a long path; the path itself for a root.
std::wstring ParentPath(const std::wstring& long_path);
// Case-insensitive comparison of two long paths, as the file system compares names.
bool SamePath(const std::wstring& a, const std::wstring& b);

}  // namespace tess::win32
