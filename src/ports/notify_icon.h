// The notification-area (tray) icon: the program's one icon, its tip and its balloon, and what
// the shell reports about it, all in the program's own terms.
#pragma once

#include <cstdint>
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
  // The shell has (re)started with an empty notification area: its icons must be added again.
  kShellStarted,
};

// A picture as the program hands it on: its kind, and the platform's handle to it, which the
// core never looks into.
struct Picture {
  enum class Type { kNone = 0, kBitmap = 1, kMetafile = 2, kIcon = 3, kEnhancedMetafile = 4 };
  Type type = Type::kNone;
  std::uintptr_t handle = 0;
  bool IsIcon() const { return type == Type::kIcon && handle != 0; }
  bool operator==(const Picture&) const = default;
};

class NotifyIcon {
 public:
  virtual ~NotifyIcon() = default;
  // The program's own icon, the picture its tray icon is designed to show.
  virtual Picture ProgramIcon() = 0;
  // The program's icon marked with a warning, for while the latest backup is not clean.
  virtual Picture WarningIcon() = 0;
  // Puts the program's icon into the notification area, with the tip unless it is empty and the
  // picture when it is an icon; an icon that is there already is brought up to date. False
  // when the shell did not take it (none running yet at log-on, or one that is restarting).
  virtual bool Add(const std::string& tip, const Picture& picture) = 0;
  virtual void Remove() = 0;
  virtual void SetTip(const std::string& tip) = 0;
  virtual void SetPicture(const Picture& picture) = 0;
  // Shows a balloon by the icon for timeout_ms (0: as long as the shell likes). An empty text
  // takes any balloon away. Texts longer than the shell takes are cut.
  virtual void ShowBalloon(const std::string& title, const std::string& text,
                           unsigned timeout_ms) = 0;
};

}  // namespace tess
