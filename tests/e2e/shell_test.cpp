// The program and the desktop's shell around it: a shutdown that another program cancels, a
// shell that restarts while the window is hidden in the tray, and the window's place on a small
// screen at a high DPI.
#include <gtest/gtest.h>

#include <string>

#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"
#include "win_support/notification_area.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

class ShellE2eTest : public EndToEndTest {};

// The screen's density for programs started from now on (Wine reads it as a program starts),
// put back as it was when the test ends.
class ScreenDensity {
 public:
  explicit ScreenDensity(DWORD dpi) {
    RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
    DWORD size = sizeof(before_);
    had_value_ = RegQueryValueExW(key_, kValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&before_),
                                  &size) == ERROR_SUCCESS;
    set_ = RegSetValueExW(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                          sizeof(dpi)) == ERROR_SUCCESS;
  }
  ~ScreenDensity() {
    if (had_value_) {
      RegSetValueExW(key_, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before_),
                     sizeof(before_));
    } else {
      RegDeleteValueW(key_, kValue);
    }
    RegCloseKey(key_);
  }
  ScreenDensity(const ScreenDensity&) = delete;
  ScreenDensity& operator=(const ScreenDensity&) = delete;
  bool Set() const { return set_; }

 private:
  static constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
  static constexpr wchar_t kValue[] = L"LogPixels";
  HKEY key_ = nullptr;
  DWORD before_ = 0;
  bool had_value_ = false;
  bool set_ = false;
};

TEST_F(ShellE2eTest, AShutdownAnotherProgramCancelsLeavesTheWindowTheCountdownAndTheIcon) {
  SeedSetting(L"Folders", L"C:\\A;C:\\B");
  SeedSetting(L"OftenIndex", L"4");  // every minute: the countdown text changes every tick
  App& app = StartProgram();
  ASSERT_TRUE(WaitUntil([&] { return TrayHasIcon(app.Main()); }));

  EXPECT_EQ(app.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  // What the close would store is stored already, in case the session does end.
  EXPECT_TRUE(SettingBecomes(L"Folders", L"C:\\A;C:\\B;"));
  app.Send(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  ASSERT_TRUE(app.Settle());

  EXPECT_TRUE(app.Running());
  EXPECT_TRUE(app.MainVisible());
  EXPECT_TRUE(TrayHasIcon(app.Main()));
  const std::wstring before = app.Text(kIdStatusFrame);
  EXPECT_TRUE(
      WaitUntil([&] { return app.Text(kIdStatusFrame) != before; }, std::chrono::seconds(5)))
      << "the countdown stopped at " << before;
  EXPECT_EQ(app.Text(kIdStatusFrame).rfind(L"Next backup will occur in 00:0", 0), 0u);

  // The session that does end stores the list and ends the program.
  app.SelectListItem(kIdFolderList, 0);
  app.KeyDown(kIdFolderList, VK_DELETE);
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 1; }));
  ASSERT_NO_FATAL_FAILURE(EndTheSession(app));
  EXPECT_EQ(ReadSetting(L"Folders"), L"C:\\B;");
}

// A restarting shell loses every icon and then announces itself to every program. The window
// hidden in the tray must get its icon back, and the icon must still bring the window back.
TEST_F(ShellE2eTest, AfterTheShellRestartsTheIconIsBackAndBringsTheHiddenWindowBack) {
  SeedSetting(L"Minimized", L"On");
  App app;
  const HWND main = app.WaitForHiddenMainWindow();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return TrayHasIcon(main); }));
  ASSERT_EQ(TrayIconsShown().size(), 1u);
  EXPECT_EQ(TrayIconsShown()[0].tip, L"Tessaline");

  ASSERT_TRUE(DropTrayIcon(main));
  ASSERT_FALSE(TrayHasIcon(main));
  EXPECT_TRUE(TrayIconsShown().empty());

  AnnounceShellStarted();
  ASSERT_TRUE(WaitUntil([&] { return TrayHasIcon(main); })) << "the icon did not come back";
  ASSERT_TRUE(WaitUntil([&] { return TrayIconsShown().size() == 1u; }));
  const TrayIconSeen icon = TrayIconsShown()[0];
  EXPECT_EQ(icon.tip, L"Tessaline");
  EXPECT_TRUE(WaitUntil([&] { return ColoursOf(icon) > 2; }))
      << "the icon came back without its picture";
  EXPECT_FALSE(IsWindowVisible(main));

  // A click on the icon, as the shell passes it on, brings the window back.
  ClickTrayIcon(icon);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) && !IsIconic(main); }));
}

// At 144 DPI the window is wider than a 1280-pixel screen: it starts from the work area's
// corner, its caption bar whole on the screen, with letters and places at that density.
TEST_F(ShellE2eTest, AtAHighDensityOnASmallScreenTheWholeCaptionBarIsOnTheScreen) {
  const int dpi = 144;
  const ScreenDensity density(dpi);
  ASSERT_TRUE(density.Set());
  App& app = StartProgram();
  const HWND main = app.Main();

  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  RECT outer = {};
  GetWindowRect(main, &outer);
  RECT client = {};
  GetClientRect(main, &client);
  POINT client_corner{0, 0};
  ClientToScreen(main, &client_corner);
  const int caption_bottom = client_corner.y;
  ASSERT_GT(Px(15960, dpi) + (outer.right - outer.left - client.right),
            work.right - work.left);  // too wide to fit
  EXPECT_EQ(outer.left, work.left);
  EXPECT_EQ(outer.top, work.top);
  EXPECT_LE(outer.right, work.right);
  EXPECT_LE(caption_bottom, work.bottom);

  EXPECT_NEAR(client.bottom, Px(5865, dpi), 1);
  const Place button = app.PlaceOf(kIdAddFolderButton);
  EXPECT_NEAR(button.left, Px(120, dpi), 1);
  EXPECT_NEAR(button.top, Px(2685, dpi), 1);
  EXPECT_NEAR(button.height, Px(405, dpi), 1);

  // The close button is on the screen: the caption's right end answers as the close button.
  const POINT close_box{client_corner.x + client.right - 6, (outer.top + caption_bottom) / 2};
  EXPECT_LT(close_box.x, work.right);
  EXPECT_EQ(SendWithin(main, WM_NCHITTEST, 0, MAKELPARAM(close_box.x, close_box.y)), HTCLOSE);
}

}  // namespace
}  // namespace tess::e2e
