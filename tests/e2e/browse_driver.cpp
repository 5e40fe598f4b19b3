#include "e2e/browse_driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include "win_support/files.h"
#include "win_support/remote_memory.h"
#include "win_support/window_queries.h"

namespace tess::e2e {

using namespace tess::test;

BrowseDialog BrowseDialog::Find(const App& app) {
  const HWND window = FindTopLevel(app.ProcessId(), [](HWND window) {
    return ClassOf(window) == L"#32770" && ChildOfClass(window, WC_TREEVIEWW) != nullptr;
  });
  return BrowseDialog(&app, window);
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
    const std::wstring text = TextOf(child);
    if (!text.empty()) labels.push_back(text);
  }
  return labels;
}

std::vector<std::wstring> BrowseDialog::SelectedChain() const {
  std::vector<std::wstring> chain;
  const HWND tree = Tree();
  const RemoteRecord<TVITEMW> remote(app_->ProcessId());
  if (tree == nullptr || !remote.Valid()) return chain;
  auto item = reinterpret_cast<HTREEITEM>(SendWithin(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  while (item != nullptr) {
    TVITEMW request = {};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText = remote.TextBuffer();
    request.cchTextMax = remote.kTextChars;
    if (!SendWithin(tree, TVM_GETITEMW, 0, remote.Put(request))) break;
    chain.insert(chain.begin(), remote.Text());
    item = reinterpret_cast<HTREEITEM>(
        SendWithin(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
  }
  return chain;
}

bool BrowseDialog::OkEnabled() const { return IsWindowEnabled(GetDlgItem(window_, IDOK)) != FALSE; }

void BrowseDialog::RequestSelection(const std::wstring& path) const {
  const size_t bytes = (path.size() + 1) * sizeof(wchar_t);
  const RemoteMemory remote(app_->ProcessId(), bytes);
  if (!remote.Write(0, path.c_str(), bytes)) return;
  // Sent, not posted: the path must stay in the program's memory until the dialog has read it.
  SendWithin(window_, BFFM_SETSELECTIONW, TRUE, remote.Param());
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

bool ShownAs(const std::wstring& name, const std::wstring& path) {
  // The tree names a drive by its label followed by the drive in parentheses.
  if (path.size() == 3 && path[1] == L':' && path[2] == L'\\') {
    const std::wstring drive = L"(" + path.substr(0, 2) + L")";
    return name.size() >= drive.size() &&
           _wcsicmp(name.c_str() + name.size() - drive.size(), drive.c_str()) == 0;
  }
  return name == LastPart(path);
}

}  // namespace tess::e2e
