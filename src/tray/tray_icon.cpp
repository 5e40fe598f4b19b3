#include "tray/tray_icon.h"

#include <cstdint>

#include "base/platform_error.h"
#include "ports/clock.h"
#include "ports/event_pump.h"

namespace tess {

TrayIcon::~TrayIcon() {
  if (in_tray_) {
    try {
      SetInTray(false);
    } catch (...) {
    }
  }
}

void TrayIcon::SetInTray(bool value) {
  if (value == in_tray_) return;
  if (value) {
    // A failed add still counts as in the tray: the icon comes when the shell announces itself.
    installed_ = true;
    icon_shown_ = shell_.Add(tip_, picture_);
  } else if (installed_) {
    shell_.Remove();
    installed_ = false;
    icon_shown_ = false;
  }
  in_tray_ = value;
}

void TrayIcon::SetTrayTip(const std::string& text) {
  if (installed_) shell_.SetTip(text);
  tip_ = text;
}

void TrayIcon::SetIcon(const Picture& picture) {
  if (!picture.IsIcon()) return;
  if (installed_) shell_.SetPicture(picture);
  picture_ = picture;
}

void TrayIcon::ShowBalloon(const std::string& text, const std::string& title, int seconds,
                           bool once) {
  if (once && once_counter_ >= 1) return;
  unsigned timeout_ms = 0;
  if (seconds > 0) {
    const std::int64_t ms = static_cast<std::int64_t>(seconds) * 1000;
    if (ms > INT32_MAX) throw PlatformError(kErrOverflow, "Overflow");
    timeout_ms = static_cast<unsigned>(ms);
  }
  shell_.ShowBalloon(title, text, timeout_ms);
  const int this_balloon = ++balloons_shown_;
  balloon_showing_ = true;
  if (once) ++once_counter_;
  if (seconds <= 0) return;
  const double start = clock_.MonotonicSeconds();
  while (balloon_showing_) {
    if (clock_.MonotonicSeconds() - start >= seconds) break;
    pump_.ProcessPendingEvents();
    pump_.WaitForEvents(50);
  }
  if (balloon_showing_ && balloons_shown_ == this_balloon) shell_.ShowBalloon("", "", 0);
}

void TrayIcon::Dispatch(TrayEvent event, int id) {
  switch (event) {
    case TrayEvent::kMouseMove:
      if (MouseMove) MouseMove(id);
      break;
    case TrayEvent::kLeftButtonDown:
      if (MouseDown) MouseDown(kLeftButton, id);
      break;
    case TrayEvent::kLeftButtonUp:
      if (MouseUp) MouseUp(kLeftButton, id);
      break;
    case TrayEvent::kLeftDoubleClick:
      if (MouseDblClick) MouseDblClick(kLeftButton, id);
      break;
    case TrayEvent::kRightButtonDown:
      if (MouseDown) MouseDown(kRightButton, id);
      break;
    case TrayEvent::kRightButtonUp:
      if (MouseUp) MouseUp(kRightButton, id);
      break;
    case TrayEvent::kRightDoubleClick:
      if (MouseDblClick) MouseDblClick(kRightButton, id);
      break;
    case TrayEvent::kBalloonHidden:
    case TrayEvent::kBalloonTimedOut:
    case TrayEvent::kBalloonClicked:
      balloon_showing_ = false;
      break;
    case TrayEvent::kBalloonShown:
      break;
    case TrayEvent::kShellStarted:
      if (installed_) icon_shown_ = shell_.Add(tip_, picture_);
      break;
  }
}

}  // namespace tess
