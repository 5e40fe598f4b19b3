// Reaching a name itself, never what a link names: opening it as a link where it is one, and
// deleting through that handle, a read-only name included where the system can.
#pragma once

#include <windows.h>

#include <string>

#include "win32/handles.h"

namespace tess::win32 {

// Opens the long path's name itself (a link as a link), sharing it with every other use; a
// name that cannot be told from what it names is refused with ERROR_CANT_ACCESS_FILE, so that
// nothing done through the handle reaches past it. ERROR_SUCCESS or the system's error number.
DWORD OpenNameItself(const std::wstring& path, DWORD access, FileHandle* opened);

// Deletes the long path's name itself: a link loses only itself, and a read-only name goes
// without a change to the file's attributes where the system can do that (Windows 10); a plain
// delete, which refuses a read-only name, elsewhere. `folder` says which kind the name must be.
DWORD DeleteNameItself(const std::wstring& path, bool folder);

}  // namespace tess::win32
