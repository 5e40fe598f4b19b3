// One window copy of the program per user session: a named object of the session that the
// first copy holds for its whole run, so a later start can tell that a copy is running.
#pragma once

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

}  // namespace tess::win32
