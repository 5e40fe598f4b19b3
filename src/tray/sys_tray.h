// The notification-area icon control: in or out of the tray, its tip, its balloon, and the
// shell's mouse notifications turned into events.
#pragma once

#include <functional>
#include <string>

#include "platform/notify_icon.h"

namespace tess {

class Clock;
class EventPump;

class cSysTray {
 public:
  cSysTray(NotifyIcon& shell, Clock& clock, EventPump& pump)
      : shell_(shell), clock_(clock), pump_(pump) {}
  ~cSysTray();
  cSysTray(const cSysTray&) = delete;
  cSysTray& operator=(const cSysTray&) = delete;

  bool InTray() const { return in_tray_; }
  void SetInTray(bool value);
  const std::string& TrayTip() const { return tip_; }
  void SetTrayTip(const std::string& text);
  // Shows a balloon; with seconds > 0 waits (letting events run) until it is gone or the
  // time is up. With once set, only the first such balloon of the control is shown.
  void ShowBalloon(const std::string& text, const std::string& title, int seconds, bool once);
  bool BalloonShowing() const { return balloon_showing_; }

  // A notification from the shell about the icon with the given id.
  void Dispatch(TrayEvent event, int id);

  // The button argument of the mouse events.
  static constexpr int kLeftButton = 1;
  static constexpr int kRightButton = 2;

  std::function<void(int button, int id)> MouseDown;
  std::function<void(int button, int id)> MouseUp;
  std::function<void(int button, int id)> MouseDblClick;
  std::function<void(int id)> MouseMove;

 private:
  NotifyIcon& shell_;
  Clock& clock_;
  EventPump& pump_;
  bool in_tray_ = false;
  bool installed_ = false;
  bool balloon_showing_ = false;
  int once_counter_ = 0;
  std::string tip_ = "Telnet Server";
};

}  // namespace tess
