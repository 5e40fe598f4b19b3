#include "win32/win_shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "base/platform_error.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace tess::win32 {

namespace {
// Frees a shell item list when it goes out of scope.
struct ItemList {
  PIDLIST_ABSOLUTE pidl = nullptr;
  ~ItemList() {
    if (pidl != nullptr) CoTaskMemFree(pidl);
  }
};

std::string PathOfItem(PCIDLIST_ABSOLUTE pidl) {
  // Room for long paths; the shell cuts nothing it can express.
  std::vector<wchar_t> buffer(32768, L'\0');
  if (!SHGetPathFromIDListEx(pidl, buffer.data(), static_cast<DWORD>(buffer.size()),
                             GPFIDL_DEFAULT)) {
    return "";
  }
  return Narrow(std::wstring(buffer.data()));
}

// The folder the dialog should open at. The dialog is asked to select it when it starts; some
// shells (Wine's, with a folder that was just made) drop that first request while the tree is
// still filling, so it is asked again a few times until the folder shows as selected.
struct Preselection {
  std::wstring folder;
  bool reached = false;
  int requests = 0;
};
constexpr wchar_t kPreselectionProp[] = L"TessalinePreselection";
constexpr UINT_PTR kPreselectionTimer = 1;
constexpr UINT kPreselectionRetryMs = 200;
constexpr int kMaxPreselectionRequests = 6;

bool SameFolder(std::wstring a, std::wstring b) {
  while (a.size() > 3 && a.back() == L'\\') a.pop_back();
  while (b.size() > 3 && b.back() == L'\\') b.pop_back();
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

void RequestPreselection(HWND dialog, Preselection& want) {
  ++want.requests;
  SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(want.folder.c_str()));
}

void CALLBACK PreselectionRetry(HWND dialog, UINT, UINT_PTR timer, DWORD) {
  auto* want = static_cast<Preselection*>(GetPropW(dialog, kPreselectionProp));
  if (want == nullptr || want->reached || want->requests >= kMaxPreselectionRequests) {
    KillTimer(dialog, timer);
    RemovePropW(dialog, kPreselectionProp);
    return;
  }
  RequestPreselection(dialog, *want);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data) {
  auto* want = reinterpret_cast<Preselection*>(data);
  if (want == nullptr || want->folder.empty()) return 0;
  if (message == BFFM_INITIALIZED) {
    RequestPreselection(dialog, *want);
    if (!want->reached && SetPropW(dialog, kPreselectionProp, want)) {
      SetTimer(dialog, kPreselectionTimer, kPreselectionRetryMs, PreselectionRetry);
    }
  } else if (message == BFFM_SELCHANGED && !want->reached && param != 0) {
    const auto* item = reinterpret_cast<PCIDLIST_ABSOLUTE>(param);
    if (SameFolder(Widen(PathOfItem(item)), want->folder)) want->reached = true;
  }
  return 0;
}
}  // namespace

std::string WinShell::SpecialFolderPath(int folder_id) {
  ItemList item;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder_id, &item.pidl))) return "";
  return PathOfItem(item.pidl);
}

std::string WinShell::BrowseForFolder(const std::string& title, const std::string& start) {
  const std::wstring wide_title = Widen(title);
  Preselection start_folder{Widen(start)};
  BROWSEINFOW info = {};
  info.hwndOwner = owner_ ? owner_() : nullptr;
  info.lpszTitle = wide_title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&start_folder);
  ItemList item;
  item.pidl = SHBrowseForFolderW(&info);
  if (item.pidl == nullptr) return "";
  return PathOfItem(item.pidl);
}

namespace {
// The system's answer from one of the two folder calls, which take a buffer and answer the
// length they need when it is too small; "" when they fail.
template <typename Call>
std::string SystemPath(Call call) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const UINT length = call(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return "";
    if (length < buffer.size()) return Narrow(buffer.data(), length);
    buffer.resize(length + 1);
  }
  return "";
}

// A drive-rooted ("C:\...") or network ("\\server\share\...") path; anything else would be
// completed from the current folder.
bool IsFullPath(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return true;
  return path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\';
}
}  // namespace

std::string WinShell::WindowsFolder() {
  return SystemPath(
      [](wchar_t* buffer, UINT size) { return GetSystemWindowsDirectoryW(buffer, size); });
}

std::string WinShell::SystemFolder() {
  return SystemPath([](wchar_t* buffer, UINT size) { return GetSystemDirectoryW(buffer, size); });
}

std::wstring QuotedCommandLine(const std::wstring& program, const std::wstring& argument) {
  std::wstring line = L"\"" + program + L"\" \"";
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'"') continue;
    if (c == L'\\') {
      ++backslashes;
    } else {
      backslashes = 0;
    }
    line += c;
  }
  line.append(backslashes, L'\\');
  line += L'"';
  return line;
}

void WinShell::StartProcess(const std::string& program, const std::string& argument,
                            bool show_minimized) {
  const std::wstring path = Widen(program);
  if (!IsFullPath(path)) ThrowLastError(ERROR_BAD_PATHNAME);
  std::wstring command = QuotedCommandLine(path, Widen(argument));
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = show_minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  // The program named as the application, so the system starts exactly that file.
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ThrowLastError(GetLastError());
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void WinShell::Open(const std::string& path) {
  // Started from the system drive's root, so the program started holds no folder of ours.
  wchar_t windows[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring start = length >= 3 && length < MAX_PATH ? std::wstring(windows, 3) : L"C:\\";
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
      owner_ ? owner_() : nullptr, nullptr, Widen(path).c_str(), nullptr, start.c_str(), SW_SHOW));
  if (result > 32) return;
  // The shell's own small error numbers mean what the system's numbers of the same value mean.
  const DWORD code = GetLastError();
  ThrowLastError(code != 0 ? code : static_cast<DWORD>(result != 0 ? result : ERROR_OUTOFMEMORY));
}

}  // namespace tess::win32
