// The real Tessaline.exe, started as a process of its own and driven from outside the way a
// user or a screen reader would: its main window and controls, list entries, tooltips, message
// boxes, clicks, keys and texts, and what it shows on screen.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "win32/handles.h"

namespace tess::test {

// The folder the program runs from.
std::wstring ProgramFolder();
// Where tests leave screenshots and other artefacts (beside the program, under build/).
std::wstring ArtefactFolder();

// A place in pixels relative to the main window's client area.
struct Place {
  int left = 0, top = 0, width = 0, height = 0;
};

// One running instance of the program. The destructor kills it if it is still running, so a
// failing test never leaves it behind.
class App {
 public:
  App();
  // The program at another place, such as an installed or unpacked copy.
  explicit App(const std::wstring& exe_path);
  // With a command line after the program's quoted path, started in current_folder (its own
  // folder when empty).
  App(const std::wstring& exe_path, const std::wstring& arguments,
      const std::wstring& current_folder);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  DWORD ProcessId() const { return process_id_; }
  bool Running() const;
  bool WaitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
  void Kill();
  // The exit code once the process has ended; STILL_ACTIVE before.
  DWORD ExitCode() const;

  // The main window (class and caption "Tessaline"), once it is visible; nullptr on timeout.
  HWND WaitForMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(15));
  // The main window once it exists and is hidden (a start in the tray); nullptr on timeout.
  HWND WaitForHiddenMainWindow(std::chrono::milliseconds timeout = std::chrono::seconds(15));
  HWND Main() const { return main_; }
  HWND Control(int id) const;
  int Dpi() const;

  std::wstring Text(HWND window) const;
  std::wstring Text(int id) const { return Text(Control(id)); }
  int CheckState(int id) const;
  bool Visible(int id) const;
  bool Enabled(int id) const;
  Place PlaceOf(int id) const;
  bool Iconic() const;
  bool MainVisible() const;

  // List views, across the process boundary.
  std::vector<std::wstring> ListItems(int id) const;
  int ListCount(int id) const;
  std::wstring ListItem(int id, int index) const;
  std::wstring ListColumn(int id, int* width_pixels = nullptr) const;
  int ListSelection(int id) const;  // 0-based, -1 when nothing is selected
  void SelectListItem(int id, int index);
  void DoubleClickList(int id, POINT client_point);
  // The centre of an entry in the list's client coordinates.
  POINT ListItemCentre(int id, int index) const;
  void KeyDown(int id, WORD key);
  // The text of the tooltip registered for a control, read from the program's tooltip window.
  std::wstring ToolTipOf(int id) const;

  void Click(int id);  // posted, so a handler that opens a modal box does not block us
  void SetText(int id, const std::wstring& text);
  void Post(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
  LRESULT Send(UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
  void Close() { Post(WM_CLOSE); }
  // Returns once the program has handled every message posted to it before this call.
  bool Settle();

  // Message boxes of the program (#32770 windows of its process).
  HWND WaitForMessageBox(std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  HWND FindMessageBox() const;
  std::wstring MessageBoxText(HWND box) const;
  void PressButton(HWND box, int button_id);

  // The colour on screen at a point of the main window's client area.
  COLORREF PixelAt(POINT client) const;
  // Captures the main window from the screen into a 24-bit BMP; returns how many distinct
  // colours the picture holds (0 when nothing could be captured).
  int SaveScreenshot(const std::wstring& path) const;

 private:
  win32::UniqueObject process_;
  DWORD process_id_ = 0;
  HWND main_ = nullptr;
};

// The program the build made, with a command line, run to its end with its output captured
// (standard output and error through one pipe).
struct Finished {
  DWORD exit_code = 0;
  std::string output;
};
std::optional<Finished> RunToEnd(const std::wstring& arguments,
                                 std::chrono::milliseconds timeout = std::chrono::seconds(60));
// The build's Tessaline.exe.
std::wstring ProgramPath();

}  // namespace tess::test
