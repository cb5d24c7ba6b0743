// The automation error a call raises, for tests that assert on failures; an error with HRESULT
// 0 and the description "no failure" when the call succeeds.
#pragma once

#include "base/error.h"

namespace testing_support {

template <class F>
automation::Error failureOf(F&& call) {
  try {
    call();
  } catch (const automation::Error& e) {
    return e;
  }
  return automation::Error(automation::hr::kOk, u"no failure");
}

}  // namespace testing_support
