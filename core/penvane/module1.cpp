#include "penvane/module1.h"

#include "automation/regimes.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace penvane {
namespace {

constexpr int32_t kExclamation = 48;  // OK button, exclamation icon

std::u16string upToNul(const std::u16string& text) { return text.substr(0, text.find(u'\0')); }

}  // namespace

std::u16string Trim(const std::u16string& text) {
  const auto first = text.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  return text.substr(first, text.find_last_not_of(u' ') - first + 1);
}

void Module1::ReadImagePath() {
  automation::ResumeNext step;
  std::u16string buffer(kBufferSize, u' ');
  step([&] { kernel32_.GetSystemDirectoryA(buffer, kBufferSize); });
  step([&] {
    const std::u16string trimmed = Trim(buffer);
    const auto nul = trimmed.find(u'\0');
    // Without a NUL the query wrote nothing usable: keep the earlier value.
    if (nul != std::u16string::npos) sSystemDir = trimmed.substr(0, nul);
  });
  std::u16string value(kBufferSize, u' ');
  step([&] {
    kernel32_.GetPrivateProfileStringA(u"Path", u"ChildPath", u"No", value, kBufferSize,
                                       settingsFile());
  });
  step([&] { sImagePath = Trim(upToNul(value)); });
  bPathReady = true;
}

void Module1::SaveImagePath() {
  const std::u16string title = text::widenBytes(text::literals::kNotice);
  if (sImagePath.empty()) {
    messages_.MsgBox(text::widenBytes(text::literals::kChoosePathFirst), kExclamation, title);
    bPathReady = false;
    return;
  }
  bPathReady = true;
  // The path goes to the file as ANSI text and comes back the same way, as it now reads there.
  const int32_t written =
      kernel32_.WritePrivateProfileStringA(u"Path", u"ChildPath", sImagePath, settingsFile());
  // A failed write would otherwise be silent and the path lost at the next start: say so.
  if (written == 0)
    messages_.MsgBox(text::widenBytes(text::literals::kCouldNotSavePath), kExclamation, title);
}

}  // namespace penvane
