#include "win32/automation/convert.h"

#include <new>

#include "win32/automation/dispatch_object.h"
#include "win32/automation/server_object.h"
#include "win32/com/arguments.h"
#include "win32/com/bstr.h"
#include "win32/com/failure.h"

#include "automation/dispatch_order.h"
#include "base/error.h"

namespace automation::win {

using automation::Error;
using automation::Placed;
using automation::Variant;
using automation::VarType;
namespace hr = automation::hr;

static_assert(automation::kPropertyPutId == DISPID_PROPERTYPUT);

namespace {

Variant converted(const VARIANT& v, VARTYPE to) {
  com::ScopedVariant copy;
  com::throwIfFailed(VariantChangeType(copy.ptr(), const_cast<VARIANT*>(&v), 0, to));
  return fromVariant(copy.get());
}

}  // namespace

Variant fromVariant(const VARIANT& v) {
  com::throwIfFailed(com::checkVariant(v));
  const VARTYPE vt = V_VT(&v);
  if (vt == (VT_BYREF | VT_VARIANT))
    return V_VARIANTREF(&v) ? fromVariant(*V_VARIANTREF(&v)) : Variant();
  if (vt & VT_BYREF) {
    com::ScopedVariant copy;
    com::throwIfFailed(VariantCopyInd(copy.ptr(), const_cast<VARIANT*>(&v)));
    return fromVariant(copy.get());
  }
  switch (vt) {
    case VT_EMPTY:
      return Variant();
    case VT_ERROR:  // an omitted optional argument
      if (V_ERROR(&v) == DISP_E_PARAMNOTFOUND) return Variant();
      return Variant(static_cast<int32_t>(V_ERROR(&v)));
    case VT_NULL:
      return Variant::null();
    case VT_BOOL:
      return Variant(V_BOOL(&v) != VARIANT_FALSE);
    case VT_I2:
      return Variant(static_cast<int16_t>(V_I2(&v)));
    case VT_I4:
      return Variant(static_cast<int32_t>(V_I4(&v)));
    case VT_R8:
      return Variant(V_R8(&v));
    case VT_DATE:
      return Variant(automation::Date{V_DATE(&v)});
    case VT_BSTR:
      return Variant(com::fromBstr(V_BSTR(&v)));
    case VT_DISPATCH:
      return Variant(DispatchObject::wrap(V_DISPATCH(&v)));
    case VT_UNKNOWN: {
      if (!V_UNKNOWN(&v)) return Variant(automation::ObjectRef());
      com::ComPtr<IDispatch> dispatch;
      if (FAILED(V_UNKNOWN(&v)->QueryInterface(IID_IDispatch, dispatch.putVoid())))
        throw Error(hr::kBadVarType);
      return Variant(DispatchObject::wrap(dispatch.get()));
    }
    case VT_I1:
    case VT_UI1:
      return converted(v, VT_I2);
    case VT_UI2:
    case VT_INT:
    case VT_UINT:
    case VT_UI4:
    case VT_I8:
    case VT_UI8: {
      const Variant wide = converted(v, VT_R8);
      const double d = wide.asR8();
      if (d >= -2147483648.0 && d <= 2147483647.0) return Variant(static_cast<int32_t>(d));
      return wide;
    }
    case VT_R4:
    case VT_CY:
    case VT_DECIMAL:
      return converted(v, VT_R8);
    default:
      throw Error(hr::kBadVarType);
  }
}

void toVariant(const Variant& value, VARIANT* out) {
  toVariant(value, out, Interfaces::none());
}

void toVariant(const Variant& value, VARIANT* out, const Interfaces& interfaces) {
  VariantInit(out);
  switch (value.type()) {
    case VarType::Empty:
      return;
    case VarType::Null:
      V_VT(out) = VT_NULL;
      return;
    case VarType::Bool:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = value.asBool() ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    case VarType::I2:
      V_VT(out) = VT_I2;
      V_I2(out) = value.asI2();
      return;
    case VarType::I4:
      V_VT(out) = VT_I4;
      V_I4(out) = value.asI4();
      return;
    case VarType::R8:
      V_VT(out) = VT_R8;
      V_R8(out) = value.asR8();
      return;
    case VarType::Date:
      V_VT(out) = VT_DATE;
      V_DATE(out) = value.asDate().serial;
      return;
    case VarType::Text: {
      com::Bstr text(value.asText());
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = text.detach();
      return;
    }
    case VarType::Object:
      V_VT(out) = VT_DISPATCH;
      V_DISPATCH(out) = toDispatch(value.asObject(), interfaces).detach();
      return;
  }
}

com::ComPtr<IDispatch> toDispatch(const automation::ObjectRef& object) {
  return toDispatch(object, Interfaces::none());
}

com::ComPtr<IDispatch> toDispatch(const automation::ObjectRef& object,
                                  const Interfaces& interfaces) {
  if (auto* proxy = dynamic_cast<DispatchObject*>(object.get()))
    return com::ComPtr<IDispatch>(proxy->dispatch());
  if (object) return ServerObject::wrap(object, interfaces);
  return nullptr;
}

void writeThrough(const Variant& value, const VARIANT& byRef) {
  const VARTYPE target = V_VT(&byRef) & ~VT_BYREF;
  if (!V_BYREF(&byRef)) throw Error(hr::kPointer);
  com::ScopedVariant fresh;
  toVariant(value, fresh.ptr());
  // The caller's old value changes places with the new one and is cleared with `fresh`.
  if (target == VT_VARIANT) {
    std::swap(*V_VARIANTREF(&byRef), *fresh.ptr());
    return;
  }
  com::throwIfFailed(VariantChangeType(fresh.ptr(), fresh.ptr(), 0, target));
  VARIANT& v = *fresh.ptr();
  switch (target) {
    case VT_BOOL:
      *V_BOOLREF(&byRef) = V_BOOL(&v);
      break;
    case VT_I2:
      *V_I2REF(&byRef) = V_I2(&v);
      break;
    case VT_I4:
      *V_I4REF(&byRef) = V_I4(&v);
      break;
    case VT_R8:
      *V_R8REF(&byRef) = V_R8(&v);
      break;
    case VT_DATE:
      *V_DATEREF(&byRef) = V_DATE(&v);
      break;
    case VT_BSTR:
      std::swap(*V_BSTRREF(&byRef), V_BSTR(&v));
      break;
    case VT_DISPATCH:
      std::swap(*V_DISPATCHREF(&byRef), V_DISPATCH(&v));
      break;
    default:
      throw Error(hr::kBadVarType);
  }
}

OutgoingArguments::OutgoingArguments(const automation::Arguments& args,
                                     const std::vector<DISPID>& namedIds, bool propertyPut)
    : OutgoingArguments(args, namedIds, propertyPut, Interfaces::none()) {}

OutgoingArguments::OutgoingArguments(const automation::Arguments& args,
                                     const std::vector<DISPID>& namedIds, bool propertyPut,
                                     const Interfaces& interfaces)
    : slots_(args.size()), targets_(args.size()), booleans_(args.size()) {
  size_t nextNamed = 0;
  for (const automation::Slot& s : automation::outgoingSlots(args, propertyPut)) {
    if (s.as == Placed::PutValue) named_.push_back(DISPID_PROPERTYPUT);
    if (s.as == Placed::Named)
      named_.push_back(nextNamed < namedIds.size() ? namedIds[nextNamed++] : DISPID_UNKNOWN);
    const size_t i = s.argument;
    VARIANT* v = &slots_[s.slot];
    if (!args[i].byRef) {
      toVariant(args[i].value, v, interfaces);
    } else if (args[i].value.type() == VarType::Bool) {
      booleans_[i] = args[i].value.asBool() ? VARIANT_TRUE : VARIANT_FALSE;
      V_VT(v) = VT_BYREF | VT_BOOL;
      V_BOOLREF(v) = &booleans_[i];
    } else {
      toVariant(args[i].value, targets_[i].ptr(), interfaces);
      V_VT(v) = VT_BYREF | VT_VARIANT;
      V_VARIANTREF(v) = targets_[i].ptr();
    }
  }
  params_.rgvarg = slots_.data();
  params_.cArgs = static_cast<UINT>(args.size());
  params_.rgdispidNamedArgs = named_.empty() ? nullptr : named_.data();
  params_.cNamedArgs = static_cast<UINT>(named_.size());
}

void OutgoingArguments::readBack(automation::Arguments& args) const {
  for (size_t i = 0; i < args.size(); ++i) {
    if (!args[i].byRef) continue;
    if (args[i].value.type() == VarType::Bool)
      args[i].value = Variant(booleans_[i] != VARIANT_FALSE);
    else
      args[i].value = fromVariant(targets_[i].get());
  }
}

IncomingArguments::IncomingArguments(const DISPPARAMS& params, NameOf nameOf) : params_(params) {
  const UINT count = params.cArgs;
  const UINT named = params.cNamedArgs;
  if (named > count || (count && !params.rgvarg) || (named && !params.rgdispidNamedArgs))
    throw Error(hr::kBadParamCount);
  const std::vector<int32_t> ids(params.rgdispidNamedArgs, params.rgdispidNamedArgs + named);
  for (const automation::Slot& s : automation::incomingSlots(count, ids)) {
    const VARIANT& v = params.rgvarg[s.slot];
    std::string name;
    if (s.as == Placed::Named)
      name = nameOf ? nameOf(ids[s.slot]) : std::string("#") + std::to_string(ids[s.slot]);
    put_ = put_ || s.as == Placed::PutValue;
    args_.emplace_back(std::move(name), fromVariant(v), (V_VT(&v) & VT_BYREF) != 0);
    received_.push_back(args_.back().value);
    source_.push_back(static_cast<UINT>(s.slot));
  }
}

void IncomingArguments::writeBack() const {
  for (size_t i = 0; i < args_.size(); ++i)
    if (args_[i].byRef && args_[i].value != received_[i])
      writeThrough(args_[i].value, params_.rgvarg[source_[i]]);
}

}  // namespace automation::win
