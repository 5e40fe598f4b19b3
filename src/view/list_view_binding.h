// A report-style list view kept in step with a ListViewModel: the model's changes reach the
// control, and the user's selection, clicks, double-clicks and keys reach the model. The
// model stays the truth: the control is a virtual list that asks the model for each text,
// and a click on the empty part of the list keeps the selected entry. A list given the
// reordering events takes its presses itself and follows a drag with the mouse captured; one
// given the drop events takes file lists dragged in from other programs.
#pragma once

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "controls/keys.h"
#include "folders/drop_rules.h"
#include "folders/reorder_drag.h"
#include "view/control_binding.h"
#include "view/drop_target.h"
#include "view/view_handles.h"

namespace tess::view {

class ListViewBinding final : public ControlBinding {
 public:
  using Model = ListViewModel;
  struct Events {
    // The user selected an entry (mouse or keyboard); the model already holds it.
    std::function<void()> selected_by_user = nullptr;
    // A click on the entry that was already selected (no change of selection).
    std::function<void()> clicked_selected_item = nullptr;
    // A double-click anywhere on the list, on an entry or not.
    std::function<void()> double_clicked = nullptr;
    // A key went down while the list had the focus; shift: 1 Shift, 2 Ctrl, 4 Alt.
    std::function<void(Key key, int shift)> key_down = nullptr;
    // Reordering: a press of the left or right button (the entry under the pointer, 0 for
    // none); each move while a press on an entry lasts, which answers the entry to scroll into
    // view (0 for none); and the end of that press.
    std::function<void(int entry)> pressed = nullptr;
    std::function<int(const ListRows& rows)> dragged = nullptr;
    std::function<void()> released = nullptr;
    // Files from other programs: whether to take what is dragged over the list, and the paths
    // of a file list dropped on it.
    std::function<DropEffect(bool offers_file_list, const OfferedEffects& allowed)> drag_over =
        nullptr;
    std::function<void(const std::vector<std::string>& paths)> dropped = nullptr;
  };
  struct CreateArgs {
    int id = 0;
    const ControlModel* frame = nullptr;
    Events events = {};
  };

  // Also makes the list's tooltip when the model has one.
  ListViewBinding(const ControlSite& site, ListViewModel& model, CreateArgs args);
  ~ListViewBinding() override;

  // Brings the control's entry count up to the model's now rather than when the queue runs.
  void ShowPending() override;
  void OnNotify(const NMHDR& header) override;
  HoverArea Hover() const override { return HoverArea::kBackground; }

 private:
  void OnAttach() override;
  void OnDetach() override;
  void OnPlaced(int dpi, const ViewFonts& fonts) override;
  void ShowModel() override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void CreateToolTip(HWND owner, HINSTANCE instance);
  void OnModelChange(ListViewModel::Change change, int position);
  void ScheduleCount();
  void UpdateCount();
  void FillItem(NMLVDISPINFOW& info) const;
  void SyncSelection();
  void SyncColumn();
  int ViewSelection() const;
  int ItemAt(LPARAM point) const;
  // Reordering (with the pressed/dragged/released events).
  bool Reorders() const { return static_cast<bool>(events_.pressed); }
  ListRows RowsAt(int y) const;
  void OnPress(LPARAM point);
  void OnDrag(LPARAM point);
  void EndDrag();
  // Shows the list's pointer now, not at the mouse's next move.
  void ShowPointer();
  std::optional<LRESULT> OnSetCursor(WPARAM wparam, LPARAM lparam);

  ListViewModel& model_;
  Events events_;
  HWND tool_tip_ = nullptr;  // owned by the parent window, destroyed with it
  std::wstring tool_tip_text_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  int applying_ = 0;  // above 0 while the binding itself changes the control
  bool user_selected_since_press_ = false;
  bool count_pending_ = false;
  bool dragging_ = false;  // a press on an entry holds the mouse
  UniqueCursor drag_pointer_;
  std::string drag_pointer_file_;
  Pointer shown_pointer_ = Pointer::kDefault;
  std::unique_ptr<FileDropTarget> drop_target_;
  std::optional<DropTargetRegistration> drop_registration_;
};

}  // namespace tess::view
