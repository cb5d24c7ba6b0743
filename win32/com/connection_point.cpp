#include "win32/com/connection_point.h"

#include <utility>

#include "win32/com/edge.h"
#include "win32/com/object.h"

namespace com {
namespace {

// An IEnumXxx over a snapshot of items, taken when the enumeration began; clones share it.
template <class IEnum, class Item, class Held, Item (*handOut)(const Held&)>
class Enumerator final : public Object<Enumerator<IEnum, Item, Held, handOut>, IEnum> {
 public:
  using Items = std::vector<Held>;

  Enumerator(std::shared_ptr<const Items> items, size_t at) noexcept
      : items_(std::move(items)), at_(at) {}

  // A new enumerator for an out parameter.
  static HRESULT start(Items items, IEnum** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return edge([&] {
      auto made = Enumerator::make(std::make_shared<const Items>(std::move(items)), 0);
      if (!made) return E_OUTOFMEMORY;
      *out = made.detach();
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) noexcept override {
    if (fetched) *fetched = 0;
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    for (; n < count && at_ < items_->size(); ++n, ++at_) out[n] = handOut((*items_)[at_]);
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) noexcept override {
    const size_t left = items_->size() - at_;
    at_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() noexcept override {
    at_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnum** out) noexcept override {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto made = Enumerator::make(items_, at_);
    if (!made) return E_OUTOFMEMORY;
    *out = made.detach();
    return S_OK;
  }

 private:
  const std::shared_ptr<const Items> items_;
  size_t at_;
};

IConnectionPoint* handOutPoint(const ComPtr<IConnectionPoint>& point) {
  IConnectionPoint* out = nullptr;
  point.copyTo(&out);
  return out;
}
using PointEnumerator =
    Enumerator<IEnumConnectionPoints, IConnectionPoint*, ComPtr<IConnectionPoint>, handOutPoint>;

struct HeldConnection {
  ComPtr<IUnknown> sink;
  DWORD cookie;
};
CONNECTDATA handOutConnection(const HeldConnection& held) {
  CONNECTDATA data{nullptr, held.cookie};
  held.sink.copyTo(&data.pUnk);
  return data;
}
using ConnectionEnumerator =
    Enumerator<IEnumConnections, CONNECTDATA, HeldConnection, handOutConnection>;

}  // namespace

HRESULT STDMETHODCALLTYPE ConnectionPoint::QueryInterface(REFIID riid, void** ppv) noexcept {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IConnectionPoint))
    return E_NOINTERFACE;
  *ppv = static_cast<IConnectionPoint*>(this);
  AddRef();
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::GetConnectionInterface(IID* iid) noexcept {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE
ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) noexcept {
  if (!container) return E_POINTER;
  return ComPtr<IConnectionPointContainer>(&container_).copyTo(container);
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) noexcept {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  ComPtr<IUnknown> typed;
  if (FAILED(sink->QueryInterface(iid_, typed.putVoid())) || !typed) return CONNECT_E_CANNOTCONNECT;
  return edge([&] {
    Connection connection{typed, onAdvise_ ? onAdvise_(iid_, typed.get()) : nullptr};
    connections_.emplace(nextCookie_, std::move(connection));
    *cookie = nextCookie_++;
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::Unadvise(DWORD cookie) noexcept {
  const auto it = connections_.find(cookie);
  if (it == connections_.end()) return CONNECT_E_NOCONNECTION;
  // Out of the map before it goes: disconnecting may call back into the point.
  const Connection gone = std::move(it->second);
  connections_.erase(it);
  return S_OK;
}

void ConnectionPoint::clear() noexcept {
  const auto gone = std::move(connections_);
  connections_.clear();
}

HRESULT STDMETHODCALLTYPE ConnectionPoint::EnumConnections(IEnumConnections** out) noexcept {
  if (!out) return E_POINTER;
  *out = nullptr;
  return edge([&] {
    std::vector<HeldConnection> held;
    for (const auto& [cookie, connection] : connections_) held.push_back({connection.sink, cookie});
    return ConnectionEnumerator::start(std::move(held), out);
  });
}

ConnectionPoints::ConnectionPoints(IConnectionPointContainer& container,
                                   const std::vector<IID>& sources, OnAdvise onAdvise)
    : onAdvise_(std::move(onAdvise)) {
  for (const IID& iid : sources)
    points_.push_back(std::make_unique<ConnectionPoint>(container, iid, onAdvise_));
}

HRESULT ConnectionPoints::find(REFIID iid, IConnectionPoint** point) noexcept {
  if (!point) return E_POINTER;
  *point = nullptr;
  for (const auto& p : points_)
    if (IsEqualIID(p->iid(), iid)) return ComPtr<IConnectionPoint>(p.get()).copyTo(point);
  return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoints::enumerate(IEnumConnectionPoints** points) noexcept {
  if (!points) return E_POINTER;
  *points = nullptr;
  return edge([&] {
    std::vector<ComPtr<IConnectionPoint>> all;
    for (const auto& p : points_) all.emplace_back(p.get());
    return PointEnumerator::start(std::move(all), points);
  });
}

void ConnectionPoints::clear() noexcept {
  for (const auto& p : points_) p->clear();
}

}  // namespace com
