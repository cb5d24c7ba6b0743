// The add-in's ports on Windows: kernel32's ANSI profile functions with the runtime's string
// marshalling, user32's message box, and the path form.
#pragma once

#include "penvane/ports.h"

namespace penvane::win {

class Kernel32 final : public penvane::Kernel32 {
 public:
  uint32_t GetSystemDirectoryA(std::u16string& buffer, uint32_t size) override;
  uint32_t GetPrivateProfileStringA(const std::u16string& section, const std::u16string& key,
                                    const std::u16string& defaultValue, std::u16string& returned,
                                    uint32_t size, const std::u16string& fileName) override;
  int32_t WritePrivateProfileStringA(const std::u16string& section, const std::u16string& key,
                                     std::u16string& value, const std::u16string& fileName) override;
};

// Modal to the host's active window; without a title, the library's title "Penvane".
class MessageBoxes final : public penvane::MessageBoxes {
 public:
  void MsgBox(const std::u16string& prompt, int32_t buttons,
              const std::optional<std::u16string>& title) override;
};

// Until the path form is built: referencing ImageSign loads nothing and shows nothing.
class InertPathForm final : public penvane::PathForm {
 public:
  std::shared_ptr<void> ImageSign() override;
};

// Text in the system ANSI code page and back, length for length (embedded NULs included).
std::string toAnsi(const std::u16string& text);
std::u16string fromAnsi(const std::string& text);

}  // namespace penvane::win
