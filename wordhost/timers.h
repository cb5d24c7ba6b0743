// The control's timers, made to tick now: each live control's timers window (message-only, of
// the class sealbrook::win::kTimersClass, in this process) is sent the WM_TIMER of Timer1 or
// Timer2, as the system sends it when the period ends, and then the messages that the
// handlers queued run. A control whose timer is stopped lets the tick go.
#pragma once

namespace wordhost {

void fireTimers(int timer);

// Takes the system's periods away from every live control's timers: from then on they tick only
// when fireTimers says so, until a handler starts a new period (Timer1's refresh does, at its end).
// The controls' own intervals are left as they are, so a running timer still takes the tick.
void holdTimers();

}  // namespace wordhost
