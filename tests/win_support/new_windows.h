// The windows of programs the program under test starts (the file manager, the text editor):
// visible top-level windows of processes that did not exist when the watch began, closed and
// their processes ended when the watch ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tess::test {

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
  // The first such window of the class; nullptr when none shows.
  HWND OfClass(const std::wstring& class_name);
  // Closes the new windows and ends their processes, and any new file manager or text editor
  // that shows no window. Make the watcher once the program's window shows, so that Wine's
  // desktop process is among the known ones.
  void CloseAll();

 private:
  std::vector<DWORD> known_processes_;
  std::vector<DWORD> seen_processes_;
};

}  // namespace tess::test
