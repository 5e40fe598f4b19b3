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
  ClearProgress();
  Write(text + "\r\n");
}

void WinConsole::ShowProgress(const std::string& text) {
  if (out_ == nullptr || !to_console_) return;
  // Wider lines wrap and would leave their second part behind: a console line is the limit.
  CONSOLE_SCREEN_BUFFER_INFO info;
  std::wstring line = Widen(text);
  if (GetConsoleScreenBufferInfo(out_, &info) && info.dwSize.X > 1 &&
      line.size() >= static_cast<std::size_t>(info.dwSize.X)) {
    line.resize(static_cast<std::size_t>(info.dwSize.X) - 1);
  }
  const std::size_t length = line.size();
  if (length < progress_length_) line.append(progress_length_ - length, L' ');
  line = L"\r" + line;
  DWORD written = 0;
  WriteConsoleW(out_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  progress_length_ = length;
}

void WinConsole::ClearProgress() {
  if (progress_length_ == 0) return;
  Write("\r" + std::string(progress_length_, ' ') + "\r");
  progress_length_ = 0;
}

void WinConsole::Write(const std::string& text) {
  DWORD written = 0;
  if (to_console_) {
    const std::wstring wide = Widen(text);
    WriteConsoleW(out_, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(out_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
}

}  // namespace tess::win32
