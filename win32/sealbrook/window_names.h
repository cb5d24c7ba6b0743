// The names by which the control's windows and timers are found: the surface, Picture1 and the
// message-only window whose WM_TIMER runs Timer1 and Timer2. The simulated Word and the tests find
// them by these.
#pragma once

#include <cstdint>

namespace sealbrook::win {

inline constexpr wchar_t kSurfaceClass[] = L"Sealbrook.SignData";
inline constexpr wchar_t kPicture1Class[] = L"Sealbrook.SignData.Picture1";
inline constexpr wchar_t kTimersClass[] = L"Sealbrook.SignData.Timers";
// The WM_TIMER ids of Timer1 and Timer2 on the timers' window.
inline constexpr uintptr_t kTimer1Id = 1;
inline constexpr uintptr_t kTimer2Id = 2;

}  // namespace sealbrook::win
