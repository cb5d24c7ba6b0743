// The hostile caller's tools, shared by its three suites: both libraries registered and loaded
// beside COM, IDispatch arguments of every shape, and an IDispatch of the caller's own that
// answers nothing. Each suite ends with both libraries ready to unload.
#pragma once

#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "win32/com/bstr.h"
#include "win32/com/com_ptr.h"
#include "win32/com/connection_point.h"
#include "win32/com/guid.h"
#include "win32/com/object.h"
#include "win32/com/variant.h"
#include "win32/penvane/window_names.h"
#include "wordhost/dialogs.h"
#include "wordhost/ole_container.h"
#include "wordhost/resources.h"
#include "wordhost/running_word.h"

#include "extensibility.h"
#include "host/office.h"
#include "ribbon.h"
#include "sealbrook/record.h"
#include "text/literals.h"
#include "wine_test.h"

// MinGW-w64's objsafe.h declares IObjectSafety without its identifier for __uuidof.
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IObjectSafety, 0xCB5BDC81, 0x93C1, 0x11CF, 0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0,
                0x64)
#endif

namespace hostile {

using testing::AnyOf;
using testing::Eq;

inline GUID guidOf(const wchar_t* text) {
  GUID guid{};
  CLSIDFromString(text, &guid);
  return guid;
}

inline const GUID kConnectClass = guidOf(L"{72122E6D-358D-4A2B-946F-177E22D274BC}");
inline const GUID kConnectInterface = guidOf(L"{598B77D4-DFD1-4DD6-BBDC-2F978B5D11FE}");
inline const GUID kSignDataClass = guidOf(L"{5F0BDCD6-D53B-4598-B5C8-074E7574C6AB}");
inline const GUID kSignDataInterface = guidOf(L"{DEA3D560-A645-43D5-BDF6-A07383F18A83}");
inline const GUID kSignDataEvents = guidOf(L"{9BA10D34-A1E9-4E35-A79B-7D9107CA7493}");
inline const GUID kNobodysInterface = guidOf(L"{0D2C5E6A-9A51-4B7E-8F1C-3E0A7B9D4C21}");

// The members of _Connect, by their dispatch ids.
enum ConnectId : DISPID {
  kHostApp = 1,
  kButton1 = 2,
  kOnStartupComplete = 7,
  kButton1Click = 10,
  kButton2Click = 11,
  kButton3Click = 12,
  kOnAddInsUpdate = 13,
  kRibbonInsert = 16,
  kRibbonSign = 17,
  kRibbonInsertAndSign = 18,
  kRibbonLoadImage = 19,
};

// One of the two libraries, loaded beside COM for the whole suite so that its exports can be
// called directly.
struct Library {
  const wchar_t* file;
  HMODULE module = nullptr;

  HRESULT canUnloadNow() const {
    return winetest::export_<HRESULT STDAPICALLTYPE()>(module, "DllCanUnloadNow")();
  }
  HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    return winetest::export_<HRESULT STDAPICALLTYPE(REFCLSID, REFIID, void**)>(
        module, "DllGetClassObject")(clsid, iid, out);
  }
};

inline ULONG references(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

// Arguments of an IDispatch call, the last one first as DISPPARAMS holds them. Owns its VARIANTs
// unless they are by reference.
class Arguments {
 public:
  Arguments() = default;
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments() {
    for (auto& v : values_)
      if (!(V_VT(&v) & VT_BYREF)) VariantClear(&v);
  }
  // Appends the next argument (in the callee's order).
  Arguments& add(const VARIANT& v) {
    values_.insert(values_.begin(), v);
    return *this;
  }
  Arguments& object(IDispatch* dispatch) {
    VARIANT v{};
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = dispatch;
    if (dispatch) dispatch->AddRef();
    return add(v);
  }
  Arguments& text(const wchar_t* value) {
    VARIANT v{};
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(value);
    return add(v);
  }
  Arguments& integer(int32_t value) {
    VARIANT v{};
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return add(v);
  }
  Arguments& ofType(VARTYPE vt) {
    VARIANT v{};
    V_VT(&v) = vt;
    return add(v);
  }
  Arguments& missing() {
    VARIANT v{};
    V_VT(&v) = VT_ERROR;
    V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
    return add(v);
  }
  Arguments& booleanRef(VARIANT_BOOL* at) {
    VARIANT v{};
    V_VT(&v) = VT_BYREF | VT_BOOL;
    V_BOOLREF(&v) = at;
    return add(v);
  }
  Arguments& customRef(SAFEARRAY** at) {
    VARIANT v{};
    V_VT(&v) = VT_BYREF | VT_ARRAY | VT_VARIANT;
    V_ARRAYREF(&v) = at;
    return add(v);
  }

  DISPPARAMS* params() {
    params_ = DISPPARAMS{values_.empty() ? nullptr : values_.data(), nullptr,
                         static_cast<UINT>(values_.size()), 0};
    return &params_;
  }
  // For a property put: the value is the named argument DISPID_PROPERTYPUT.
  DISPPARAMS* putParams() {
    params_ = DISPPARAMS{values_.data(), &put_, static_cast<UINT>(values_.size()), 1};
    return &params_;
  }

 private:
  std::vector<VARIANT> values_;
  DISPID put_ = DISPID_PROPERTYPUT;
  DISPPARAMS params_{};
};

inline HRESULT invoke(IDispatch* object, DISPID id, WORD flags, DISPPARAMS* params,
                      VARIANT* result = nullptr, UINT* argError = nullptr) {
  EXCEPINFO info{};
  const HRESULT hr =
      object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, result, &info, argError);
  SysFreeString(info.bstrDescription);
  SysFreeString(info.bstrSource);
  SysFreeString(info.bstrHelpFile);
  return hr;
}
inline HRESULT call(IDispatch* object, DISPID id, Arguments& args) {
  com::ScopedVariant result;
  return invoke(object, id, DISPATCH_METHOD, args.params(), result.ptr());
}

// An IDispatch of the caller's own that knows no name and has no member.
template <class Derived, class... More>
class Mute : public com::Object<Derived, IDispatch, More...> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID,
                                          DISPID* ids) noexcept override {
    for (UINT i = 0; ids && i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) noexcept override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

// The outer object for aggregation; a stranger to put where a command-bar button belongs.
class Stranger final : public Mute<Stranger> {};

// --- The suite: both libraries registered and loaded --------------------------------------------

class Hostile : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (Library* library : {&penvane_, &sealbrook_}) {
      const std::wstring path = winetest::binPath(library->file);
      ASSERT_EQ(winetest::regsvr32(path), 0);
      library->module = LoadLibraryW(path.c_str());
      ASSERT_NE(library->module, nullptr);
    }
  }
  static void TearDownTestSuite() {
    for (Library* library : {&penvane_, &sealbrook_}) {
      winetest::regsvr32(winetest::binPath(library->file), /*unregister=*/true);
      FreeLibrary(library->module);
    }
  }
  void TearDown() override {
    // Whatever a test made of either library is gone at its end, once the path form that the
    // add-in's start-up loads is closed: while it is open, Penvane.dll stays.
    EXPECT_EQ(penvane_.canUnloadNow(), pathForm() ? S_FALSE : S_OK);
    closePathForm();
    EXPECT_EQ(penvane_.canUnloadNow(), S_OK);
    EXPECT_EQ(sealbrook_.canUnloadNow(), S_OK);
  }

  static HWND pathForm() { return FindWindowW(penvane::win::kFormClass, nullptr); }
  static void closePathForm() {
    if (const HWND form = pathForm()) SendMessageW(form, WM_CLOSE, 0, 0);
  }

  template <class I>
  static com::ComPtr<I> create(REFCLSID clsid) {
    com::ComPtr<I> made;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I), made.putVoid()),
              S_OK);
    return made;
  }
  static com::ComPtr<IDispatch> createDispatch(REFCLSID clsid, REFIID primary) {
    com::ComPtr<IDispatch> made;
    EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, primary, made.putVoid()),
              S_OK);
    return made;
  }

  static inline Library penvane_{L"Penvane.dll"};
  static inline Library sealbrook_{L"Sealbrook.ocx"};
};

// The same IUnknown from every interface; from each interface to every other and on to every
// third (reflexive, symmetric, transitive); a null out pointer and an unknown interface refused
// with null; and the reference count back where it started.
inline void expectOneIdentity(IUnknown* object, const std::vector<IID>& iids) {
  com::ComPtr<IUnknown> identity;
  ASSERT_EQ(object->QueryInterface(IID_IUnknown, identity.putVoid()), S_OK);
  const ULONG start = references(identity.get());
  {
    std::vector<com::ComPtr<IUnknown>> answered;
    for (const IID& iid : iids) {
      com::ComPtr<IUnknown> p;
      ASSERT_EQ(object->QueryInterface(iid, p.putVoid()), S_OK) << com::guidString(iid);
      answered.push_back(p);
    }
    for (size_t a = 0; a < iids.size(); ++a) {
      SCOPED_TRACE(com::guidString(iids[a]));
      com::ComPtr<IUnknown> back;
      ASSERT_EQ(answered[a]->QueryInterface(IID_IUnknown, back.putVoid()), S_OK);
      EXPECT_EQ(back.get(), identity.get());
      for (size_t b = 0; b < iids.size(); ++b) {
        com::ComPtr<IUnknown> other;
        ASSERT_EQ(answered[a]->QueryInterface(iids[b], other.putVoid()), S_OK);
        for (size_t c = 0; c < iids.size(); ++c) {
          com::ComPtr<IUnknown> third;
          EXPECT_EQ(other->QueryInterface(iids[c], third.putVoid()), S_OK);
        }
      }
      EXPECT_EQ(answered[a]->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
      void* none = &none;
      EXPECT_EQ(answered[a]->QueryInterface(kNobodysInterface, &none), E_NOINTERFACE);
      EXPECT_EQ(none, nullptr);
    }
  }
  EXPECT_EQ(references(identity.get()), start);
  for (int i = 0; i < 100; ++i) identity->AddRef();
  for (int i = 0; i < 100; ++i) identity->Release();
  EXPECT_EQ(references(identity.get()), start);
}

// Broken argument arrays and VARIANTs are answered before anything reads them.
inline void expectArgumentsCheckedFirst(IDispatch* object, DISPID id) {
  UINT argError = 99;
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, nullptr), E_INVALIDARG);
  DISPPARAMS noArray{nullptr, nullptr, 2, 0};
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, &noArray), E_INVALIDARG);
  VARIANT two[2] = {};
  DISPID namedIds[3] = {0, 1, 2};
  DISPPARAMS moreNamedThanGiven{two, namedIds, 2, 3};
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, &moreNamedThanGiven), E_INVALIDARG);
  DISPPARAMS noNamedIds{two, nullptr, 2, 1};
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, &noNamedIds), E_INVALIDARG);

  for (const VARTYPE bad :
       {VARTYPE{0x7FFF}, VARTYPE{VT_VARIANT}, VARTYPE{15}, VARTYPE{VT_VECTOR | VT_I4},
        VARTYPE{VT_BYREF | VT_EMPTY}, VARTYPE{VT_ARRAY | VT_NULL}, VARTYPE{VT_LPWSTR}}) {
    SCOPED_TRACE(bad);
    Arguments args;
    args.object(nullptr).ofType(bad);
    argError = 99;
    EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, args.params(), nullptr, &argError),
              DISP_E_BADVARTYPE);
    EXPECT_EQ(argError, 0u);  // the last argument, first in the array
  }
  // By reference to nowhere; by reference to a by-reference VARIANT.
  for (const VARTYPE byRef :
       {VARTYPE{VT_BYREF | VT_BOOL}, VARTYPE{VT_BYREF | VT_BSTR}, VARTYPE{VT_BYREF | VT_VARIANT},
        VARTYPE{VT_BYREF | VT_DISPATCH}, VARTYPE{VT_BYREF | VT_ARRAY | VT_VARIANT}}) {
    SCOPED_TRACE(byRef);
    Arguments args;
    args.object(nullptr).ofType(byRef);
    EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, args.params()), E_POINTER);
  }
  VARIANT loop{};
  V_VT(&loop) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&loop) = &loop;
  Arguments looping;
  looping.object(nullptr).add(loop);
  EXPECT_EQ(invoke(object, id, DISPATCH_METHOD, looping.params()), E_INVALIDARG);
}

}  // namespace hostile
