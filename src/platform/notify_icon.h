// The notification-area (tray) icon: the program's one icon, its tip and its balloon, and what
// the shell reports about it, all in the program's own terms.
#pragma once

#include <string>

namespace tess {

// A notification from the shell: the mouse on the icon, or the life of its balloon.
enum class TrayEvent {
  kMouseMove,
  kLeftButtonDown,
  kLeftButtonUp,
  kLeftDoubleClick,
  kRightButtonDown,
  kRightButtonUp,
  kRightDoubleClick,
  kBalloonShown,
  kBalloonHidden,
  kBalloonTimedOut,
  kBalloonClicked,
};

class NotifyIcon {
 public:
  virtual ~NotifyIcon() = default;
  // Puts the program's icon into the notification area, with the tip unless it is empty.
  virtual void Add(const std::string& tip) = 0;
  virtual void Remove() = 0;
  virtual void SetTip(const std::string& tip) = 0;
  // Shows a balloon by the icon for timeout_ms (0: as long as the shell likes). An empty text
  // takes any balloon away. Texts longer than the shell takes are cut.
  virtual void ShowBalloon(const std::string& title, const std::string& text,
                           unsigned timeout_ms) = 0;
};

}  // namespace tess
