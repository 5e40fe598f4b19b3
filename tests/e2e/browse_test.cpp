// Choosing folders with the shell's folder-browse dialog, typing the destination, and opening
// it in the file manager, all through the real program's windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/browse_driver.h"
#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"
#include "win_support/new_windows.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using Folders = std::vector<std::wstring>;

// Blanks, letters outside the ANSI code page and a name longer than 8.3: the dialog, the list
// and the registry must all carry it unchanged.
const wchar_t kChosenName[] = L"tess browse \u00e4\u00f6\u00df \u03a9\u03bc\u03ad\u03b3\u03b1";
// The shell's name of My Computer, a folder without a file-system path.
const wchar_t kMyComputer[] = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

class BrowseE2eTest : public EndToEndTest {
 protected:
  // The main window takes input again once the dialog is gone.
  static bool MainEnabledAgain(const App& app) {
    return WaitUntil([&] { return IsWindowEnabled(app.Main()) != FALSE; });
  }

  // Presses a button that opens the browse dialog and checks that the dialog is modal to
  // the main window. A user can press only once the window takes input again; a click sent
  // while the last dialog is still closing would open a second one inside the first.
  static BrowseDialog Open(App& app, int button_id) {
    EXPECT_TRUE(MainEnabledAgain(app)) << "the last dialog never let the window go";
    app.Click(button_id);
    BrowseDialog dialog = BrowseDialog::WaitFor(app);
    if (dialog.Valid()) {
      EXPECT_EQ(dialog.Owner(), app.Main());
      EXPECT_FALSE(IsWindowEnabled(app.Main()));
    }
    return dialog;
  }

  // Opens the dialog with the button, selects the folder and confirms it.
  static void Choose(App& app, int button_id, const std::wstring& path) {
    const BrowseDialog dialog = Open(app, button_id);
    ASSERT_TRUE(dialog.Valid());
    ASSERT_TRUE(dialog.Select(path));
    ASSERT_TRUE(dialog.Confirm());
  }

  static bool HasLabel(const BrowseDialog& dialog, const std::wstring& text) {
    for (const auto& label : dialog.Labels()) {
      if (label == text) return true;
    }
    return false;
  }

  TempTree tree_;  // real folders for the dialogs to show, removed when the test ends
};

TEST_F(BrowseE2eTest, AddFolderAppendsEachChosenFolderAndCancelAddsNothing) {
  const std::wstring chosen = tree_.MadeFolder(kChosenName);
  SeedSetting(L"Folders", L"C:\\A;");
  App& app = StartProgram();

  BrowseDialog dialog = Open(app, kIdAddFolderButton);
  ASSERT_TRUE(dialog.Valid()) << "Add Folder showed no browse dialog";
  EXPECT_TRUE(HasLabel(dialog, L"Browse for folder:"));
  ASSERT_TRUE(dialog.Select(chosen));
  ASSERT_TRUE(dialog.Confirm());
  EXPECT_TRUE(MainEnabledAgain(app));
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 2; }));
  EXPECT_EQ(app.ListItems(kIdFolderList), (Folders{L"C:\\A", chosen}));
  EXPECT_TRUE(SettingBecomes(L"Folders", L"C:\\A;" + chosen + L";"));

  // Cancel throws away whatever was selected.
  dialog = Open(app, kIdAddFolderButton);
  ASSERT_TRUE(dialog.Valid());
  ASSERT_TRUE(dialog.Select(TempFolder()));
  ASSERT_TRUE(dialog.Cancel());
  EXPECT_TRUE(MainEnabledAgain(app));
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.ListItems(kIdFolderList), (Folders{L"C:\\A", chosen}));
  EXPECT_EQ(ReadSetting(L"Folders"), L"C:\\A;" + chosen + L";");

  // The same folder again is appended again, and a drive root keeps its backslash.
  for (const std::wstring& path : {chosen, std::wstring(L"C:\\")}) {
    ASSERT_NO_FATAL_FAILURE(Choose(app, kIdAddFolderButton, path));
  }
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 4; }));
  EXPECT_EQ(app.ListItems(kIdFolderList), (Folders{L"C:\\A", chosen, chosen, L"C:\\"}));
  const std::wstring stored = L"C:\\A;" + chosen + L";" + chosen + L";C:\\;";
  EXPECT_TRUE(SettingBecomes(L"Folders", stored));

  // A folder with no file-system path cannot be confirmed; forced, it still adds nothing.
  dialog = Open(app, kIdAddFolderButton);
  ASSERT_TRUE(dialog.Valid());
  ASSERT_TRUE(dialog.SelectShownAs(kMyComputer, L"My Computer"));
  EXPECT_FALSE(dialog.OkEnabled());
  if (!dialog.Confirm()) ASSERT_TRUE(dialog.Cancel());
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.ListCount(kIdFolderList), 4);
  EXPECT_EQ(ReadSetting(L"Folders"), stored);
  EXPECT_EQ(app.FindMessageBox(), nullptr) << app.MessageBoxText(app.FindMessageBox());
}

TEST_F(BrowseE2eTest, ChosenFoldersComeBackAfterTheProgramIsKilled) {
  const Folders chosen{tree_.MadeFolder(kChosenName), tree_.MadeFolder(L"tess;browse")};
  {
    App& app = StartProgram();
    for (const std::wstring& path : chosen) {
      ASSERT_NO_FATAL_FAILURE(Choose(app, kIdAddFolderButton, path));
    }
    ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 2; }));
    ASSERT_TRUE(app.Settle());
    // No close request: whatever was added must already be stored.
    app.Kill();
  }
  App& app = StartProgram();
  EXPECT_EQ(app.ListItems(kIdFolderList), chosen);
}

TEST_F(BrowseE2eTest, DestinationChooserFillsTheBoxAndPathUnlessCancelled) {
  const std::wstring chosen = tree_.MadeFolder(kChosenName);
  SeedSetting(L"Path", L"D:\\Before");
  App& app = StartProgram();

  // Without "LastFolder" nothing is preselected.
  BrowseDialog dialog = Open(app, kIdBrowseButton);
  ASSERT_TRUE(dialog.Valid()) << "\"...\" showed no browse dialog";
  EXPECT_TRUE(HasLabel(dialog, L"Please select folder:"));
  EXPECT_EQ(dialog.SelectedChain(), Folders{});
  ASSERT_TRUE(dialog.Select(chosen));
  ASSERT_TRUE(dialog.Cancel());
  EXPECT_TRUE(MainEnabledAgain(app));
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.Text(kIdDestinationBox), L"D:\\Before");
  EXPECT_EQ(ReadSetting(L"Path"), L"D:\\Before");

  ASSERT_NO_FATAL_FAILURE(Choose(app, kIdBrowseButton, chosen));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(kIdDestinationBox) == chosen; }));
  EXPECT_TRUE(SettingBecomes(L"Path", chosen));

  ASSERT_NO_FATAL_FAILURE(Choose(app, kIdBrowseButton, L"C:\\"));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(kIdDestinationBox) == L"C:\\"; }));
  EXPECT_TRUE(SettingBecomes(L"Path", L"C:\\"));
  // The chooser never remembers its choice for next time.
  EXPECT_EQ(ReadSetting(L"LastFolder"), std::nullopt);
}

TEST_F(BrowseE2eTest, DestinationChooserStartsAtLastFolderAndCopesWithAMissingOne) {
  const std::wstring start = tree_.MadeFolder(kChosenName);
  const std::wstring missing = tree_ / L"tess browse missing";
  SeedSetting(L"LastFolder", start);
  App& app = StartProgram();

  BrowseDialog dialog = Open(app, kIdBrowseButton);
  ASSERT_TRUE(dialog.Valid());
  // The preselection arrives on the dialog's own schedule.
  Folders chain;
  EXPECT_TRUE(WaitUntil([&] {
    chain = dialog.SelectedChain();
    return chain.size() >= 2 && ShownAs(chain.back(), start);
  })) << "selected: "
      << (chain.empty() ? std::wstring(L"nothing") : chain.back());
  ASSERT_GE(chain.size(), 2u);
  EXPECT_TRUE(ShownAs(chain[chain.size() - 2], tree_.WidePath()));
  // OK at once takes the preselected folder.
  ASSERT_TRUE(WaitUntil([&] { return dialog.OkEnabled(); }));
  ASSERT_TRUE(dialog.Confirm());
  EXPECT_TRUE(WaitUntil([&] { return app.Text(kIdDestinationBox) == start; }));
  EXPECT_TRUE(SettingBecomes(L"Path", start));

  // "LastFolder" is read on every press; a folder that is not there still opens the dialog,
  // which works as usual.
  SeedSetting(L"LastFolder", missing);
  ASSERT_NO_FATAL_FAILURE(Choose(app, kIdBrowseButton, TempFolder()));
  EXPECT_TRUE(WaitUntil([&] { return app.Text(kIdDestinationBox) == TempFolder(); }));
  EXPECT_TRUE(SettingBecomes(L"Path", TempFolder()));
  EXPECT_FALSE(Exists(missing));
  EXPECT_TRUE(app.Running());
}

TEST_F(BrowseE2eTest, EndingTheSessionWhileTheDialogIsOpenStoresTheListAndEnds) {
  SeedSetting(L"Folders", L"C:\\A;C:\\B");
  App& app = StartProgram();
  const BrowseDialog dialog = Open(app, kIdAddFolderButton);
  ASSERT_TRUE(dialog.Valid());
  ASSERT_NO_FATAL_FAILURE(EndTheSession(app));
  EXPECT_EQ(ReadSetting(L"Folders"), L"C:\\A;C:\\B;");
}

TEST_F(BrowseE2eTest, TypingIntoTheBoxStoresPathAfterEveryCharacter) {
  SeedSetting(L"Path", L"D:\\Old backups");
  App& app = StartProgram();
  const HWND box = app.Control(kIdDestinationBox);

  // Taking the focus selects the whole text, so the first key replaces it.
  SendMessageW(box, WM_SETFOCUS, 0, 0);
  DWORD first = 1, last = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(last, 14u);

  const std::wstring typed = L"E:\\Sicherung \u00dc";
  for (size_t i = 0; i < typed.size(); ++i) {
    PostMessageW(box, WM_CHAR, typed[i], 1);
    const std::wstring expected = typed.substr(0, i + 1);
    ASSERT_TRUE(SettingBecomes(L"Path", expected)) << "after typing " << i + 1 << " characters";
    EXPECT_EQ(app.Text(kIdDestinationBox), expected);
  }
  PostMessageW(box, WM_CHAR, VK_BACK, 1);
  EXPECT_TRUE(SettingBecomes(L"Path", L"E:\\Sicherung "));

  // Selecting everything and deleting it stores the empty text.
  SendMessageW(box, EM_SETSEL, 0, -1);
  PostMessageW(box, WM_CHAR, VK_BACK, 1);
  EXPECT_TRUE(SettingBecomes(L"Path", L""));
  EXPECT_EQ(app.Text(kIdDestinationBox), L"");
}

TEST_F(BrowseE2eTest, ViewThisFolderOpensTheFileManagerOnTheBoxTextAsOneArgument) {
  const std::wstring folder = tree_.MadeFolder(L"tess view with blanks");
  const std::wstring marker = tree_ / L"tess view marker";
  App& app = StartProgram();

  // As typed, with the trailing backslash the default destination has, and in the quotes a
  // copied path often carries: each opens exactly the one folder.
  for (const std::wstring& text : {folder, folder + L"\\", L"\"" + folder + L"\""}) {
    NewWindows started;
    app.SetText(kIdDestinationBox, text);
    app.Click(kIdViewFolderButton);
    std::vector<NewWindows::Found> windows;
    EXPECT_TRUE(WaitUntil([&] { return !(windows = started.Now()).empty(); }))
        << "no file manager window for " << text;
    for (const auto& window : windows) {
      EXPECT_EQ(window.class_name, L"ExplorerWClass");
      EXPECT_EQ(window.caption, LastPart(folder));
    }
    EXPECT_EQ(windows.size(), 1u);
  }

  // Texts that are no path, or that try to end the argument and start a command of their
  // own: the file manager gets them as one argument and no second command runs.
  NewWindows started;
  for (const std::wstring& text :
       {std::wstring(), std::wstring(L"not a path at all"),
        folder + L"\" & mkdir \"" + marker + L"\" & \"", L"x\" \"" + folder}) {
    app.SetText(kIdDestinationBox, text);
    app.Click(kIdViewFolderButton);
    ASSERT_TRUE(app.Settle());
  }
  // Give every started process time to do whatever it would do.
  Sleep(2000);
  EXPECT_FALSE(Exists(marker));
  for (const auto& window : started.Now()) {
    // Wine's file manager shows nothing for a path it cannot find; it must never have
    // opened the real folder from the tail of a split argument.
    EXPECT_NE(window.caption, LastPart(folder)) << "the text was split into arguments";
  }
  EXPECT_TRUE(app.Running());
  EXPECT_FALSE(BrowseDialog::Find(app).Valid());
  EXPECT_EQ(app.FindMessageBox(), nullptr) << app.MessageBoxText(app.FindMessageBox());
}

}  // namespace
}  // namespace tess::e2e
