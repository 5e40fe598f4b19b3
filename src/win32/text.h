// Conversions at the Win32 boundary: the core speaks UTF-8, Windows speaks UTF-16, and a few
// byte formats stay in the ANSI code page.
#pragma once

#include <string>

namespace tess::win32 {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
std::string Narrow(const wchar_t* wide, size_t length);
// UTF-8 text to the ANSI code page; characters it cannot hold become "?".
std::string Utf8ToAnsi(const std::string& utf8);
std::string AnsiToUtf8(const std::string& ansi);
// The system's description of an error code, without the trailing line break.
std::string SystemMessage(unsigned long code);
// Throws PlatformError carrying the code's description.
[[noreturn]] void ThrowLastError(unsigned long code);

}  // namespace tess::win32
