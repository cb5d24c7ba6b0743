#include "host/pictures.h"

namespace host {

std::vector<std::u16string> pictureLocations(std::u16string_view fixedPath,
                                             const std::vector<std::u16string>& folders) {
  std::vector<std::u16string> locations{std::u16string(fixedPath)};
  const std::u16string_view name = fixedPath.substr(fixedPath.find_last_of(u'\\') + 1);
  for (const std::u16string& folder : folders)
    locations.push_back(folder + u"\\" + std::u16string(name));
  return locations;
}

}  // namespace host
