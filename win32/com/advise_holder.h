// An OLE advise holder (IOleAdviseHolder, IDataAdviseHolder) that an object makes when its
// first sink comes, and that keeps the sinks for it:
//
//   com::AdviseHolder<IOleAdviseHolder> holder_{CreateOleAdviseHolder};
//   return holder_.advise([&](IOleAdviseHolder* h) { return h->Advise(sink, connection); });
#pragma once

#include <windows.h>

#include <ole2.h>

#include "win32/com/com_ptr.h"

namespace com {

template <class Holder>
class AdviseHolder {
 public:
  using Create = HRESULT(STDAPICALLTYPE*)(Holder**);
  explicit AdviseHolder(Create create) noexcept : create_(create) {}

  // Runs the Advise call on the holder, made first when there is none.
  template <class Call>
  HRESULT advise(Call&& call) noexcept {
    if (!holder_)
      if (const HRESULT hr = create_(holder_.put()); FAILED(hr)) return hr;
    return call(holder_.get());
  }
  HRESULT unadvise(DWORD connection) noexcept {
    return holder_ ? holder_->Unadvise(connection) : OLE_E_NOCONNECTION;
  }
  // The sinks, none before the first came.
  HRESULT enumerate(IEnumSTATDATA** advise) noexcept {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    if (!holder_)
      if (const HRESULT hr = create_(holder_.put()); FAILED(hr)) return hr;
    return holder_->EnumAdvise(advise);
  }

  Holder* get() const noexcept { return holder_.get(); }  // null before the first use
  void reset() noexcept { holder_.reset(); }

 private:
  Create create_;
  ComPtr<Holder> holder_;
};

}  // namespace com
