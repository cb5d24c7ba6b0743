#include "penvane/module1.h"

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

void Module1::ReadImagePath() {
  automation::ResumeNext step;
  step([&] { sSystemDir = Trim(settings_.SystemDirectory(kBufferSize)); });
  step([&] {
    sImagePath =
        Trim(settings_.ReadValue(settingsFile(), u"Path", u"ChildPath", u"No", kBufferSize));
  });
  bPathReady = true;
}

void Module1::SaveImagePath() {
  using text::Element;
  const std::u16string title = text::shown(text::literals::kNotice, Element::Caption, faces_);
  if (sImagePath.empty()) {
    messages_.MsgBox(text::shown(text::literals::kChoosePathFirst, Element::Message, faces_),
                     kExclamation, title);
    bPathReady = false;
    return;
  }
  bPathReady = true;
  // The path as it now reads in the file. A path the file cannot hold, or a file that cannot be
  // written, would otherwise be lost silently at the next start: say so, and keep the path.
  automation::trap(
      [&] { sImagePath = settings_.WriteValue(settingsFile(), u"Path", u"ChildPath", sImagePath); },
      [&](const automation::Error&) {
        messages_.MsgBox(text::shown(text::literals::kCouldNotSavePath, Element::Message, faces_),
                         kExclamation, title);
      });
}

}  // namespace penvane
