// Path-text rules and the small waits the backup engine shares: cleaning joined paths, the last
// part of a path, the existence query and the event-processing pause.
#pragma once

#include <string>

namespace tess {

class FileSystem;
class Clock;
class EventPump;

// Collapses doubled backslashes in one left-to-right pass; a path that starts with a backslash
// keeps exactly two leading backslashes (network form).
std::string CleanPath(const std::string& path);
// The text after the last backslash; empty when the text ends with one; the whole text without.
std::string LastPathPart(const std::string& path);
// True when a directory listing of the path (folders included, wildcards honoured) finds any
// name. A folder written with a trailing backslash is answered by its contents, so an empty
// drive root counts as not found. Throws PlatformError for an unusable name or drive.
bool PathFound(FileSystem& files, const std::string& path);
// Lets window events run until the given seconds have passed, measured in seconds since
// midnight; a wait that spans midnight ends at the first check after it. A wait of 0 or less
// returns at once without processing any event.
void Pause(double seconds, Clock& clock, EventPump& pump);

}  // namespace tess
