// Pointer feedback: the pointer images that ship beside the program (the hand the window shows
// over its push buttons, the pointer the folder list shows while an entry is dragged), and what
// the window's pointer becomes as the mouse moves over its parts.
#pragma once

#include <string>

#include "controls/controls.h"

namespace tess {

class FileSystem;

// The hand pointer's file when it is in the program's folder; "" otherwise.
std::string CustomCursorIn(FileSystem& files, const std::string& program_folder);
// The drag pointer's file when it is in the program's folder; "" otherwise.
std::string DragCursorIn(FileSystem& files, const std::string& program_folder);

// The window's pointer once the mouse is over a push button: the hand. The hourglass is the
// window's busy flag and stays until the work that set it ends.
Pointer PointerOverButton(Pointer current);
// The window's pointer once the mouse is over a background area: the arrow, busy aside.
Pointer PointerOverBackground(Pointer current);

}  // namespace tess
