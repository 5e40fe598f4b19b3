// What the end-to-end suites share: the program's settings section and history log as the
// tests see them, the window's design units, and the fixture bases that start every test from
// no settings and no log (with automatic backup on, or off), start the program and find its
// window, end a session, and end whatever they started.
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

// A text value (REG_SZ) of the registry, nullopt when there is none; and writing one, its key
// made when missing.
std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key,
                                         const std::wstring& name);
void SetRegistryText(HKEY root, const std::wstring& key, const std::wstring& name,
                     const std::wstring& value);

// The program's settings section, HKCU\Software\VB and VBA Program Settings\Quintaro\Tessaline.
void ClearSettings();
void SeedSetting(const std::wstring& key, const std::wstring& value);
std::optional<std::wstring> ReadSetting(const std::wstring& key);
// A list as the program stores it under "Folders": every entry followed by ";".
std::wstring StoredList(const std::vector<std::wstring>& entries);
// The folder list and the destination ("Path") a run will read.
void SeedFolders(const std::vector<std::wstring>& folders, const std::wstring& destination);

// The user's desktop folder as the shell reports it, followed by "\".
std::wstring DesktopFolder();

// TEMP\Tessaline.txt, the program's history log: the program inherits TEMP from the test.
std::wstring HistoryLogPath();
// Removes the log, so a test starts from "no history"; true when it is gone.
bool DeleteHistoryLog();
// The log's lines without their CR LF, converted from the ANSI code page or, behind the UTF-8
// byte-order mark, from UTF-8; empty when absent.
std::vector<std::wstring> HistoryLines();
// Text in the ANSI code page as the program writes its log, and back.
std::wstring FromAnsi(const std::string& bytes);
std::string ToAnsi(const std::wstring& text);

// An environment variable of the test's own process, and so of every program it starts, set
// while the object lives and then put back as it was.
class ScopedVariable {
 public:
  ScopedVariable(const std::wstring& name, const std::wstring& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::wstring name_;
  std::optional<std::wstring> earlier_;
};

// The design's twips (1/1440 inch) in pixels at a density, rounded to the nearest pixel.
inline int Px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

// How many main windows of the program exist now, shown or hidden.
int MainWindowsOfTheProgram();

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
  // Logs the session off under the program: it must agree to the end and then exit.
  static void EndTheSession(App& app);

 private:
  std::vector<std::unique_ptr<App>> apps_;
};

// For suites that watch the status line or the history log: automatic backup is off, so no
// countdown tick writes the status line and no timed run writes the log while a test looks.
class AutoBackupOffTest : public EndToEndTest {
 protected:
  void SetUp() override;
};

}  // namespace tess::test
