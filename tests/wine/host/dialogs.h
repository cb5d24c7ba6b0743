// Drives the modal dialogs of the current thread with a thread-local CBT hook, so that tests see
// what the user saw: each message box's title, text and icon is recorded and the box answered;
// an open-file dialog is filled in and accepted, or cancelled, as the test planned.
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

 private:
  static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
  void onActivate(HWND dialog);

  HHOOK hook_ = nullptr;
  std::vector<ShownMessage> messages_;
  std::deque<std::optional<std::wstring>> plans_;
  std::vector<std::wstring> fileDialogs_;
};

}  // namespace wordhost
