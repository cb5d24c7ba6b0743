// Platform calls inside code that reports failures as automation::Error, one line per call:
//
//   com::throwIfFailed(CLSIDFromProgID(name.c_str(), &clsid));
//   com::throwIfFailed(RegisterActiveObject(...), u"cannot register the running application");
#pragma once

#include <windows.h>

#include <string>

#include "base/error.h"

namespace com {

// Throws automation::Error with the code, and the description when given, should hr fail.
inline void throwIfFailed(HRESULT hr, std::u16string description = {}) {
  if (FAILED(hr)) throw automation::Error(hr, std::move(description));
}

}  // namespace com
