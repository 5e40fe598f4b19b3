// The console of a start from the command line. The program is a window program, which Windows
// starts without a console: output sent to a file or a pipe is written there, and otherwise the
// program attaches to the console of the command prompt it was started from, if any.
#pragma once

#include <windows.h>

#include "ports/console.h"
#include "win32/handles.h"

namespace tess::win32 {

class WinConsole : public Console {
 public:
  WinConsole();
  ~WinConsole() override;
  WinConsole(const WinConsole&) = delete;
  WinConsole& operator=(const WinConsole&) = delete;

  bool Available() override { return out_ != nullptr; }
  void WriteLine(const std::string& text) override;
  void ShowProgress(const std::string& text) override;

 private:
  void Write(const std::string& text);
  // Clears the progress line, so that what comes next starts on an empty line.
  void ClearProgress();

  HANDLE out_ = nullptr;    // the standard output, or the attached console's
  UniqueFile console_out_;  // owned when this program opened the attached console
  bool attached_ = false;
  bool to_console_ = false;          // a console takes wide text; a file or pipe takes UTF-8 bytes
  std::size_t progress_length_ = 0;  // characters of the progress line shown, 0 for none
};

}  // namespace tess::win32
