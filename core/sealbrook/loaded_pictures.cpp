#include "sealbrook/loaded_pictures.h"

#include "base/error.h"

namespace sealbrook {

PicturePtr LoadedPictures::load(const std::u16string& path, const std::optional<File>& file,
                                const Load& load) {
  if (!file) {
    loaded_.erase(path);
    throw automation::Error(automation::hr::runtime(53), u"File not found");
  }
  const auto known = loaded_.find(path);
  if (known != loaded_.end() && known->second.file == *file)
    if (PicturePtr shown = known->second.picture.lock()) return shown;
  PicturePtr picture = load();
  if (!picture) {
    loaded_.erase(path);
    throw automation::Error(automation::hr::runtime(481), u"Invalid picture");
  }
  loaded_[path] = {picture, *file};
  return picture;
}

}  // namespace sealbrook
