// RAII owners for the window-side handles the view keeps: windows, fonts, brushes, cursors.
#pragma once

#include <windows.h>

#include <string>

#include "win32/handles.h"

namespace tess::view {

struct WindowTraits {
  using Handle = HWND;
  static HWND Invalid() { return nullptr; }
  static void Close(HWND h) { DestroyWindow(h); }
};
struct FontTraits {
  using Handle = HFONT;
  static HFONT Invalid() { return nullptr; }
  static void Close(HFONT h) { DeleteObject(h); }
};
struct BrushTraits {
  using Handle = HBRUSH;
  static HBRUSH Invalid() { return nullptr; }
  static void Close(HBRUSH h) { DeleteObject(h); }
};
struct CursorTraits {
  using Handle = HCURSOR;
  static HCURSOR Invalid() { return nullptr; }
  static void Close(HCURSOR h) { DestroyCursor(h); }
};

using UniqueWindow = win32::UniqueHandle<WindowTraits>;
using UniqueFont = win32::UniqueHandle<FontTraits>;
using UniqueBrush = win32::UniqueHandle<BrushTraits>;
using UniqueCursor = win32::UniqueHandle<CursorTraits>;

// A window's whole text, however long.
inline std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return text;
}

// Sets a window's text only when it differs, so an unchanged caption does not flicker.
inline void ShowWindowText(HWND window, const std::wstring& text) {
  if (WindowText(window) != text) SetWindowTextW(window, text.c_str());
}

}  // namespace tess::view
