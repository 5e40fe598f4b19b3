#include "win32/win_console.h"

#include "win32/text.h"

namespace tess::win32 {

WinConsole::WinConsole() {
  const HANDLE standard = GetStdHandle(STD_OUTPUT_HANDLE);
  if (standard != nullptr && standard != INVALID_HANDLE_VALUE &&
      GetFileType(standard) != FILE_TYPE_UNKNOWN) {
    out_ = standard;
  } else if (AttachConsole(ATTACH_PARENT_PROCESS)) {
    attached_ = true;
    console_out_.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                   nullptr));
    if (console_out_.Valid()) out_ = console_out_.Get();
  }
  DWORD mode = 0;
  to_console_ = out_ != nullptr && GetConsoleMode(out_, &mode);
}

WinConsole::~WinConsole() {
  console_out_.Reset();
  if (attached_) FreeConsole();
}

void WinConsole::WriteLine(const std::string& text) {
  if (out_ == nullptr) return;
  const std::string line = text + "\r\n";
  DWORD written = 0;
  if (to_console_) {
    const std::wstring wide = Widen(line);
    WriteConsoleW(out_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(out_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
}

}  // namespace tess::win32
