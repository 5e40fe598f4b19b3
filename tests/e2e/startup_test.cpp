// The real program, started with no settings and with damaged ones: what the window shows,
// where every control sits, and what the settings hold after the window is closed.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

// The window's design: places in twips, inside a frame relative to the frame.
struct Designed {
  int id;
  const wchar_t* name;
  int left, top, width, height;
  int frame;            // 0 when on the window itself
  const wchar_t* text;  // nullptr for lists
};

const Designed kDesign[] = {
    {kIdStatusFrame, L"status frame", 120, 60, 7800, 850, 0, L"Next backup will occur in xx:xx:xx"},
    {kIdProgressBar, L"progress bar", 240, 300, 7320, 405, kIdStatusFrame, L""},
    {kIdFolderList, L"folder list", 120, 1020, 7800, 1575, 0, nullptr},
    {kIdAddFolderButton, L"Add Folder", 120, 2685, 7800, 405, 0, L"Add Folder"},
    {kIdClearListButton, L"Clear List", 120, 3195, 3840, 405, 0, L"Clear List"},
    {kIdSamplesButton, L"samples button", 4080, 3195, 3840, 405, 0, L"Load Sample/Example Folders"},
    {kIdOptionsFrame, L"options frame", 120, 3675, 7800, 2080, 0, L"Options"},
    {kIdCreateNewOption, L"create new option", 240, 300, 4455, 255, kIdOptionsFrame,
     L"Create new folder on backup"},
    {kIdOverwriteOption, L"overwrite option", 225, 650, 3840, 255, kIdOptionsFrame,
     L"Overwrite old backup folder on backup"},
    {kIdStampBox, L"stamp box", 240, 1000, 3810, 255, kIdOptionsFrame,
     L"Date/Time stamp in folder"},
    {kIdStartWithWindowsBox, L"start with Windows box", 240, 1350, 3690, 255, kIdOptionsFrame,
     L"Load this software on Windows startup"},
    {kIdStartInTrayBox, L"start in tray box", 240, 1700, 2100, 255, kIdOptionsFrame,
     L"Start in system tray"},
    {kIdKeepFewerBox, L"keep fewer box", 4200, 1000, 3480, 255, kIdOptionsFrame,
     L"Keep fewer old backup folders"},
    {kIdIntervalList, L"interval list", 8040, 120, 7800, 2790, 0, nullptr},
    {kIdDestinationFrame, L"destination frame", 8040, 2940, 7800, 1300, 0,
     L"Save All Backups To This Folder"},
    {kIdDestinationBox, L"destination box", 240, 300, 6615, 345, kIdDestinationFrame, nullptr},
    {kIdBrowseButton, L"browse button", 6960, 300, 600, 345, kIdDestinationFrame, L"..."},
    {kIdViewFolderButton, L"View This Folder", 240, 750, 7320, 405, kIdDestinationFrame,
     L"View This Folder"},
    {kIdAutoBackupButton, L"auto backup button", 8040, 4350, 3840, 405, 0, L"Turn Off Auto Backup"},
    {kIdBackupNowButton, L"Backup Now", 12000, 4350, 3840, 405, 0, L"Backup Now (Test)"},
    {kIdViewHistoryButton, L"View History Log", 8040, 4860, 3840, 405, 0, L"View History Log"},
    {kIdCopyHistoryButton, L"Copy History", 12000, 4860, 3840, 405, 0,
     L"Copy History To Clipboard"},
    {kIdHelpButton, L"Help", 8040, 5370, 3840, 405, 0, L"Help"},
    {kIdClearHistoryButton, L"Clear History Log", 12000, 5370, 3840, 405, 0, L"Clear History Log"},
};

const Designed& DesignOf(int id) {
  for (const auto& d : kDesign) {
    if (d.id == id) return d;
  }
  return kDesign[0];
}

const wchar_t* const kIntervals[] = {
    L"Backup every 5 seconds",  L"Backup every 10 seconds", L"Backup every 30 seconds",
    L"Backup every 1 minute",   L"Backup every 5 minutes",  L"Backup every 10 minutes",
    L"Backup every 15 minutes", L"Backup every 20 minutes", L"Backup every 30 minutes",
    L"Backup every 1 hour",     L"Backup every 2 hours",    L"Backup every 4 hours",
    L"Backup every 8 hours",    L"Backup every 16 hours",   L"Backup every 24 hours"};

class StartupE2eTest : public EndToEndTest {};

TEST_F(StartupE2eTest, FreshStartShowsTheDesignedWindowAndClosingStoresTheDefaults) {
  App& app = StartProgram();
  const HWND main = app.Main();
  const int dpi = app.Dpi();

  // Fixed single border with a minimise box only, client area as designed, centred.
  const LONG style = GetWindowLongW(main, GWL_STYLE);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  RECT client = {};
  GetClientRect(main, &client);
  EXPECT_NEAR(client.right, Px(15960, dpi), 1);
  EXPECT_NEAR(client.bottom, Px(5865, dpi), 1);
  RECT outer = {};
  GetWindowRect(main, &outer);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTOPRIMARY), &monitor);
  EXPECT_NEAR((outer.left + outer.right) / 2, (monitor.rcWork.left + monitor.rcWork.right) / 2, 2);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, (monitor.rcWork.top + monitor.rcWork.bottom) / 2, 2);

  for (const auto& d : kDesign) {
    SCOPED_TRACE(d.name);
    ASSERT_NE(app.Control(d.id), nullptr);
    EXPECT_TRUE(app.Visible(d.id));
    EXPECT_TRUE(app.Enabled(d.id));
    int left = Px(d.left, dpi);
    int top = Px(d.top, dpi);
    if (d.frame != 0) {
      left += Px(DesignOf(d.frame).left, dpi);
      top += Px(DesignOf(d.frame).top, dpi);
    }
    const Place place = app.PlaceOf(d.id);
    EXPECT_NEAR(place.left, left, 1);
    EXPECT_NEAR(place.top, top, 1);
    EXPECT_NEAR(place.width, Px(d.width, dpi), 1);
    EXPECT_NEAR(place.height, Px(d.height, dpi), 1);
    if (d.text != nullptr) {
      const std::wstring text = app.Text(d.id);
      // The countdown runs from the start: on a busy machine its first tick may already have
      // put the time left where the design's placeholder stood.
      if (text != d.text && std::wstring(d.text).ends_with(L"xx:xx:xx")) {
        const std::wstring stem(d.text, std::wcslen(d.text) - 8);
        EXPECT_TRUE(text.starts_with(stem) && text.size() == stem.size() + 8 &&
                    text.compare(stem.size(), 4, L"00:1") == 0)
            << "neither the placeholder nor the first seconds of the countdown: "
            << std::string(text.begin(), text.end());
      } else {
        EXPECT_EQ(text, d.text);
      }
    }
  }

  EXPECT_EQ(app.CheckState(kIdCreateNewOption), BST_CHECKED);
  EXPECT_EQ(app.CheckState(kIdOverwriteOption), BST_UNCHECKED);
  EXPECT_EQ(app.CheckState(kIdStampBox), BST_CHECKED);
  EXPECT_EQ(app.CheckState(kIdStartWithWindowsBox), BST_UNCHECKED);
  EXPECT_EQ(app.CheckState(kIdStartInTrayBox), BST_UNCHECKED);
  EXPECT_EQ(app.CheckState(kIdKeepFewerBox), BST_UNCHECKED);

  int width = 0;
  EXPECT_EQ(app.ListColumn(kIdFolderList, &width), L"Folder(s) To Backup");
  EXPECT_NEAR(width, Px(7000, dpi), 1);
  EXPECT_TRUE(app.ListItems(kIdFolderList).empty());
  EXPECT_EQ(app.ToolTipOf(kIdFolderList),
            L"Drag and drop files here. Double-click item to remove it. Move | line to right and "
            L"out of window to reveal full names.");
  EXPECT_EQ(app.ToolTipOf(kIdIntervalList), L"");
  EXPECT_EQ(app.ListColumn(kIdIntervalList, &width), L"How often would you like to backup?");
  EXPECT_NEAR(width, Px(7000, dpi), 1);
  const auto intervals = app.ListItems(kIdIntervalList);
  ASSERT_EQ(intervals.size(), 15u);
  for (size_t i = 0; i < intervals.size(); ++i) EXPECT_EQ(intervals[i], kIntervals[i]);
  EXPECT_EQ(app.ListSelection(kIdIntervalList), 6);  // entry 7, "Backup every 15 minutes"

  const std::wstring desktop = DesktopFolder();
  ASSERT_GT(desktop.size(), 1u);
  EXPECT_EQ(app.Text(kIdDestinationBox), desktop);

  // The margin left of the Options frame shows the window's own white background.
  EXPECT_EQ(app.PixelAt(POINT{3, Px(4500, dpi)}), RGB(255, 255, 255));

  const int colours = app.SaveScreenshot(ArtefactFolder() + L"\\fresh-start.bmp");
  EXPECT_GT(colours, 8) << "the captured window looks blank";

  app.Close();
  ASSERT_TRUE(app.WaitForExit());
  EXPECT_EQ(ReadSetting(L"Path"), desktop);
  EXPECT_EQ(ReadSetting(L"Backup Option"), L"1");
  EXPECT_EQ(ReadSetting(L"Include Date"), L"On");
  EXPECT_EQ(ReadSetting(L"Folders"), L"");
  EXPECT_EQ(ReadSetting(L"OftenIndex"), std::nullopt);
}

TEST_F(StartupE2eTest, DamagedSettingsAreReportedAndTheWindowStillAppears) {
  SeedSetting(L"OftenIndex", L"x");
  SeedSetting(L"StartStopState", L"Off");
  App app;

  // A non-numeric interval index fails twice: the conversion, then the selection.
  const HWND first = app.WaitForMessageBox();
  ASSERT_NE(first, nullptr) << "no Application Error box appeared";
  EXPECT_EQ(app.Text(first), L"Application Error");
  EXPECT_EQ(app.MessageBoxText(first),
            L"Type mismatch\r\nin Tessaline2021/08/31.Form1.Form_Load at line 124\r\r"
            L"Please email screenshot of this message to support@tessaline.example");
  app.PressButton(first, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(first); }));

  const HWND second = app.WaitForMessageBox();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(app.MessageBoxText(second).find(L"Form_Load at line 126"), std::wstring::npos);
  app.PressButton(second, IDOK);

  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  EXPECT_EQ(app.FindMessageBox(), nullptr);
  EXPECT_EQ(app.ListItems(kIdIntervalList).size(), 15u);
  EXPECT_EQ(app.ListSelection(kIdIntervalList), -1);
  EXPECT_EQ(app.Text(kIdStatusFrame), L"Auto Backup is Turned Off.");
  EXPECT_EQ(app.Text(kIdAutoBackupButton), L"Turn On Auto Backup");
}

// The skin file beside the program switches the backgrounds to the button-face colour.
TEST_F(StartupE2eTest, WithTheSkinFileTheBackgroundsTakeTheButtonFaceColour) {
  const std::wstring folder = ProgramFolder() + L"\\x";
  const std::wstring skin = folder + L"\\o.cjs";
  CreateDirectoryW(folder.c_str(), nullptr);
  struct Remove {
    std::wstring file, folder;
    ~Remove() {
      DeleteFileW(file.c_str());
      RemoveDirectoryW(folder.c_str());
    }
  } remove{skin, folder};
  CloseHandle(CreateFileW(skin.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
  App& app = StartProgram();
  EXPECT_EQ(app.PixelAt(POINT{3, Px(4500, app.Dpi())}), GetSysColor(COLOR_BTNFACE));
}

TEST_F(StartupE2eTest, AHugeStoredPathIsShownWholeAndWrittenBackUnchanged) {
  const std::wstring path = L"D:\\" + std::wstring(1 << 20, L'x');
  SeedSetting(L"Path", path);
  App& app = StartProgram();
  EXPECT_EQ(app.Text(kIdDestinationBox), path);
  app.Close();
  ASSERT_TRUE(app.WaitForExit());
  EXPECT_EQ(ReadSetting(L"Path"), path);
}

}  // namespace
}  // namespace tess::e2e
