// Entry point: wires the Win32 services to the window model, runs the start-up sequence
// before the window is first shown, and runs the message loop.

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
// clang-format on

#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/command_line_backup.h"
#include "shell/command_line_verify.h"
#include "shell/main_form.h"
#include "view/control_ids.h"
#include "view/dpi.h"
#include "view/main_window.h"
#include "win32/registry_settings_store.h"
#include "win32/single_copy.h"
#include "win32/text.h"
#include "win32/win_clock.h"
#include "win32/win_console.h"
#include "win32/win_dialogs.h"
#include "win32/win_environment.h"
#include "win32/win_event_pump.h"
#include "win32/win_file_system.h"
#include "win32/win_notify_icon.h"
#include "win32/win_registry.h"
#include "win32/win_sha256.h"
#include "win32/win_shell.h"

namespace {

// COM in a single-threaded apartment, with OLE on top: the browse dialog needs the first,
// dropping files from the shell the second.
class OleSession {
 public:
  OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
  ~OleSession() {
    if (initialised_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialised_;
};

int RunMessageLoop() {
  MSG msg;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 1;
    tess::win32::DispatchWindowMessage(msg);
  }
}

// The arguments after the program's own name.
std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count);
  if (list == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(tess::win32::Narrow(list[i]));
  LocalFree(list);
  return arguments;
}

// The text on the console the program was started from, or in a box when it has none (started
// from the desktop or the Run box).
int Tell(const std::string& text, int exit_code) {
  tess::win32::WinConsole console;
  if (console.Available()) {
    console.WriteLine(text);
  } else {
    MessageBoxW(nullptr, tess::win32::Widen(text).c_str(), L"Tessaline",
                MB_OK | (exit_code == 0 ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
  }
  return exit_code;
}

// The adapters of a run without a window.
struct WindowlessServices {
  tess::win32::WinConsole console;
  tess::win32::RegistrySettingsStore settings;
  tess::win32::WinFileSystem files;
  tess::win32::WinShell shell{nullptr};
  tess::win32::WinEnvironment environment;
  tess::win32::WinClock clock;
  tess::win32::WinEventPump pump;
  tess::win32::WinSha256 hash;
};

// One backup without a window. It takes no part in the one-window rule: it neither waits for
// nor disturbs a running window copy, and its temporary files are named apart from that copy's.
// Only at its end does it tell that copy, if there is one, that the tray's outcome changed.
int RunBackup() {
  WindowlessServices s;
  return tess::RunBackupFromCommandLine(
      {s.settings, s.files, s.shell, s.environment, s.clock, s.pump, s.console, nullptr,
       [] { tess::win32::TellRunningCopyOutcomeStored(tess::view::kMainWindowClass); }, &s.hash});
}

// Reads the backups back against their manifests, without a window, like /backup.
int RunVerify() {
  WindowlessServices s;
  return tess::VerifyFromCommandLine(
      {s.settings, s.files, s.shell, s.environment, s.clock, s.pump, s.console, s.hash});
}

// Becomes the session's window copy, or has the running one show itself. A copy that is still
// starting has no window to show yet, and one that is ending gives up its claim, so both are
// asked again for a while.
bool BecomeTheWindowCopy(std::optional<tess::win32::SessionClaim>& claim) {
  constexpr int kAttempts = 100;
  constexpr DWORD kPauseMs = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    claim.emplace();
    if (claim->Held()) return true;
    if (tess::win32::ShowRunningCopy(tess::view::kMainWindowClass)) return false;
    Sleep(kPauseMs);
  }
  return false;
}

int Run(HINSTANCE instance) {
  using namespace tess;
  using namespace tess::win32;
  view::MainWindow window(instance);
  const auto owner = [&window] { return window.Handle(); };
  RegistrySettingsStore settings;
  WinFileSystem files;
  WinShell shell(owner);
  WinRegistry registry;
  WinEnvironment environment;
  WinDialogs dialogs(owner);
  WinNotifyIcon notify_icon(window.Handle(), window.SmallIcon(), window.SmallWarningIcon());
  WinClock clock;
  WinEventPump pump;
  WinSha256 hash;
  MainForm form(Services{settings, files, shell, registry, environment, dialogs, notify_icon, clock,
                         pump, nullptr, &hash});
  const auto attachment = window.Attach(form);
  window.Load();
  window.ShowFirstTime();
  return RunMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // Libraries loaded later (the shell's dialogs load many) come from the system's folder only,
  // never from the program's own folder or the current one: a copy unpacked in Downloads
  // must not load whatever else lies there.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  tess::view::EnablePerMonitorDpiAwareness();
  OleSession ole;
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                   ICC_BAR_CLASSES | ICC_WIN95_CLASSES;
  InitCommonControlsEx(&controls);
  const tess::CommandLine line = tess::ReadCommandLine(Arguments());
  switch (line.request) {
    case tess::StartRequest::kUsage:
      return Tell(tess::UsageText(), tess::kExitAllSaved);
    case tess::StartRequest::kUnknownArgument:
      return Tell(tess::UnknownArgumentText(line.unknown_argument), tess::kExitNothingRan);
    case tess::StartRequest::kBackup:
      return RunBackup();
    case tess::StartRequest::kVerify:
      return RunVerify();
    case tess::StartRequest::kWindow:
      break;
  }
  // Held until the program ends; a later start finds it and shows this copy instead.
  std::optional<tess::win32::SessionClaim> claim;
  if (!BecomeTheWindowCopy(claim)) return 0;
  try {
    return Run(instance);
  } catch (const std::exception& e) {
    // Only a failure to create the window itself ends up here.
    MessageBoxW(nullptr, tess::win32::Widen(e.what()).c_str(), L"Tessaline", MB_OK | MB_ICONERROR);
    return 1;
  }
}
