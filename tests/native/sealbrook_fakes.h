// Fakes of the control's ports: a runtime that reaches the simulated Word, loads pictures by name
// (remembered as the Windows runtime remembers them), and records its message boxes; a surface that
// records intervals and answers the popup menu as planned.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "base/error.h"
#include "sealbrook/loaded_pictures.h"
#include "sealbrook/signdata.h"
#include "simword/word.h"

namespace sealbrook {

// The pictures of these tests: the file each was loaded from.
class Picture {
 public:
  explicit Picture(std::u16string_view f) : file(f) {}
  std::u16string file;
};

namespace fakes {

inline std::u16string fileOf(const PicturePtr& p) {
  return p ? p->file : u"(none)";
}

struct Box {
  std::u16string prompt;
  int32_t buttons;
  std::optional<std::u16string> title;
  bool operator==(const Box& o) const {
    return prompt == o.prompt && buttons == o.buttons && title == o.title;
  }
};

class Runtime final : public sealbrook::Runtime {
 public:
  explicit Runtime(simword::Word& word) : word_(word) {}
  bool hostRunning = true;
  std::set<std::u16string> files{std::u16string(kSignaturePicture), std::u16string(kValidPicture),
                                 std::u16string(kInvalidPicture)};
  std::vector<std::string> calls;
  std::set<std::u16string> invalid;     // files that are there but are no pictures
  std::vector<std::u16string> folders;  // PictureFolders
  std::vector<Box> boxes;
  int pictureLoads = 0;  // pictures made, not found again
  std::function<void()> duringDoEvents;
  std::function<void(const Box&)> duringMsgBox;

  automation::ObjectRef GetObject(std::u16string_view className) override {
    calls.push_back("GetObject");
    if (!hostRunning || className != u"Word.Application")
      throw automation::Error(automation::hr::kUnavailable);
    return word_.application();
  }
  PicturePtr LoadPicture(std::u16string_view path) override {
    const std::u16string file(path);
    std::optional<LoadedPictures::File> found;
    if (files.count(file)) found = LoadedPictures::File{};
    return loaded_.load(file, found, [&]() -> PicturePtr {
      if (invalid.count(file)) return nullptr;
      ++pictureLoads;
      return std::make_shared<Picture>(path);
    });
  }
  std::vector<std::u16string> PictureFolders() override { return folders; }
  void DoEvents() override {
    calls.push_back("DoEvents");
    if (duringDoEvents) duringDoEvents();
  }
  void MsgBox(const std::u16string& prompt, int32_t buttons,
              const std::optional<std::u16string>& title) override {
    boxes.push_back({prompt, buttons, title});
    if (duringMsgBox) duringMsgBox(boxes.back());
  }

 private:
  simword::Word& word_;
  LoadedPictures loaded_;
};

// A site that gives what the test put in it: nothing, as a host that gives the control no
// container, unless set.
class Site final : public sealbrook::Site {
 public:
  automation::ObjectRef application;  // the site's application service
  automation::ObjectRef document;     // the site's container
  automation::ObjectRef ApplicationService() override { return application; }
  automation::ObjectRef ContainerDocument() override { return document; }
};

class Surface final : public sealbrook::Surface {
 public:
  explicit Surface(std::vector<std::string>& calls) : calls_(calls) {}
  MenuChoice choice = MenuChoice::None;
  int menus = 0;
  int redraws = 0;
  void picturesChanged() override { ++redraws; }
  void intervalChanged(TimerId t, uint32_t ms) override {
    calls_.push_back(std::string(t == TimerId::Timer1 ? "Timer1" : "Timer2") +
                     ".Interval=" + std::to_string(ms));
  }
  MenuChoice PopupMenu() override {
    ++menus;
    return choice;
  }

 private:
  std::vector<std::string>& calls_;
};

}  // namespace fakes
}  // namespace sealbrook
