#include "win_support/e2e_fixture.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <stdexcept>

#include "view/control_ids.h"
#include "win_support/window_queries.h"

namespace tess::test {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Quintaro\\Tessaline";

}  // namespace

void ClearSettings() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey); }

std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key,
                                         const std::wstring& name) {
  DWORD bytes = 0;
  if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcslen(value.c_str()));
  return value;
}

void SetRegistryText(HKEY root, const std::wstring& key, const std::wstring& name,
                     const std::wstring& value) {
  RegSetKeyValueW(root, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void SeedSetting(const std::wstring& key, const std::wstring& value) {
  SetRegistryText(HKEY_CURRENT_USER, kSettingsKey, key, value);
}

std::optional<std::wstring> ReadSetting(const std::wstring& key) {
  return RegistryText(HKEY_CURRENT_USER, kSettingsKey, key);
}

std::wstring StoredList(const std::vector<std::wstring>& entries) {
  std::wstring stored;
  for (const auto& entry : entries) stored += entry + L";";
  return stored;
}

void SeedFolders(const std::vector<std::wstring>& folders, const std::wstring& destination) {
  SeedSetting(L"Folders", StoredList(folders));
  SeedSetting(L"Path", destination);
}

ScopedVariable::ScopedVariable(const std::wstring& name, const std::wstring& value) : name_(name) {
  const DWORD size = GetEnvironmentVariableW(name.c_str(), nullptr, 0);
  if (size > 0) {
    std::wstring earlier(size, L'\0');
    earlier.resize(GetEnvironmentVariableW(name.c_str(), earlier.data(), size));
    earlier_ = earlier;
  }
  SetEnvironmentVariableW(name.c_str(), value.c_str());
}

ScopedVariable::~ScopedVariable() {
  SetEnvironmentVariableW(name_.c_str(), earlier_ ? earlier_->c_str() : nullptr);
}

int MainWindowsOfTheProgram() {
  int count = 0;
  for (const HWND window : TopLevelWindows()) {
    if (ClassOf(window) == view::kMainWindowClass) ++count;
  }
  return count;
}

std::wstring DesktopFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, path))) return L"";
  return std::wstring(path) + L"\\";
}

std::wstring HistoryLogPath() { return TempFolder() + L"\\Tessaline.txt"; }

bool DeleteHistoryLog() {
  const std::wstring path = HistoryLogPath();
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
  return !Exists(path);
}

std::vector<std::wstring> HistoryLines() {
  std::vector<std::wstring> lines;
  const auto bytes = ReadBytes(HistoryLogPath());
  if (!bytes) return lines;
  // Once a name needs it, the log is UTF-8 behind a byte-order mark.
  constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";
  std::wstring text;
  if (bytes->rfind(kUtf8Mark, 0) == 0) {
    const std::string utf8 = bytes->substr(3);
    text.resize(utf8.size());
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                        static_cast<int>(utf8.size()), text.data(),
                                                        static_cast<int>(text.size()))));
  } else {
    text = FromAnsi(*bytes);
  }
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      // A last line without its CR LF is kept, so a damaged log shows in the comparison.
      if (start < text.size()) lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
}

std::wstring FromAnsi(const std::string& bytes) {
  if (bytes.empty()) return L"";
  const int n =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
  return text;
}

std::string ToAnsi(const std::wstring& text) {
  if (text.empty()) return "";
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n,
                      nullptr, nullptr);
  return bytes;
}

Tree ManyFiles(int count) {
  Tree files;
  for (int i = 0; i < count; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d.txt", i);
    files.push_back(File(name, name));
  }
  return files;
}

void EndToEndTest::SetUp() {
  // The desktop's shell may still be starting when the first test runs; once its taskbar is
  // there the work area no longer shrinks under a program that has just placed its window.
  WaitUntil([] { return FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr; },
            std::chrono::seconds(10));
  ClearSettings();
  ASSERT_TRUE(DeleteHistoryLog()) << "the history log of an earlier run cannot be removed";
}

void EndToEndTest::TearDown() {
  // Ended before the clean-up, so no program writes its settings back afterwards.
  apps_.clear();
  ClearSettings();
  DeleteHistoryLog();
}

App& EndToEndTest::StartProgram() {
  apps_.push_back(std::make_unique<App>());
  App& app = *apps_.back();
  // Without a window there is nothing to drive: the test ends here.
  if (app.WaitForMainWindow() == nullptr) {
    throw std::runtime_error("no window captioned Tessaline appeared");
  }
  return app;
}

void EndToEndTest::EndTheSession(App& app) {
  EXPECT_EQ(app.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  app.Post(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  ASSERT_TRUE(app.WaitForExit());
}

bool EndToEndTest::SettingBecomes(const std::wstring& key, const std::wstring& value,
                                  std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return ReadSetting(key) == value; }, timeout);
}

void AutoBackupOffTest::SetUp() {
  EndToEndTest::SetUp();
  SeedSetting(L"StartStopState", L"Off");
}

}  // namespace tess::test
