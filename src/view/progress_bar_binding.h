// The progress bar with a text over it: a common progress control whose painting is taken
// over so it can show the model's text, while its position and range stay readable by screen
// readers and test drivers through the control's own messages.
#pragma once

#include <windows.h>

#include <optional>

#include "controls/controls.h"
#include "view/control_binding.h"

namespace tess::view {

class ProgressBarBinding final : public ControlBinding {
 public:
  using Model = ProgressBarModel;
  struct CreateArgs {
    int id = 0;
    const ControlModel* frame = nullptr;
  };
  ProgressBarBinding(const ControlSite& site, ProgressBarModel& model, const CreateArgs& args);

 private:
  void ShowModel() override;
  void OnPlaced(int dpi, const ViewFonts& fonts) override;
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint(HDC dc);
  void PaintInto(HDC dc);

  ProgressBarModel& model_;
  HFONT font_ = nullptr;  // the window's, not owned
};

}  // namespace tess::view
