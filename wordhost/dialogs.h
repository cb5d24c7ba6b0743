// Drives the modal dialogs and popup menus of the current thread with thread-local hooks, so
// that the caller sees what the user saw: each message box's title, text and icon is recorded and
// the box answered; an open-file dialog is filled in and accepted, or cancelled; a popup menu's
// items are recorded and one of them chosen, or the menu dismissed, as the caller planned.
#pragma once

#include <windows.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace wordhost {

enum class Icon { None, Exclamation, Information, Critical, Question, Other };

struct ShownMessage {
  std::wstring title;
  std::wstring text;
  Icon icon = Icon::None;
};

class DialogDriver {
 public:
  DialogDriver();  // one at a time per thread
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  const std::vector<ShownMessage>& messages() const noexcept { return messages_; }
  void clear() { messages_.clear(); }

  // The next open-file dialogs: pick this file, or cancel. Unplanned ones are cancelled.
  void pickFile(std::wstring path) { plans_.push_back(std::move(path)); }
  void cancelFile() { plans_.push_back(std::nullopt); }
  // Titles of the open-file dialogs shown so far.
  const std::vector<std::wstring>& fileDialogs() const noexcept { return fileDialogs_; }

  // The next popup menus: choose the item at this position, or dismiss the menu. Unplanned
  // ones are dismissed.
  void chooseMenuItem(int position) { menuPlans_.push_back(position); }
  void dismissMenu() { menuPlans_.push_back(std::nullopt); }
  // The items of each popup menu shown so far.
  const std::vector<std::vector<std::wstring>>& menus() const noexcept { return menus_; }

 private:
  static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK windowHook(int code, WPARAM wParam, LPARAM lParam);
  void onActivate(HWND dialog);
  void onMenu(HMENU menu);

  HHOOK hook_ = nullptr;
  HHOOK windowHook_ = nullptr;
  std::deque<std::optional<int>> menuPlans_;
  std::vector<std::vector<std::wstring>> menus_;
  std::vector<ShownMessage> messages_;
  std::deque<std::optional<std::wstring>> plans_;
  std::vector<std::wstring> fileDialogs_;
};

}  // namespace wordhost
