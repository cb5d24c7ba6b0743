// What the fuzzers assert besides the sanitizers: a property that does not hold is a finding,
// reported with its text; libFuzzer saves the input as it does for a crash.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

}  // namespace fuzz
