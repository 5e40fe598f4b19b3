// The backup run: every listed folder copied into the destination, one history line each.
#pragma once

#include "controls/controls.h"
#include "shell/form1.h"

namespace tess {

// Reads the live controls of the form at each use (destination text, stamp switch, backup
// mode, the list's entries by index); writes its status into status_line and returns what it
// did, so a caller can keep an unclean outcome in view. Lets window events run between
// entries and during each copy, so other handlers (even another run) may run inside it.
RunOutcome SaveAll(Form1& form, ListViewModel& folder_list, FrameModel& status_line);

}  // namespace tess
