// The path form's window on Windows: a top-level window of Penvane.dll with the form's caption,
// its three command buttons, Picture1 and ImageSign showing the built-in icon, at their design
// positions, and its popup menu. The window lives from the form's load to its unload; while it
// does, the library stays loaded.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>

#include "penvane/frm_path.h"

namespace penvane::win {

class PathFormWindow final : public penvane::FormWindow {
 public:
  // The window is not taken down here: the library stays loaded while it exists, so this object
  // only dies with the process, which takes the window with it.
  PathFormWindow() = default;
  PathFormWindow(const PathFormWindow&) = delete;
  PathFormWindow& operator=(const PathFormWindow&) = delete;

  void Create(FrmPath& form) override;
  void Show() override;
  void Destroy() override;
  MenuItem PopupMenu() override;
  // A message to the form's own window: the work runs when the thread's loop delivers it.
  void Post(std::function<void()> work) override;

  HWND hwnd() const noexcept { return window_; }

  // The window procedures of the form and of Picture1.
  LRESULT onForm(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT onPicture1(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  void paintIcon(HDC dc, int x, int y) const noexcept;

  FrmPath* form_ = nullptr;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HBITMAP icon_ = nullptr;
  host::Rect imageSign_{};                    // in the form's client pixels
  std::deque<std::function<void()>> posted_;  // one message each, in order
};

}  // namespace penvane::win
