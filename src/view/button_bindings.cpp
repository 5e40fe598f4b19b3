#include "view/button_bindings.h"

#include <commctrl.h>

#include <utility>

#include "view/view_handles.h"
#include "win32/text.h"

namespace tess::view {

namespace {
void ShowCheck(HWND button, WPARAM state) {
  if (static_cast<WPARAM>(SendMessageW(button, BM_GETCHECK, 0, 0)) != state) {
    SendMessageW(button, BM_SETCHECK, state, 0);
  }
}
}  // namespace

FrameBinding::FrameBinding(const ControlSite& site, FrameModel& model, const CreateArgs& args)
    : ControlBinding(
          site, model,
          {.id = args.id, .window_class = WC_BUTTONW, .style = kChildStyle | BS_GROUPBOX}),
      model_(model) {}

void FrameBinding::SendToBack() {
  SetWindowPos(Window(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FrameBinding::ShowModel() { ShowWindowText(Window(), win32::Widen(model_.Caption())); }

PushButtonBinding::PushButtonBinding(const ControlSite& site, PushButtonModel& model,
                                     CreateArgs args)
    : ControlBinding(site, model,
                     {.id = args.id,
                      .frame = args.frame,
                      .window_class = WC_BUTTONW,
                      .style = kChildStyle | kTabGroupStyle | BS_PUSHBUTTON}),
      model_(model),
      clicked_(std::move(args.clicked)) {}

void PushButtonBinding::OnCommand(int code) {
  if (code == BN_CLICKED && Attached() && clicked_) Boundary().Run(clicked_);
}

void PushButtonBinding::ShowModel() { ShowWindowText(Window(), win32::Widen(model_.Caption())); }

CheckBoxBinding::CheckBoxBinding(const ControlSite& site, CheckBoxModel& model,
                                 const CreateArgs& args)
    : ControlBinding(site, model,
                     {.id = args.id,
                      .frame = args.frame,
                      .window_class = WC_BUTTONW,
                      .style = kChildStyle | kTabGroupStyle | BS_AUTOCHECKBOX}),
      model_(model) {}

void CheckBoxBinding::OnCommand(int code) {
  if (code != BN_CLICKED || !Attached()) return;
  const bool checked = SendMessageW(Window(), BM_GETCHECK, 0, 0) == BST_CHECKED;
  Boundary().Run([&] { model_.SetValue(checked ? 1 : 0); });
  // Whatever the model made of the click is what the box shows.
  Refresh();
}

void CheckBoxBinding::ShowModel() {
  ShowWindowText(Window(), win32::Widen(model_.Caption()));
  const int value = model_.Value();
  ShowCheck(Window(), value == 1 ? BST_CHECKED : value == 2 ? BST_INDETERMINATE : BST_UNCHECKED);
}

// Plain (not automatic) option buttons: the model decides which one is on.
OptionButtonBinding::OptionButtonBinding(const ControlSite& site, OptionButtonModel& model,
                                         const CreateArgs& args)
    : ControlBinding(
          site, model,
          {.id = args.id,
           .frame = args.frame,
           .window_class = WC_BUTTONW,
           .style = kChildStyle | (args.starts_group ? kTabGroupStyle : 0u) | BS_RADIOBUTTON}),
      model_(model) {}

void OptionButtonBinding::OnCommand(int code) {
  if (code != BN_CLICKED || !Attached()) return;
  Boundary().Run([&] { model_.SetValue(true); });
  // Whatever the model made of the click is what the button shows.
  Refresh();
}

void OptionButtonBinding::ShowModel() {
  ShowWindowText(Window(), win32::Widen(model_.Caption()));
  ShowCheck(Window(), model_.Value() ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace tess::view
