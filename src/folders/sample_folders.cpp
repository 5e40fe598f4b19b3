#include "folders/sample_folders.h"

#include <vector>

#include "backup/path_rules.h"
#include "base/error_trap.h"
#include "base/path_text.h"
#include "base/platform_error.h"
#include "folders/folder_list.h"
#include "folders/subfolder_walk.h"
#include "ports/dialogs.h"
#include "ports/environment.h"
#include "ports/shell.h"

namespace tess {

std::string SampleFolderOf(const std::string& program_folder) {
  return WithTrailingBackslash(program_folder) + "Samples\\";
}

void SampleFolders::Load(ErrorTrap& trap) {
  std::string samples;
  trap.Step(100, [&] { samples = SampleFolderOf(FolderOf(svc_.environment.ModulePath())); });
  trap.Step(104, [&] { show_busy_(true); });
  // The walk starts from the tree's folder with one more backslash; the doubled backslash in
  // what it finds goes when each path is cleaned.
  std::vector<std::string> found;
  trap.Step(106, [&] { found.push_back(samples + "\\"); });
  trap.Step(108, [&] {
    WalkSubfolders(found, true, WalkServices{svc_.files, svc_.pump, svc_.dialogs});
  });
  bool appended = false;
  for (std::size_t count = 0; count < found.size(); ++count) {
    // Events ran during the walk, and a handler among them may have put the pointer back.
    trap.Step(112, [&] { show_busy_(true); });
    // The first path is the tree's own folder, which is never an entry.
    if (trap.Test(114, [&] { return count == 0; })) continue;
    trap.Step(116, [&] {
      list_.Append(CleanPath(found[count]));
      appended = true;
    });
  }
  if (appended) list_.StoreAfterChange();
  trap.Step(120, [&] { show_busy_(false); });
  if (trap.Test(122, [&] {
        return svc_.dialogs.MessageBox(kOpenSamplesQuestion, "", BoxButtons::kYesNo,
                                       BoxIcon::kNone) == BoxResult::kNo;
      })) {
    return;
  }
  trap.Step(124, [&] {
    try {
      svc_.shell.Open(samples);
    } catch (const PlatformError&) {
      // The shell's answer is not checked: when it cannot open the folder (the tree is missing)
      // its own message, if any, is all the user sees.
    }
  });
}

}  // namespace tess
