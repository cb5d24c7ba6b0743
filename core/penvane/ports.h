// What the add-in needs from the platform, as small abstract classes. The Windows adapters
// implement them over user32, kernel32 and comdlg32; the tests over fakes. Every failure of a port
// is an automation::Error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace penvane {

// The runtime's modal MsgBox. The prompt and title are shown as given, one character per code
// unit (TCVN3 text is U+0000 plus the byte); without a title the box shows the library's title.
// The result is never used.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void MsgBox(const std::u16string& prompt, int32_t buttons,
                      const std::optional<std::u16string>& title) = 0;
};

// The settings file: private-profile (INI) text in the system ANSI code page. The adapter does
// the code-page conversion; texts here are UTF-16.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The Windows system directory; fails when it does not fit `capacity` characters with its NUL.
  virtual std::u16string SystemDirectory(uint32_t capacity) = 0;
  // The value of `key` in `section` of `file`, or `defaultValue` when the file, the section or
  // the key is missing, cut to what `capacity` bytes of ANSI text hold with the terminating NUL.
  // Fails when the file is there but cannot be read.
  virtual std::u16string ReadValue(const std::u16string& file, const std::u16string& section,
                                   const std::u16string& key, const std::u16string& defaultValue,
                                   uint32_t capacity) = 0;
  // Stores the value and returns it as it now reads in the file (converted to the ANSI code page
  // and back). Fails, having written nothing, when the value has characters that the code page
  // cannot hold (the file would name another path), and when the file cannot be written.
  virtual std::u16string WriteValue(const std::u16string& file, const std::u16string& section,
                                    const std::u16string& key, const std::u16string& value) = 0;
};

// The directory search of the runtime's Dir: the name of the first ordinary file (no folder, no
// hidden or system file) that the path matches, wildcards allowed; empty when none does.
class FileSearch {
 public:
  virtual ~FileSearch() = default;
  virtual std::u16string Dir(const std::u16string& path) = 0;
};

}  // namespace penvane
