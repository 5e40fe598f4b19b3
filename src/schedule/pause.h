// The wait that keeps Backup Now's outcome on the status line for a few seconds while the
// window, the countdown's ticks included, goes on answering.
#pragma once

namespace tess {

class Clock;
class EventPump;

// Lets window events run until the given seconds have passed, measured in seconds since
// midnight; a wait that spans midnight ends at the first check after it. A wait of 0 or less
// returns at once without processing any event.
void Pause(double seconds, Clock& clock, EventPump& pump);

}  // namespace tess
