// The control's timers, made to tick now: each live control's timers window (message-only, of
// class "Sealbrook.SignData.Timers", in this process) is sent the WM_TIMER of Timer1 (1) or
// Timer2 (2), as the system sends it when the period ends, and then the messages that the
// handlers queued run. A control whose timer is stopped lets the tick go.
#pragma once

namespace wordhost {

void fireTimers(int timer);

}  // namespace wordhost
