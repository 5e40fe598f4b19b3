// Message boxes and the clipboard; the boxes also show the handlers' failure reports.
#pragma once

#include <string>

#include "base/error_report.h"

namespace tess {

enum class BoxButtons { kOk, kYesNo };
enum class BoxIcon { kNone, kExclamation };
enum class BoxResult { kOk, kYes, kNo };

class Dialogs : public ErrorReporter {
 public:
  // Modal to the main window. An empty title shows the application title.
  virtual BoxResult MessageBox(const std::string& text, const std::string& title,
                               BoxButtons buttons, BoxIcon icon) = 0;
  // The name shown on untitled boxes and in the list of running programs.
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // Puts text on the clipboard as text; throws PlatformError on failure.
  virtual void SetClipboardText(const std::string& text) = 0;

  // A failure report is an ordinary box with its own title and the exclamation icon.
  void ShowApplicationError(const std::string& text) final;
};

}  // namespace tess
