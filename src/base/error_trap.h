// The handlers' one failure rule: a numbered step that throws is reported in the
// "Application Error" box and the handler goes on with its next step.
#pragma once

#include <functional>
#include <string>

#include "base/error_report.h"

namespace tess {

class ErrorTrap {
 public:
  ErrorTrap(ErrorReporter& reporter, std::string location)
      : reporter_(reporter), location_(std::move(location)) {}

  // Runs one numbered statement; a failure is reported and absorbed, or only absorbed when
  // report is false (a failure already reported once, or told another way).
  void Step(int line, const std::function<void()>& statement, bool report = true);
  // Runs a numbered test; a failing test is reported and counts as met.
  bool Test(int line, const std::function<bool()>& test);
  // The number last passed (0 before the first step).
  int Line() const { return line_; }
  int Reports() const { return reports_; }

 private:
  void Report(const std::string& description);
  ErrorReporter& reporter_;
  std::string location_;
  int line_ = 0;
  int reports_ = 0;
};

}  // namespace tess
