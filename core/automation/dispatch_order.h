// Where a late-bound call's arguments stand in IDispatch's argument array (DISPPARAMS): named
// arguments first, the value of a put leading them and the others in the order given, then the
// positional ones in reverse order. The core keeps a call's arguments in its own order:
// positional ones in declaration order, then named ones, then the value of a put.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "automation/object.h"

namespace automation {

// The named id that marks the value of a put (DISPID_PROPERTYPUT).
inline constexpr int32_t kPropertyPutId = -3;

enum class Placed : uint8_t { Positional, Named, PutValue };

// One argument's place: its index in the core's order and in the array.
struct Slot {
  size_t argument;
  size_t slot;
  Placed as;
};

// An outgoing call's arguments, slot by slot. The named ids of the array follow the named slots
// in order: the put's value, then each named argument as it comes in `args`.
std::vector<Slot> outgoingSlots(const Arguments& args, bool propertyPut);

// An incoming call's arguments in the core's order, from an array of `count` slots whose first
// ones have the named ids `namedIds`. Of several slots marked as the value of a put, the last is
// taken and the others are not.
std::vector<Slot> incomingSlots(size_t count, const std::vector<int32_t>& namedIds);

}  // namespace automation
