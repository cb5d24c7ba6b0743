// What the add-in does with the value of settings.ini (section Path, key ChildPath) and with the
// system directory, whatever the file and the platform give: Module1's read at start-up, a save
// of the path read or of a path the user chose (any UTF-16 text), and the read of the next
// start-up, over a settings store that keeps one file in memory as the platform's profile
// functions do (ANSI text, the value cut to the buffer, unwritable characters refused).
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/error.h"
#include "penvane/module1.h"
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
  std::u16string ReadValue(const std::u16string& file, const std::u16string& section,
                           const std::u16string& key, const std::u16string& defaultValue,
                           uint32_t capacity) override {
    require(section == u"Path" && key == u"ChildPath", "only Path/ChildPath is read");
    if (readsFail) throw automation::Error(automation::hr::kAccessDenied);
    const auto found = values.find(file);
    const std::u16string& value = found == values.end() ? defaultValue : found->second;
    return value.substr(0, capacity - 1);
  }
  std::u16string WriteValue(const std::u16string& file, const std::u16string& section,
                            const std::u16string& key, const std::u16string& value) override {
    require(section == u"Path" && key == u"ChildPath", "only Path/ChildPath is written");
    for (const char16_t c : value)
      if (c > 0xFF) throw automation::Error(automation::hr::kInvalidArg);
    if (writesFail) throw automation::Error(automation::hr::kAccessDenied);
    ++writes;
    values[file] = value;
    return value;
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
  // The file where the module looks: in the system directory when the query gives one.
  const bool directoryRead =
      settings.systemDirectory && settings.systemDirectory->size() < penvane::Module1::kBufferSize;
  const std::u16string file =
      (directoryRead ? penvane::Trim(*settings.systemDirectory) : u"") + u"\\settings.ini";
  if (fileThere) settings.values[file] = stored;

  // Start-up.
  penvane::Module1 module(settings, messages);
  module.ReadImagePath();
  require(module.bPathReady, "the path is ready after the read, whatever failed");
  require(!blankAtAnEnd(module.sSystemDir) && !blankAtAnEnd(module.sImagePath),
          "no blank at either end of what was read");
  require(module.sImagePath.size() <= penvane::Module1::kBufferSize - 1,
          "the path read holds at most what the buffer does");
  require(within(module.sImagePath, fileThere ? stored : u"No"),
          "the path read is part of the stored value, or of the default");
  require(messages.shown.empty(), "the read tells the user nothing");

  // The set-up-path command.
  if (chosen) module.sImagePath = *chosen;
  const std::u16string path = module.sImagePath;
  module.SaveImagePath();
  if (path.empty()) {
    require(!module.bPathReady && settings.writes == 0, "an empty path is not saved");
    require(messages.shown.size() == 1 &&
                messages.shown[0] == text::widenBytes(text::literals::kChoosePathFirst),
            "an empty path asks the user to choose one");
    return 0;
  }
  require(module.bPathReady && module.sImagePath == path, "a save keeps the path");
  if (settings.writes == 0) {
    require(messages.shown.size() == 1 &&
                messages.shown[0] == text::widenBytes(text::literals::kCouldNotSavePath),
            "a path not saved is told");
    return 0;
  }
  require(messages.shown.empty(), "a saved path is not told");

  // The next start-up reads what was saved.
  penvane::Module1 next(settings, messages);
  next.ReadImagePath();
  if (!settings.readsFail)
    require(next.sImagePath == penvane::Trim(path.substr(0, penvane::Module1::kBufferSize - 1)),
            "the next start reads the saved path, cut to the buffer");
  return 0;
}
