// The history log's three commands on the real file in TEMP: View History Log (its box when
// there is no log, the text editor when there is), Copy History To Clipboard and Clear History
// Log with both answers; and names beyond the ANSI code page kept whole.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "e2e/backup_now.h"
#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"
#include "win_support/new_windows.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using namespace std::chrono_literals;

constexpr wchar_t kNoHistory[] =
    L"There isn't a history to view because actions have not been performed yet.";
constexpr wchar_t kClearQuestion[] =
    L"Are you sure you want to delete the history log and start over?";

// Another process may hold the clipboard for a moment.
bool OpenClipboardPatiently() {
  return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 1s);
}

// The clipboard's text (CF_UNICODETEXT); nullopt when it holds none or cannot be opened.
std::optional<std::wstring> ClipboardText() {
  if (!OpenClipboardPatiently()) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = std::wstring(chars);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool SetClipboardText(const std::wstring& text) {
  if (!OpenClipboardPatiently()) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool done = false;
  if (memory != nullptr) {
    if (void* target = GlobalLock(memory)) {
      std::memcpy(target, text.c_str(), bytes);
      GlobalUnlock(memory);
      done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    }
    if (!done) GlobalFree(memory);
  }
  CloseClipboard();
  return done;
}

class HistoryE2eTest : public AutoBackupOffTest {
 protected:
  void SetUp() override {
    AutoBackupOffTest::SetUp();
    SeedSetting(L"Folders", StoredList(kFolders));
  }
  // Waits for the program's box, checks its title, text and buttons, and answers it.
  void Answer(App& app, const std::wstring& text, bool yes_no, int answer) {
    const HWND box = app.WaitForMessageBox();
    ASSERT_NE(box, nullptr) << "no box for: " << text;
    EXPECT_EQ(app.Text(box), L"Tessaline");
    EXPECT_EQ(app.MessageBoxText(box), text);
    EXPECT_FALSE(ShowsIcon(box));
    EXPECT_EQ(GetDlgItem(box, IDYES) != nullptr, yes_no);
    EXPECT_EQ(GetDlgItem(box, IDNO) != nullptr, yes_no);
    app.PressButton(box, answer);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  }

  const std::vector<std::wstring> kFolders{L"C:\\Data\\Alpha", L"C:\\Data\\Beta"};
};

TEST_F(HistoryE2eTest, WithoutALogViewExplainsCopyLeavesTheClipboardAndClearStillEmptiesTheList) {
  ASSERT_TRUE(SetClipboardText(L"put there by the test"));
  App& app = StartProgram();

  app.Click(kIdViewHistoryButton);
  Answer(app, kNoHistory, false, IDOK);
  EXPECT_FALSE(Exists(HistoryLogPath()));

  app.Click(kIdCopyHistoryButton);
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.FindMessageBox(), nullptr);
  EXPECT_EQ(ClipboardText(), L"put there by the test");

  ASSERT_EQ(app.ListItems(kIdFolderList), kFolders);
  app.Click(kIdClearHistoryButton);
  Answer(app, kClearQuestion, true, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 0; }));
  EXPECT_EQ(ReadSetting(L"Folders"), L"");
  EXPECT_EQ(app.FindMessageBox(), nullptr);
}

TEST_F(HistoryE2eTest, CopyPutsTheWholeLogOnTheClipboardAndClearDeletesItOnlyOnYes) {
  // A name outside ASCII shows that the log is read in the ANSI code page it is written in.
  const std::wstring log =
      L"Alpha was backup saved at 1/2/2024 3:04:05 PM\r\n"
      L"Caf\u00e9 was NOT backup saved at 1/2/2024 3:04:06 PM: 1 of 3 files failed\r\n"
      L"Alpha was backup saved at 1/2/2024 3:09:05 PM\r\n";
  const std::string bytes = ToAnsi(log);
  ASSERT_EQ(FromAnsi(bytes), log) << "the ANSI code page cannot hold the sample name";
  WriteBytes(HistoryLogPath(), bytes);
  ASSERT_TRUE(SetClipboardText(L"put there by the test"));

  App& app = StartProgram();
  app.Click(kIdCopyHistoryButton);
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(ClipboardText(), log);

  app.Click(kIdClearHistoryButton);
  Answer(app, kClearQuestion, true, IDNO);
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(ReadBytes(HistoryLogPath()), bytes);
  EXPECT_EQ(app.ListItems(kIdFolderList), kFolders);

  app.Click(kIdClearHistoryButton);
  Answer(app, kClearQuestion, true, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdFolderList) == 0; }));
  EXPECT_FALSE(Exists(HistoryLogPath()));
  EXPECT_EQ(ReadSetting(L"Folders"), L"");

  // Back to no history: View explains again.
  app.Click(kIdViewHistoryButton);
  Answer(app, kNoHistory, false, IDOK);
}

TEST_F(HistoryE2eTest, ViewOpensTheLogInTheTextEditorEvenFromAFolderWithBlanks) {
  TempTree tree;
  const std::wstring temp = tree.MadeFolder(L"temp with blanks");
  // The program's TEMP, and with it the log's folder.
  const ScopedVariable program_temp(L"TEMP", temp);
  ASSERT_EQ(HistoryLogPath(), temp + L"\\Tessaline.txt");
  const std::wstring log = L"Alpha was backup saved at 1/2/2024 3:04:05 PM\r\n";
  WriteBytes(HistoryLogPath(), ToAnsi(log));
  App& app = StartProgram();
  // The editor is closed, and its process ended if it lingers, when the test is over.
  NewWindows started;
  app.Click(kIdViewHistoryButton);
  HWND editor = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (editor = started.OfClass(L"Notepad")) != nullptr; }, 20s))
      << "no text editor window appeared";
  EXPECT_NE(TextOf(editor).find(L"Tessaline.txt"), std::wstring::npos) << TextOf(editor);
  const HWND text = ChildOfClass(editor, L"Edit");
  EXPECT_TRUE(WaitUntil([&] { return TextOf(text) == log; }, 5s)) << TextOf(text);
  EXPECT_EQ(app.FindMessageBox(), nullptr);
}

// Folders named beyond the ANSI code page turn the log into UTF-8, and the clipboard gets their
// names whole.
TEST_F(HistoryE2eTest, NamesBeyondTheCodePageComeBackWholeThroughTheClipboard) {
  TempTree tree;
  const std::wstring japanese = L"\u65e5\u672c\u8a9e",
                     russian = L"\u041f\u0440\u0438\u0432\u0435\u0442";
  BuildTree(tree.Path(), {File("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\\a.txt", "a"),
                          File("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\\b.txt", "b")});
  SeedFolders({tree / japanese, tree / russian}, tree.MadeFolder(L"Backups"));
  App& app = StartProgram();
  const CompletedRun run = BackupNowUntilComplete(app);
  ASSERT_FALSE(run.completion.empty()) << run.shown;
  app.Click(kIdCopyHistoryButton);
  ASSERT_TRUE(app.Settle());
  const std::wstring text = ClipboardText().value_or(L"");
  const size_t end = text.find(L"\r\n");
  EXPECT_TRUE(StampedWithin(text.substr(0, end), japanese + L" was backup saved at ", GeneralDate,
                            run.before, run.after));
  EXPECT_TRUE(StampedWithin(text.substr(end + 2), russian + L" was backup saved at ", GeneralDate,
                            run.before, run.after, L"\r\n"));
}

}  // namespace
}  // namespace tess::e2e
