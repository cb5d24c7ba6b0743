// The three ways a handler deals with failures, each in one place instead of copied try/catch
// blocks:
//   ResumeNext  continue-on-error: every step runs on its own; a step that fails is skipped and
//               leaves its target as it was (write the assignment inside the step, after the call
//               that may fail), and the next step runs. Nothing is shown.
//   trap        one trap for the whole handler: the first failure ends the body, and the reaction
//               runs once with the error.
//   noTrap      no trap at all: the failure leaves the handler for the platform's edge.
// Every failure that a step or a trap catches goes to the diagnosis log, named by the handler
// that the step or trap is written in.
#pragma once

#include <optional>
#include <utility>

#include "base/diagnosis.h"
#include "base/error.h"

namespace automation {

class ResumeNext {
 public:
  template <class Step>
  void operator()(Step&& step, Location at = Location::current()) noexcept {
    try {
      std::forward<Step>(step)();
    } catch (...) {
      error_ = currentError();
      diagnosis::caught(*error_, at.function);
    }
  }

  // "If condition Then ... Else ... End If" under continue-on-error: when the condition itself
  // fails, execution resumes at the next statement, which is the first of the Then branch.
  template <class Condition, class Then, class Else>
  void ifThenElse(Condition&& condition, Then&& then, Else&& otherwise,
                  Location at = Location::current()) noexcept {
    bool taken = true;
    (*this)([&] { taken = std::forward<Condition>(condition)(); }, at);
    if (taken)
      (*this)(std::forward<Then>(then), at);
    else
      (*this)(std::forward<Else>(otherwise), at);
  }
  template <class Condition, class Then>
  void ifThen(Condition&& condition, Then&& then, Location at = Location::current()) noexcept {
    ifThenElse(
        std::forward<Condition>(condition), std::forward<Then>(then), [] {}, at);
  }

  // The last failure that a step swallowed, as the error object would hold it.
  const std::optional<Error>& lastError() const noexcept { return error_; }

 private:
  std::optional<Error> error_;
};

template <class Body, class Reaction>
void trap(Body&& body, Reaction&& reaction, Location at = Location::current()) {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    const Error error = currentError();
    diagnosis::caught(error, at.function);
    std::forward<Reaction>(reaction)(error);
  }
}

template <class Body>
decltype(auto) noTrap(Body&& body) {
  return std::forward<Body>(body)();
}

}  // namespace automation
