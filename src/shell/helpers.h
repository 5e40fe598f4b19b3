// Small helpers shared by the handlers: the desktop folder, path tests, a forgiving delete,
// the application title, the occasional web-site visit and two text helpers.
#pragma once

#include <optional>
#include <string>

namespace tess {

class Shell;
class FileSystem;
class EventPump;
class Dialogs;
class Clock;

inline constexpr char kProductName[] = "Tessaline";
inline constexpr char kWebSiteAddress[] = "https://www.tessaline.example/";
inline constexpr char kContactPageAddress[] = "https://www.tessaline.example/contact";

// The user's desktop followed by "\"; throws PlatformError (invalid argument) without one.
std::string GetDesktopFolder(Shell& shell);
// True when the path's last-write time can be read; never throws.
bool PathExists(FileSystem& files, const std::string& path);
// True / false by the directory bit; empty when the attributes cannot be read.
std::optional<bool> IsFolderResult(FileSystem& files, const std::string& path);
// IsFolder with the empty result counted as false.
bool IsFolder(FileSystem& files, const std::string& path);
// Plain delete, then a forced one; every failure is absorbed.
void DeleteFileWithFallback(FileSystem& files, EventPump& pump, const std::string& path);
// The product name cut to its words within 40 characters; a one-word name stays whole.
std::string ApplicationTitleFor(const std::string& product_name);
void SetApplicationTitle(Dialogs& dialogs);
// On about one start in a hundred opens the maker's web site; returns whether it did.
bool VisitWebSiteAtRandom(Clock& clock, Shell& shell);
std::string StripTrailingWord(const std::string& text, const std::string& word);
std::string RemoveFileNameChars(const std::string& text);

}  // namespace tess
