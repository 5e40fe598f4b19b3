// The window view and the desktop around it, in the test's own process over test doubles: the
// end of a session and a cancelled one, a shell that announces itself, a change of DPI, and
// where the window goes on a monitor it does not fit.
// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <gtest/gtest.h>

#include "main_window_fixture.h"
#include "support/fakes.h"
#include "view/control_ids.h"
#include "view/main_window.h"
#include "view/window_placement.h"
#include "win32/win_event_pump.h"

namespace tess::view {
namespace {

using test::FakeNotifyIcon;

// Each test seeds the settings and the doubles first, then starts the window.
class WindowShellTest : public MainWindowTest {
 protected:
  void SetUp() override {}
  int Count(FakeNotifyIcon::Call::Kind kind) const {
    int n = 0;
    for (const auto& call : fakes_.notify_icon.calls) n += call.kind == kind;
    return n;
  }
  static RECT PlaceOf(HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }
  static LONG FontHeightOf(HWND control) {
    LOGFONTW font = {};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof(font), &font);
    return font.lfHeight;
  }
};

TEST_F(WindowShellTest, ACancelledSessionEndLeavesEverythingRunningAndARealOneCloses) {
  Start();
  form_->folder_list.Append("C:\\A");
  const HWND main = Main();

  EXPECT_EQ(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  EXPECT_EQ(fakes_.settings.values["Folders"], "C:\\A;");
  SendMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(IsWindow(main));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_FALSE(form_->Unloaded());
  EXPECT_EQ(form_->timer.Interval(), 1000);
  EXPECT_TRUE(form_->tray_icon.InTray());
  EXPECT_EQ(Count(FakeNotifyIcon::Call::Kind::kRemove), 0);
  MSG msg;
  EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  // The window's timer still ticks into the model: a second later the count is a second on.
  const int ticks = form_->Schedule().ElapsedSeconds();
  fakes_.clock.Advance(1);
  SendMessageW(main, WM_TIMER, kTimerId, 0);
  EXPECT_EQ(form_->Schedule().ElapsedSeconds(), ticks + 1);

  form_->folder_list.Append("D:\\B");
  EXPECT_EQ(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(fakes_.settings.values["Folders"], "C:\\A;D:\\B;");
  EXPECT_TRUE(form_->Unloaded());
  EXPECT_FALSE(form_->tray_icon.InTray());
  EXPECT_FALSE(IsWindow(main));
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// At log-on the program may start before the shell: the icon cannot be added, so a start in
// the tray goes to the taskbar, and the icon comes when the shell says it has started.
TEST_F(WindowShellTest, WithoutAShellTheStartInTheTrayGoesToTheTaskbarUntilTheShellComes) {
  fakes_.settings.values["Minimized"] = "On";
  fakes_.notify_icon.shell_running = false;
  Start();
  EXPECT_TRUE(IsWindowVisible(Main()));
  EXPECT_TRUE(IsIconic(Main()));
  EXPECT_FALSE(form_->tray_icon.IconShown());

  fakes_.notify_icon.shell_running = true;
  fakes_.notify_icon.calls.clear();
  SendMessageW(Main(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_EQ(fakes_.notify_icon.calls.size(), 1u);
  EXPECT_EQ(fakes_.notify_icon.calls[0].kind, FakeNotifyIcon::Call::Kind::kAdd);
  EXPECT_EQ(fakes_.notify_icon.calls[0].tip, "Tessaline");
  EXPECT_EQ(fakes_.notify_icon.calls[0].picture, fakes_.notify_icon.program_icon);
  EXPECT_TRUE(form_->tray_icon.IconShown());
  EXPECT_TRUE(IsWindowVisible(Main()));
}

TEST_F(WindowShellTest, ADpiChangeScalesLettersAndPlacesAndTakesTheSuggestedRectangle) {
  Start();
  const int dpi = window_->Dpi();
  const int new_dpi = dpi * 3 / 2;
  // Any rectangle the screen holds: the window takes it whatever its own size would be.
  const RECT suggested{40, 30, 1240, 730};
  SendMessageW(Main(), WM_DPICHANGED, MAKEWPARAM(new_dpi, new_dpi),
               reinterpret_cast<LPARAM>(&suggested));

  EXPECT_EQ(window_->Dpi(), new_dpi);
  RECT now = {};
  GetWindowRect(Main(), &now);
  EXPECT_EQ(now.left, suggested.left);
  EXPECT_EQ(now.top, suggested.top);
  EXPECT_EQ(now.right, suggested.right);
  EXPECT_EQ(now.bottom, suggested.bottom);

  EXPECT_EQ(FontHeightOf(window_->Control(kIdStartInTrayBox)), -MulDiv(900, new_dpi, 7200));
  EXPECT_EQ(FontHeightOf(window_->Control(kIdBackupNowButton)), -MulDiv(1125, new_dpi, 7200));
  const RECT button = PlaceOf(window_->Control(kIdBackupNowButton));
  EXPECT_EQ(button.left, MulDiv(12000, new_dpi, 1440));
  EXPECT_EQ(button.top, MulDiv(4350, new_dpi, 1440));
  EXPECT_EQ(button.right - button.left, MulDiv(3840, new_dpi, 1440));
  const RECT option = PlaceOf(window_->Control(kIdOverwriteOption));
  EXPECT_EQ(option.left, MulDiv(120, new_dpi, 1440) + MulDiv(225, new_dpi, 1440));
  const HWND list = window_->Control(kIdIntervalList);
  EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), MulDiv(7000, new_dpi, 1440));
}

TEST(WindowPlacementTest, CentredWhenItFitsElseFromTheTopLeftCornerAndNeverWiderThanTheArea) {
  const RECT work{0, 0, 1280, 770};
  const struct {
    SIZE window;
    RECT expected;
  } cases[] = {
      {{1080, 420}, {100, 175, 1180, 595}},  // fits: centred
      {{1280, 770}, {0, 0, 1280, 770}},      // fits exactly
      {{1612, 640}, {0, 0, 1280, 640}},      // too wide: from the corner, cut to the area
      {{1000, 900}, {0, 0, 1000, 900}},      // too tall: from the corner, its caption on top
  };
  for (const auto& c : cases) {
    const RECT place = PlaceInWorkArea(c.window, work);
    EXPECT_EQ(place.left, c.expected.left) << c.window.cx << "x" << c.window.cy;
    EXPECT_EQ(place.top, c.expected.top);
    EXPECT_EQ(place.right, c.expected.right);
    EXPECT_EQ(place.bottom, c.expected.bottom);
  }
  // A work area that does not start at the screen's corner (a taskbar on the left, a second
  // monitor): the same rules inside it.
  const RECT beside{-1920 + 60, 40, 0, 1080};
  const RECT wide = PlaceInWorkArea(SIZE{2400, 700}, beside);
  EXPECT_EQ(wide.left, beside.left);
  EXPECT_EQ(wide.top, beside.top);
  EXPECT_EQ(wide.right, beside.right);
  const RECT small = PlaceInWorkArea(SIZE{1000, 600}, beside);
  EXPECT_EQ(small.left, beside.left + (1860 - 1000) / 2);
  EXPECT_EQ(small.top, 40 + (1040 - 600) / 2);
}

}  // namespace
}  // namespace tess::view
