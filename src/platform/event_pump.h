// Lets queued window messages run: the program's only way to stay responsive during long work.
#pragma once

namespace tess {

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Dispatches every queued message and returns.
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace tess
