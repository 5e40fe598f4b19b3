// A folder copy by the copy core with only what a test varies: leave to replace, and the
// yield a caller's event pump would run.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "copy/copy_tree.h"

namespace tess::test {

inline CopyOutcome PlainCopy(FileTree& files, const std::string& source,
                             const std::string& destination, bool overwrite = true,
                             std::function<void()> yield = nullptr) {
  CopySettings settings;
  settings.overwrite = overwrite;
  settings.yield = std::move(yield);
  return CopyTree(files, source, destination, settings);
}

}  // namespace tess::test
