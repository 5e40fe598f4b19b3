// The history log's two byte forms. A log whose lines all fit the system's ANSI code page stays
// in that code page, CR LF and no header, as other programs have always read it; the first line
// that does not fit turns it into UTF-8 behind a byte-order mark, once and for good.
#pragma once

#include <string>

namespace tess {

class FileSystem;

// True when every character of the text has one of its own in the ANSI code page.
bool FitsCodePage(FileSystem& files, const std::string& text);
// Appends one line in the log's form; a line that does not fit a code-page log first turns the
// log into UTF-8, written beside it and renamed over it, so a crash leaves the old log or the new
// one whole. Throws PlatformError when the log cannot be read or written.
void AppendLogLine(FileSystem& files, const std::string& path, const std::string& line);
// The whole log, in either form, as UTF-8 text without the mark; throws PlatformError when it is
// missing or unreadable.
std::string ReadLogText(FileSystem& files, const std::string& path);

}  // namespace tess
