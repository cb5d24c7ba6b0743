// Drives the modal dialogs and popup menus of the current thread with thread-local hooks, so
// that the caller sees what the user saw: each message box's title, text and icon is recorded and
// the box answered; an open-file dialog's title, file types and file list are recorded and the
// dialog filled in and accepted, or cancelled; a popup menu's items are recorded and one of them
// chosen, or the menu dismissed, as the caller planned. The caller may first look at the next
// menu or box once the screen shows it.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace wordhost {

enum class Icon { None, Exclamation, Information, Critical, Question, Other };

struct ShownMessage {
  std::wstring title;
  std::wstring text;
  Icon icon = Icon::None;
};
bool operator==(const ShownMessage& a, const ShownMessage& b);
inline bool operator!=(const ShownMessage& a, const ShownMessage& b) {
  return !(a == b);
}
// In one line, "title | text | icon", the text as UTF-8 with its line breaks escaped.
std::ostream& operator<<(std::ostream& out, const ShownMessage& message);

// An open-file dialog as the user saw it when it opened. The file-type box shows the descriptions
// of the filter's pairs; the patterns themselves are shown nowhere, only their effect on the file
// list, which holds the folders and the files that the selected type lets through.
struct ShownFileDialog {
  std::wstring title;
  std::vector<std::wstring> fileTypes;  // the descriptions, in order
  int selectedType = -1;                // -1 for none
  std::vector<std::wstring> listed;     // the names in the file list, in its order
  HWND owner = nullptr;                 // the window it is modal to
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
  // The open-file dialogs shown so far.
  const std::vector<ShownFileDialog>& fileDialogs() const noexcept { return fileDialogs_; }

  // The next popup menus: choose the item at this position, or dismiss the menu. Unplanned
  // ones are dismissed.
  void chooseMenuItem(int position) { menuPlans_.push_back(position); }
  void dismissMenu() { menuPlans_.push_back(std::nullopt); }
  // The items of each popup menu shown so far.
  const std::vector<std::vector<std::wstring>>& menus() const noexcept { return menus_; }

  // The next popup menu or message box is shown to `look` (its window) once it is on the screen,
  // painted, and only then answered as planned. A menu or box that comes without a look planned
  // is answered at once.
  void lookAtNext(std::function<void(HWND shown)> look) { look_ = std::move(look); }

 private:
  static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK windowHook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK messageHook(int code, WPARAM wParam, LPARAM lParam);
  void onActivate(HWND dialog);
  void answerFileDialog(HWND dialog);
  void onMenu(HMENU menu);
  void lookLater(std::function<void()> answer);
  void onLookTimer();

  HHOOK hook_ = nullptr;
  HHOOK windowHook_ = nullptr;
  HHOOK messageHook_ = nullptr;
  std::deque<std::optional<int>> menuPlans_;
  std::vector<std::vector<std::wstring>> menus_;
  std::vector<ShownMessage> messages_;
  std::deque<std::optional<std::wstring>> plans_;
  std::vector<ShownFileDialog> fileDialogs_;
  std::function<void(HWND)> look_;
  UINT_PTR lookTimer_ = 0;
  HWND shownWindow_ = nullptr;       // the box looked at; none for a menu
  std::function<void()> afterLook_;  // answers what was looked at
};

}  // namespace wordhost
