#include "win32/sealbrook/platform.h"

#include <string>

#include "win32/automation/get_object.h"
#include "win32/com/bstr.h"
#include "win32/com/module.h"
#include "win32/ui/window.h"

namespace sealbrook {

Picture::Picture(com::ComPtr<IPicture> picture) : picture_(std::move(picture)) {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture_->get_Width(&width);
  picture_->get_Height(&height);
  himetric_ = {width, height};
}

void Picture::render(HDC dc, host::Point at, host::Dpi dpi) const noexcept {
  const host::Size size = host::toPixels(himetric_, dpi);
  picture_->Render(dc, at.x, at.y, size.width, size.height, 0, himetric_.height, himetric_.width,
                   -himetric_.height, nullptr);
}

}  // namespace sealbrook

namespace sealbrook::win {

automation::ObjectRef Runtime::GetObject(std::u16string_view className) {
  return automation::win::getObject(className);
}

PicturePtr Runtime::LoadPicture(std::u16string_view path) {
  std::wstring file = com::wide(path);
  WIN32_FILE_ATTRIBUTE_DATA a{};
  std::optional<LoadedPictures::File> found;
  if (GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &a) &&
      !(a.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    found = {(ULONGLONG{a.nFileSizeHigh} << 32) | a.nFileSizeLow,
             (ULONGLONG{a.ftLastWriteTime.dwHighDateTime} << 32) | a.ftLastWriteTime.dwLowDateTime};
  return loaded_.load(std::u16string(path), found, [&]() -> PicturePtr {
    com::ComPtr<IPicture> picture;
    const HRESULT hr =
        OleLoadPicturePath(file.data(), nullptr, 0, 0, IID_IPicture, picture.putVoid());
    if (FAILED(hr) || !picture) return nullptr;
    return std::make_shared<Picture>(std::move(picture));
  });
}

std::vector<std::u16string> Runtime::PictureFolders() {
  std::vector<std::u16string> folders;
  wchar_t windows[MAX_PATH];
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  if (n > 0 && n < MAX_PATH) folders.push_back(com::u16(std::wstring_view(windows, n)));
  const std::wstring library = com::module::path();
  folders.push_back(com::u16(library.substr(0, library.find_last_of(L'\\'))));
  return folders;
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

void Runtime::MsgBox(const std::u16string& prompt, int32_t buttons,
                     const std::optional<std::u16string>& title) {
  ui::messageBox(prompt, buttons, title, L"Sealbrook");
}

AnsiCodePage::AnsiCodePage() noexcept {
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    wchar_t c = 0;
    // A byte the code page does not read alone (a lead byte) is taken as U+0000 plus the byte.
    characters_[b] = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &byte, 1, &c, 1) == 1
                         ? static_cast<char16_t>(c)
                         : static_cast<char16_t>(b);
  }
}

}  // namespace sealbrook::win
