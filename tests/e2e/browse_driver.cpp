#include "e2e/browse_driver.h"

#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>

#include "platform/win32/handles.h"

namespace tess::e2e {

namespace {

constexpr int kRemoteTextChars = 1024;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

std::wstring CaptionOf(HWND window) {
  wchar_t text[512] = {};
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, &got);
  return text;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> ChildrenOf(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND ChildOfClass(HWND parent, const wchar_t* class_name) {
  for (const HWND child : ChildrenOf(parent)) {
    if (ClassOf(child) == class_name) return child;
  }
  return nullptr;
}

std::vector<DWORD> RunningProcesses() {
  std::vector<DWORD> ids;
  win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Valid()) return ids;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    ids.push_back(entry.th32ProcessID);
  }
  return ids;
}

bool Contains(const std::vector<DWORD>& ids, DWORD id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Memory inside the program's process for messages whose parameters are pointers.
class RemoteMemory {
 public:
  RemoteMemory(DWORD process_id, size_t size)
      : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                             process_id)) {
    if (process_.Valid()) {
      base_ = static_cast<char*>(
          VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
  }
  ~RemoteMemory() {
    if (base_ != nullptr) VirtualFreeEx(process_.Get(), base_, 0, MEM_RELEASE);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;

  bool Valid() const { return base_ != nullptr; }
  char* At(size_t offset) const { return base_ + offset; }
  bool Write(size_t offset, const void* data, size_t size) const {
    return WriteProcessMemory(process_.Get(), base_ + offset, data, size, nullptr) != FALSE;
  }
  bool Read(size_t offset, void* data, size_t size) const {
    return ReadProcessMemory(process_.Get(), base_ + offset, data, size, nullptr) != FALSE;
  }

 private:
  win32::UniqueObject process_;
  char* base_ = nullptr;
};

LRESULT SendWithin(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &result);
  return static_cast<LRESULT>(result);
}

}  // namespace

BrowseDialog BrowseDialog::Find(const App& app) {
  for (const HWND window : TopLevelWindows()) {
    if (ProcessOf(window) != app.ProcessId() || !IsWindowVisible(window)) continue;
    if (ClassOf(window) != L"#32770") continue;
    if (ChildOfClass(window, WC_TREEVIEWW) == nullptr) continue;
    return BrowseDialog(&app, window);
  }
  return BrowseDialog(&app, nullptr);
}

BrowseDialog BrowseDialog::WaitFor(const App& app, std::chrono::milliseconds timeout) {
  BrowseDialog dialog(&app, nullptr);
  WaitUntil([&] { return (dialog = Find(app)).Valid() || !app.Running(); }, timeout);
  return dialog;
}

HWND BrowseDialog::Tree() const { return ChildOfClass(window_, WC_TREEVIEWW); }

std::vector<std::wstring> BrowseDialog::Labels() const {
  std::vector<std::wstring> labels;
  for (const HWND child : ChildrenOf(window_)) {
    if (ClassOf(child) != L"Static") continue;
    const std::wstring text = app_->Text(child);
    if (!text.empty()) labels.push_back(text);
  }
  return labels;
}

std::vector<std::wstring> BrowseDialog::SelectedChain() const {
  std::vector<std::wstring> chain;
  const HWND tree = Tree();
  RemoteMemory remote(app_->ProcessId(), sizeof(TVITEMW) + kRemoteTextChars * sizeof(wchar_t));
  if (tree == nullptr || !remote.Valid()) return chain;
  auto item = reinterpret_cast<HTREEITEM>(SendWithin(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  while (item != nullptr) {
    TVITEMW request = {};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = reinterpret_cast<LPWSTR>(remote.At(sizeof(TVITEMW)));
    request.cchTextMax = kRemoteTextChars;
    const wchar_t nothing = L'\0';
    remote.Write(sizeof(TVITEMW), &nothing, sizeof(nothing));
    remote.Write(0, &request, sizeof(request));
    if (!SendWithin(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At(0)))) break;
    std::wstring text(kRemoteTextChars, L'\0');
    remote.Read(sizeof(TVITEMW), text.data(), text.size() * sizeof(wchar_t));
    text.resize(wcsnlen(text.c_str(), text.size()));
    chain.insert(chain.begin(), text);
    item = reinterpret_cast<HTREEITEM>(
        SendWithin(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
  }
  return chain;
}

bool BrowseDialog::OkEnabled() const { return IsWindowEnabled(GetDlgItem(window_, IDOK)) != FALSE; }

void BrowseDialog::RequestSelection(const std::wstring& path) const {
  const size_t bytes = (path.size() + 1) * sizeof(wchar_t);
  RemoteMemory remote(app_->ProcessId(), bytes);
  if (!remote.Valid() || !remote.Write(0, path.c_str(), bytes)) return;
  // Sent, not posted: the path must stay in the program's memory until the dialog has read it.
  SendWithin(window_, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote.At(0)));
}

bool BrowseDialog::Select(const std::wstring& path, std::chrono::milliseconds timeout) const {
  return Request(
      path,
      [&](const std::vector<std::wstring>& chain) {
        return !chain.empty() && ShownAs(chain.back(), path) && OkEnabled();
      },
      timeout);
}

bool BrowseDialog::SelectShownAs(const std::wstring& shell_name, const std::wstring& shown,
                                 std::chrono::milliseconds timeout) const {
  return Request(
      shell_name,
      [&](const std::vector<std::wstring>& chain) {
        return !chain.empty() && chain.back() == shown;
      },
      timeout);
}

bool BrowseDialog::Request(const std::wstring& path,
                           const std::function<bool(const std::vector<std::wstring>&)>& arrived,
                           std::chrono::milliseconds timeout) const {
  const auto end = std::chrono::steady_clock::now() + timeout;
  // Under Wine the first request to a freshly opened dialog is now and then lost (nothing
  // gets selected), so it is repeated until the selection arrives.
  do {
    RequestSelection(path);
    if (WaitUntil([&] { return arrived(SelectedChain()); }, std::chrono::seconds(1))) return true;
  } while (std::chrono::steady_clock::now() < end);
  return false;
}

bool BrowseDialog::Press(int button_id) const {
  PostMessageW(GetDlgItem(window_, button_id), BM_CLICK, 0, 0);
  return WaitUntil([&] { return !Showing(); });
}

std::wstring LastPart(const std::wstring& path) {
  std::wstring trimmed = path;
  while (trimmed.size() > 3 && trimmed.back() == L'\\') trimmed.pop_back();
  const auto slash = trimmed.rfind(L'\\');
  return slash == std::wstring::npos ? trimmed : trimmed.substr(slash + 1);
}

bool ShownAs(const std::wstring& name, const std::wstring& path) {
  // The tree names a drive by its label followed by the drive in parentheses.
  if (path.size() == 3 && path[1] == L':' && path[2] == L'\\') {
    const std::wstring drive = L"(" + path.substr(0, 2) + L")";
    return name.size() >= drive.size() &&
           _wcsicmp(name.c_str() + name.size() - drive.size(), drive.c_str()) == 0;
  }
  return name == LastPart(path);
}

std::wstring LongTempFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetTempPathW(MAX_PATH + 1, path);
  std::wstring folder(path, length);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  // The short 8.3 form would not match the names the dialog shows.
  wchar_t full[MAX_PATH + 1] = {};
  if (GetLongPathNameW(folder.c_str(), full, MAX_PATH + 1) > 0) folder = full;
  return folder;
}

TempSubfolder::TempSubfolder(const std::wstring& name, Make make)
    : path_(LongTempFolder() + L"\\" + name) {
  RemoveDirectoryW(path_.c_str());  // a leftover of an earlier, killed run
  if (make == Make::kNow) made_ = CreateDirectoryW(path_.c_str(), nullptr) != FALSE;
}

TempSubfolder::~TempSubfolder() { RemoveDirectoryW(path_.c_str()); }

bool TempSubfolder::Exists() const {
  const DWORD attributes = GetFileAttributesW(path_.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

NewWindows::NewWindows() : known_processes_(RunningProcesses()) {}

NewWindows::~NewWindows() { CloseAll(); }

std::vector<NewWindows::Found> NewWindows::Now() {
  std::vector<Found> found;
  for (const HWND window : TopLevelWindows()) {
    const DWORD pid = ProcessOf(window);
    if (Contains(known_processes_, pid) || !IsWindowVisible(window)) continue;
    if (!Contains(seen_processes_, pid)) seen_processes_.push_back(pid);
    found.push_back(Found{window, pid, ClassOf(window), CaptionOf(window)});
  }
  return found;
}

void NewWindows::CloseAll() {
  for (const Found& window : Now()) PostMessageW(window.window, WM_CLOSE, 0, 0);
  for (const DWORD pid : seen_processes_) {
    win32::UniqueObject process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    if (!process.Valid()) continue;
    if (WaitForSingleObject(process.Get(), 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process.Get(), 1);
      WaitForSingleObject(process.Get(), 5000);
    }
  }
  seen_processes_.clear();
}

}  // namespace tess::e2e
