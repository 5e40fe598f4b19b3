// The destination folder: the text box is the one source of truth and "Path" mirrors every
// change of it.
#pragma once

#include <string>

namespace tess {

class TextBoxModel;
class ProgramSettings;
class Shell;

// The user's desktop followed by "\"; throws PlatformError (invalid argument) without one.
std::string GetDesktopFolder(Shell& shell);

class Destination {
 public:
  Destination(TextBoxModel& box, ProgramSettings& settings, Shell& shell)
      : box_(box), settings_(settings), shell_(shell) {}

  // The box's text as it is now: a run reads it afresh at every use.
  const std::string& Text() const;
  // Start-up: the stored "Path", or the desktop when none is stored.
  void Restore();
  // The box changed: writes "Path"; throws PlatformError when the store refuses.
  void Store();
  // The box got the focus: its whole text is selected.
  void SelectAll();
  // "...": the folder-browse dialog, starting at "LastFolder"; "" when cancelled.
  std::string Browse();
  void Set(const std::string& folder);
  // View This Folder: the file manager on the folder the box's text names, as a run takes it.
  void Open();

 private:
  TextBoxModel& box_;
  ProgramSettings& settings_;
  Shell& shell_;
};

}  // namespace tess
