// The binding of a single-line text box: the model's text and selection reach the control, and
// the user's typing reaches the model without being echoed back or moving the caret.
#pragma once

#include <windows.h>

#include <functional>

#include "controls/controls.h"
#include "view/control_binding.h"

namespace tess::view {

class TextBoxBinding final : public ControlBinding {
 public:
  using Model = TextBoxModel;
  struct CreateArgs {
    int id = 0;
    const ControlModel* frame = nullptr;
    // The box's got-focus handler; it may change the model's selection.
    std::function<void()> got_focus = nullptr;
  };
  TextBoxBinding(const ControlSite& site, TextBoxModel& model, CreateArgs args);
  void OnCommand(int code) override;
  HoverArea Hover() const override { return HoverArea::kBackground; }

 private:
  void ShowModel() override;
  void ShowSelection();

  TextBoxModel& model_;
  std::function<void()> got_focus_;
  int applying_text_ = 0;  // above 0 while the binding itself sets the control's text
  bool user_editing_ = false;
  int shown_sel_start_ = -1;
  int shown_sel_length_ = -1;
};

}  // namespace tess::view
