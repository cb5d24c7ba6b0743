#include "win32/sealbrook/platform.h"

#include <string>

#include "automation/error.h"
#include "win32/automation/get_object.h"
#include "win32/com/bstr.h"

namespace sealbrook {

Picture::Picture(com::ComPtr<IPicture> picture) : picture_(std::move(picture)) {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  himetric_ = {width, height};
}

SIZE Picture::pixels(int dpiX, int dpiY) const noexcept {
  return {MulDiv(himetric_.cx, dpiX, 2540), MulDiv(himetric_.cy, dpiY, 2540)};
}

void Picture::render(HDC dc, int x, int y, int dpiX, int dpiY) const noexcept {
  const SIZE size = pixels(dpiX, dpiY);
  picture_->Render(dc, x, y, size.cx, size.cy, 0, himetric_.cy, himetric_.cx, -himetric_.cy,
                   nullptr);
}

}  // namespace sealbrook

namespace sealbrook::win {

automation::ObjectRef Runtime::GetObject(std::u16string_view className) {
  return winauto::getObject(className);
}

PicturePtr Runtime::LoadPicture(std::u16string_view path) {
  std::wstring file = com::wide(path);
  if (GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)
    throw automation::Error(automation::hr::runtime(53), u"File not found");
  com::ComPtr<IPicture> picture;
  const HRESULT hr =
      OleLoadPicturePath(file.data(), nullptr, 0, 0, IID_IPicture, picture.putVoid());
  if (FAILED(hr) || !picture) throw automation::Error(automation::hr::runtime(481), u"Invalid picture");
  return std::make_shared<Picture>(std::move(picture));
}

void Runtime::DoEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the host's own loop
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace sealbrook::win
