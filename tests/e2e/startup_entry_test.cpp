// "Load this software on Windows startup" on the real registry: the Run value names the program
// in double quotes, and clearing the box removes the value under both Run keys, also one that an
// older version wrote unquoted.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "view/control_ids.h"
#include "win_support/e2e_fixture.h"
#include "win_support/window_queries.h"

namespace tess::e2e {
namespace {

using namespace tess::test;
using namespace tess::view;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Tessaline.exe";

std::optional<std::wstring> RunValue(HKEY root) { return RegistryText(root, kRunKey, kValueName); }
void SetRunValue(HKEY root, const std::wstring& data) {
  SetRegistryText(root, kRunKey, kValueName, data);
}

void DeleteRunValue(HKEY root) { RegDeleteKeyValueW(root, kRunKey, kValueName); }

class StartupEntryE2eTest : public AutoBackupOffTest {
 protected:
  void SetUp() override {
    AutoBackupOffTest::SetUp();
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) DeleteRunValue(root);
  }
  void TearDown() override {
    AutoBackupOffTest::TearDown();
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) DeleteRunValue(root);
  }
  const std::wstring program_ = ProgramFolder() + L"\\Tessaline.exe";
};

TEST_F(StartupEntryE2eTest, TheValueIsTheQuotedPathAndClearingRemovesQuotedAndUnquotedValues) {
  App& app = StartProgram();
  app.Click(kIdStartWithWindowsBox);
  ASSERT_TRUE(SettingBecomes(L"Windows Startup", L"On"));
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), L"\"" + program_ + L"\"");
  // Machine-wide writes succeed here, so the per-user key stays untouched.
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), std::nullopt);

  // Values as an older version left them: the bare path, under either key.
  SetRunValue(HKEY_CURRENT_USER, program_);
  app.Click(kIdStartWithWindowsBox);
  ASSERT_TRUE(SettingBecomes(L"Windows Startup", L"Off"));
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::nullopt);
  EXPECT_EQ(RunValue(HKEY_CURRENT_USER), std::nullopt);

  SetRunValue(HKEY_LOCAL_MACHINE, program_);
  app.Click(kIdStartWithWindowsBox);
  ASSERT_TRUE(SettingBecomes(L"Windows Startup", L"On"));
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), L"\"" + program_ + L"\"");
  app.Click(kIdStartWithWindowsBox);
  ASSERT_TRUE(SettingBecomes(L"Windows Startup", L"Off"));
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE), std::nullopt);
}

}  // namespace
}  // namespace tess::e2e
