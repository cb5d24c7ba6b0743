// What the add-in needs from the platform, as small abstract classes. The Windows adapters
// implement them over user32, kernel32 and comdlg32; the tests over fakes. Every failure of a port
// is an automation::Error.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace penvane {

class FrmPath;

// The items of the path form's popup menu mnuHethong: mnuKy "Ky" (sign, which does nothing) and
// mnuchen "chen" (insert and sign).
enum class MenuItem : uint8_t { None, Sign, InsertAndSign };

// The form's window and controls on the platform. Create makes them hidden and routes their
// events (button clicks, a close request) to the form; Show shows the window modeless, without
// owner; Destroy takes everything down.
class FormWindow {
 public:
  virtual ~FormWindow() = default;
  virtual void Create(FrmPath& form) = 0;
  virtual void Show() = 0;
  virtual void Destroy() = 0;
  // mnuHethong as a popup menu at the mouse pointer, no flags, no default item; what was chosen.
  virtual MenuItem PopupMenu() = 0;
  // Runs `work` from the window's message queue once the host's message loop is back, after the
  // call that posted it has returned; work posted to a window that goes first never runs.
  virtual void Post(std::function<void()> work) = 0;
};

// The common-dialog control as an open-file dialog: modal, owned by the host's main window; sets
// the filter and the title and nothing else. Returns the chosen file name, or empty text when the
// user cancelled.
class FileDialog {
 public:
  virtual ~FileDialog() = default;
  virtual std::u16string ShowOpen(std::u16string_view filter, const std::u16string& title) = 0;
};

// The runtime's modal MsgBox. The prompt and title are shown as given, one character per code
// unit (TCVN3 text is U+0000 plus the byte); without a title the box shows the library's title.
// The result is never used.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void MsgBox(const std::u16string& prompt, int32_t buttons,
                      const std::optional<std::u16string>& title) = 0;
};

// The settings file: private-profile (INI) text, whose bytes are in the system's ANSI code page.
// The store reads and writes the bytes and converts between the code page and UTF-16; what the
// add-in makes of them (how much of a value it takes, what it will not write) is the add-in's.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The Windows system directory; fails when it does not fit `capacity` characters with its NUL.
  virtual std::u16string SystemDirectory(uint32_t capacity) = 0;
  // The whole value of `key` in `section` of `file`, or `defaultValue` when the file, the section
  // or the key is missing. Fails when the file is there but cannot be read.
  virtual std::string ReadValue(const std::u16string& file, const std::u16string& section,
                                const std::u16string& key, std::string_view defaultValue) = 0;
  // Stores the value. Fails when the file cannot be written.
  virtual void WriteValue(const std::u16string& file, const std::u16string& section,
                          const std::u16string& key, std::string_view value) = 0;
  // Text in the code page, and back: nothing when a character has no place in the page (written,
  // it would read back as another character).
  virtual std::u16string FromCodePage(std::string_view bytes) = 0;
  virtual std::optional<std::string> ToCodePage(std::u16string_view text) = 0;
};

// The directory search of the runtime's Dir: the name of the first ordinary file (no folder, no
// hidden or system file) that the path matches, wildcards allowed; empty when none does.
class FileSearch {
 public:
  virtual ~FileSearch() = default;
  virtual std::u16string Dir(const std::u16string& path) = 0;
  // Where else the block's pictures may be installed, in the order the block looks: the Windows
  // directory, then the folder of the block's library as it is registered.
  virtual std::vector<std::u16string> PictureFolders() = 0;
};

// A timer of the add-in's own: `tick` runs every `milliseconds` from the thread's message loop,
// so only while Word is idle, until the timer is stopped. Starting it again replaces the tick.
class Timer {
 public:
  virtual ~Timer() = default;
  virtual void Start(uint32_t milliseconds, std::function<void()> tick) = 0;
  virtual void Stop() noexcept = 0;
  // One tick as soon as the message loop is back, besides the period's; nothing when stopped.
  virtual void TickSoon() = 0;
};

// The list of a document's signatures, as its window shows it: every text in Unicode.
struct SignatureList {
  std::u16string title;
  std::array<std::u16string, 6> columns;  // number, signer, issuer, expiry, signing, valid
  std::vector<std::array<std::u16string, 6>> rows;
  std::u16string empty;  // shown instead of rows when there are none
  std::u16string copyCaption, closeCaption;
  std::u16string text;  // what the copy button puts on the clipboard
};

// The window that lists the signatures: one at a time, owned by Word's main window, sized for
// long names, closed by its button or Esc; its other button copies the list as text. Showing a
// new list while it is open shows that list in it.
class SignatureWindow {
 public:
  virtual ~SignatureWindow() = default;
  virtual void Show(const SignatureList& list) = 0;
};

}  // namespace penvane
