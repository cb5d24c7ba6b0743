// Dispatch ids for member and argument names, for objects whose members are known by name only
// at run time (the server side of the bridge): one id a name whatever its spelling, given the
// first time the name is asked for, and the name back for an id. The empty name is the default
// member. Names are ASCII; any other name has no id.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace automation {

class DispatchIds {
 public:
  static constexpr int32_t kDefaultMember = 0;  // DISPID_VALUE
  static constexpr int32_t kFirst = 1000;       // the first id a name is given

  // "Unknown name" for a name with characters beyond ASCII.
  int32_t idOf(std::u16string_view name);
  // The name as first given, the empty name for the default member; "Member not found" for an id
  // never given.
  std::string nameOf(int32_t id) const;

 private:
  std::unordered_map<std::string, int32_t> ids_;  // by name key
  std::vector<std::string> names_;                // from kFirst on
};

}  // namespace automation
