// Bindings for the controls made from the system's BUTTON class: the frame (a group box), the
// push button, the check box and the option button. Each shows its model's caption over the
// window's background.
#pragma once

#include <windows.h>

#include <functional>

#include "controls/controls.h"
#include "view/control_binding.h"

namespace tess::view {

class FrameBinding final : public ControlBinding {
 public:
  using Model = FrameModel;
  struct CreateArgs {
    int id = 0;
  };
  FrameBinding(const ControlSite& site, FrameModel& model, const CreateArgs& args);
  bool ShowsWindowBackground() const override { return true; }
  HoverArea Hover() const override { return HoverArea::kBackground; }
  // Puts the frame under its siblings, so it never paints over the controls inside it.
  void SendToBack();

 private:
  void ShowModel() override;
  FrameModel& model_;
};

class PushButtonBinding final : public ControlBinding {
 public:
  using Model = PushButtonModel;
  struct CreateArgs {
    int id = 0;
    const ControlModel* frame = nullptr;
    // The button's click handler; a button without one does nothing when pressed.
    std::function<void()> clicked = nullptr;
  };
  PushButtonBinding(const ControlSite& site, PushButtonModel& model, CreateArgs args);
  void OnCommand(int code) override;
  bool ShowsWindowBackground() const override { return true; }
  bool PressedByEnter() const override { return true; }
  HoverArea Hover() const override { return HoverArea::kPushButton; }

 private:
  void ShowModel() override;
  HFONT FontFrom(const ViewFonts& fonts) const override { return fonts.button; }
  PushButtonModel& model_;
  std::function<void()> clicked_;
};

class CheckBoxBinding final : public ControlBinding {
 public:
  using Model = CheckBoxModel;
  struct CreateArgs {
    int id = 0;
    const ControlModel* frame = nullptr;
  };
  CheckBoxBinding(const ControlSite& site, CheckBoxModel& model, const CreateArgs& args);
  void OnCommand(int code) override;
  bool ShowsWindowBackground() const override { return true; }

 private:
  void ShowModel() override;
  CheckBoxModel& model_;
};

class OptionButtonBinding final : public ControlBinding {
 public:
  using Model = OptionButtonModel;
  struct CreateArgs {
    int id = 0;
    const ControlModel* frame = nullptr;
    // The first button of a set starts a group: Tab stops there, the arrows move within.
    bool starts_group = false;
  };
  OptionButtonBinding(const ControlSite& site, OptionButtonModel& model, const CreateArgs& args);
  void OnCommand(int code) override;
  bool ShowsWindowBackground() const override { return true; }

 private:
  void ShowModel() override;
  OptionButtonModel& model_;
};

}  // namespace tess::view
