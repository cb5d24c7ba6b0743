// Loads COM add-ins the way Word does. Word reads its list from
// Software\Microsoft\Office\Word\Addins\<ProgID> of the user (HKCU) and of the machine (HKLM,
// where an installer lists an add-in for every user); LoadBehavior 3 means "load at start-up".
// The user's entry of an add-in goes before the machine's.
//   start-up:  CoCreateInstance, OnConnection(mode 1) for each, then OnStartupComplete for each;
//              then Word's message loop runs what the add-ins posted meanwhile
//   exit:      OnBeginShutdown for each, then OnDisconnection(mode 0), release
//   the user loads one later:   OnConnection(mode 0)            (LoadBehavior becomes 3)
//   the user unloads one:       OnDisconnection(mode 1), release (LoadBehavior becomes 2)
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "win32/com/com_ptr.h"
#include "wordhost/ribbon_host.h"

#include "extensibility.h"

namespace wordhost {

class AddinHost {
 public:
  // The running Word's Application object, which outlives its loader: the loader is part of the
  // host and holds no reference of its own, so that every reference counted on the application
  // is one that an add-in holds.
  explicit AddinHost(IDispatch* application) noexcept : application_(application) {}
  ~AddinHost();  // releases what is still loaded, without callbacks

  // The user's list (HKCU); the user's loading and unloading writes there too.
  static HRESULT listAddin(const std::wstring& progId, DWORD loadBehavior);
  static HRESULT unlistAddin(const std::wstring& progId);

  // Each step returns the first failure of a host call (the host goes on with the others).
  HRESULT startUp();
  HRESULT shutDown();
  HRESULT load(const std::wstring& progId);
  HRESULT unload(const std::wstring& progId);

  bool isLoaded(const std::wstring& progId) const { return loaded_.count(progId) != 0; }
  // The ProgIDs of the add-ins loaded now.
  std::vector<std::wstring> loadedAddins() const;
  IDTExtensibility2* addin(const std::wstring& progId) const;

  // Word 2007 and later ask every add-in for its ribbon right after connecting; Word 2003 has
  // none and asks nothing.
  void hasRibbon(bool ribbon) noexcept { hasRibbon_ = ribbon; }
  // What the add-in put on the ribbon; null when it is not loaded or the host has no ribbon.
  Ribbon* ribbon(const std::wstring& progId) const;

 private:
  HRESULT connect(const std::wstring& progId, ext_ConnectMode mode);

  IDispatch* application_;
  std::map<std::wstring, com::ComPtr<IDTExtensibility2>> loaded_;
  std::map<std::wstring, std::unique_ptr<Ribbon>> ribbons_;
  bool hasRibbon_ = true;
};

}  // namespace wordhost
