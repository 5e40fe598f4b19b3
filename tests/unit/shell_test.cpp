// The window and the shell around it: a start in the tray and what may run inside it, a shell
// that has no icon yet or has lost it, a failed timed run while the window is hidden, and a
// session that may end.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/fakes.h"
#include "support/timer_ticks.h"

namespace tess::test {
namespace {

using Kind = FakeNotifyIcon::Call::Kind;

constexpr char kSource[] = "C:\\Users\\Ann\\Documents";
constexpr char kHistoryLog[] = "C:\\Users\\Ann\\Temp\\Tessaline.txt";

// One listed folder, an existing destination and the 5-second interval, so five ticks run a
// timed backup.
class ShellTest : public ::testing::Test {
 protected:
  ShellTest() {
    fakes_.files.AddFile(std::string(kSource) + "\\a.txt", "a");
    fakes_.files.AddFolder("D:\\Backups");
    fakes_.settings.values = {
        {"Folders", std::string(kSource) + ";"}, {"Path", "D:\\Backups"}, {"OftenIndex", "1"}};
  }
  MainForm& Start() {
    form_ = std::make_unique<MainForm>(fakes_.Wire());
    ticks_.Attach(*form_);
    form_->OnLoad();
    return *form_;
  }
  void Tick(int count) { ticks_.Tick(*form_, count); }
  int HistoryLines() const {
    if (!fakes_.files.IsFile(kHistoryLog)) return 0;
    const std::string text = fakes_.files.Content(kHistoryLog);
    int lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
      ++lines;
    return lines;
  }

  FakeServices fakes_;
  std::unique_ptr<MainForm> form_;
  TimerTicks ticks_{fakes_.clock};
};

TEST_F(ShellTest, ATimedRunInsideTheWaitOfAStartInTheTrayLogsToTheRealFile) {
  fakes_.settings.values["Minimized"] = "On";
  bool ticked = false;
  bool loading_in_wait = true;
  fakes_.pump.every_call = [&] {
    fakes_.clock.Advance(0.25);
    if (ticked || form_ == nullptr || !form_->tray_icon.BalloonShowing()) return;
    ticked = true;
    loading_in_wait = form_->is_loading;
    Tick(5);
  };
  MainForm& f = Start();
  ASSERT_TRUE(ticked) << "no balloon wait ran";
  EXPECT_FALSE(loading_in_wait);
  EXPECT_EQ(fakes_.copier.copies.size(), 1u);
  EXPECT_EQ(HistoryLines(), 1);
  EXPECT_TRUE(fakes_.dialogs.Errors().empty());
  EXPECT_FALSE(f.Visible());
  EXPECT_FALSE(f.is_loading);
}

// An error box of the start-up lets window events run once the timer is on.
TEST_F(ShellTest, ATimedRunInsideAnErrorBoxOfTheStartUpLogsToTheRealFile) {
  fakes_.settings.values["Backup Option"] = "not a number";
  bool ticked = false;
  fakes_.dialogs.on_box = [&](const FakeDialogs::Box&) {
    if (ticked) return;
    ticked = true;
    Tick(5);
  };
  Start();
  ASSERT_TRUE(ticked);
  EXPECT_EQ(fakes_.copier.copies.size(), 1u);
  EXPECT_EQ(HistoryLines(), 1);
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);  // the conversion, nothing from the run
  EXPECT_NE(fakes_.dialogs.Errors()[0].text.find("Form_Load at line 140"), std::string::npos);
}

// No shell takes the icon yet (a start at log-on before the desktop is up): the window must not
// hide where nothing can bring it back.
TEST_F(ShellTest, WithoutAnIconTheMinimiseStaysOnTheTaskbarAndTheIconComesWithTheShell) {
  fakes_.settings.values["Minimized"] = "On";
  fakes_.notify_icon.shell_running = false;
  MainForm& f = Start();
  EXPECT_TRUE(f.Visible());
  EXPECT_EQ(f.State(), WindowState::kMinimized);
  EXPECT_FALSE(f.tray_notice_shown);
  EXPECT_TRUE(fakes_.notify_icon.Balloons().empty());
  EXPECT_TRUE(f.tray_icon.InTray());

  fakes_.notify_icon.shell_running = true;
  fakes_.notify_icon.calls.clear();
  f.tray_icon.Dispatch(TrayEvent::kShellStarted, 0);
  ASSERT_EQ(fakes_.notify_icon.calls.size(), 1u);
  EXPECT_EQ(fakes_.notify_icon.calls[0].kind, Kind::kAdd);
  EXPECT_EQ(fakes_.notify_icon.calls[0].tip, "Tessaline");
  EXPECT_EQ(fakes_.notify_icon.calls[0].picture, fakes_.notify_icon.program_icon);
  EXPECT_TRUE(f.Visible());  // the icon's arrival moves no window

  // That minimise did not go to the tray, so the next one, with the icon there, does.
  f.SetWindowState(WindowState::kNormal);
  f.SetWindowState(WindowState::kMinimized);
  EXPECT_FALSE(f.Visible());
  EXPECT_TRUE(f.tray_notice_shown);
  ASSERT_EQ(fakes_.notify_icon.Balloons().size(), 1u);
  EXPECT_EQ(fakes_.notify_icon.Balloons()[0].title, "Tessaline");
}

// A second start of the program shows this copy's window, wherever it was, and changes nothing.
TEST_F(ShellTest, ASecondStartBringsTheWindowBackFromTheTrayOrTheTaskbar) {
  fakes_.settings.values["Minimized"] = "On";
  MainForm& f = Start();
  ASSERT_FALSE(f.Visible());
  fakes_.settings.write_log.clear();
  f.OnSecondStart();
  EXPECT_TRUE(f.Visible());
  EXPECT_EQ(f.State(), WindowState::kNormal);
  // Minimised on the taskbar (the tray took the first minimise) comes back the same way.
  f.SetWindowState(WindowState::kMinimized);
  ASSERT_TRUE(f.Visible());
  f.OnSecondStart();
  EXPECT_EQ(f.State(), WindowState::kNormal);
  EXPECT_TRUE(f.Visible());
  EXPECT_TRUE(fakes_.settings.write_log.empty());
}

// The tray tells how the latest run went: its tip on a second line, its icon with a warning
// while the run was not clean, and a balloon once when the outcome turns failed while the
// window is hidden, not again while it stays failed.
TEST_F(ShellTest, TheTrayTellsTheLatestOutcomeAndABalloonOnceWhenItTurnsFailed) {
  fakes_.settings.values["Minimized"] = "On";
  MainForm& f = Start();
  ASSERT_FALSE(f.Visible());
  ASSERT_EQ(fakes_.notify_icon.Balloons().size(), 1u);  // the notice of the start in the tray
  EXPECT_EQ(f.tray_icon.TrayTip(), "Tessaline");

  // A clean run tells nobody; the tip names it.
  Tick(5);
  EXPECT_EQ(fakes_.copier.copies.size(), 1u);
  EXPECT_EQ(fakes_.notify_icon.Balloons().size(), 1u);
  EXPECT_EQ(f.tray_icon.TrayTip().rfind("Tessaline\nAuto Backup Complete at 8/31/2021 4:05:", 0),
            0u)
      << f.tray_icon.TrayTip();
  EXPECT_EQ(f.tray_icon.Icon(), fakes_.notify_icon.program_icon);

  f.destination_box.SetText("D:\\Nowhere");
  const int pumps = fakes_.pump.calls;
  Tick(5);
  auto balloons = fakes_.notify_icon.Balloons();
  ASSERT_EQ(balloons.size(), 2u);
  EXPECT_EQ(balloons[1].title, "Tessaline");
  EXPECT_EQ(balloons[1].text, "D:\\Nowhere does not exist");
  EXPECT_EQ(balloons[1].timeout_ms, 0u);  // the shell's own time: the tick does not wait
  EXPECT_LT(fakes_.pump.calls - pumps, 10);
  EXPECT_EQ(f.tray_icon.TrayTip(), "Tessaline\nD:\\Nowhere does not exist");
  EXPECT_EQ(f.tray_icon.Icon(), fakes_.notify_icon.warning_icon);

  // Still failing, now with folders with errors: the tip changes, no second balloon.
  f.destination_box.SetText("D:\\Backups");
  fakes_.files.AddFile(std::string(kSource) + "\\b.txt", "b");
  fakes_.files.locked.insert(FakeFileSystem::Key(std::string(kSource) + "\\b.txt"));
  Tick(5);
  EXPECT_EQ(fakes_.notify_icon.Balloons().size(), 2u);
  EXPECT_NE(f.tray_icon.TrayTip().find(" with errors in 1 of 1 folders"), std::string::npos);
  EXPECT_EQ(f.tray_icon.Icon(), fakes_.notify_icon.warning_icon);

  // Clean again, then failing again: one more balloon.
  fakes_.files.locked.clear();
  Tick(5);
  EXPECT_EQ(f.tray_icon.Icon(), fakes_.notify_icon.program_icon);
  const auto change_locked_file = [&] {
    fakes_.files.locked.clear();
    fakes_.files.AddFile(std::string(kSource) + "\\b.txt", "changed");
    fakes_.files.locked.insert(FakeFileSystem::Key(std::string(kSource) + "\\b.txt"));
  };
  change_locked_file();
  Tick(5);
  balloons = fakes_.notify_icon.Balloons();
  ASSERT_EQ(balloons.size(), 3u);
  EXPECT_NE(balloons[2].text.find("with errors"), std::string::npos);

  // In view, the status line says it: no balloon. The outcome is kept for the next start.
  fakes_.files.locked.clear();
  Tick(5);
  f.tray_icon.Dispatch(TrayEvent::kLeftButtonUp, 0);
  ASSERT_TRUE(f.Visible());
  change_locked_file();
  Tick(5);
  EXPECT_EQ(fakes_.notify_icon.Balloons().size(), 3u)
      << f.status_frame.Caption() << fakes_.copier.copies.size();
  EXPECT_TRUE(fakes_.dialogs.Errors().empty());
  EXPECT_EQ(fakes_.settings.values["Latest Backup Clean"], "Off")
      << f.status_frame.Caption() << " " << fakes_.copier.copies.size() << " "
      << fakes_.settings.values["Latest Backup Status"];
  EXPECT_EQ("Tessaline\n" + fakes_.settings.values["Latest Backup Status"], f.tray_icon.TrayTip());
}

// A run from the command line beside the window stores its outcome and says so: the tray shows
// it as it would the window's own run, balloon once included.
TEST_F(ShellTest, AnOutcomeStoredBesideTheWindowIsShownAtOnce) {
  fakes_.settings.values["Minimized"] = "On";
  MainForm& f = Start();
  const size_t balloons = fakes_.notify_icon.Balloons().size();
  for (const bool clean : {false, false, true}) {
    const std::string status = clean ? "Auto Backup Complete" : "D:\\Nowhere does not exist";
    fakes_.settings.values["Latest Backup Status"] = status;
    fakes_.settings.values["Latest Backup Clean"] = clean ? "On" : "Off";
    f.OnLatestOutcomeStored();
    EXPECT_EQ(f.tray_icon.TrayTip(), "Tessaline\n" + status);
    EXPECT_EQ(f.tray_icon.Icon(),
              clean ? fakes_.notify_icon.program_icon : fakes_.notify_icon.warning_icon);
    EXPECT_EQ(fakes_.notify_icon.Balloons().size(), balloons + 1);
  }
  EXPECT_EQ(fakes_.notify_icon.Balloons().back().text, "D:\\Nowhere does not exist");
}

// Another program may still cancel the shutdown: the query stores the list and changes nothing
// else, so the countdown and the icon carry on.
TEST_F(ShellTest, TheQueryBeforeASessionEndsStoresTheListAndStopsNothing) {
  MainForm& f = Start();
  f.folder_list.Append("E:\\More");
  fakes_.notify_icon.calls.clear();
  const int pumps = fakes_.pump.calls;
  f.OnQueryEndSession();
  EXPECT_EQ(fakes_.settings.values["Folders"], std::string(kSource) + ";E:\\More;");
  EXPECT_EQ(f.timer.Interval(), 1000);
  EXPECT_TRUE(f.tray_icon.InTray());
  EXPECT_TRUE(fakes_.notify_icon.calls.empty());
  EXPECT_EQ(fakes_.pump.calls, pumps);
  EXPECT_FALSE(f.Unloaded());
  Tick(5);
  EXPECT_EQ(fakes_.copier.copies.size(), 1u);

  fakes_.settings.fail_writes = true;
  f.OnQueryEndSession();
  ASSERT_EQ(fakes_.dialogs.Errors().size(), 1u);
  EXPECT_NE(fakes_.dialogs.Errors()[0].text.find("Form_QueryEndSession at line 102"),
            std::string::npos);
}

}  // namespace
}  // namespace tess::test
