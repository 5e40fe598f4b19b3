// The handlers' one failure rule: a numbered step that throws is reported in the
// "Application Error" box and the handler goes on with its next step.
#pragma once

#include <functional>
#include <string>

namespace tess {

class Dialogs;

// Shows the report: description, location and line, and where to send a screenshot.
void ReportApplicationError(Dialogs& dialogs, const std::string& location, int line,
                            const std::string& description);
// The report's text, built exactly as the box shows it.
std::string ApplicationErrorText(const std::string& location, int line,
                                 const std::string& description);

inline constexpr char kApplicationErrorTitle[] = "Application Error";
inline constexpr char kSupportAddress[] = "support@tessaline.example";

class ErrorTrap {
 public:
  ErrorTrap(Dialogs& dialogs, std::string location)
      : dialogs_(dialogs), location_(std::move(location)) {}

  // Runs one numbered statement; a failure is reported and absorbed.
  void Step(int line, const std::function<void()>& statement);
  // Runs a numbered test; a failing test is reported and counts as met.
  bool Test(int line, const std::function<bool()>& test);
  // The number last passed (0 before the first step).
  int Line() const { return line_; }
  int Reports() const { return reports_; }

 private:
  void Report(const std::string& description);
  Dialogs& dialogs_;
  std::string location_;
  int line_ = 0;
  int reports_ = 0;
};

}  // namespace tess
