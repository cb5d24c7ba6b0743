#include "registration/registry.h"

namespace registration {
namespace {

// Whether the key stays for the library's build for the other architecture: that build is
// registered and the key is the one it sees.
bool keptForOtherBuild(const Key& k, Registry& registry) {
  return !k.sharedWhile().empty() && registry.exists(k.sharedWhile(), k.sharedView()) &&
         registry.sharedBetweenViews(k.path());
}

HResult removeKey(const Key& k, Registry& registry) {
  if (k.isOurs()) return registry.deleteTree(k.path());
  if (registry.deleteValues(k.path(), k.values()) && registry.isEmpty(k.path()))
    registry.deleteKey(k.path());
  return automation::hr::kOk;
}

}  // namespace

HResult writeKeys(const std::vector<Key>& keys, Registry& registry) {
  for (const Key& k : keys)
    if (const HResult hr = registry.write(k); hr < 0) return hr;
  return automation::hr::kOk;
}

HResult removeKeys(const std::vector<Key>& keys, Registry& registry) {
  HResult result = automation::hr::kOk;
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
    if (keptForOtherBuild(*k, registry)) continue;
    if (const HResult hr = removeKey(*k, registry); hr < 0) result = hr;
  }
  return result;
}

}  // namespace registration
