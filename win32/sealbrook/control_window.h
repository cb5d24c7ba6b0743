// The control's windows: the surface (the UserControl) and Picture1, a child window covering all
// of it but a 15-twip strip along the right and bottom edges, while the control is active in
// place. Image1 has no window of its own: Picture1 draws it and takes its clicks. Both timers
// live on a message-only window of the control that exists from the instance's creation to its
// close, so that they tick whether or not the host has activated the control.
//
// Every window, menu and timer is owned by this object and goes with it; painting uses only the
// system's colour brushes and the pictures' own handles, so no GDI object is made or kept.
#pragma once

#include <windows.h>

#include "win32/ui/window.h"

#include "sealbrook/signdata.h"

namespace sealbrook::win {

class ControlWindow final : public Surface {
 public:
  // Where the windows send what the user and the timers do.
  class Events {
   public:
    virtual ~Events() = default;
    virtual void image1Click() = 0;
    virtual void surfaceDblClick() = 0;
    virtual void timer(TimerId timer) = 0;
  };

  explicit ControlWindow(Events& events) noexcept : events_(events) {}
  ~ControlWindow() override;
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  // The state the windows show: the pictures and the timers' intervals.
  void attach(const SignData& state) noexcept { state_ = &state; }

  bool create(HWND parent, const RECT& position) noexcept;
  void destroy() noexcept;
  // The timers' window: they run, from their intervals, until stopped.
  void startTimers() noexcept;
  void stopTimers() noexcept;
  void move(const RECT& position) noexcept;
  HWND hwnd() const noexcept { return surface_; }
  HWND picture1() const noexcept { return picture1_; }

  // Surface
  void picturesChanged() override;
  void intervalChanged(TimerId timer, uint32_t milliseconds) override;
  MenuChoice PopupMenu() override;

  // The empty block as the host may keep it: Picture1's back colour over the surface's own.
  static void paintBlock(HDC dc, const host::Rect& bounds) noexcept;

  // The window procedures of the surface, Picture1 and the timers' window.
  LRESULT onSurface(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT onPicture1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT onTimers(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  void paintPicture1(HWND picture1, HDC dc) noexcept;
  host::Rect image1Area(HWND picture1) const noexcept;  // in Picture1's client pixels
  void applyTimer(TimerId timer, uint32_t milliseconds) noexcept;

  Events& events_;
  const SignData* state_ = nullptr;
  HWND surface_ = nullptr;
  HWND picture1_ = nullptr;
  HWND timers_ = nullptr;
  bool pressed_ = false;  // the left button went down over Image1 (and is captured)
};

}  // namespace sealbrook::win
