// Lets queued window messages run: the program's only way to stay responsive during long work.
#pragma once

namespace tess {

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Dispatches every queued message and returns.
  virtual void ProcessPendingEvents() = 0;
  // Sleeps until a message arrives or the time is up, whichever comes first, so that a wait
  // that polls the clock does not keep a processor busy. Returns without dispatching.
  virtual void WaitForEvents(int /*max_milliseconds*/) {}
};

}  // namespace tess
