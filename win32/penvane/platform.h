// The add-in's ports on Windows: the settings file through kernel32's ANSI private-profile
// functions, user32's message box, the directory search, and comdlg32's open-file dialog.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "penvane/frm_path.h"
#include "penvane/ports.h"

namespace penvane::win {

class SettingsStore final : public penvane::SettingsStore {
 public:
  std::u16string SystemDirectory(uint32_t capacity) override;
  std::string ReadValue(const std::u16string& file, const std::u16string& section,
                        const std::u16string& key, std::string_view defaultValue) override;
  void WriteValue(const std::u16string& file, const std::u16string& section,
                  const std::u16string& key, std::string_view value) override;
  std::u16string FromCodePage(std::string_view bytes) override;
  std::optional<std::string> ToCodePage(std::u16string_view text) override;
};

// Modal to the host's active window; without a title, the library's title "Penvane".
class MessageBoxes final : public penvane::MessageBoxes {
 public:
  void MsgBox(const std::u16string& prompt, int32_t buttons,
              const std::optional<std::u16string>& title) override;
};

class FileSearch final : public penvane::FileSearch {
 public:
  std::u16string Dir(const std::u16string& path) override;
  // The Windows directory, then the folder of Sealbrook.SignData's library as this process's
  // view of the registry has it.
  std::vector<std::u16string> PictureFolders() override;
};

// GetOpenFileNameW, modal to Word's main window, so that it never opens behind Word.
class FileDialog final : public penvane::FileDialog {
 public:
  std::u16string ShowOpen(std::u16string_view filter, const std::u16string& title) override;
};

// Word's main window, to own the add-in's dialogs and windows: Word's window when it is the
// active one, else the topmost visible one of this process; the active window when there is none.
HWND wordWindow() noexcept;

// Text in the system ANSI code page and back, length for length (embedded NULs included).
std::string toAnsi(std::u16string_view text);
std::u16string fromAnsi(std::string_view text);
// The text in the ANSI code page when every character survives the round trip; nothing otherwise.
std::optional<std::string> toAnsiExactly(std::u16string_view text);

}  // namespace penvane::win
