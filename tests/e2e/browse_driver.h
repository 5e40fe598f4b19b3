// Drives the shell's folder-browse dialog of a running Tessaline from another process, finds
// the file manager windows the program starts, and makes real folders for the dialog to show.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "e2e/driver.h"

namespace tess::e2e {

// The program's folder-browse dialog: a #32770 window of its process that holds a folder tree,
// which tells it apart from the program's message boxes.
class BrowseDialog {
 public:
  // Waits until the dialog is shown; Valid() is false when none came.
  static BrowseDialog WaitFor(const App& app,
                              std::chrono::milliseconds timeout = std::chrono::seconds(10));
  // The dialog if one is showing now.
  static BrowseDialog Find(const App& app);

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
  BrowseDialog(const App* app, HWND window) : app_(app), window_(window) {}
  HWND Tree() const;
  // Sends the dialog the set-selection message with the path placed in the program's memory.
  void RequestSelection(const std::wstring& path) const;
  bool Request(const std::wstring& path,
               const std::function<bool(const std::vector<std::wstring>&)>& arrived,
               std::chrono::milliseconds timeout) const;
  bool Press(int button_id) const;

  const App* app_ = nullptr;
  HWND window_ = nullptr;
};

// The last part of a path: the name the dialog's tree shows for a folder.
std::wstring LastPart(const std::wstring& path);

// Whether the name the dialog's tree shows for an item is the one it shows for a path.
bool ShownAs(const std::wstring& name, const std::wstring& path);

// The Windows temporary folder in its long form (as the dialog names it), without a trailing
// backslash.
std::wstring LongTempFolder();

// A real, empty folder under the temporary folder that is removed again when the test ends,
// pass or fail. Made at once, or only named when the test needs a folder that must not appear.
class TempSubfolder {
 public:
  enum class Make { kNow, kNo };
  explicit TempSubfolder(const std::wstring& name, Make make = Make::kNow);
  ~TempSubfolder();
  TempSubfolder(const TempSubfolder&) = delete;
  TempSubfolder& operator=(const TempSubfolder&) = delete;
  const std::wstring& Path() const { return path_; }
  bool Made() const { return made_; }
  bool Exists() const;

 private:
  std::wstring path_;
  bool made_ = false;
};

// Visible top-level windows that belong to processes started after a given moment: the file
// manager and anything else the program launched. Each is closed (and its process ended) when
// this watcher goes away.
class NewWindows {
 public:
  NewWindows();
  ~NewWindows();
  NewWindows(const NewWindows&) = delete;
  NewWindows& operator=(const NewWindows&) = delete;

  struct Found {
    HWND window;
    DWORD process_id;
    std::wstring class_name;
    std::wstring caption;
  };
  // Windows of processes that did not exist when the watcher was made.
  std::vector<Found> Now();
  void CloseAll();

 private:
  std::vector<DWORD> known_processes_;
  std::vector<DWORD> seen_processes_;
};

}  // namespace tess::e2e
