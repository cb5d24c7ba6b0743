#include "penvane/image_path.h"

#include <optional>

#include "automation/regimes.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace penvane {
namespace {

constexpr int32_t kExclamation = 48;  // OK button, exclamation icon

}  // namespace

std::u16string Trim(const std::u16string& text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

// The value is taken as the runtime's 200-byte buffer holds it: 199 bytes of the code page's
// text, then the NUL.
void ImagePath::read() {
  automation::ResumeNext step;
  step([&] { systemDir_ = Trim(settings_.SystemDirectory(kBufferSize)); });
  step([&] {
    std::string value = settings_.ReadValue(settingsFile(), u"Path", u"ChildPath", "No");
    if (value.size() > kBufferSize - 1) value.resize(kBufferSize - 1);
    path_ = Trim(settings_.FromCodePage(value));
  });
  ready_ = true;
}

void ImagePath::save() {
  using text::Element;
  const std::u16string title = text::shown(text::literals::kNotice, Element::Caption, faces_);
  if (path_.empty()) {
    messages_.MsgBox(text::shown(text::literals::kChoosePathFirst, Element::Message, faces_),
                     kExclamation, title);
    ready_ = false;
    return;
  }
  ready_ = true;
  // A path the code page cannot hold would be written as another path, and a file that cannot be
  // written would lose it silently at the next start: say so, and keep the path for this session.
  const auto couldNotSave = [&] {
    messages_.MsgBox(text::shown(text::literals::kCouldNotSavePath, Element::Message, faces_),
                     kExclamation, title);
  };
  const std::optional<std::string> bytes = settings_.ToCodePage(path_);
  if (!bytes) return couldNotSave();
  automation::trap(
      [&] {
        settings_.WriteValue(settingsFile(), u"Path", u"ChildPath", *bytes);
        path_ = settings_.FromCodePage(*bytes);  // as it now reads in the file
      },
      [&](const automation::Error&) { couldNotSave(); });
}

}  // namespace penvane
