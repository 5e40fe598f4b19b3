// The shared base of the main window's control bindings: a binding makes one standard child
// control, places it from its model's twips at the window's DPI, sees the control's messages
// before the control does, keeps it in step with the model and hands the user's input on.
#pragma once

#include <windows.h>

#include <optional>

#include "controls/controls.h"
#include "view/model_boundary.h"

namespace tess::view {

inline constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
// A control the Tab key stops at and that starts a group for the arrow keys.
inline constexpr DWORD kTabGroupStyle = WS_TABSTOP | WS_GROUP;

// What the window's pointer does while the mouse is over a control: the hand over a push
// button, the arrow over a background area, and elsewhere whatever it was.
enum class HoverArea { kKeepsPointer, kPushButton, kBackground };

// What every binding takes from the window it lives in.
struct ControlSite {
  HWND parent = nullptr;
  HINSTANCE instance = nullptr;
  ModelBoundary* boundary = nullptr;
};

// The window's fonts, owned by the window: one for text, a larger one for push buttons.
struct ViewFonts {
  HFONT text = nullptr;
  HFONT button = nullptr;
};

class ControlBinding {
 public:
  ControlBinding(const ControlBinding&) = delete;
  ControlBinding& operator=(const ControlBinding&) = delete;
  virtual ~ControlBinding();

  int Id() const { return id_; }
  // The control; the parent window owns it and destroys it with itself.
  HWND Window() const { return window_; }

  // Sizes, places and letters the control for the window's DPI.
  void Layout(int dpi, const ViewFonts& fonts);
  // Starts following the model and passing the user's input to it.
  void Attach();
  // Stops both; the control is left to itself.
  void Detach();
  // Shows what the model holds now.
  void Refresh();
  // Shows now what the binding has put off (a burst of list entries).
  virtual void ShowPending() {}

  // Notifications the parent window routes here by the control's identifier.
  virtual void OnCommand(int /*code*/) {}
  virtual void OnNotify(const NMHDR& /*header*/) {}
  // Whether the control shows the window's background colour behind its text.
  virtual bool ShowsWindowBackground() const { return false; }
  // Whether Enter presses the control while it has the focus, as in a dialog.
  virtual bool PressedByEnter() const { return false; }
  virtual HoverArea Hover() const { return HoverArea::kKeepsPointer; }

 protected:
  struct WindowArgs {
    int id = 0;
    // The enclosing frame's model: the design places the control from the frame's corner.
    const ControlModel* frame = nullptr;
    const wchar_t* window_class = nullptr;
    DWORD style = kChildStyle;
    DWORD ex_style = 0;
  };
  ControlBinding(const ControlSite& site, ControlModel& model, const WindowArgs& args);

  bool Attached() const { return attached_; }
  ModelBoundary& Boundary() const { return boundary_; }

  // The kind's own share of each step.
  virtual void OnAttach() {}
  virtual void OnDetach() {}
  virtual void ShowModel() {}
  virtual void OnPlaced(int /*dpi*/, const ViewFonts& /*fonts*/) {}
  virtual HFONT FontFrom(const ViewFonts& fonts) const { return fonts.text; }
  // The control's own messages while attached; an empty result leaves the message to the
  // control.
  virtual std::optional<LRESULT> OnMessage(UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/) {
    return std::nullopt;
  }

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR data) noexcept;

  ModelBoundary& boundary_;
  ControlModel& model_;
  int id_;
  tess::Place place_;
  tess::Place frame_place_;
  HWND window_ = nullptr;
  bool attached_ = false;
};

}  // namespace tess::view
