// The diagnosis log. Office disables an add-in that fails inside Word without a word to the
// user; so every failure that a library catches (at its ABI edge, in a window's handler, or in a
// handler's regime that passes over or reacts to a failed host call) is told here, one line each.
// The platform installs its writer once per library; without one nothing is written. Telling
// never fails and never changes what the handler does.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/error.h"

namespace diagnosis {

class Writer {
 public:
  virtual ~Writer() = default;
  // The failure as the handler caught it; `where` is where it was raised.
  virtual void write(std::string_view handler, const automation::Error& error) noexcept = 0;
};

// The writer for this library's failures from now on; nullptr for none.
void install(Writer* writer) noexcept;

// A failure caught in `handler`: by default the function that calls this.
void caught(const automation::Error& error,
            const char* handler = __builtin_FUNCTION()) noexcept;  // NOLINT(*-default-arguments)

}  // namespace diagnosis
