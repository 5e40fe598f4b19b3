// The main window's control table: which binding stands for which control model, with its
// identifier, its frame and the handlers its events call.
#pragma once

#include <memory>
#include <vector>

#include "shell/main_form.h"
#include "view/control_binding.h"

namespace tess::view {

// Creates the child controls in the design's order, which is also the Tab order.
std::vector<std::unique_ptr<ControlBinding>> MakeControlTable(MainForm& form,
                                                              const ControlSite& site);

}  // namespace tess::view
