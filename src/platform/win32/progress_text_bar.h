// The progress bar with a text over it: a common progress control whose painting is taken
// over so it can show a caption, while its position and range stay readable by screen readers
// and test drivers through the control's own messages.
#pragma once

#include <windows.h>

#include "controls/controls.h"

namespace tess::win32 {

class ProgressTextBar {
 public:
  ProgressTextBar() = default;
  ProgressTextBar(const ProgressTextBar&) = delete;
  ProgressTextBar& operator=(const ProgressTextBar&) = delete;
  ~ProgressTextBar();

  // Takes over the painting of an existing msctls_progress32 window.
  void Attach(HWND bar);
  void SetFont(HFONT font);
  // Brings range, position and text in line with the model.
  void Show(const ProgressBarModel& model);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void Paint(HDC dc);
  void PaintInto(HDC dc);
  HWND bar_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace tess::win32
