// The signature image's path: one for the add-in, read from settings.ini in the Windows system
// directory (section Path, key ChildPath) when start-up completes, replaced by the file the user
// picks on the path form, saved by the set-up-path command, forgotten at shutdown.
#pragma once

#include <string>

#include "penvane/ports.h"
#include "text/shown.h"

namespace penvane {

class ImagePath {
 public:
  ImagePath(SettingsStore& settings, MessageBoxes& messages,
            const text::Faces& faces = text::Faces::tcvn3())
      : settings_(settings), messages_(messages), faces_(faces) {}

  const std::u16string& path() const noexcept { return path_; }
  // Whether the path was read or saved since the add-in started or last failed to save one. The
  // insert command trusts it without looking for the file.
  bool ready() const noexcept { return ready_; }
  const std::u16string& systemDirectory() const noexcept { return systemDir_; }

  // The system directory, then the path ("No" when the file, section or key is missing); then
  // the path is ready. Never reports a failure: a step that fails leaves its value as it was.
  void read();
  // The user's pick; readiness stays as it was.
  void replace(std::u16string path) { path_ = std::move(path); }
  // Writes the path to the settings, or tells the user there is nothing to save, or that it
  // could not be saved. Ready exactly when there was a path to save.
  void save();
  // At shutdown: no path, not ready.
  void forget() noexcept {
    path_.clear();
    ready_ = false;
  }

  std::u16string settingsFile() const { return systemDir_ + u"\\settings.ini"; }

  // The runtime's buffers for the system directory and the value: 200 characters with the NUL.
  static constexpr uint32_t kBufferSize = 200;

 private:
  SettingsStore& settings_;
  MessageBoxes& messages_;
  const text::Faces& faces_;
  std::u16string systemDir_;
  std::u16string path_;
  bool ready_ = false;
};

// Spaces removed at both ends, as the runtime's Trim does (blanks only, not tabs).
std::u16string Trim(const std::u16string& text);

}  // namespace penvane
