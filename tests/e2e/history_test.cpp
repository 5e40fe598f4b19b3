// The history log's three commands on the real file in TEMP: View History Log (its box when
// there is no log, the text editor when there is), Copy History To Clipboard and Clear History
// Log with both answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/driver.h"
#include "e2e/files_driver.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/handles.h"

namespace tess::e2e {
namespace {

using namespace tess::win32;
using namespace std::chrono_literals;

constexpr wchar_t kNoHistory[] =
    L"There isn't a history to view because actions have not been performed yet.";
constexpr wchar_t kClearQuestion[] =
    L"Are you sure you want to delete the history log and start over?";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// A box without an icon may still hold an empty, hidden icon control.
bool ShowsIcon(HWND box) {
  bool found = false;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM data) -> BOOL {
        if (ClassOf(child) == L"Static" &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
            SendMessageW(child, STM_GETICON, 0, 0) != 0) {
          *reinterpret_cast<bool*>(data) = true;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// A text editor window opened by the program: found by its class, closed and, if it lingers,
// ended when the test is over.
class EditorWindow {
 public:
  explicit EditorWindow(DWORD not_of_process) : excluded_(not_of_process) {}
  ~EditorWindow() {
    if (window_ == nullptr) return;
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (process_.Valid() && WaitForSingleObject(process_.Get(), 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.Get(), 1);
    }
  }
  EditorWindow(const EditorWindow&) = delete;
  EditorWindow& operator=(const EditorWindow&) = delete;

  HWND Wait(std::chrono::milliseconds timeout) {
    WaitUntil([&] { return (window_ = Find()) != nullptr; }, timeout);
    if (window_ != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(window_, &pid);
      process_.Reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    }
    return window_;
  }
  // The text the editor shows, from its edit control.
  std::wstring Text() const {
    const HWND edit = FindWindowExW(window_, nullptr, L"Edit", nullptr);
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_ABORTIFHUNG, 5000, &got);
    text.resize(got);
    return text;
  }

 private:
  HWND Find() const {
    struct Search {
      DWORD excluded;
      HWND found;
    } search{excluded_, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
          auto* s = reinterpret_cast<Search*>(data);
          DWORD pid = 0;
          GetWindowThreadProcessId(window, &pid);
          if (pid == s->excluded || pid == GetCurrentProcessId()) return TRUE;
          if (!IsWindowVisible(window) || ClassOf(window) != L"Notepad") return TRUE;
          s->found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  DWORD excluded_;
  HWND window_ = nullptr;
  UniqueObject process_;
};

class HistoryE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearSettings();
    ASSERT_TRUE(DeleteHistoryLog());
    SeedSetting(L"StartStopState", L"Off");
    SeedSetting(L"Folders", L"C:\\Data\\Alpha;C:\\Data\\Beta;");
  }
  void TearDown() override {
    ClearSettings();
    DeleteHistoryLog();
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
  App app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);

  app.Click(kIdPushButton3);
  Answer(app, kNoHistory, false, IDOK);
  EXPECT_FALSE(Exists(HistoryLogPath()));

  app.Click(kIdPushButton4);
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(app.FindMessageBox(), nullptr);
  EXPECT_EQ(ClipboardText(), L"put there by the test");

  ASSERT_EQ(app.ListItems(kIdListView1), kFolders);
  app.Click(kIdPushButton12);
  Answer(app, kClearQuestion, true, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdListView1) == 0; }));
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

  App app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  app.Click(kIdPushButton4);
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(ClipboardText(), log);

  app.Click(kIdPushButton12);
  Answer(app, kClearQuestion, true, IDNO);
  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(ReadBytes(HistoryLogPath()), bytes);
  EXPECT_EQ(app.ListItems(kIdListView1), kFolders);

  app.Click(kIdPushButton12);
  Answer(app, kClearQuestion, true, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return app.ListCount(kIdListView1) == 0; }));
  EXPECT_FALSE(Exists(HistoryLogPath()));
  EXPECT_EQ(ReadSetting(L"Folders"), L"");

  // Back to no history: View explains again.
  app.Click(kIdPushButton3);
  Answer(app, kNoHistory, false, IDOK);
}

// The program's TEMP, and with it the log's folder, for the programs started while it lives.
class ScopedTemp {
 public:
  explicit ScopedTemp(const std::wstring& folder) : earlier_(TempFolder()) {
    SetEnvironmentVariableW(L"TEMP", folder.c_str());
  }
  ~ScopedTemp() { SetEnvironmentVariableW(L"TEMP", earlier_.c_str()); }
  ScopedTemp(const ScopedTemp&) = delete;
  ScopedTemp& operator=(const ScopedTemp&) = delete;

 private:
  std::wstring earlier_;
};

TEST_F(HistoryE2eTest, ViewOpensTheLogInTheTextEditorEvenFromAFolderWithBlanks) {
  ScratchTree tree;
  const std::wstring temp = tree / L"temp with blanks";
  MakeFolders(temp);
  ScopedTemp scoped_temp(temp);
  ASSERT_EQ(HistoryLogPath(), temp + L"\\Tessaline.txt");
  const std::wstring log = L"Alpha was backup saved at 1/2/2024 3:04:05 PM\r\n";
  WriteBytes(HistoryLogPath(), ToAnsi(log));
  App app;
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  EditorWindow editor(app.ProcessId());
  app.Click(kIdPushButton3);
  const HWND window = editor.Wait(20s);
  ASSERT_NE(window, nullptr) << "no text editor window appeared";
  EXPECT_NE(app.Text(window).find(L"Tessaline.txt"), std::wstring::npos) << app.Text(window);
  EXPECT_TRUE(WaitUntil([&] { return editor.Text() == log; }, 5s)) << editor.Text();
  EXPECT_EQ(app.FindMessageBox(), nullptr);
}

}  // namespace
}  // namespace tess::e2e
