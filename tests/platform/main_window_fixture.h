// The window view over test doubles in the test's own process, shared by the suites that drive
// it with messages: the window made, attached to a MainForm and loaded as WinMain does, with OLE on
// the thread so the folder list takes drops as in the program.
#pragma once

// clang-format off
#include <windows.h>
#include <ole2.h>
// clang-format on

#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "support/fakes.h"
#include "view/main_window.h"
#include "win32/win_event_pump.h"

namespace tess::view {

// A key pressed in the window, delivered the way the main loop delivers it.
inline void PressKey(HWND control, WPARAM key, UINT message = WM_KEYDOWN) {
  MSG msg = {};
  msg.hwnd = control;
  msg.message = message;
  msg.wParam = key;
  msg.lParam = 1;
  win32::DispatchWindowMessage(msg);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(); }
  // The settings and the doubles as the test left them, then the window as WinMain makes it.
  // A suite that prepares them first starts the window itself.
  void Start() {
    window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr));
    form_ = std::make_unique<MainForm>(fakes_.Wire());
    attachment_.emplace(window_->Attach(*form_));
    window_->Load();
    window_->ShowFirstTime();
    Pump();
  }
  void TearDown() override {
    attachment_.reset();
    form_.reset();
    window_.reset();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  static void Pump() { win32::WinEventPump().ProcessPendingEvents(); }
  HWND Control(int id) const { return window_->Control(id); }
  HWND Main() const { return window_->Handle(); }

  // OLE for the whole test: made first, ended after the window.
  struct OleThread {
    OleThread() : ok(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleThread() {
      if (ok) OleUninitialize();
    }
    bool ok;
  } ole_;
  test::FakeServices fakes_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<MainForm> form_;
  std::optional<MainWindow::Attachment> attachment_;
};

}  // namespace tess::view
