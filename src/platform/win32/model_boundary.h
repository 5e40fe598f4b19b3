// The one door from window procedures into the window model: no exception ever crosses back
// into the system's code, and the view can tell whether a handler is still running further
// down the stack (a close request then has to end the program at once).
#pragma once

#include <windows.h>

#include <exception>

#include "platform/win32/text.h"

namespace tess::win32 {

class ModelBoundary {
 public:
  template <typename Call>
  void Run(Call&& call) noexcept {
    ++depth_;
    try {
      call();
    } catch (const std::exception& e) {
      // The handlers report their own failures; what still escapes is a bug worth a trace.
      OutputDebugStringW(Widen(std::string("Tessaline: ") + e.what()).c_str());
    } catch (...) {
      OutputDebugStringW(L"Tessaline: unknown exception in a window handler");
    }
    --depth_;
  }
  // How many model calls are running on the stack right now.
  int Depth() const { return depth_; }

 private:
  int depth_ = 0;
};

}  // namespace tess::win32
