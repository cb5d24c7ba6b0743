// What the add-in does with the value of settings.ini (section Path, key ChildPath) and with the
// system directory, whatever the file and the platform give: the image path's read at start-up, a
// save of the path read or of a path the user chose (any UTF-16 text), and the read of the next
// start-up, over a settings store that keeps one file in memory as the platform's profile
// functions do (bytes of ANSI text; here one character a byte, and what is above 0xFF has no
// place in the code page).
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "penvane/image_path.h"
#include "require.h"
#include "text/literals.h"
#include "text/tcvn3.h"

namespace {

using fuzz::require;

class SettingsStore final : public penvane::SettingsStore {
 public:
  std::optional<std::u16string> systemDirectory;  // none: the query fails
  bool readsFail = false;
  bool writesFail = false;
  std::map<std::u16string, std::u16string> values;  // file -> ChildPath of section Path
  int writes = 0;

  std::u16string SystemDirectory(uint32_t capacity) override {
    if (!systemDirectory || systemDirectory->size() + 1 > capacity)
      throw automation::Error(automation::hr::kFail);
    return *systemDirectory;
  }
  std::string ReadValue(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, std::string_view defaultValue) override {
    require(section == u"Path" && key == u"ChildPath", "only Path/ChildPath is read");
    if (readsFail) throw automation::Error(automation::hr::kAccessDenied);
    const auto found = values.find(file);
    return found == values.end() ? std::string(defaultValue) : *ToCodePage(found->second);
  }
  void WriteValue(const std::u16string& file, const std::u16string& section,
                  const std::u16string& key, std::string_view value) override {
    require(section == u"Path" && key == u"ChildPath", "only Path/ChildPath is written");
    if (writesFail) throw automation::Error(automation::hr::kAccessDenied);
    ++writes;
    values[file] = FromCodePage(value);
  }
  std::u16string FromCodePage(std::string_view bytes) override { return text::widenBytes(bytes); }
  std::optional<std::string> ToCodePage(std::u16string_view text) override {
    return text::narrowBytes(text);
  }
};

class MessageBoxes final : public penvane::MessageBoxes {
 public:
  std::vector<std::u16string> shown;
  void MsgBox(const std::u16string& prompt, int32_t,
              const std::optional<std::u16string>&) override {
    shown.push_back(prompt);
  }
};

// ANSI text of the file, one character per byte.
std::u16string ansiText(FuzzedDataProvider& input, size_t longest) {
  return text::widenBytes(input.ConsumeRandomLengthString(longest));
}

bool blankAtAnEnd(const std::u16string& s) {
  return !s.empty() && (s.front() == u' ' || s.back() == u' ');
}

bool within(const std::u16string& part, const std::u16string& whole) {
  return whole.find(part) != std::u16string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  SettingsStore settings;
  MessageBoxes messages;
  if (input.ConsumeBool()) settings.systemDirectory = ansiText(input, 260);
  settings.readsFail = input.ConsumeBool();
  settings.writesFail = input.ConsumeBool();
  const bool fileThere = input.ConsumeBool();
  const std::u16string stored = ansiText(input, 400);
  std::optional<std::u16string> chosen;  // by the user in the open-file dialog
  if (input.ConsumeBool()) {
    chosen.emplace();
    while (input.remaining_bytes() >= 2) *chosen += input.ConsumeIntegral<char16_t>();
  }
  // The file where the add-in looks: in the system directory when the query gives one.
  const bool directoryRead = settings.systemDirectory &&
                             settings.systemDirectory->size() < penvane::ImagePath::kBufferSize;
  const std::u16string file =
      (directoryRead ? penvane::Trim(*settings.systemDirectory) : u"") + u"\\settings.ini";
  if (fileThere) settings.values[file] = stored;

  // Start-up.
  penvane::ImagePath imagePath(settings, messages);
  imagePath.read();
  require(imagePath.ready(), "the path is ready after the read, whatever failed");
  require(!blankAtAnEnd(imagePath.systemDirectory()) && !blankAtAnEnd(imagePath.path()),
          "no blank at either end of what was read");
  require(imagePath.path().size() <= penvane::ImagePath::kBufferSize - 1,
          "the path read holds at most what the buffer does");
  require(within(imagePath.path(), fileThere ? stored : u"No"),
          "the path read is part of the stored value, or of the default");
  require(messages.shown.empty(), "the read tells the user nothing");

  // The set-up-path command.
  if (chosen) imagePath.replace(*chosen);
  const std::u16string path = imagePath.path();
  imagePath.save();
  if (path.empty()) {
    require(!imagePath.ready() && settings.writes == 0, "an empty path is not saved");
    require(messages.shown.size() == 1 &&
                messages.shown[0] == text::widenBytes(text::literals::kChoosePathFirst),
            "an empty path asks the user to choose one");
    return 0;
  }
  require(imagePath.ready() && imagePath.path() == path, "a save keeps the path");
  if (settings.writes == 0) {
    require(messages.shown.size() == 1 &&
                messages.shown[0] == text::widenBytes(text::literals::kCouldNotSavePath),
            "a path not saved is told");
    return 0;
  }
  require(messages.shown.empty(), "a saved path is not told");

  // The next start-up reads what was saved.
  penvane::ImagePath next(settings, messages);
  next.read();
  if (!settings.readsFail)
    require(next.path() == penvane::Trim(path.substr(0, penvane::ImagePath::kBufferSize - 1)),
            "the next start reads the saved path, cut to the buffer");
  return 0;
}
