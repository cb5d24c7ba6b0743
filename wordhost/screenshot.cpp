#include "wordhost/screenshot.h"

#include <fstream>
#include <vector>

#include "wordhost/process.h"

namespace wordhost {
namespace {

// The thread's top-level windows that stand over the window: its popup menus, its boxes.
BOOL CALLBACK addOver(HWND candidate, LPARAM parameter) {
  auto& [window, area] = *reinterpret_cast<std::pair<HWND, RECT>*>(parameter);
  wchar_t name[16] = {};
  GetClassNameW(candidate, name, 16);
  const bool menu = std::wstring_view(name) == L"#32768";
  if (IsWindowVisible(candidate) && (menu || GetWindow(candidate, GW_OWNER) == window))
    area = withWindow(area, candidate);
  return TRUE;
}

}  // namespace

RECT withWindow(RECT area, HWND window) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return area;
  UnionRect(&area, &area, &r);
  return area;
}

RECT shownArea(HWND window) {
  std::pair<HWND, RECT> found{window, {}};
  GetWindowRect(window, &found.second);
  EnumThreadWindows(GetCurrentThreadId(), &addOver, reinterpret_cast<LPARAM>(&found));
  return found.second;
}

void settle(HWND window) {
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(window);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  runQueued();
}

bool saveScreen(const RECT& area, const std::wstring& file) {
  const RECT screen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  RECT shown;
  if (!IntersectRect(&shown, &area, &screen)) return false;
  const int width = shown.right - shown.left;
  const int height = shown.bottom - shown.top;

  // A bottom-up 24-bit DIB: its bits are a BMP file's pixel array as they stand.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3U;
  info.bmiHeader.biSizeImage = stride * static_cast<DWORD>(height);

  // A wait for the thread's messages, however short, is where the system hands what the windows
  // drew to the display (Wine's window surfaces go to X there): after it the screen shows it all.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
  const HDC screenDc = GetDC(nullptr);
  if (!screenDc) return false;
  const HDC memory = CreateCompatibleDC(screenDc);
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool read = false;
  if (memory && bitmap) {
    const HGDIOBJ old = SelectObject(memory, bitmap);
    read = BitBlt(memory, 0, 0, width, height, screenDc, shown.left, shown.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(memory, old);
  }
  std::vector<char> pixels;
  if (read) {
    const auto* begin = static_cast<const char*>(bits);
    pixels.assign(begin, begin + info.bmiHeader.biSizeImage);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  ReleaseDC(nullptr, screenDc);
  if (!read) return false;

  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + info.bmiHeader.biSizeImage;
  std::ofstream out(file.c_str(), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

}  // namespace wordhost
