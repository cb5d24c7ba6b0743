#include "automation/names.h"

namespace automation {

std::string nameKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) c = static_cast<char>(foldedNameChar(c));
  return key;
}

}  // namespace automation
