#include "view/window_placement.h"

#include <algorithm>

namespace tess::view {

RECT PlaceInWorkArea(SIZE window, const RECT& work) {
  const LONG work_width = work.right - work.left;
  const LONG work_height = work.bottom - work.top;
  const LONG width = std::min(window.cx, work_width);
  const bool fits = window.cx <= work_width && window.cy <= work_height;
  const LONG left = fits ? work.left + (work_width - width) / 2 : work.left;
  const LONG top = fits ? work.top + (work_height - window.cy) / 2 : work.top;
  return RECT{left, top, left + width, top + window.cy};
}

}  // namespace tess::view
