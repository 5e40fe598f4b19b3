// The Win32 services against the real thing under Wine: registry, shell, locale, clipboard.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <string>

#include "base/platform_error.h"
#include "folders/destination.h"
#include "options/startup_entry.h"
#include "ports/event_pump.h"
#include "ports/file_queries.h"
#include "win32/registry_settings_store.h"
#include "win32/text.h"
#include "win32/win_clock.h"
#include "win32/win_dialogs.h"
#include "win32/win_environment.h"
#include "win32/win_registry.h"
#include "win32/win_shell.h"
#include "shell/startup.h"

namespace tess::win32 {
namespace {

constexpr char kApp[] = "Quintaro";
constexpr char kTestSection[] = "Tessaline platform test";

class RegistrySettingsStoreTest : public ::testing::Test {
 protected:
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER,
                   (std::wstring(kSettingsRoot) + L"\\Quintaro\\" + Widen(kTestSection)).c_str());
  }
  RegistrySettingsStore store_;
};

TEST_F(RegistrySettingsStoreTest, AbsentKeyOrSectionGivesTheReadersDefault) {
  EXPECT_EQ(store_.GetSetting(kApp, kTestSection, "OftenIndex", "7"), "7");
  EXPECT_EQ(store_.GetSetting("No such app", "No section", "Path", ""), "");
}

TEST_F(RegistrySettingsStoreTest, ValuesRoundTripExactlyAsText) {
  const std::string unicode = "D:\\Sauvegardes \xC3\xA9t\xC3\xA9 \xCE\xB1\xCE\xB2 \xE4\xB8\xAD;x";
  store_.SaveSetting(kApp, kTestSection, "Path", unicode);
  store_.SaveSetting(kApp, kTestSection, "Include Date", "On");
  store_.SaveSetting(kApp, kTestSection, "Folders", "");
  EXPECT_EQ(store_.GetSetting(kApp, kTestSection, "Path", "default"), unicode);
  EXPECT_EQ(store_.GetSetting(kApp, kTestSection, "Include Date", "Off"), "On");
  EXPECT_EQ(store_.GetSetting(kApp, kTestSection, "Folders", "default"), "");
  store_.SaveSetting(kApp, kTestSection, "Path", "E:\\later");
  EXPECT_EQ(store_.GetSetting(kApp, kTestSection, "Path", ""), "E:\\later");
}

TEST_F(RegistrySettingsStoreTest, StoresOneStringValuePerKeyWhereEarlierVersionsLookedForIt) {
  store_.SaveSetting(kApp, kTestSection, "Backup Option", "2");
  wchar_t data[16] = {};
  DWORD bytes = sizeof(data);
  DWORD type = 0;
  const std::wstring key =
      L"Software\\VB and VBA Program Settings\\Quintaro\\" + Widen(kTestSection);
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"Backup Option", RRF_RT_ANY, &type, data,
                         &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(data, L"2");
}

TEST_F(RegistrySettingsStoreTest, MegabytesOfTextComeBackWhole) {
  const std::string big(3 * 1024 * 1024, 'C');
  store_.SaveSetting(kApp, kTestSection, "Folders", big);
  EXPECT_EQ(store_.GetSetting(kApp, kTestSection, "Folders", "").size(), big.size());
}

class StartupEntryTest : public ::testing::Test {
 protected:
  static std::wstring Read(HKEY root, const wchar_t* key, const std::wstring& name) {
    wchar_t data[1024] = {};
    DWORD bytes = sizeof(data);
    if (RegGetValueW(root, key, name.c_str(), RRF_RT_REG_SZ, nullptr, data, &bytes) !=
        ERROR_SUCCESS) {
      return L"<absent>";
    }
    return data;
  }
  static constexpr wchar_t kMachineRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  static constexpr wchar_t kUserRun[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string exe_ = "C:\\Program Files\\Tessaline Test\\TessalineTest.exe";
  WinRegistry registry_;
};

TEST_F(StartupEntryTest, AddWritesTheMachineWideValueAndRemoveDeletesIt) {
  ASSERT_TRUE(AddToWindowsStartup(registry_, exe_));
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, kMachineRun, L"TessalineTest.exe"),
            L"\"" + Widen(exe_) + L"\"");
  RemoveFromWindowsStartup(registry_, exe_);
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, kMachineRun, L"TessalineTest.exe"), L"<absent>");
  // Removing again is a quiet no-op.
  RemoveFromWindowsStartup(registry_, exe_);
}

TEST_F(StartupEntryTest, UnquotedValuesOfOlderVersionsGoUnderBothKeys) {
  ASSERT_TRUE(
      registry_.SetStringValue(Hive::kCurrentUser, kUserRunSubkey, "TessalineTest.exe", exe_));
  ASSERT_TRUE(registry_.SetStringValue(Hive::kLocalMachine, kRunSubkey, "TessalineTest.exe", exe_));
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kUserRun, L"TessalineTest.exe"), Widen(exe_));
  RemoveFromWindowsStartup(registry_, exe_);
  EXPECT_EQ(Read(HKEY_CURRENT_USER, kUserRun, L"TessalineTest.exe"), L"<absent>");
  EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, kMachineRun, L"TessalineTest.exe"), L"<absent>");
}

TEST_F(StartupEntryTest, AKeyThatDoesNotExistIsNeverCreated) {
  EXPECT_FALSE(
      registry_.SetStringValue(Hive::kLocalMachine, "SOFTWARE\\Tessaline No Such Key\\", "x", "y"));
  HKEY key = nullptr;
  EXPECT_NE(
      RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Tessaline No Such Key", 0, KEY_READ, &key),
      ERROR_SUCCESS);
}

TEST(ShellTest, DesktopFolderEndsWithOneBackslashAndExists) {
  WinShell shell(nullptr);
  const std::string desktop = GetDesktopFolder(shell);
  ASSERT_GE(desktop.size(), 4u);
  EXPECT_EQ(desktop.back(), '\\');
  EXPECT_NE(desktop[desktop.size() - 2], '\\');
  const DWORD attributes = GetFileAttributesW(Widen(desktop).c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(ShellTest, ArgumentsAreQuotedAsExactlyOneArgument) {
  EXPECT_EQ(
      QuotedCommandLine(L"C:\\Windows\\system32\\notepad.exe", L"C:\\Temp dir\\Tessaline.txt"),
      L"\"C:\\Windows\\system32\\notepad.exe\" \"C:\\Temp dir\\Tessaline.txt\"");
  // Backslashes before the closing quote are doubled, so the quote still ends the argument.
  EXPECT_EQ(QuotedCommandLine(L"explorer", L"C:\\"), L"\"explorer\" \"C:\\\\\"");
  // A quote in the text cannot end the argument and start a second command.
  const std::wstring line = QuotedCommandLine(L"explorer", L"x\" & calc & \"");
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(line.c_str(), &argc);
  ASSERT_NE(argv, nullptr);
  EXPECT_EQ(argc, 2);
  EXPECT_STREQ(argv[1], L"x & calc & ");
  LocalFree(argv);
  argv = CommandLineToArgvW(QuotedCommandLine(L"explorer", L"D:\\Back ups\\").c_str(), &argc);
  ASSERT_EQ(argc, 2);
  EXPECT_STREQ(argv[1], L"D:\\Back ups\\");
  LocalFree(argv);
}

TEST(ShellTest, StartingAMissingProgramFailsWithTheSystemsReason) {
  WinShell shell(nullptr);
  EXPECT_THROW(shell.StartProcess("C:\\tessaline-no-such-program-here.exe", "x", false),
               PlatformError);
}

TEST(ShellTest, AProgramIsNeverLookedUpByNameAndTheHelpersLieInTheSystemsFolders) {
  WinShell shell(nullptr);
  // Bare or relative, the name would be looked up in the current folder, among others.
  for (const char* program :
       {"notepad", "notepad.exe", ".\\notepad.exe", "\\windows\\notepad.exe"}) {
    EXPECT_THROW(shell.StartProcess(program, "x", false), PlatformError) << program;
  }
  const std::wstring editor = Widen(TextEditorPath(shell));
  const std::wstring file_manager = Widen(FileManagerPath(shell));
  wchar_t expected[MAX_PATH] = {};
  GetSystemDirectoryW(expected, MAX_PATH);
  EXPECT_EQ(editor, std::wstring(expected) + L"\\notepad.exe");
  GetSystemWindowsDirectoryW(expected, MAX_PATH);
  EXPECT_EQ(file_manager, std::wstring(expected) + L"\\explorer.exe");
  for (const auto& program : {editor, file_manager}) {
    EXPECT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(program);
  }
}

TEST(ClockTest, LocaleTextsForDatesAndTimes) {
  WinClock clock;
  EXPECT_FALSE(clock.MonthAbbreviation(8).empty());
  EXPECT_FALSE(clock.AmPmDesignator(true).empty());
  const LocalTime afternoon{2021, 8, 31, 16, 5, 6, 0};
  const std::string general = clock.GeneralDate(afternoon);
  EXPECT_NE(general.find("2021"), std::string::npos);
  EXPECT_NE(general.find("05:06"), std::string::npos) << general;
  const LocalTime midnight{2021, 9, 1, 0, 0, 0, 0};
  EXPECT_EQ(clock.GeneralDate(midnight).find(':'), std::string::npos);
  const double seconds = clock.SecondsSinceMidnight();
  EXPECT_GE(seconds, 0.0);
  EXPECT_LT(seconds, 86400.0);
  const double r = clock.RandomFraction();
  EXPECT_GE(r, 0.0);
  EXPECT_LT(r, 1.0);
}

TEST(ClockTest, TheMonotonicReadingMovesWithElapsedTimeAndNeverBack) {
  WinClock clock;
  const double start = clock.MonotonicSeconds();
  double last = start;
  for (int i = 0; i < 1000; ++i) {
    const double now = clock.MonotonicSeconds();
    ASSERT_GE(now, last);
    last = now;
  }
  Sleep(300);
  const double slept = clock.MonotonicSeconds() - start;
  EXPECT_GE(slept, 0.25);
  EXPECT_LT(slept, 5.0);
}

TEST(EnvironmentTest, ModulePathAndVariables) {
  WinEnvironment environment;
  const std::string exe = environment.ModulePath();
  EXPECT_NE(exe.find("tessaline_platform_tests.exe"), std::string::npos);
  SetEnvironmentVariableW(L"TESSALINE_TEST_VARIABLE", L"\x03b1\x03b2");
  EXPECT_EQ(environment.Variable("TESSALINE_TEST_VARIABLE"), "\xCE\xB1\xCE\xB2");
  EXPECT_EQ(environment.Variable("TESSALINE_NOT_SET_ANYWHERE"), "");
}

TEST(ClipboardTest, TextReachesTheClipboardWhole) {
  WinDialogs dialogs(nullptr);
  const std::string text = "Documents was backup saved at 8/31/2021\r\n\xC3\xA9t\xC3\xA9\r\n";
  dialogs.SetClipboardText(text);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  ASSERT_NE(data, nullptr);
  const std::wstring got(static_cast<const wchar_t*>(GlobalLock(data)));
  GlobalUnlock(data);
  CloseClipboard();
  EXPECT_EQ(Narrow(got), text);
}

}  // namespace
}  // namespace tess::win32

// The forgiving helpers over the real file system.
#include "win32/win_file_system.h"
#include "win_support/temp_tree.h"

namespace tess::win32 {
namespace {

class EventPumpStub : public EventPump {
 public:
  void ProcessPendingEvents() override { ++calls; }
  int calls = 0;
};

class RealFileHelpersTest : public ::testing::Test {
 protected:
  test::TempTree dir_;
  WinFileSystem files_;
  EventPumpStub pump_;
};

TEST_F(RealFileHelpersTest, PathExistsAndIsFolderOnRealPaths) {
  test::BuildTree(dir_.Path(), {test::File("plain.txt", "")});
  EXPECT_TRUE(PathExists(files_, dir_.Path()));
  EXPECT_TRUE(PathExists(files_, dir_ / "plain.txt"));
  EXPECT_FALSE(PathExists(files_, dir_ / "missing"));
  EXPECT_FALSE(PathExists(files_, "Q:\\no drive here"));
  EXPECT_TRUE(IsFolder(files_, dir_.Path()));
  EXPECT_TRUE(IsFolder(files_, dir_.Path() + "\\"));
  EXPECT_FALSE(IsFolder(files_, dir_ / "plain.txt"));
  EXPECT_EQ(IsFolderResult(files_, dir_ / "missing"), std::nullopt);
}

TEST_F(RealFileHelpersTest, ForgivingDeleteRemovesReadOnlyFilesAndSurvivesLockedOnes) {
  test::BuildTree(dir_.Path(),
                  {test::File("plain.txt", ""), test::File("ro.txt", "", FILE_ATTRIBUTE_READONLY),
                   test::File("locked.txt", "")});
  DeleteFileWithFallback(files_, pump_, dir_ / "plain.txt");
  DeleteFileWithFallback(files_, pump_, dir_ / "ro.txt");
  EXPECT_FALSE(test::Exists(dir_ / "plain.txt"));
  EXPECT_FALSE(test::Exists(dir_ / "ro.txt"));
  EXPECT_EQ(pump_.calls, 2);

  test::LockedFile lock(dir_ / "locked.txt");
  ASSERT_TRUE(lock.Held());
  EXPECT_NO_THROW(DeleteFileWithFallback(files_, pump_, dir_ / "locked.txt"));
  EXPECT_TRUE(test::Exists(dir_ / "locked.txt"));
  lock.Release();
  EXPECT_NO_THROW(DeleteFileWithFallback(files_, pump_, dir_ / "never-there.txt"));
}

}  // namespace
}  // namespace tess::win32
