#include "automation/dispatch_order.h"

namespace automation {

std::vector<Slot> outgoingSlots(const Arguments& args, bool propertyPut) {
  const size_t count = args.size();
  const size_t value = propertyPut && count ? count - 1 : count;  // count: no put value
  std::vector<Slot> slots;
  slots.reserve(count);
  auto place = [&](size_t argument, Placed as) { slots.push_back({argument, slots.size(), as}); };
  if (value < count) place(value, Placed::PutValue);
  for (size_t i = 0; i < value; ++i)
    if (!args[i].name.empty()) place(i, Placed::Named);
  for (size_t i = value; i-- > 0;)
    if (args[i].name.empty()) place(i, Placed::Positional);
  return slots;
}

std::vector<Slot> incomingSlots(size_t count, const std::vector<int32_t>& namedIds) {
  const size_t named = namedIds.size() < count ? namedIds.size() : count;
  std::vector<Slot> arguments;
  arguments.reserve(count);
  auto take = [&](size_t slot, Placed as) { arguments.push_back({arguments.size(), slot, as}); };
  for (size_t i = count; i-- > named;) take(i, Placed::Positional);
  size_t putValue = count;  // count: none
  for (size_t i = 0; i < named; ++i) {
    if (namedIds[i] == kPropertyPutId)
      putValue = i;
    else
      take(i, Placed::Named);
  }
  if (putValue < count) take(putValue, Placed::PutValue);
  return arguments;
}

}  // namespace automation
