// Message boxes and the clipboard.
#pragma once

#include <string>

namespace tess {

enum class BoxButtons { kOk, kYesNo };
enum class BoxIcon { kNone, kExclamation };
enum class BoxResult { kOk, kYes, kNo };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal to the main window. An empty title shows the application title.
  virtual BoxResult MessageBox(const std::string& text, const std::string& title,
                               BoxButtons buttons, BoxIcon icon) = 0;
  // The name shown on untitled boxes and in the list of running programs.
  virtual void SetApplicationTitle(const std::string& title) = 0;
  // Puts text on the clipboard as text; throws PlatformError on failure.
  virtual void SetClipboardText(const std::string& text) = 0;
};

}  // namespace tess
