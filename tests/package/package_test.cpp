// The packages a Windows user installs from, on a machine that has never seen the program: the
// MSI installs, starts, upgrades and uninstalls cleanly, the portable zip runs from wherever it
// is unpacked, and the program states the project's version.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "package/machine.h"
#include "resource_ids.h"
#include "view/control_ids.h"
#include "win32/text.h"
#include "win_support/app.h"
#include "win_support/e2e_fixture.h"
#include "win_support/linux_side.h"
#include "win_support/temp_tree.h"
#include "win_support/window_queries.h"

namespace tess::package {
namespace {

using namespace tess::test;
using namespace std::chrono_literals;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The program enters itself under the Run key as a value named after its executable.
constexpr wchar_t kRunValue[] = L"Tessaline.exe";
// Fixed for good: a package with another upgrade code would install beside older versions.
constexpr wchar_t kUpgradeCode[] = L"{37C8B1A3-3D60-4BEB-8BD7-D35D0513FA25}";

// A path the build passes as the Linux side sees it, as Wine's Z: drive shows it.
std::wstring FromLinux(const std::string& path) {
  std::wstring windows = L"Z:" + win32::Widen(path);
  for (auto& c : windows) {
    if (c == L'/') c = L'\\';
  }
  return windows;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The program's folder as a user gets it: the program and the files beside it as the build
// made them, and the sample tree, byte for byte.
Tree ProgramFolderTree() {
  Tree tree;
  for (const auto& linux_path : Split(TESSALINE_PACKAGED_FILES, '|')) {
    const std::wstring path = FromLinux(linux_path);
    const auto bytes = ReadBytes(path);
    EXPECT_TRUE(bytes.has_value()) << linux_path << " cannot be read";
    tree.push_back(File(win32::Narrow(path.substr(path.rfind(L'\\') + 1)), bytes.value_or("")));
  }
  Tree samples = ReadTree(FromLinux(TESSALINE_SAMPLES));
  EXPECT_FALSE(samples.empty());
  for (auto& entry : samples) entry.write_time = 0;
  return tree + Under("Samples", samples);
}

// Paths name the same place whatever their case and a trailing backslash.
bool SamePath(std::wstring a, std::wstring b) {
  for (auto* path : {&a, &b}) {
    if (!path->empty() && path->back() == L'\\') path->pop_back();
  }
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring InstallFolder() { return ShellFolder(CSIDL_PROGRAM_FILES) + L"\\Tessaline"; }
std::wstring InstalledProgram() { return InstallFolder() + L"\\Tessaline.exe"; }
// The start-up command the program writes: its path quoted, since "Program Files" has a blank.
std::wstring StartupCommand() { return L"\"" + InstalledProgram() + L"\""; }

// The Start-menu shortcuts named Tessaline, for all users or for this one: Wine puts a
// per-machine package's shortcut in the user's menu.
std::vector<std::wstring> StartMenuShortcuts() {
  std::vector<std::wstring> found;
  for (const int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
    const std::wstring link = ShellFolder(csidl) + L"\\Tessaline.lnk";
    if (Exists(link)) found.push_back(link);
  }
  return found;
}

// Waits for the window of the program started from the folder and has it load the sample tree
// beside it: every entry it lists lies in that tree, which shows that it found its own folder.
// (Started from no settings, so that no list stored by an earlier start shows.)
void ExpectRunsBesideItsFiles(App& app, const std::wstring& program_folder) {
  ASSERT_NE(app.WaitForMainWindow(30s), nullptr) << "no window captioned Tessaline appeared";
  app.Click(view::kIdSamplesButton);
  const HWND question = app.WaitForMessageBox(30s);
  ASSERT_NE(question, nullptr) << "Load Sample/Example Folders asked nothing";
  app.PressButton(question, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }));
  const auto entries = app.ListItems(view::kIdFolderList);
  EXPECT_EQ(entries.size(), 8u);
  for (const auto& entry : entries) {
    EXPECT_EQ(entry.rfind(program_folder + L"\\Samples\\", 0), 0u) << win32::Narrow(entry);
  }
}

// Every test here installs on the machine it runs on, so it runs only in a throwaway Wine
// prefix, which the build makes for it.
class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "installs on this machine: runs only in a Wine prefix";
  }
};

TEST_F(PackageTest, MsiInstallsRunsUpgradesAndUninstallsLeavingTheUsersOwnData) {
  ASSERT_TRUE(UninstallEntriesNamed(L"Tessaline").empty()) << "the prefix is not fresh";
  ASSERT_FALSE(Exists(InstallFolder()));
  const std::wstring msi = FromLinux(TESSALINE_MSI);
  ASSERT_TRUE(Exists(msi));

  ASSERT_EQ(RunAndWait(L"msiexec.exe /i " + Quoted(msi) + L" /qn"), 0);
  {
    SCOPED_TRACE("installed");
    EXPECT_TRUE(HoldsTree(InstallFolder(), ProgramFolderTree()));
    const auto shortcuts = StartMenuShortcuts();
    ASSERT_EQ(shortcuts.size(), 1u);
    const auto link = ReadShortcut(shortcuts[0]);
    ASSERT_TRUE(link.has_value());
    EXPECT_TRUE(SamePath(link->target, InstalledProgram())) << win32::Narrow(link->target);
    EXPECT_TRUE(SamePath(link->working_folder, InstallFolder()))
        << win32::Narrow(link->working_folder);
    const auto program_icon = ReadBytes(FromLinux(TESSALINE_ICON));
    ASSERT_TRUE(program_icon.has_value());
    EXPECT_EQ(ReadBytes(link->icon), program_icon) << win32::Narrow(link->icon);

    const auto entries = UninstallEntriesNamed(L"Tessaline");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].publisher, L"Team Quintaro");
    EXPECT_EQ(entries[0].version, win32::Widen(TESSALINE_VERSION));
    EXPECT_EQ(entries[0].icon, InstalledProgram() + L",0");
    EXPECT_EQ(ProductsOfUpgradeCode(kUpgradeCode), std::vector<std::wstring>{entries[0].key});
    EXPECT_EQ(ReadBytes(ProductIcon(entries[0].key)), program_icon);
  }

  // The installed program enters itself under the Run key when asked to start with Windows.
  {
    ClearSettings();
    App app(InstalledProgram());
    ExpectRunsBesideItsFiles(app, InstallFolder());
    app.Click(view::kIdStartWithWindowsBox);
    EXPECT_TRUE(WaitUntil(
        [] { return RegistryText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue) == StartupCommand(); }));
    app.Close();
    EXPECT_TRUE(app.WaitForExit(20s));
  }
  // What the user and other programs own: a per-user start-up value under the same name (left
  // unquoted, as older versions wrote it), other programs' start-up values, and the history
  // log.
  SetRegistryText(HKEY_CURRENT_USER, kRunKey, kRunValue, InstalledProgram());
  for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    SetRegistryText(root, kRunKey, L"Other.exe", L"C:\\Other\\Other.exe");
  }
  WriteBytes(HistoryLogPath(), "a line of an earlier run\r\n");

  ASSERT_EQ(RunAndWait(L"msiexec.exe /i " + Quoted(FromLinux(TESSALINE_NEWER_MSI)) + L" /qn"), 0);
  std::wstring product;
  {
    SCOPED_TRACE("upgraded");
    const auto entries = UninstallEntriesNamed(L"Tessaline");
    ASSERT_EQ(entries.size(), 1u) << "the older version is still registered";
    EXPECT_EQ(entries[0].version, win32::Widen(TESSALINE_NEWER_VERSION));
    // (Installed products of the upgrade code are not asked here: when the replaced version
    // goes, Wine forgets the upgrade code's registration, the newer product's included.)
    product = entries[0].key;
    EXPECT_TRUE(HoldsTree(InstallFolder(), ProgramFolderTree()));
    EXPECT_EQ(StartMenuShortcuts().size(), 1u);
    // Replacing the program is not removing it: the start-up choice stays.
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue), StartupCommand());
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kRunKey, kRunValue), InstalledProgram());
  }

  // As the list of installed programs does it: by product code.
  ASSERT_EQ(RunAndWait(L"msiexec.exe /x " + product + L" /qn"), 0);
  {
    SCOPED_TRACE("uninstalled");
    EXPECT_FALSE(Exists(InstallFolder()));
    EXPECT_TRUE(StartMenuShortcuts().empty());
    EXPECT_TRUE(UninstallEntriesNamed(L"Tessaline").empty());
    EXPECT_TRUE(ProductsOfUpgradeCode(kUpgradeCode).empty());
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, kRunKey, kRunValue), std::nullopt);
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, kRunKey, kRunValue), std::nullopt);
    for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      EXPECT_EQ(RegistryText(root, kRunKey, L"Other.exe"), L"C:\\Other\\Other.exe");
    }
    EXPECT_EQ(ReadSetting(L"Windows Startup"), L"On");
    EXPECT_FALSE(
        RegistryText(HKEY_LOCAL_MACHINE, L"Software\\Team Quintaro\\Tessaline", L"ProductCode"));
    EXPECT_EQ(ReadBytes(HistoryLogPath()), "a line of an earlier run\r\n");
  }
}

TEST_F(PackageTest, PortableZipHoldsOneFolderThatRunsWhereverItIsUnpacked) {
  // A place no installer would choose, with a blank and a letter outside ASCII in its name.
  TempTree place({Folder("Unpacked here \xC3\xA9")});
  const std::wstring target = place / L"Unpacked here \u00E9";
  const auto unzip = RunLinuxShell("unzip -q " + ShellQuoted(TESSALINE_ZIP) + " -d " +
                                       ShellQuoted(LinuxPath(win32::Narrow(target))),
                                   60000);
  ASSERT_TRUE(unzip.has_value());
  ASSERT_EQ(unzip->exit_code, 0) << unzip->output;

  EXPECT_EQ(NamesIn(target), std::vector<std::wstring>{L"Tessaline"});
  const std::wstring folder = target + L"\\Tessaline";
  EXPECT_TRUE(HoldsTree(folder, ProgramFolderTree()));
  ClearSettings();
  App app(folder + L"\\Tessaline.exe");
  ExpectRunsBesideItsFiles(app, folder);
}

TEST_F(PackageTest, TheProgramStatesTheProjectsVersionAndCarriesItsIcon) {
  const std::wstring program = FromLinux(TESSALINE_BUILT_PROGRAM);
  auto resource = ReadVersionResource(program);
  ASSERT_TRUE(resource.has_value()) << "no version resource";
  const std::wstring version = win32::Widen(TESSALINE_VERSION);
  EXPECT_EQ(resource->file_version, version + L".0");
  EXPECT_EQ(resource->product_version, version + L".0");
  EXPECT_EQ(resource->texts[L"FileVersion"], version);
  EXPECT_EQ(resource->texts[L"ProductVersion"], version);
  EXPECT_EQ(resource->texts[L"ProductName"], L"Tessaline");
  EXPECT_EQ(resource->texts[L"OriginalFilename"], L"Tessaline.exe");
  EXPECT_EQ(resource->texts[L"CompanyName"], L"Team Quintaro");
  EXPECT_EQ(resource->texts[L"LegalCopyright"], L"Copyright (C) 2026 Team Quintaro");
  EXPECT_EQ(resource->texts[L"FileDescription"], win32::Widen(TESSALINE_DESCRIPTION));
  EXPECT_TRUE(HasIconGroup(program, IDI_APP));
}

}  // namespace
}  // namespace tess::package
