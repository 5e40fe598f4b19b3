// The control bindings' shared base on its own, over a plain parent window: the model reaches
// the control while attached, an exception out of a control's own message handling stops at
// its procedure, and a control destroyed with its parent leaves the binding harmless.
// <windows.h> first: the other Windows headers build on it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include "view/control_binding.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>

#include "view/view_handles.h"

namespace tess::view {
namespace {

constexpr UINT kThrowMessage = WM_APP + 1;

// A binding of a plain static control whose own handling of one message throws.
class ThrowingBinding final : public ControlBinding {
 public:
  ThrowingBinding(const ControlSite& site, ControlModel& model)
      : ControlBinding(site, model, {.id = 300, .window_class = WC_STATICW}) {}
  int handled = 0;

 private:
  std::optional<LRESULT> OnMessage(UINT message, WPARAM, LPARAM) override {
    if (message != kThrowMessage) return std::nullopt;
    ++handled;
    throw std::runtime_error("handler failed");
  }
};

class ControlBindingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_.Reset(CreateWindowExW(0, WC_STATICW, L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(parent_.Valid());
    site_ = ControlSite{parent_.Get(), GetModuleHandleW(nullptr), &boundary_};
  }

  ModelBoundary boundary_;
  UniqueWindow parent_;
  ControlSite site_;
  ControlModel model_{Place{60, 90, 1440, 720}};
};

TEST_F(ControlBindingTest, FollowsTheModelOnlyWhileAttached) {
  ThrowingBinding binding(site_, model_);
  binding.Layout(144, ViewFonts{});
  RECT rect = {};
  GetWindowRect(binding.Window(), &rect);
  EXPECT_EQ(rect.right - rect.left, 144);
  EXPECT_EQ(rect.bottom - rect.top, 72);

  binding.Attach();
  model_.SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(binding.Window()));
  binding.Detach();
  model_.SetEnabled(true);
  EXPECT_FALSE(IsWindowEnabled(binding.Window()));
  // Detached, the control's messages no longer pass through the binding.
  SendMessageW(binding.Window(), kThrowMessage, 0, 0);
  EXPECT_EQ(binding.handled, 0);
}

TEST_F(ControlBindingTest, AnExceptionFromAControlsOwnHandlingStopsAtItsProcedure) {
  ThrowingBinding binding(site_, model_);
  binding.Attach();
  SendMessageW(binding.Window(), kThrowMessage, 0, 0);
  EXPECT_EQ(binding.handled, 1);
  // The control goes on working, and so does the binding.
  SetWindowTextW(binding.Window(), L"still here");
  EXPECT_EQ(WindowText(binding.Window()), L"still here");
  model_.SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(binding.Window()));
}

TEST_F(ControlBindingTest, AControlDestroyedWithItsParentLeavesTheBindingHarmless) {
  auto binding = std::make_unique<ThrowingBinding>(site_, model_);
  binding->Attach();
  parent_.Reset();
  EXPECT_EQ(binding->Window(), nullptr);
  // The model no longer calls into the binding, and the binding can still be laid out,
  // refreshed and destroyed.
  model_.SetVisible(false);
  binding->Layout(96, ViewFonts{});
  binding->Refresh();
  binding.reset();
  model_.SetEnabled(false);
}

}  // namespace
}  // namespace tess::view
