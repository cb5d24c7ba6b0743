// A document window's menu bar, as Word shows its "Menu Bar" command bar: each visible control
// of the bar in order, a popup as a Win32 popup menu (its own controls inside it), a button as
// an item, each with its caption ('&' marks the access key in both). Choosing an item clicks its
// button (Word::click), so that the add-in hears the click from its event sink as it hears a
// click in Word's own menu.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "simword/word.h"

namespace wordhost {

class MenuBar {
 public:
  MenuBar(simword::Word& word, HWND window);  // gives the window its menu, built now
  MenuBar(const MenuBar&) = delete;
  MenuBar& operator=(const MenuBar&) = delete;

  // Builds the menu again from the command bar; without `always`, only when the bar's controls
  // or captions changed since it was built.
  void refresh(bool always = false);

  // The window's WM_COMMAND from its menu: the item's button is clicked. False when the id is
  // none of the menu's, or its button was deleted since.
  bool command(UINT id);
  // What the last click through the menu gave; nothing since the menu was last opened by open().
  const std::optional<simword::Word::ClickResult>& lastClick() const noexcept { return lastClick_; }

  // Opens the popup of that caption on the menu bar with the keyboard (F10, the arrows, Down);
  // returns once the menu closed. The popup's item is chosen as the thread's DialogDriver plans.
  // False when the menu bar holds no such popup.
  bool open(std::u16string_view caption);

 private:
  // One visible control as the menu shows it: which, how deep, what it says.
  struct Shown {
    const simword::Control* control;
    size_t depth;
    std::u16string caption;
    bool operator==(const Shown& o) const {
      return control == o.control && depth == o.depth && caption == o.caption;
    }
  };
  std::vector<Shown> shown() const;
  void fill(HMENU menu, const std::vector<simword::ControlPtr>& controls);

  simword::Word& word_;
  HWND window_;
  std::vector<Shown> built_;
  std::map<UINT, std::weak_ptr<simword::Control>> buttons_;
  UINT nextId_ = 0;
  std::optional<simword::Word::ClickResult> lastClick_;
};

}  // namespace wordhost
