// The ribbon of a document window, as a strip of real windows along its top: the row of Word's
// tabs, the tab that holds the add-ins' groups selected, and under it each group of the loaded
// add-ins' ribbons (Ribbon, as Word read their customUI): its large buttons, each with the
// picture that the add-in's loadImage callback gave and its label under it, and the group's
// label. A button pressed calls its onAction callback (Ribbon::press).
#pragma once

#include <windows.h>

#include <ocidl.h>

#include <optional>
#include <string>
#include <vector>

#include "win32/com/com_ptr.h"
#include "wordhost/addin_host.h"

namespace wordhost {

class RibbonStrip {
 public:
  static constexpr int kHeight = 124;  // pixels, across the whole width of the window

  // The strip's window, a child of the document window, with the ribbons loaded now.
  RibbonStrip(const AddinHost& host, HWND document);
  ~RibbonStrip();
  RibbonStrip(const RibbonStrip&) = delete;
  RibbonStrip& operator=(const RibbonStrip&) = delete;

  // The groups and buttons built again from the add-ins loaded now, the controls that an add-in
  // invalidated asked again for their label and picture.
  void refresh();
  HWND hwnd() const noexcept { return strip_; }
  // A button's window by its id in the customUI; null when the strip shows none.
  HWND button(const std::wstring& id) const;
  // What the last press gave (the onAction call's result, or why none was made).
  std::optional<HRESULT> lastPress() const noexcept { return lastPress_; }

  LRESULT onStrip(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  struct Button {
    std::wstring addin, id, label;
    com::ComPtr<IPicture> picture;
    HWND window = nullptr;
  };
  struct Group {
    std::wstring label, tab;
    RECT area{};  // in the strip's client pixels
  };

  void paint(HDC dc) const;
  void drawButton(const DRAWITEMSTRUCT& item) const;
  void press(HWND window);

  const AddinHost& host_;
  HWND strip_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<Group> groups_;
  std::vector<Button> buttons_;
  std::optional<HRESULT> lastPress_;
};

}  // namespace wordhost
