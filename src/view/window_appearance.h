// The main window's look as the model sets it: the background colour behind the window and its
// captioned controls, and the mouse pointer (the hourglass, the custom hand or the default).
#pragma once

#include <windows.h>

#include <string>

#include "shell/main_form.h"
#include "view/view_handles.h"

namespace tess::view {

// A pointer made from an icon file, its hot spot in the top left corner where the drawing's tip
// is; empty when the file is missing or cannot be read.
UniqueCursor PointerFromIconFile(const std::string& path);

class WindowAppearance {
 public:
  // Brings colour and pointer in line with the model; true when the background colour changed
  // (everything showing it then needs painting again).
  bool Show(const MainForm& form, HWND window);
  void PaintBackground(HWND window, HDC dc) const;
  // The brush a captioned control paints behind its text; nullptr before the first Show.
  HBRUSH ControlBackground(HDC dc) const;
  // Sets the model's pointer for a WM_SETCURSOR over the window; false leaves the choice to
  // the control under the mouse.
  bool SetPointer(Pointer pointer, LPARAM hit, HWND over, HWND window) const;

 private:
  UniqueBrush back_brush_;
  unsigned back_color_ = 0xFFFFFFFFu;
  COLORREF back_colorref_ = RGB(255, 255, 255);
  UniqueCursor custom_cursor_;
  std::string custom_cursor_path_;
  Pointer shown_pointer_ = Pointer::kDefault;
};

}  // namespace tess::view
