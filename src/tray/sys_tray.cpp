#include "tray/sys_tray.h"

#include <cstdint>

#include "base/platform_error.h"
#include "platform/clock.h"
#include "platform/event_pump.h"

namespace tess {

namespace {
constexpr unsigned kIconId = 0;
}

cSysTray::~cSysTray() {
  if (in_tray_) {
    try {
      SetInTray(false);
    } catch (...) {
    }
  }
}

void cSysTray::SetInTray(bool value) {
  if (value == in_tray_) return;
  if (value) {
    NotifyIconRecord rec;
    rec.id = kIconId;
    rec.with_icon = true;
    rec.flags = kNifIcon | kNifMessage;
    if (!tip_.empty()) {
      rec.tip = tip_.substr(0, 127);
      rec.flags |= kNifTip;
    }
    rec.callback_message = kTrayCallbackMessage;
    shell_.Send(NotifyCommand::kAdd, rec);
    installed_ = true;
  } else if (installed_) {
    NotifyIconRecord rec;
    rec.id = kIconId;
    shell_.Send(NotifyCommand::kDelete, rec);
    installed_ = false;
  }
  in_tray_ = value;
}

void cSysTray::SetTrayTip(const std::string& text) {
  if (installed_) {
    NotifyIconRecord rec;
    rec.id = kIconId;
    rec.flags = kNifTip;
    rec.tip = text.substr(0, 127);
    shell_.Send(NotifyCommand::kModify, rec);
  }
  tip_ = text;
}

void cSysTray::ShowBalloon(const std::string& text, const std::string& title, int seconds,
                           bool once) {
  if (once && once_counter_ >= 1) return;
  NotifyIconRecord rec;
  rec.id = kIconId;
  rec.flags = kNifInfo;
  rec.info_title = title.substr(0, 63);
  rec.info = text.substr(0, 255);
  if (seconds > 0) {
    const std::int64_t ms = static_cast<std::int64_t>(seconds) * 1000;
    if (ms > INT32_MAX) throw PlatformError(kErrOverflow, "Overflow");
    rec.timeout_ms = static_cast<unsigned>(ms);
  }
  shell_.Send(NotifyCommand::kModify, rec);
  balloon_showing_ = true;
  if (once) ++once_counter_;
  if (seconds <= 0) return;
  const double start = clock_.SecondsSinceMidnight();
  while (balloon_showing_) {
    const double now = clock_.SecondsSinceMidnight();
    // Past midnight the clock restarts; the wait then lasts until the balloon is gone.
    if (now - start >= seconds) break;
    pump_.ProcessPendingEvents();
    pump_.WaitForEvents(50);
  }
  if (balloon_showing_) {
    NotifyIconRecord clear;
    clear.id = kIconId;
    clear.flags = kNifInfo;
    shell_.Send(NotifyCommand::kModify, clear);
  }
}

void cSysTray::Dispatch(long lparam, unsigned long wparam) {
  const int id = static_cast<int>(wparam);
  switch (lparam) {
    case 512:
      if (MouseMove) MouseMove(id);
      break;
    case 513:
      if (MouseDown) MouseDown(1, id);
      break;
    case 514:
      if (MouseUp) MouseUp(1, id);
      break;
    case 515:
      if (MouseDblClick) MouseDblClick(1, id);
      break;
    case 516:
      if (MouseDown) MouseDown(2, id);
      break;
    case 517:
      if (MouseUp) MouseUp(2, id);
      break;
    case 518:
      if (MouseDblClick) MouseDblClick(2, id);
      break;
    case 1027:
    case 1028:
    case 1029:
      balloon_showing_ = false;
      break;
    default:
      break;
  }
}

}  // namespace tess
