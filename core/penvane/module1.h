// The add-in's module Module1: the image-path state, one set per loaded library, and the
// settings store in settings.ini in the Windows system directory (section Path, key ChildPath).
#pragma once

#include <string>

#include "penvane/ports.h"
#include "text/shown.h"

namespace penvane {

class Module1 {
 public:
  Module1(SettingsStore& settings, MessageBoxes& messages,
          const text::Faces& faces = text::Faces::tcvn3())
      : settings_(settings), messages_(messages), faces_(faces) {}

  std::u16string sSystemDir;
  std::u16string sImagePath;
  bool bPathReady = false;

  // Once per start-up completion: the system directory, then the image path ("No" when the
  // file, section or key is missing); afterwards bPathReady is true. Never reports a failure: a
  // step that fails leaves its variable as it was.
  void ReadImagePath();
  // From the set-up-path command: writes sImagePath, or tells the user there is nothing to save,
  // or that it could not be saved.
  void SaveImagePath();

  std::u16string settingsFile() const { return sSystemDir + u"\\settings.ini"; }

  // The runtime's buffers for the system directory and the value: 200 characters with the NUL.
  static constexpr uint32_t kBufferSize = 200;

 private:
  SettingsStore& settings_;
  MessageBoxes& messages_;
  const text::Faces& faces_;
};

// Spaces removed at both ends, as the runtime's Trim does (blanks only, not tabs).
std::u16string Trim(const std::u16string& text);

}  // namespace penvane
