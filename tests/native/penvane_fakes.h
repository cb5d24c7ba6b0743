// Fakes of the add-in's ports: an in-memory settings file system with a Latin-1 ANSI code page,
// recorded message boxes, a path form that counts its loads.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "automation/error.h"
#include "penvane/ports.h"

namespace penvane::fakes {

class Kernel32 final : public penvane::Kernel32 {
 public:
  std::u16string systemDirectory = u"C:\\WINDOWS\\system32";
  bool systemDirectoryFails = false;
  bool writesFail = false;
  // file -> "section/key" -> value, as ANSI text (here: Latin-1)
  std::map<std::u16string, std::map<std::u16string, std::u16string>> files;

  uint32_t GetSystemDirectoryA(std::u16string& buffer, uint32_t size) override {
    if (systemDirectoryFails) return 0;
    if (systemDirectory.size() + 1 > size) return static_cast<uint32_t>(systemDirectory.size() + 1);
    buffer.replace(0, systemDirectory.size() + 1, systemDirectory + u'\0');
    return static_cast<uint32_t>(systemDirectory.size());
  }
  uint32_t GetPrivateProfileStringA(const std::u16string& section, const std::u16string& key,
                                    const std::u16string& defaultValue, std::u16string& returned,
                                    uint32_t size, const std::u16string& fileName) override {
    std::u16string value = defaultValue;
    if (auto f = files.find(fileName); f != files.end())
      if (auto v = f->second.find(section + u"/" + key); v != f->second.end()) value = v->second;
    value = value.substr(0, size - 1);
    returned.replace(0, value.size() + 1, value + u'\0');
    return static_cast<uint32_t>(value.size());
  }
  int32_t WritePrivateProfileStringA(const std::u16string& section, const std::u16string& key,
                                     std::u16string& value, const std::u16string& fileName) override {
    for (auto& c : value)
      if (c > 0xFF) c = u'?';  // what the code page cannot hold
    if (writesFail) return 0;
    files[fileName][section + u"/" + key] = value;
    return 1;
  }
};

struct Shown {
  std::u16string prompt;
  int32_t buttons;
  std::optional<std::u16string> title;
  bool operator==(const Shown& o) const {
    return prompt == o.prompt && buttons == o.buttons && title == o.title;
  }
};

class MessageBoxes final : public penvane::MessageBoxes {
 public:
  std::vector<Shown> shown;
  void MsgBox(const std::u16string& prompt, int32_t buttons,
              const std::optional<std::u16string>& title) override {
    shown.push_back({prompt, buttons, title});
  }
};

class PathForm final : public penvane::PathForm {
 public:
  int loads = 0;
  bool fails = false;
  std::shared_ptr<void> ImageSign() override {
    ++loads;
    if (fails) throw automation::Error(automation::hr::kFail, u"the form did not load");
    return std::make_shared<int>(0);
  }
};

}  // namespace penvane::fakes
