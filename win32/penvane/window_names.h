// The names by which the add-in's windows are found: the path form and its picture, the ribbon
// status's timer window, and the list of a document's signatures. The simulated Word, the demo,
// the benchmarks and the tests find them by these.
#pragma once

#include <cstdint>

namespace penvane::win {

inline constexpr wchar_t kFormClass[] = L"Penvane.frmPath";
inline constexpr wchar_t kFormPicture1Class[] = L"Penvane.frmPath.Picture1";
inline constexpr wchar_t kStatusTimerClass[] = L"Penvane.Status";
inline constexpr uintptr_t kStatusTimerId = 1;  // its WM_TIMER
inline constexpr wchar_t kSignatureWindowClass[] = L"Penvane.Signatures";

}  // namespace penvane::win
