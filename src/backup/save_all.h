// The backup run: every listed folder copied into the destination, one history line each.
#pragma once

#include "shell/controls.h"
#include "shell/form1.h"

namespace tess {

// Reads the live controls of the form at each use; writes its status into status_line.
RunOutcome SaveAll(Form1& form, ListViewModel& folder_list, FrameModel& status_line);

}  // namespace tess
