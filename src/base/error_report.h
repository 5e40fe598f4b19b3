// Where a handler's failure goes: the "Application Error" report, its text, and the one
// interface that shows it (the program's message boxes implement it).
#pragma once

#include <string>

namespace tess {

inline constexpr char kApplicationErrorTitle[] = "Application Error";
inline constexpr char kSupportAddress[] = "support@tessaline.example";

class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  // Shows one report, its text built by ApplicationErrorText, under kApplicationErrorTitle.
  virtual void ShowApplicationError(const std::string& text) = 0;
  // One failure of a handler: shown as that report, unless a reporter keeps it otherwise (a
  // run nobody watches writes it to the history log).
  virtual void Report(const std::string& location, int line, const std::string& description);
};

// The report's text, built exactly as the box shows it: description, location and line, and
// where to send a screenshot.
std::string ApplicationErrorText(const std::string& location, int line,
                                 const std::string& description);
void ReportApplicationError(ErrorReporter& reporter, const std::string& location, int line,
                            const std::string& description);

}  // namespace tess
