// The ABI edge: every exported function and interface method runs its body through edge(), so
// that no exception crosses into the caller. A failure becomes its HRESULT, and its description
// goes to the thread's error info, from where IDispatch implementations put it into EXCEPINFO;
// the diagnosis log is told of it, as caught by the method that calls edge().
//
//   HRESULT STDMETHODCALLTYPE Foo::Bar(BSTR name) noexcept {
//     return com::edge([&] { ...; return S_OK; });
//   }
#pragma once

#include <windows.h>

#include <oaidl.h>

#include "base/diagnosis.h"
#include "base/error.h"

namespace com {

// Records the error as the thread's error info and returns its HRESULT (E_FAIL should an error
// carry a success code).
HRESULT reportError(const automation::Error& error) noexcept;

template <class Body>
HRESULT edge(Body&& body, automation::Location at = automation::Location::current()) noexcept {
  try {
    return body();
  } catch (...) {
    const automation::Error error = automation::currentError();
    diagnosis::caught(error, at.function);
    return reportError(error);
  }
}

// After a failed IDispatch::Invoke body: the failure as the caller should see it. Errors that
// carry a description (in the thread's error info) are returned as DISP_E_EXCEPTION with the
// EXCEPINFO filled in; dispatch errors without one are returned as they are.
HRESULT dispatchFailure(HRESULT hr, EXCEPINFO* excepInfo) noexcept;

// Fills EXCEPINFO for an error directly.
HRESULT toExcepInfo(const automation::Error& error, EXCEPINFO* excepInfo) noexcept;

}  // namespace com
