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
  // Shows how far a run has come as one line that the next call rewrites in place, on a
  // console someone watches; output sent to a file or a pipe gets nothing. The next WriteLine
  // takes the line's place.
  virtual void ShowProgress(const std::string& /*text*/) {}
};

}  // namespace tess
