#include "automation/dispatch_ids.h"

#include "automation/names.h"
#include "base/error.h"

namespace automation {

int32_t DispatchIds::idOf(std::u16string_view name) {
  std::string narrow;
  for (const char16_t c : name) {
    if (c > 0x7F) throw Error(hr::kUnknownName);
    narrow += static_cast<char>(c);
  }
  if (narrow.empty()) return kDefaultMember;
  std::string key = nameKey(narrow);
  if (const auto it = ids_.find(key); it != ids_.end()) return it->second;
  names_.push_back(std::move(narrow));
  const auto id = static_cast<int32_t>(names_.size() - 1) + kFirst;
  ids_.emplace(std::move(key), id);
  return id;
}

std::string DispatchIds::nameOf(int32_t id) const {
  if (id == kDefaultMember) return {};
  if (id < kFirst || static_cast<size_t>(id - kFirst) >= names_.size())
    throw Error(hr::kMemberNotFound);
  return names_[static_cast<size_t>(id - kFirst)];
}

}  // namespace automation
