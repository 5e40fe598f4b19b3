// The event pump over the thread's message queue: lets queued window messages run in the
// middle of long work, and the one place that dispatches a message, shared with WinMain.
#pragma once

#include <windows.h>

#include "ports/event_pump.h"

namespace tess::win32 {

// Dispatches one message the way the main loop does: keyboard navigation (Tab, arrows,
// Space on buttons) through the dialog manager of its top-level window, the rest directly.
void DispatchWindowMessage(MSG& msg);

class WinEventPump : public EventPump {
 public:
  // Runs every queued message and returns. A quit request is put back on the queue so the
  // main loop still sees it once the long work that called here has ended.
  void ProcessPendingEvents() override;
  // Sleeps until input or a message arrives (including any already queued) or the time is up.
  void WaitForEvents(int max_milliseconds) override;
};

}  // namespace tess::win32
