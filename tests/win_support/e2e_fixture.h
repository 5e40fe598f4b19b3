// What the end-to-end suites share: the program's settings section and history log as the
// tests see them, and the fixture base that starts every test from no settings and no log,
// starts the program and finds its window, and ends whatever it started.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win_support/app.h"
#include "win_support/temp_tree.h"

namespace tess::test {

// The program's settings section, HKCU\Software\VB and VBA Program Settings\Quintaro\Tessaline.
void ClearSettings();
void SeedSetting(const std::wstring& key, const std::wstring& value);
std::optional<std::wstring> ReadSetting(const std::wstring& key);

// The user's desktop folder as the shell reports it, followed by "\".
std::wstring DesktopFolder();

// TEMP\Tessaline.txt, the program's history log: the program inherits TEMP from the test.
std::wstring HistoryLogPath();
// Removes the log, so a test starts from "no history"; true when it is gone.
bool DeleteHistoryLog();
// The log's lines without their CR LF, converted from the ANSI code page; empty when absent.
std::vector<std::wstring> HistoryLines();
// Text in the ANSI code page as the program writes its log, and back.
std::wstring FromAnsi(const std::string& bytes);
std::string ToAnsi(const std::wstring& text);

// Enough files in a source that a busy status stays in view for more than a moment: under
// Wine a copy costs per file.
inline constexpr int kManyFiles = 600;
// Files "0000.txt", "0001.txt", ..., each holding its own name.
Tree ManyFiles(int count);

class EndToEndTest : public ::testing::Test {
 protected:
  // No settings and no history log.
  void SetUp() override;
  // Ends every program the test started, then removes its settings and log again.
  void TearDown() override;

  // Starts the program and waits until its main window shows. When none comes the test fails
  // and ends at once: gtest reports the exception this throws.
  App& StartProgram();
  static bool SettingBecomes(const std::wstring& key, const std::wstring& value,
                             std::chrono::milliseconds timeout = std::chrono::seconds(5));

 private:
  std::vector<std::unique_ptr<App>> apps_;
};

}  // namespace tess::test
