// What the add-in needs from the platform, as small abstract classes. The Windows adapters
// implement them over user32 and kernel32; the tests over fakes.
#pragma once

#include <cstdint>
#include <memory>
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

// The kernel32 functions as the add-in's module declares them, with the runtime's marshalling
// of strings: each text goes to the function in the system ANSI code page, and buffers and
// by-value strings come back converted from it. Buffers keep their length.
class Kernel32 {
 public:
  virtual ~Kernel32() = default;
  virtual uint32_t GetSystemDirectoryA(std::u16string& buffer, uint32_t size) = 0;
  virtual uint32_t GetPrivateProfileStringA(const std::u16string& section,
                                            const std::u16string& key,
                                            const std::u16string& defaultValue,
                                            std::u16string& returned, uint32_t size,
                                            const std::u16string& fileName) = 0;
  // `value` comes back as it went to the file: converted to the ANSI code page and back.
  virtual int32_t WritePrivateProfileStringA(const std::u16string& section,
                                             const std::u16string& key, std::u16string& value,
                                             const std::u16string& fileName) = 0;
};

// The path form frmPath of the add-in. Referencing its image control ImageSign loads the form,
// whose load step shows the open-file dialog for the signature image.
class PathForm {
 public:
  virtual ~PathForm() = default;
  // The image control; a reference that the add-in keeps.
  virtual std::shared_ptr<void> ImageSign() = 0;
};

}  // namespace penvane
