// The control's runtime on Windows: GetObject through the running object table, pictures
// through OLE's picture loader, DoEvents through the thread's message queue.
#pragma once

#include <windows.h>
#include <olectl.h>

#include "sealbrook/ports.h"
#include "win32/com/com_ptr.h"

namespace sealbrook {

// A loaded picture: the OLE picture object and its size.
class Picture final {
 public:
  explicit Picture(com::ComPtr<IPicture> picture);
  IPicture* get() const noexcept { return picture_.get(); }
  SIZE himetric() const noexcept { return himetric_; }
  // Size in pixels on a device with these dots per inch.
  SIZE pixels(int dpiX, int dpiY) const noexcept;
  // Draws the picture at its own size with its top-left corner at (x, y).
  void render(HDC dc, int x, int y, int dpiX, int dpiY) const noexcept;

 private:
  com::ComPtr<IPicture> picture_;
  SIZE himetric_{};
};

}  // namespace sealbrook

namespace sealbrook::win {

class Runtime final : public sealbrook::Runtime {
 public:
  automation::ObjectRef GetObject(std::u16string_view className) override;
  PicturePtr LoadPicture(std::u16string_view path) override;
  void DoEvents() override;
};

}  // namespace sealbrook::win
