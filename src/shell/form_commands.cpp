// The window's commands: each handler is one error trap, named after the handler, whose
// numbered steps call the subsystem that owns the work.
#include "appearance/help.h"
#include "appearance/pointer.h"
#include "appearance/skin.h"
#include "backup/path_rules.h"
#include "base/error_trap.h"
#include "base/product.h"
#include "ports/dialogs.h"
#include "shell/form1.h"

namespace tess {

namespace {
constexpr char kLocation[] = "in Tessaline2021/08/31.Form1.";
constexpr char kBackingUp[] = "Backing up files...";
constexpr char kProgressBarText[] = "Progress Bar";
constexpr double kStatusHoldSeconds = 5;
}  // namespace

ErrorTrap Form1::Trap(const char* handler) {
  return ErrorTrap(services_.dialogs, std::string(kLocation) + handler + " ");
}

// ---- folder list ----

void Form1::ListView1_DblClick() {
  // The busy pointer doubles as the busy flag: while Backup Now runs, removal does nothing.
  if (MousePointer() == Pointer::kHourglass) return;
  folders_.RemoveSelected();
}

void Form1::ListView1_KeyDown(Key key, int shift) {
  if (key == Key::kDelete) {
    ListView1_DblClick();
  } else if ((shift & kAltMask) != 0 && (key == Key::kUp || key == Key::kDown)) {
    folders_.MoveSelected(key == Key::kUp ? -1 : 1);
  }
}

// Reordering by dragging ignores the busy pointer: a run reads each entry as it gets there.
void Form1::ListView1_MouseDown(int entry) {
  folders_.PressOn(entry);
  if (folders_.Reordering() && !ListView1.MouseIcon().empty()) {
    ListView1.SetMousePointer(Pointer::kCustom);
  }
}

int Form1::ListView1_MouseMove(const ListRows& rows) {
  Background_MouseMove();
  if (!folders_.Reordering()) return 0;
  const int entry = EntryUnderPointer(rows, ListView1.Count());
  folders_.DragOver(entry);
  return EntryToReveal(rows, entry, ListView1.Count());
}

void Form1::ListView1_MouseUp() {
  folders_.EndDrag();
  ListView1.SetMousePointer(Pointer::kDefault);
}

DropEffect Form1::ListView1_OLEDragOver(bool offers_file_list, const OfferedEffects& allowed) {
  return ChooseDropEffect(offers_file_list, allowed);
}

// Nothing filters the paths: a file, or a folder already listed, is appended like any other.
void Form1::ListView1_OLEDragDrop(const std::vector<std::string>& paths) {
  folders_.AddDropped(paths);
}

void Form1::PushButton8_Click() {
  ErrorTrap trap = Trap("PushButton8_Click");
  trap.Step(100, [&] {
    if (MousePointer() == Pointer::kHourglass) return;
    folders_.Clear();
  });
}

void Form1::PushButton7_Click() {
  ErrorTrap trap = Trap("PushButton7_Click");
  std::string chosen;
  trap.Step(100, [&] { chosen = folders_.BrowseForFolder(); });
  if (trap.Test(102, [&] { return chosen.empty(); })) return;
  trap.Step(104, [&] { folders_.Add(chosen); });
}

void Form1::PushButton9_Click() {
  ErrorTrap trap = Trap("PushButton9_Click");
  samples_.Load(trap);
}

// ---- destination ----

void Form1::Text5_Change() { destination_.Store(); }

void Form1::Text5_GotFocus() { destination_.SelectAll(); }

void Form1::PushButton1_Click() {
  ErrorTrap trap = Trap("PushButton1_Click");
  std::string chosen;
  trap.Step(100, [&] { chosen = destination_.Browse(); });
  if (trap.Test(102, [&] { return chosen.empty(); })) return;
  trap.Step(104, [&] { destination_.Set(chosen); });
}

void Form1::PushButton2_Click() {
  ErrorTrap trap = Trap("PushButton2_Click");
  trap.Step(100, [&] { destination_.Open(); });
}

// ---- schedule ----

void Form1::Timer1_Timer() {
  ErrorTrap trap = Trap("Timer1");
  const std::optional<RunOutcome> run = countdown_.Tick(trap);
  // Hidden in the tray, the window's status line reaches nobody: a timed run that did not
  // complete cleanly says so by the icon, for the shell's usual time.
  if (run && !run->Clean() && !visible_) {
    trap.Step(136, [&] { cSysTray1.ShowBalloon(run->final_status, kProductName, 0, false); });
  }
}

void Form1::ListView2_Click() { countdown_.IntervalChosen(); }

// A selection moved by the keyboard (arrows, Home, End, typing) must count like a click:
// otherwise the choice is not stored, and a count already past a newly chosen shorter interval
// never meets it again, so timed backups would silently stop. The view calls this only for
// changes the user makes; the start-up restore selects through the model and runs nothing.
void Form1::ListView2_ItemSelected() { ListView2_Click(); }

void Form1::PushButton5_Click() {
  ErrorTrap trap = Trap("PushButton5_Click");
  countdown_.SwitchAutoBackup(trap);
}

// Runs one backup at once under the busy pointer, leaves the run's own status in view for a
// few seconds, then puts back what the status line said before, unless that was a failure the
// run has put right.
void Form1::PushButton6_Click() {
  ErrorTrap trap = Trap("PushButton6_Click");
  std::string before;
  trap.Step(100, [&] { before = Frame1.Caption(); });
  trap.Step(102, [&] { Frame1.SetCaption(kBackingUp); });
  trap.Step(104, [&] { SetMousePointer(Pointer::kHourglass); });
  trap.Step(106, [&] { countdown_.RunEnded(backup_.SaveAll()); });
  trap.Step(108, [&] { SetMousePointer(Pointer::kDefault); });
  trap.Step(110, [&] {
    ProgressBar1.SetValue(0);
    ProgressBar1.SetText(kProgressBarText);
  });
  trap.Step(112, [&] { Pause(kStatusHoldSeconds, services_.clock, services_.pump); });
  trap.Step(114, [&] { Frame1.SetCaption(countdown_.StatusToPutBack(before)); });
}

// ---- history ----

void Form1::PushButton3_Click() {
  ErrorTrap trap = Trap("PushButton3_Click");
  history_.View(trap);
}

void Form1::PushButton4_Click() {
  ErrorTrap trap = Trap("PushButton4_Click");
  history_.CopyToClipboard(trap);
}

void Form1::PushButton12_Click() {
  ErrorTrap trap = Trap("PushButton12_Click");
  if (!history_.Clear(trap)) return;
  // Starting over empties the folder list too.
  trap.Step(104, [&] { folders_.Clear(); });
}

// ---- options ----

void Form1::Check4_Click() {
  // While the start-up restores the stored choice, the click writes nothing.
  if (IsLoading) return;
  options_.StartWithWindowsClicked();
}

void Form1::Check6_Click() { options_.StampClicked(); }

void Form1::Check8_Click() { options_.StartInTrayClicked(); }

void Form1::Option3_Click() { options_.CreateNewChosen(); }

void Form1::Option4_Click() { options_.OverwriteChosen(); }

// ---- appearance ----

void Form1::ApplySkin() {
  if (SkinPresent(services_.files, AppPath())) SetBackColor(kButtonFace);
}

void Form1::PushButton11_Click() {
  ErrorTrap trap = Trap("PushButton11_Click");
  trap.Step(100, [&] { ShowHelp(services_.dialogs); });
}

// The pointer belongs to the whole window: the hand stays over a check box, an option button
// or the progress bar until the mouse crosses a background area.
void Form1::PushButton_MouseMove() { SetMousePointer(PointerOverButton(MousePointer())); }

void Form1::Background_MouseMove() { SetMousePointer(PointerOverBackground(MousePointer())); }

}  // namespace tess
