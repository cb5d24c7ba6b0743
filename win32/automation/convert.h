// Between the core's values and the platform's: VARIANT, DISPPARAMS.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

#include "win32/com/com_ptr.h"
#include "win32/com/variant.h"

#include "automation/object.h"
#include "automation/variant.h"

namespace automation::win {

struct Interfaces;

// A VARIANT as a core value; by-reference variants are read through. Objects become client
// proxies (DispatchObject). A VARIANT that cannot be read (com::checkVariant) raises its error,
// and types the core has no place for raise "Variable uses an Automation type not supported".
automation::Variant fromVariant(const VARIANT& v);
// A core value into an empty VARIANT. Objects that are proxies give back their IDispatch; any
// other object is exposed through the server bridge, answering those interfaces.
void toVariant(const automation::Variant& value, VARIANT* out, const Interfaces& interfaces);
void toVariant(const automation::Variant& value, VARIANT* out);
// An object as an IDispatch: a proxy gives back the one it wraps, any other object is exposed
// through the server bridge. Nothing is null.
com::ComPtr<IDispatch> toDispatch(const automation::ObjectRef& object,
                                  const Interfaces& interfaces);
com::ComPtr<IDispatch> toDispatch(const automation::ObjectRef& object);

// Stores a value through a by-reference VARIANT, in the type it refers to.
void writeThrough(const automation::Variant& value, const VARIANT& byRef);

// The arguments of an outgoing call as DISPPARAMS: named ones first, positional ones in reverse
// order, as IDispatch::Invoke takes them. By-reference arguments point into storage owned here
// and are read back into the arguments after the call.
class OutgoingArguments {
 public:
  // `namedIds` holds the dispatch ids of the named arguments, in the order they appear in args;
  // for a put, the last argument is the value.
  OutgoingArguments(const automation::Arguments& args, const std::vector<DISPID>& namedIds,
                    bool propertyPut, const Interfaces& interfaces);
  OutgoingArguments(const automation::Arguments& args, const std::vector<DISPID>& namedIds,
                    bool propertyPut);
  OutgoingArguments(const OutgoingArguments&) = delete;
  OutgoingArguments& operator=(const OutgoingArguments&) = delete;
  DISPPARAMS* params() noexcept { return &params_; }
  void readBack(automation::Arguments& args) const;

 private:
  com::VariantArray slots_;                  // rgvarg; by-reference slots own nothing
  std::vector<com::ScopedVariant> targets_;  // by-reference storage, one per argument
  std::vector<VARIANT_BOOL> booleans_;       // by-reference Boolean storage
  std::vector<DISPID> named_;
  DISPPARAMS params_{};
};

// The arguments of an incoming call, in the core's order: positional ones in declaration order,
// then named ones with their names, then the value of a put. writeBack() stores the by-reference
// arguments that the callee changed into the caller's storage; the others stay untouched.
class IncomingArguments {
 public:
  using NameOf = std::string (*)(DISPID);
  IncomingArguments(const DISPPARAMS& params, NameOf nameOf);
  automation::Arguments& args() noexcept { return args_; }
  bool isPut() const noexcept { return put_; }
  void writeBack() const;

 private:
  const DISPPARAMS& params_;
  automation::Arguments args_;
  std::vector<automation::Variant> received_;  // the values as they came
  std::vector<UINT> source_;                   // argument index -> rgvarg index
  bool put_ = false;
};

}  // namespace automation::win
