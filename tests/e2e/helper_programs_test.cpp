// The text editor and the file manager are started from the system's own folders: programs named
// notepad.exe and explorer.exe beside a portable copy of the program, or in the folder it was
// started from, are never run, and the real ones still open.
#include <gtest/gtest.h>

#include <string>

#include "view/control_ids.h"
#include "win32/text.h"
#include "win_support/e2e_fixture.h"
#include "win_support/new_windows.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;
using namespace std::chrono_literals;

// A path the build passes as the Linux side sees it, as Wine's Z: drive shows it.
std::wstring FromLinux(const std::string& path) {
  std::wstring windows = L"Z:" + win32::Widen(path);
  for (auto& c : windows) {
    if (c == L'/') c = L'\\';
  }
  return windows;
}

class HelperProgramsE2eTest : public AutoBackupOffTest {
 protected:
  void SetUp() override {
    AutoBackupOffTest::SetUp();
    // A portable copy unpacked in a download folder, started from another folder that a web
    // page could also have saved files into.
    ASSERT_TRUE(
        CopyFileW(ProgramPath().c_str(), (program_folder_ + L"\\Tessaline.exe").c_str(), FALSE));
    const std::wstring stand_in = FromLinux(TESSALINE_STAND_IN);
    for (const auto* folder : {&program_folder_, &current_folder_}) {
      for (const wchar_t* name : {L"notepad.exe", L"explorer.exe"}) {
        const std::wstring planted = *folder + L"\\" + name;
        ASSERT_TRUE(CopyFileW(stand_in.c_str(), planted.c_str(), FALSE));
        planted_.push_back(planted);
      }
    }
  }

  // Whether a planted program ran, and which.
  std::wstring PlantedThatRan() const {
    std::wstring ran;
    for (const auto& planted : planted_) {
      if (Exists(planted + L".ran")) ran += planted + L" ";
    }
    return ran;
  }

  TempTree tree_;
  const std::wstring program_folder_ = tree_.MadeFolder(L"Downloads\\Tessaline");
  const std::wstring current_folder_ = tree_.MadeFolder(L"Downloads");
  const std::wstring destination_ = tree_.MadeFolder(L"Backups here");
  std::vector<std::wstring> planted_;
};

TEST_F(HelperProgramsE2eTest, ViewButtonsRunTheSystemsEditorAndFileManagerNotProgramsBesideUs) {
  // The plants themselves work: started, each leaves its marker.
  {
    const std::wstring probe = current_folder_ + L"\\probe.exe";
    ASSERT_TRUE(CopyFileW(FromLinux(TESSALINE_STAND_IN).c_str(), probe.c_str(), FALSE));
    App started(probe);
    ASSERT_TRUE(started.WaitForExit(20s));
    ASSERT_TRUE(Exists(probe + L".ran")) << "the stand-in leaves no marker";
  }

  WriteBytes(HistoryLogPath(), "Alpha was backup saved at 1/2/2024 3:04:05 PM\r\n");
  App app(program_folder_ + L"\\Tessaline.exe", L"", current_folder_);
  ASSERT_NE(app.WaitForMainWindow(), nullptr);
  NewWindows started;

  app.Click(kIdViewHistoryButton);  // View History Log
  HWND editor = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (editor = started.OfClass(L"Notepad")) != nullptr; }, 20s))
      << "the system's text editor did not open";

  app.SetText(kIdDestinationBox, destination_);
  app.Click(kIdViewFolderButton);  // View This Folder
  HWND file_manager = nullptr;
  EXPECT_TRUE(WaitUntil(
      [&] { return (file_manager = started.OfClass(L"ExplorerWClass")) != nullptr; }, 20s))
      << "the system's file manager did not open";
  if (file_manager != nullptr) EXPECT_EQ(TextOf(file_manager), LastPart(destination_));

  ASSERT_TRUE(app.Settle());
  EXPECT_EQ(PlantedThatRan(), L"");
  EXPECT_EQ(app.FindMessageBox(), nullptr) << app.MessageBoxText(app.FindMessageBox());
}

}  // namespace
}  // namespace tess::e2e
