// The option controls: each saves its state the moment it changes; the start-with-Windows box
// also writes or removes the program's start-up entry and shows or hides the start-in-tray
// box, and the stamp box enables or disables the two backup modes and the keep-fewer box.
#pragma once

#include "backup/folder_naming.h"

namespace tess {

class CheckBoxModel;
class OptionButtonModel;
class ProgramSettings;
class Registry;
class Environment;
class ErrorTrap;

class OptionControls {
 public:
  struct Controls {
    CheckBoxModel& start_with_windows;
    CheckBoxModel& stamp;
    CheckBoxModel& start_in_tray;
    OptionButtonModel& create_new;
    OptionButtonModel& overwrite;
    CheckBoxModel& keep_fewer;  // "Keep fewer old backup folders"
  };
  OptionControls(Controls controls, ProgramSettings& settings, Registry& registry,
                 Environment& environment)
      : c_(controls), settings_(settings), registry_(registry), environment_(environment) {}

  // Start-up, as steps 140 to 149 of the caller's trap: each control from its stored value.
  void Restore(ErrorTrap& trap);

  void StartWithWindowsClicked();
  void StampClicked();
  void StartInTrayClicked();
  void CreateNewChosen();
  void OverwriteChosen();
  void KeepFewerClicked();

  // The naming the controls ask of a backup run, as they stand now.
  FolderStamp Stamp() const;
  // Whether a run thins out older dated backup folders: only dated folders are ever thinned, so
  // with the stamp off there is nothing for it to do.
  bool KeepFewer() const;

 private:
  Controls c_;
  ProgramSettings& settings_;
  Registry& registry_;
  Environment& environment_;
};

}  // namespace tess
