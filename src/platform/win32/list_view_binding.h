// A report-style list view kept in step with a ListViewModel: the model's changes reach the
// control, and the user's selection, clicks, double-clicks and keys reach the model. The
// model stays the truth: the control is a virtual list that asks the model for each text,
// and a click on the empty part of the list keeps the selected entry.
#pragma once

// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <functional>
#include <string>

#include "controls/controls.h"
#include "platform/win32/model_boundary.h"

namespace tess::win32 {

class ListViewBinding {
 public:
  struct Events {
    // The user selected an entry (mouse or keyboard); the model already holds it.
    std::function<void()> selected_by_user;
    // A click on the entry that was already selected (no change of selection).
    std::function<void()> clicked_selected_item;
    // A double-click anywhere on the list, on an entry or not.
    std::function<void()> double_clicked;
    // A key went down while the list had the focus; shift: 1 Shift, 2 Ctrl, 4 Alt.
    std::function<void(int key_code, int shift)> key_down;
  };

  explicit ListViewBinding(ModelBoundary& boundary) : boundary_(boundary) {}
  ListViewBinding(const ListViewBinding&) = delete;
  ListViewBinding& operator=(const ListViewBinding&) = delete;
  ~ListViewBinding();

  void Attach(HWND list, ListViewModel& model, Events events, int dpi);
  void Detach();
  void SetDpi(int dpi);
  // Brings the control's entry count up to the model's now rather than when the queue runs.
  void Flush();
  // A WM_NOTIFY from the list; true when the binding handled it.
  bool OnNotify(const NMHDR& header);

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void OnModelChange(ListViewModel::Change change, int position);
  void ScheduleCount();
  void UpdateCount();
  void FillItem(NMLVDISPINFOW& info) const;
  void SyncSelection();
  void SyncColumn();
  int ViewSelection() const;
  int ItemAt(LPARAM point) const;

  ModelBoundary& boundary_;
  HWND list_ = nullptr;
  ListViewModel* model_ = nullptr;
  Events events_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  int applying_ = 0;  // above 0 while the binding itself changes the control
  bool user_selected_since_press_ = false;
  bool count_pending_ = false;
};

}  // namespace tess::win32
