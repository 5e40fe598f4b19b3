// The notification-area icon control: in or out of the tray, its tip, its balloon, and the
// shell's mouse notifications turned into events.
#pragma once

#include <functional>
#include <string>

#include "ports/notify_icon.h"

namespace tess {

class Clock;
class EventPump;

class TrayIcon {
 public:
  TrayIcon(NotifyIcon& shell, Clock& clock, EventPump& pump)
      : shell_(shell), clock_(clock), pump_(pump) {}
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  bool InTray() const { return in_tray_; }
  void SetInTray(bool value);
  const std::string& TrayTip() const { return tip_; }
  void SetTrayTip(const std::string& text);
  const Picture& Icon() const { return picture_; }
  // Takes icon pictures only; anything else is ignored.
  void SetIcon(const Picture& picture);
  // Whether the shell shows the icon: in the tray, and the shell took it. A window must not
  // hide in the tray while this is false, or nothing would be left to bring it back with.
  bool IconShown() const { return icon_shown_; }
  // Shows a balloon; with seconds > 0 waits (letting events run) until it is gone or the
  // seconds have passed, measured on a clock that only goes forward, so the wait ends on time
  // even where the shell never reports the balloon gone. With once set, only the first such
  // balloon of the control is shown. A wait that runs out takes its balloon away, unless another
  // balloon has replaced it meanwhile.
  void ShowBalloon(const std::string& text, const std::string& title, int seconds, bool once);
  bool BalloonShowing() const { return balloon_showing_; }

  // A notification from the shell about the icon with the given id; a shell that has started
  // anew gets the icon again, with its tip and picture.
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
  bool icon_shown_ = false;
  bool balloon_showing_ = false;
  int once_counter_ = 0;
  // Counts the balloons shown, so a wait that ends takes away only its own balloon and never
  // one shown while it waited (a timed run's failure notice).
  int balloons_shown_ = 0;
  std::string tip_ = "Telnet Server";
  Picture picture_;
};

}  // namespace tess
