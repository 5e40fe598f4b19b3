// The option controls: each saves its state the moment it changes; the start-with-Windows box
// also writes or removes the program's start-up entry and shows or hides the start-in-tray
// box, and the stamp box enables or disables the two backup modes and the keep-fewer box. The
// one place where options become a backup run's choices, from the boxes or from the settings.
#pragma once

#include "backup/run_choices.h"

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

  // What the controls ask of a backup run, as they stand now; an option without a control
  // ("Snapshot Links") as stored.
  RunChoices Choices() const;

 private:
  Controls c_;
  ProgramSettings& settings_;
  Registry& registry_;
  Environment& environment_;
};

// What the stored settings ask of a backup run, as the controls would restore them: the stamp
// from "Include Date" and "Backup Option" ("1" creates new folders; anything else, a text that
// is no number included, overwrites), links unless "Snapshot Links" is "Off", keeping fewer
// when "Keep Fewer Backups" is "On" and the stamp is on. Throws PlatformError when the naming
// cannot be read; links and keeping fewer that cannot be read are as when never written.
RunChoices StoredRunChoices(ProgramSettings& settings);

}  // namespace tess
