#include "win_support/linux_side.h"

#include <windows.h>

#include <cstdlib>

#include "win32/text.h"
#include "win_support/files.h"
#include "win_support/temp_tree.h"

namespace tess::test {
namespace {

// Wine's own exports, looked up at run time so the tests also run on Windows.
using UnixFileNameFunction = char*(__cdecl*)(const wchar_t*);

FARPROC WineExport(const char* module, const char* name) {
  const HMODULE handle = GetModuleHandleA(module);
  return handle == nullptr ? nullptr : GetProcAddress(handle, name);
}

}  // namespace

bool UnderWine() { return WineExport("ntdll.dll", "wine_get_version") != nullptr; }

std::string LinuxPath(const std::string& windows_path) {
  const auto convert =
      reinterpret_cast<UnixFileNameFunction>(WineExport("kernel32.dll", "wine_get_unix_file_name"));
  if (convert == nullptr) return "";
  char* unix_name = convert(win32::Widen(windows_path).c_str());
  if (unix_name == nullptr) return "";
  std::string path = unix_name;
  HeapFree(GetProcessHeap(), 0, unix_name);
  return path;
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

std::optional<ShellResult> RunLinuxShell(const std::string& command, int timeout_ms) {
  if (!UnderWine()) return std::nullopt;
  TempTree folder;
  const std::string script = folder / "command.sh";
  const std::string done = folder / "command.done";
  const std::string output = folder / "command.out";
  WriteBytes(script, "(\n" + command + "\n) >" + ShellQuoted(LinuxPath(output)) +
                         " 2>&1 </dev/null\necho $? >" + ShellQuoted(LinuxPath(done) + ".part") +
                         "\nmv " + ShellQuoted(LinuxPath(done) + ".part") + " " +
                         ShellQuoted(LinuxPath(done)) + "\n");
  // Wine splits the command line by the Windows rules, so the path goes in double quotes.
  std::wstring line = L"/bin/sh \"" + win32::Widen(LinuxPath(script)) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return std::nullopt;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int waited = 0; !Exists(done); waited += 10) {
    if (waited >= timeout_ms) return std::nullopt;
    Sleep(10);
  }
  ShellResult result;
  result.exit_code = std::atoi(ReadBytes(done).value_or("").c_str());
  result.output = ReadBytes(output).value_or("");
  return result;
}

std::string FreeDriveLetter() {
  for (char c = 'P'; c <= 'Y'; ++c) {
    const std::wstring root = {static_cast<wchar_t>(c), L':', L'\\'};
    if (GetDriveTypeW(root.c_str()) == DRIVE_NO_ROOT_DIR) return std::string(1, c) + ":";
  }
  return "";
}

MappedDrive::MappedDrive(const std::string& folder) {
  const std::string letter = FreeDriveLetter();
  if (letter.empty()) {
    why_ = "no free drive letter";
    return;
  }
  if (!UnderWine()) {
    if (!DefineDosDeviceW(0, win32::Widen(letter).c_str(), win32::Widen(folder).c_str())) {
      why_ = "DefineDosDevice failed: " + win32::SystemMessage(GetLastError());
      return;
    }
    letter_ = letter;
    return;
  }
  // The drive letters of a Wine prefix are links in its dosdevices folder.
  const char lower = static_cast<char>(letter[0] - 'A' + 'a');
  link_ = std::string("\"${WINEPREFIX:-$HOME/.wine}/dosdevices/") + lower + ":\"";
  const auto made = RunLinuxShell("ln -s " + ShellQuoted(LinuxPath(folder)) + " " + link_);
  if (!made || made->exit_code != 0) {
    why_ = "cannot link a drive letter: " + (made ? made->output : std::string("no shell"));
    link_.clear();
    return;
  }
  letter_ = letter;
}

MappedDrive::~MappedDrive() {
  if (letter_.empty()) return;
  if (link_.empty()) {
    DefineDosDeviceW(DDD_REMOVE_DEFINITION, win32::Widen(letter_).c_str(), nullptr);
  } else {
    RunLinuxShell("rm -f " + link_);
  }
}

}  // namespace tess::test
