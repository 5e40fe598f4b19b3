#include "base/error_trap.h"

#include <exception>

namespace tess {

std::string ApplicationErrorText(const std::string& location, int line,
                                 const std::string& description) {
  return description + "\r\n" + location + "at line " + std::to_string(line) + "\r\r" +
         "Please email screenshot of this message to " + kSupportAddress;
}

void ErrorReporter::Report(const std::string& location, int line, const std::string& description) {
  ShowApplicationError(ApplicationErrorText(location, line, description));
}

void ReportApplicationError(ErrorReporter& reporter, const std::string& location, int line,
                            const std::string& description) {
  reporter.Report(location, line, description);
}

void ErrorTrap::Report(const std::string& description) {
  ++reports_;
  ReportApplicationError(reporter_, location_, line_, description);
}

void ErrorTrap::Step(int line, const std::function<void()>& statement, bool report) {
  line_ = line;
  try {
    statement();
  } catch (const std::exception& e) {
    if (report) Report(e.what());
  }
}

bool ErrorTrap::Test(int line, const std::function<bool()>& test) {
  line_ = line;
  try {
    return test();
  } catch (const std::exception& e) {
    Report(e.what());
    return true;
  }
}

}  // namespace tess
