// Message boxes owned by the main window, the application title, and the clipboard.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ports/dialogs.h"

namespace tess::win32 {

class WinDialogs : public Dialogs {
 public:
  explicit WinDialogs(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  BoxResult MessageBox(const std::string& text, const std::string& title, BoxButtons buttons,
                       BoxIcon icon) override;
  void SetApplicationTitle(const std::string& title) override { app_title_ = title; }
  void SetClipboardText(const std::string& text) override;

 private:
  std::function<HWND()> owner_;
  std::string app_title_ = "Tessaline";
};

}  // namespace tess::win32
