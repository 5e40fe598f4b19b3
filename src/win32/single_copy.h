// One window copy of the program per user session: a named object of the session that the
// first copy holds for its whole run, so a later start can tell that a copy is running, and the
// two messages between running copies.
#pragma once

#include <windows.h>

#include "win32/handles.h"

namespace tess::win32 {

class SessionClaim {
 public:
  // Tries to become the session's window copy.
  SessionClaim();
  // Whether this start holds the claim. A system that cannot make the object at all counts
  // as holding it: the program then starts as it always did, rather than not at all.
  bool Held() const { return held_; }

 private:
  UniqueObject mutex_;
  bool held_ = false;
};

// The messages a running window copy answers, registered by name; 0 for one the system would
// not register. A later start asks it to show itself in front, restored from the tray if it
// hides there, and a run from the command line tells it that the latest outcome is stored.
struct RunningCopyMessages {
  RunningCopyMessages();
  UINT show_request = 0;
  UINT outcome_stored = 0;
};
// The window copy's answer to the show request when it did show itself.
inline constexpr LRESULT kShownAnswer = 0x7E55;

// Asks the running copy's window, of class window_class, to show itself. Returns whether a
// window did; false when there is none (yet) or it did not answer.
bool ShowRunningCopy(const wchar_t* window_class);
// Tells the running copy's window, if there is one, that the latest outcome is stored, so that
// its tray shows it at once instead of at its next start. Does not wait for an answer.
void TellRunningCopyOutcomeStored(const wchar_t* window_class);

}  // namespace tess::win32
