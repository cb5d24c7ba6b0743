#include "win32/com/class_factory.h"

#include "win32/com/edge.h"
#include "win32/com/module.h"
#include "win32/com/object.h"

namespace com {
namespace {

class ClassFactory final : public Object<ClassFactory, IClassFactory> {
 public:
  explicit ClassFactory(const ClassEntry& entry) noexcept : entry_(entry) {}

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                           void** ppv) noexcept override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return edge([&] { return entry_.create(riid, ppv); });
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
    if (lock)
      module::lock();
    else
      module::unlock();
    return S_OK;
  }

 private:
  const ClassEntry& entry_;
};

}  // namespace

HRESULT getClassObject(const ClassEntry* begin, const ClassEntry* end, REFCLSID clsid, REFIID riid,
                       void** ppv) noexcept {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  for (const ClassEntry* e = begin; e != end; ++e) {
    if (!IsEqualCLSID(*e->clsid, clsid)) continue;
    auto factory = ClassFactory::make(*e);
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, ppv);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT canUnloadNow() noexcept {
  return module::canUnload() ? S_OK : S_FALSE;
}

}  // namespace com
