// Writing a registration's rows (keys.h) into the registry and removing them again, over the
// registry as a small port. Registering twice is harmless. Unregistering removes exactly what
// registering wrote: keys that are ours with everything below them, and from common keys only
// our values, then the key itself when nothing else is left in it. Keys that the x86 and the x64
// build of a library may share (the type library's, the interfaces', the ProgID) stay while the
// other build is still registered, when the registry holds them once for both builds' views; a
// key that each view holds apart (as 64-bit Windows keeps the interfaces' keys, and Wine the
// ProgIDs) is the build's own and goes with it. The Windows side implements the port over one
// root of the registry (win32/com/registry.h).
#pragma once

#include <string>
#include <vector>

#include "base/error.h"
#include "registration/keys.h"

namespace registration {

using automation::HResult;

// One root of the registry (the classes root), paths below it. Failures are HRESULTs.
class Registry {
 public:
  virtual ~Registry() = default;
  // Makes the key, and any parent it lacks, and writes its values.
  virtual HResult write(const Key& key) = 0;
  virtual bool exists(const std::u16string& path, View view) = 0;
  // Whether the key is one and the same key in this build's view and in the other build's (the
  // registry keeps some keys once for both views, others apart); false when it is not there.
  virtual bool sharedBetweenViews(const std::u16string& path) = 0;
  // Deletes the key with everything below it; a key that is not there is no failure.
  virtual HResult deleteTree(const std::u16string& path) = 0;
  // Deletes the named values from a key; false when the key is not there to change.
  virtual bool deleteValues(const std::u16string& path, const std::vector<Value>& values) = 0;
  // Whether the key is there with no value and no subkey.
  virtual bool isEmpty(const std::u16string& path) = 0;
  virtual void deleteKey(const std::u16string& path) = 0;
};

// Writes the rows in order; the first failure ends the work.
HResult writeKeys(const std::vector<Key>& keys, Registry& registry);
// Removes the rows in reverse order, children before their parents, going on past failures; the
// last failure, or 0.
HResult removeKeys(const std::vector<Key>& keys, Registry& registry);

}  // namespace registration
