#include "win32/sealbrook/control_window.h"

#include <windowsx.h>

#include "win32/com/module.h"
#include "win32/sealbrook/platform.h"
#include "win32/sealbrook/window_names.h"

#include "base/error.h"
#include "sealbrook/layout.h"
#include "text/literals.h"
#include "text/shown.h"

namespace sealbrook::win {
namespace {

constexpr UINT_PTR kTimerIds[] = {kTimer1Id, kTimer2Id};

// The windows' classes: registered while any window of a control uses them.
ui::WindowClasses& classes() {
  static ui::WindowClasses instance{
      {kSurfaceClass, &ui::windowProc<ControlWindow, &ControlWindow::onSurface>, CS_DBLCLKS},
      {kPicture1Class, &ui::windowProc<ControlWindow, &ControlWindow::onPicture1>},
      {kTimersClass, &ui::windowProc<ControlWindow, &ControlWindow::onTimers>}};
  return instance;
}

void fill(HDC dc, const host::Rect& r, int colour) {
  const RECT rect{r.left, r.top, r.right, r.bottom};
  FillRect(dc, &rect, GetSysColorBrush(colour));
}

}  // namespace

ControlWindow::~ControlWindow() {
  destroy();
  stopTimers();
}

bool ControlWindow::create(HWND parent, const RECT& position) noexcept {
  if (surface_) return true;
  if (!classes().acquire()) return false;
  surface_ =
      CreateWindowExW(0, kSurfaceClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                      position.left, position.top, position.right - position.left,
                      position.bottom - position.top, parent, nullptr, com::module::handle(), this);
  if (!surface_) {
    classes().release();
    return false;
  }
  const host::Rect picture1 = picture1Window(ui::screenDpi(surface_));
  picture1_ = CreateWindowExW(0, kPicture1Class, L"", WS_CHILD | WS_VISIBLE, picture1.left,
                              picture1.top, picture1.width(), picture1.height(), surface_, nullptr,
                              com::module::handle(), this);
  ShowWindow(surface_, SW_SHOWNA);
  return true;
}

void ControlWindow::destroy() noexcept {
  if (!surface_) return;
  const HWND surface = surface_;
  surface_ = picture1_ = nullptr;
  DestroyWindow(surface);  // and Picture1 with it
  classes().release();
}

void ControlWindow::startTimers() noexcept {
  if (timers_) return;
  if (!classes().acquire()) return;
  timers_ = CreateWindowExW(0, kTimersClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            com::module::handle(), this);
  if (!timers_) {
    classes().release();
    return;
  }
  if (state_) {
    applyTimer(TimerId::Timer1, state_->Timer1Interval());
    applyTimer(TimerId::Timer2, state_->Timer2Interval());
  }
}

void ControlWindow::stopTimers() noexcept {
  if (!timers_) return;
  const HWND timers = timers_;
  timers_ = nullptr;
  for (const UINT_PTR id : kTimerIds) KillTimer(timers, id);
  DestroyWindow(timers);
  classes().release();
}

void ControlWindow::move(const RECT& p) noexcept {
  if (surface_)
    SetWindowPos(surface_, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void ControlWindow::picturesChanged() {
  if (picture1_) InvalidateRect(picture1_, nullptr, TRUE);
}

void ControlWindow::intervalChanged(TimerId timer, uint32_t milliseconds) {
  applyTimer(timer, milliseconds);
}

void ControlWindow::applyTimer(TimerId timer, uint32_t milliseconds) noexcept {
  if (!timers_) return;  // started with the timers' window
  const UINT_PTR id = kTimerIds[timer == TimerId::Timer1 ? 0 : 1];
  if (milliseconds == 0)
    KillTimer(timers_, id);
  else
    SetTimer(timers_, id, milliseconds, nullptr);  // a new period from now
}

MenuChoice ControlWindow::PopupMenu() {
  // The captions as the menu's font reads them.
  const text::Faces& faces = ui::systemFaces();
  const auto chosen =
      ui::trackPopupMenu(surface_ ? surface_ : GetActiveWindow(),
                         {text::shown(text::literals::kSign, text::Element::Menu, faces),
                          text::shown(text::literals::kVerify, text::Element::Menu, faces)});
  if (!chosen) throw automation::Error(automation::hr::kOutOfMemory);
  if (*chosen == 1) return MenuChoice::Sign;
  if (*chosen == 2) return MenuChoice::Verify;
  return MenuChoice::None;
}

void ControlWindow::paintBlock(HDC dc, const host::Rect& bounds) noexcept {
  fill(dc, bounds, COLOR_BTNFACE);
  fill(dc, picture1Part(bounds), COLOR_WINDOW);
}

host::Rect ControlWindow::image1Area(HWND picture1) const noexcept {
  const Picture* shown = state_ ? state_->Image1().get() : nullptr;
  return sealbrook::image1Area(ui::screenDpi(picture1),
                               shown ? std::optional(shown->himetric()) : std::nullopt);
}

void ControlWindow::paintPicture1(HWND picture1, HDC dc) noexcept {
  RECT client;
  GetClientRect(picture1, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  if (!state_) return;
  const host::Dpi dpi = ui::screenDpi(picture1);
  for (const auto& [picture, at] : picturesShown(*state_, {0, 0}, dpi))
    picture->render(dc, at, dpi);
}

LRESULT ControlWindow::onSurface(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      ui::paint(hwnd, [&](HDC dc) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
      });
      return 0;
    case WM_LBUTTONDBLCLK:
      ui::guarded([&] { events_.surfaceDblClick(); });
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT ControlWindow::onTimers(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_TIMER) {
    if (wParam == kTimerIds[0]) ui::guarded([&] { events_.timer(TimerId::Timer1); });
    if (wParam == kTimerIds[1]) ui::guarded([&] { events_.timer(TimerId::Timer2); });
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT ControlWindow::onPicture1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      ui::paint(hwnd, [&](HDC dc) { paintPicture1(hwnd, dc); });
      return 0;
    case WM_LBUTTONDOWN: {
      pressed_ = image1Area(hwnd).contains({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (pressed_) SetCapture(hwnd);  // the release may come outside the window
      return 0;
    }
    case WM_LBUTTONUP: {
      const bool click =
          pressed_ && image1Area(hwnd).contains({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      pressed_ = false;
      if (GetCapture() == hwnd) ReleaseCapture();
      if (click) ui::guarded([&] { events_.image1Click(); });
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace sealbrook::win
