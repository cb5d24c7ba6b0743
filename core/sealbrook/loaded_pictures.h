// LoadPicture's memory of the pictures it loaded, by path as given: the same picture again while
// its file is unchanged (the same size and time of last write) and a control still shows it, so
// that a refresh whose status did not change loads, creates and redraws nothing. A picture no
// control shows any more is gone: nothing is kept for controls that do not exist.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "sealbrook/ports.h"

namespace sealbrook {

class LoadedPictures {
 public:
  // A file as the file system describes it.
  struct File {
    uint64_t size = 0;
    uint64_t written = 0;  // the time of its last write
    friend bool operator==(const File& a, const File& b) {
      return a.size == b.size && a.written == b.written;
    }
  };
  // Makes the picture from the file; null when the file holds no picture.
  using Load = std::function<PicturePtr()>;

  // The picture from the file at `path`, which is described by `file` or is not there: "File
  // not found" (53) when it is not, "Invalid picture" (481) when it holds no picture.
  PicturePtr load(const std::u16string& path, const std::optional<File>& file, const Load& load);

 private:
  struct Loaded {
    std::weak_ptr<Picture> picture;
    File file;
  };
  std::map<std::u16string, Loaded> loaded_;
};

}  // namespace sealbrook
