// Drives the shell's folder-browse dialog of a running Tessaline from another process.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "win_support/app.h"

namespace tess::e2e {

// The program's folder-browse dialog: a #32770 window of its process that holds a folder tree,
// which tells it apart from the program's message boxes.
class BrowseDialog {
 public:
  // Waits until the dialog is shown; Valid() is false when none came.
  static BrowseDialog WaitFor(const test::App& app,
                              std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // The dialog if one is showing now.
  static BrowseDialog Find(const test::App& app);

  bool Valid() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  HWND Owner() const { return GetWindow(window_, GW_OWNER); }
  bool Showing() const { return IsWindow(window_) != FALSE && IsWindowVisible(window_) != FALSE; }

  // The texts of the dialog's labels, the caller's title among them.
  std::vector<std::wstring> Labels() const;
  // Display names from the tree's root down to its selected item; empty when nothing is
  // selected.
  std::vector<std::wstring> SelectedChain() const;
  bool OkEnabled() const;

  // Asks the dialog to select a folder, as the program's own start-up notification does, and
  // waits until the tree's selection ends in that folder's name and OK can be pressed. False
  // when it never did.
  bool Select(const std::wstring& path,
              std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;
  // The same for a shell name such as "::{class id}", waiting for the name the tree shows.
  bool SelectShownAs(const std::wstring& shell_name, const std::wstring& shown,
                     std::chrono::milliseconds timeout = std::chrono::seconds(15)) const;
  // Presses OK or Cancel and waits until the dialog is gone.
  bool Confirm() const { return Press(IDOK); }
  bool Cancel() const { return Press(IDCANCEL); }

 private:
  BrowseDialog(const test::App* app, HWND window) : app_(app), window_(window) {}
  HWND Tree() const;
  // Sends the dialog the set-selection message with the path placed in the program's memory.
  void RequestSelection(const std::wstring& path) const;
  bool Request(const std::wstring& path,
               const std::function<bool(const std::vector<std::wstring>&)>& arrived,
               std::chrono::milliseconds timeout) const;
  bool Press(int button_id) const;

  const test::App* app_ = nullptr;
  HWND window_ = nullptr;
};

// Whether the name the dialog's tree shows for an item is the one it shows for a path.
bool ShownAs(const std::wstring& name, const std::wstring& path);

}  // namespace tess::e2e
