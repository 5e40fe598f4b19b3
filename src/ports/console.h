// Where a start from the command line writes what it has to say: the console it was started
// from, or the file or pipe its output was sent to.
#pragma once

#include <string>

namespace tess {

class Console {
 public:
  virtual ~Console() = default;
  // Whether anything written reaches anyone: without a console or a redirected output, a
  // program started from the desktop has nowhere to write.
  virtual bool Available() = 0;
  // Writes the text and a line end.
  virtual void WriteLine(const std::string& text) = 0;
};

}  // namespace tess
