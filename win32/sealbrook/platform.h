// The control's runtime on Windows: GetObject through the running object table, pictures
// through OLE's picture loader, DoEvents through the thread's message queue.
#pragma once

#include <windows.h>

#include <olectl.h>

#include <string>

#include "win32/com/com_ptr.h"

#include "host/units.h"
#include "sealbrook/loaded_pictures.h"
#include "sealbrook/ports.h"
#include "text/tcvn3.h"

namespace sealbrook {

// A loaded picture: the OLE picture object and its size.
class Picture final {
 public:
  explicit Picture(com::ComPtr<IPicture> picture);
  IPicture* get() const noexcept { return picture_.get(); }
  host::Size himetric() const noexcept { return himetric_; }
  // Draws the picture at its own size on a device of that resolution, its top-left corner at `at`.
  void render(HDC dc, host::Point at, host::Dpi dpi) const noexcept;

 private:
  com::ComPtr<IPicture> picture_;
  host::Size himetric_{};
};

}  // namespace sealbrook

namespace sealbrook::win {

// The runtime services of every control of the library. LoadPicture remembers what it loaded
// (sealbrook/loaded_pictures.h).
class Runtime final : public sealbrook::Runtime {
 public:
  automation::ObjectRef GetObject(std::u16string_view className) override;
  PicturePtr LoadPicture(std::u16string_view path) override;
  std::vector<std::u16string> PictureFolders() override;
  void DoEvents() override;
  // Modal to the host's active window; without a title, the library's title "Sealbrook".
  void MsgBox(const std::u16string& prompt, int32_t buttons,
              const std::optional<std::u16string>& title) override;

 private:
  LoadedPictures loaded_;
};

// The system ANSI code page's reading of each single byte, read once.
class AnsiCodePage final : public text::AnsiCodePage {
 public:
  AnsiCodePage() noexcept;
  char16_t character(uint8_t byte) const override { return characters_[byte]; }

 private:
  char16_t characters_[256];
};

}  // namespace sealbrook::win
