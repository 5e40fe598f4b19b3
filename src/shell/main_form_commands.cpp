// The window's commands: each handler is one error trap, named after the handler, whose
// numbered steps call the subsystem that owns the work.
#include "appearance/help.h"
#include "appearance/pointer.h"
#include "appearance/skin.h"
#include "base/error_trap.h"
#include "base/product.h"
#include "ports/dialogs.h"
#include "schedule/pause.h"
#include "shell/main_form.h"

namespace tess {

namespace {
constexpr char kBackingUp[] = "Backing up files...";
constexpr char kProgressBarText[] = "Progress Bar";
constexpr double kStatusHoldSeconds = 5;
}  // namespace

ErrorTrap MainForm::Trap(const HandlerLabel& label) {
  return ErrorTrap(services_.dialogs, label.text);
}

// ---- folder list ----

void MainForm::OnFolderListDoubleClick() {
  // The busy pointer doubles as the busy flag: while Backup Now runs, removal does nothing.
  if (MousePointer() == Pointer::kHourglass) return;
  folders_.RemoveSelected();
}

void MainForm::OnFolderListKeyDown(Key key, int shift) {
  if (key == Key::kDelete) {
    OnFolderListDoubleClick();
  } else if ((shift & kAltMask) != 0 && (key == Key::kUp || key == Key::kDown)) {
    folders_.MoveSelected(key == Key::kUp ? -1 : 1);
  }
}

// Reordering by dragging ignores the busy pointer: a run reads each entry as it gets there.
void MainForm::OnFolderListMouseDown(int entry) {
  folders_.PressOn(entry);
  if (folders_.Reordering() && !folder_list.MouseIcon().empty()) {
    folder_list.SetMousePointer(Pointer::kCustom);
  }
}

int MainForm::OnFolderListMouseMove(const ListRows& rows) {
  OnBackgroundMouseMove();
  if (!folders_.Reordering()) return 0;
  const int entry = EntryUnderPointer(rows, folder_list.Count());
  folders_.DragOver(entry);
  return EntryToReveal(rows, entry, folder_list.Count());
}

void MainForm::OnFolderListMouseUp() {
  folders_.EndDrag();
  folder_list.SetMousePointer(Pointer::kDefault);
}

DropEffect MainForm::OnFolderListDragOver(bool offers_file_list, const OfferedEffects& allowed) {
  return ChooseDropEffect(offers_file_list, allowed);
}

// Nothing filters the paths: a file, or a folder already listed, is appended like any other.
void MainForm::OnFolderListDrop(const std::vector<std::string>& paths) {
  folders_.AddDropped(paths);
}

void MainForm::OnClearListClick() {
  ErrorTrap trap = Trap(labels::kClearListClick);
  trap.Step(100, [&] {
    if (MousePointer() == Pointer::kHourglass) return;
    folders_.Clear();
  });
}

void MainForm::OnAddFolderClick() {
  ErrorTrap trap = Trap(labels::kAddFolderClick);
  std::string chosen;
  trap.Step(100, [&] { chosen = folders_.BrowseForFolder(); });
  if (trap.Test(102, [&] { return chosen.empty(); })) return;
  trap.Step(104, [&] { folders_.Add(chosen); });
}

void MainForm::OnSamplesClick() {
  ErrorTrap trap = Trap(labels::kSamplesClick);
  samples_.Load(trap);
}

// ---- destination ----

void MainForm::OnDestinationChange() { destination_.Store(); }

void MainForm::OnDestinationGotFocus() { destination_.SelectAll(); }

void MainForm::OnBrowseClick() {
  ErrorTrap trap = Trap(labels::kBrowseClick);
  std::string chosen;
  trap.Step(100, [&] { chosen = destination_.Browse(); });
  if (trap.Test(102, [&] { return chosen.empty(); })) return;
  trap.Step(104, [&] { destination_.Set(chosen); });
}

void MainForm::OnViewFolderClick() {
  ErrorTrap trap = Trap(labels::kViewFolderClick);
  trap.Step(100, [&] { destination_.Open(); });
}

// ---- schedule ----

void MainForm::OnTimerTick() {
  ErrorTrap trap = Trap(labels::kTimerTick);
  const std::optional<RunOutcome> run = countdown_.Tick(trap);
  if (run)
    trap.Step(136, [&] { latest_outcome_.Show(run->final_status, run->Clean(), !visible_); });
}

void MainForm::OnResume() { countdown_.Resumed(); }

void MainForm::OnLatestOutcomeStored() { latest_outcome_.Reread(!visible_); }

void MainForm::RunEnded(const RunOutcome& outcome) {
  countdown_.RunEnded(outcome);
  latest_outcome_.Show(outcome.final_status, outcome.Clean(), !visible_);
}

void MainForm::OnIntervalListClick() { countdown_.IntervalChosen(); }

// A selection moved by the keyboard (arrows, Home, End, typing) must count like a click:
// otherwise the choice is not stored, and a count already past a newly chosen shorter interval
// never meets it again, so timed backups would silently stop. The view calls this only for
// changes the user makes; the start-up restore selects through the model and runs nothing.
void MainForm::OnIntervalSelected() { OnIntervalListClick(); }

void MainForm::OnAutoBackupClick() {
  ErrorTrap trap = Trap(labels::kAutoBackupClick);
  countdown_.SwitchAutoBackup(trap);
}

// Runs one backup at once under the busy pointer, leaves the run's own status in view for a
// few seconds, then puts back what the status line said before, unless that was a failure the
// run has put right.
void MainForm::OnBackupNowClick() {
  ErrorTrap trap = Trap(labels::kBackupNowClick);
  std::string before;
  trap.Step(100, [&] { before = status_frame.Caption(); });
  trap.Step(102, [&] { status_frame.SetCaption(kBackingUp); });
  trap.Step(104, [&] { SetMousePointer(Pointer::kHourglass); });
  trap.Step(106, [&] { RunEnded(countdown_.RunLendingTheBar(Attendance::kAttended)); });
  trap.Step(108, [&] { SetMousePointer(Pointer::kDefault); });
  trap.Step(110, [&] {
    progress_bar.SetValue(0);
    progress_bar.SetText(kProgressBarText);
  });
  trap.Step(112, [&] { Pause(kStatusHoldSeconds, services_.clock, services_.pump); });
  trap.Step(114, [&] { status_frame.SetCaption(countdown_.StatusToPutBack(before)); });
}

// ---- history ----

void MainForm::OnViewHistoryClick() {
  ErrorTrap trap = Trap(labels::kViewHistoryClick);
  history_.View(trap);
}

void MainForm::OnCopyHistoryClick() {
  ErrorTrap trap = Trap(labels::kCopyHistoryClick);
  history_.CopyToClipboard(trap);
}

void MainForm::OnClearHistoryClick() {
  ErrorTrap trap = Trap(labels::kClearHistoryClick);
  if (!history_.Clear(trap)) return;
  // Starting over empties the folder list too.
  trap.Step(104, [&] { folders_.Clear(); });
}

// ---- options ----

void MainForm::OnStartWithWindowsClick() {
  // While the start-up restores the stored choice, the click writes nothing.
  if (is_loading) return;
  options_.StartWithWindowsClicked();
}

void MainForm::OnStampClick() { options_.StampClicked(); }

void MainForm::OnStartInTrayClick() { options_.StartInTrayClicked(); }

void MainForm::OnCreateNewClick() { options_.CreateNewChosen(); }

void MainForm::OnOverwriteClick() { options_.OverwriteChosen(); }

void MainForm::OnKeepFewerClick() { options_.KeepFewerClicked(); }

// ---- appearance ----

void MainForm::ApplySkin() {
  if (SkinPresent(services_.files, AppPath())) SetBackColor(kButtonFace);
}

void MainForm::OnHelpClick() {
  ErrorTrap trap = Trap(labels::kHelpClick);
  trap.Step(100, [&] { ShowHelp(services_.dialogs); });
}

// The pointer belongs to the whole window: the hand stays over a check box, an option button
// or the progress bar until the mouse crosses a background area.
void MainForm::OnPushButtonMouseMove() { SetMousePointer(PointerOverButton(MousePointer())); }

void MainForm::OnBackgroundMouseMove() { SetMousePointer(PointerOverBackground(MousePointer())); }

}  // namespace tess
