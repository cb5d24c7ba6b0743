#include "wordhost/menu_bar.h"

#include <stdexcept>

#include "win32/com/bstr.h"

namespace wordhost {
namespace {

// The bar's controls; none when Word has no "Menu Bar".
const std::vector<simword::ControlPtr>* menuControls(simword::Word& word) {
  try {
    return &word.menuBar().controls;
  } catch (const std::out_of_range&) {
    return nullptr;
  }
}

void walk(const std::vector<simword::ControlPtr>& controls, size_t depth,
          const std::function<void(const simword::Control&, size_t)>& visit) {
  for (const auto& c : controls) {
    if (!c->visible) continue;
    visit(*c, depth);
    if (c->isPopup()) walk(c->controls, depth + 1, visit);
  }
}

void key(HWND window, WPARAM vk) {
  PostMessageW(window, WM_KEYDOWN, vk, 0);
  PostMessageW(window, WM_KEYUP, vk, 0xC0000000);
}

}  // namespace

MenuBar::MenuBar(simword::Word& word, HWND window) : word_(word), window_(window) {
  refresh(true);
}

std::vector<MenuBar::Shown> MenuBar::shown() const {
  std::vector<Shown> out;
  if (const auto* controls = menuControls(word_))
    walk(*controls, 0, [&](const simword::Control& c, size_t depth) {
      out.push_back({&c, depth, c.caption});
    });
  return out;
}

void MenuBar::fill(HMENU menu, const std::vector<simword::ControlPtr>& controls) {
  for (const auto& c : controls) {
    if (!c->visible) continue;
    const std::wstring caption = com::wide(c->caption);
    if (c->isPopup()) {
      const HMENU popup = CreatePopupMenu();
      fill(popup, c->controls);
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
      continue;
    }
    // Each build takes new ids, so that a command still queued from the menu built before finds
    // nothing rather than another button.
    nextId_ = nextId_ >= 0x7FFF ? 1 : nextId_ + 1;
    buttons_[nextId_] = c;
    AppendMenuW(menu, MF_STRING | (c->isButton() ? 0 : MF_GRAYED), nextId_, caption.c_str());
  }
}

void MenuBar::refresh(bool always) {
  std::vector<Shown> now = shown();
  HMENU bar = GetMenu(window_);
  if (!always && bar && now == built_) return;
  // The menu is filled again in place: Word refreshes it when a menu opens (WM_INITMENU), and
  // by then the menu loop holds this handle.
  if (!bar) {
    bar = CreateMenu();
    SetMenu(window_, bar);
  }
  while (GetMenuItemCount(bar) > 0) DeleteMenu(bar, 0, MF_BYPOSITION);
  buttons_.clear();
  if (const auto* controls = menuControls(word_)) fill(bar, *controls);
  built_ = std::move(now);
  DrawMenuBar(window_);
}

bool MenuBar::command(UINT id) {
  const auto it = buttons_.find(id);
  if (it == buttons_.end()) return false;
  const auto button = it->second.lock();
  if (!button || button->deleted) return false;
  lastClick_ = word_.click(button);
  return true;
}

bool MenuBar::open(std::u16string_view caption) {
  lastClick_.reset();
  refresh();
  int position = 0;
  bool found = false;
  for (const Shown& s : built_) {
    if (s.depth != 0) continue;
    if (s.control->isPopup() && simword::captionsMatch(s.caption, caption)) {
      found = true;
      break;
    }
    ++position;
  }
  if (!found) return false;
  // The menu key selects the bar's first item; the arrows walk to the popup and open it.
  for (int i = 0; i < position; ++i) key(window_, VK_RIGHT);
  key(window_, VK_DOWN);
  SendMessageW(window_, WM_SYSCOMMAND, SC_KEYMENU, 0);
  return true;
}

}  // namespace wordhost
