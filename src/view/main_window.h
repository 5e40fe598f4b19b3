// The thin Win32 view of the main window: it creates the real window and its standard child
// controls from the model's design, keeps them in step with the models, and turns the user's
// input, the timer, the tray notifications and close requests into model calls.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/main_form.h"
#include "view/control_binding.h"
#include "view/model_boundary.h"
#include "view/view_handles.h"
#include "view/window_appearance.h"

namespace tess::view {

class MainWindow {
 public:
  // Ends the view's link to the model when it goes out of scope, before the model does.
  class Attachment {
   public:
    explicit Attachment(MainWindow& window) : window_(&window) {}
    Attachment(Attachment&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    Attachment& operator=(Attachment&&) = delete;
    ~Attachment() {
      if (window_ != nullptr) window_->Detach();
    }

   private:
    MainWindow* window_;
  };

  // Creates the top-level window, hidden and without controls, so services that need its
  // handle (the tray icon's callback window) can exist before the model does.
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_.Get(); }
  HICON SmallIcon() const { return small_icon_; }
  // The small icon marked for a backup that did not complete cleanly.
  HICON SmallWarningIcon() const { return small_warning_icon_; }
  int Dpi() const { return dpi_; }

  // Creates the child controls for the model's design and binds them to the models.
  [[nodiscard]] Attachment Attach(MainForm& form);
  // The start-up sequence, run while the window is still hidden.
  void Load();
  // Shows the window the first time, unless the model has hidden it (start in the tray).
  void ShowFirstTime();

  // The child control with the given identifier (for tests in the same process).
  HWND Control(int id) const;

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM) noexcept;
  // The window's own handling of a message; nothing when the default handling is wanted.
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  std::optional<LRESULT> OnRegisteredMessage(UINT message);
  void Detach();

  // Controls (main_window_controls.cpp).
  void CreateControls(MainForm& form);
  void MakeFonts();
  void Layout();
  ControlBinding* Find(int id) const;
  ControlBinding* Find(HWND control) const;
  void OnCommand(int id, int code, HWND control);
  void OnNotify(const NMHDR& header);
  HBRUSH OnControlColor(HDC dc, HWND control);
  // The mouse is over the window or one of its controls: the hover handlers set the pointer.
  void OnPointerOver(HWND over, LPARAM hit);

  // Window state (main_window.cpp).
  void ShowWindowModel();
  void ApplyWindowState();
  void ApplyTimer();
  void SizeAndPlace();
  void OnSize(WPARAM kind);
  bool OnActivate(bool active);
  LRESULT DefaultButtonAnswer();
  void OnDpiChanged(int dpi, const RECT& suggested);
  void Close();
  void RunCloseRequest();
  void EndProgram();
  void OnQueryEndSession();
  void OnEndSession(bool ending);

  HINSTANCE instance_;
  UniqueWindow window_;         // set when the window is made, released when the system destroys it
  HICON large_icon_ = nullptr;  // shared resources, not destroyed
  HICON small_icon_ = nullptr;
  HICON small_warning_icon_ = nullptr;
  MainForm* form_ = nullptr;
  ModelBoundary boundary_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  // The message a shell sends every program when it has started (again) with an empty
  // notification area; 0 when it could not be registered.
  UINT taskbar_created_ = 0;
  // The request of a later start of the program to show this window; 0 when not registered.
  UINT show_request_ = 0;
  // The word of a run from the command line that it stored its outcome; 0 when not registered.
  UINT outcome_stored_ = 0;

  // In the order they were made, which is also the Tab order.
  std::vector<std::unique_ptr<ControlBinding>> controls_;
  UniqueFont text_font_;
  UniqueFont button_font_;
  WindowAppearance appearance_;
  HWND last_focus_ = nullptr;

  bool shown_ = false;
  int applying_state_ = 0;
  bool close_requested_ = false;
  bool ended_ = false;
};

}  // namespace tess::view
