// The connection points of a container, kept as the platform's own objects keep them: one point
// per source interface, made with the container and living as long as it does, so that
// FindConnectionPoint hands out the same point every time. A point has no reference count of its
// own: AddRef and Release go to the container that owns it, so neither keeps the other alive.
// Advise asks the sink for the point's interface (CONNECT_E_CANNOTCONNECT when it has none) and
// keeps the reference it got until Unadvise or until the container drops every connection.
//
//   class Control : public com::Object<Control, IConnectionPointContainer> {
//     com::ConnectionPoints points_{*this, {DIID_Events, IID_IPropertyNotifySink}};
//     HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** out) noexcept override {
//       return points_.find(iid, out);
//     }
//     ...
//   };
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "win32/com/com_ptr.h"

#include "automation/object.h"

namespace com {

// What a new connection does beyond keeping its sink, given the sink as the point's interface:
// what it returns lives as long as the connection (null for nothing). Throws to refuse it.
using OnAdvise = std::function<automation::ConnectionPtr(const IID& iid, IUnknown* sink)>;

class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer& container, const IID& iid,
                  const OnAdvise& onAdvise) noexcept
      : container_(container), iid_(iid), onAdvise_(onAdvise) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  const IID& iid() const noexcept { return iid_; }
  void clear() noexcept;  // drops every connection

  // IUnknown: the point's own identity, the container's reference count.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return container_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() noexcept override { return container_.Release(); }
  // IConnectionPoint
  HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override;
  HRESULT STDMETHODCALLTYPE
  GetConnectionPointContainer(IConnectionPointContainer** container) noexcept override;
  HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override;
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override;
  HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) noexcept override;

 private:
  struct Connection {
    ComPtr<IUnknown> sink;  // as the point's interface
    automation::ConnectionPtr live;
  };

  IConnectionPointContainer& container_;
  const IID iid_;
  const OnAdvise& onAdvise_;
  std::map<DWORD, Connection> connections_;
  DWORD nextCookie_ = 1;
};

// The points of one container, one per source interface, in the order given.
class ConnectionPoints {
 public:
  ConnectionPoints(IConnectionPointContainer& container, const std::vector<IID>& sources,
                   OnAdvise onAdvise = {});
  ConnectionPoints(const ConnectionPoints&) = delete;
  ConnectionPoints& operator=(const ConnectionPoints&) = delete;

  // IConnectionPointContainer
  HRESULT find(REFIID iid, IConnectionPoint** point) noexcept;
  HRESULT enumerate(IEnumConnectionPoints** points) noexcept;

  // Drops every connection of every point (the container closes).
  void clear() noexcept;

 private:
  OnAdvise onAdvise_;
  std::vector<std::unique_ptr<ConnectionPoint>> points_;
};

}  // namespace com
