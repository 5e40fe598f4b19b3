// The doors from window procedures into the program: no exception ever crosses back into the
// system's code, and the view can tell whether a model call is still running further down the
// stack (a close request then has to end the program at once).
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "win32/text.h"

namespace tess::view {

// Leaves a debug trace of the exception being handled; never throws itself.
inline void TraceEscapedException() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    try {
      OutputDebugStringW(win32::Widen(std::string("Tessaline: ") + e.what()).c_str());
    } catch (...) {
      OutputDebugStringW(L"Tessaline: exception in a window handler");
    }
  } catch (...) {
    OutputDebugStringW(L"Tessaline: unknown exception in a window handler");
  }
}

// Runs one message's handling for a window procedure: what escapes is a bug worth a trace,
// and the procedure answers with `fallback` instead.
template <typename Handler, typename Result>
Result Fenced(Handler&& handler, Result fallback) noexcept {
  try {
    return handler();
  } catch (...) {
    TraceEscapedException();
  }
  return fallback;
}

class ModelBoundary {
 public:
  template <typename Call>
  void Run(Call&& call) noexcept {
    ++depth_;
    try {
      call();
    } catch (...) {
      // The handlers report their own failures; what still escapes is a bug worth a trace.
      TraceEscapedException();
    }
    --depth_;
  }
  // How many model calls are running on the stack right now.
  int Depth() const { return depth_; }

 private:
  int depth_ = 0;
};

}  // namespace tess::view
