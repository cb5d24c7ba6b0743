#include "tests/wine/host/dialogs.h"

#include <dlgs.h>

#include <stdexcept>

namespace wordhost {
namespace {

thread_local DialogDriver* t_driver = nullptr;
constexpr wchar_t kHandled[] = L"DialogDriver.Handled";

constexpr int kMessageText = 0xFFFF;             // the message box's text, Windows and Wine
constexpr int kMessageIconIds[] = {0x14, 0x440};  // its icon: Windows, Wine

std::wstring textOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

bool isDialog(HWND window) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  return std::wstring_view(name) == L"#32770";
}

Icon iconOf(HWND box) {
  for (const int id : kMessageIconIds) {
    const HWND control = GetDlgItem(box, id);
    if (!control) continue;
    const auto icon = reinterpret_cast<HICON>(SendMessageW(control, STM_GETICON, 0, 0));
    if (!icon) return Icon::None;
    if (icon == LoadIconW(nullptr, IDI_EXCLAMATION)) return Icon::Exclamation;
    if (icon == LoadIconW(nullptr, IDI_ASTERISK)) return Icon::Information;
    if (icon == LoadIconW(nullptr, IDI_HAND)) return Icon::Critical;
    if (icon == LoadIconW(nullptr, IDI_QUESTION)) return Icon::Question;
    return Icon::Other;
  }
  return Icon::None;
}

}  // namespace

DialogDriver::DialogDriver() {
  if (t_driver) throw std::logic_error("a dialog driver is already installed on this thread");
  hook_ = SetWindowsHookExW(WH_CBT, &DialogDriver::hook, nullptr, GetCurrentThreadId());
  if (!hook_) throw std::runtime_error("SetWindowsHookEx failed");
  t_driver = this;
}

DialogDriver::~DialogDriver() {
  UnhookWindowsHookEx(hook_);
  t_driver = nullptr;
}

LRESULT CALLBACK DialogDriver::hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && t_driver) t_driver->onActivate(reinterpret_cast<HWND>(wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::onActivate(HWND dialog) {
  // A dialog is activated again when a box it opened closes: answer it once.
  if (!isDialog(dialog) || GetPropW(dialog, kHandled)) return;
  SetPropW(dialog, kHandled, reinterpret_cast<HANDLE>(1));
  if (const HWND text = GetDlgItem(dialog, kMessageText)) {
    messages_.push_back({textOf(dialog), textOf(text), iconOf(dialog)});
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return;
  }
  // An open-file dialog: the file name box is a combo box (explorer style) or an edit box.
  fileDialogs_.push_back(textOf(dialog));
  std::optional<std::wstring> plan;
  if (!plans_.empty()) {
    plan = std::move(plans_.front());
    plans_.pop_front();
  }
  if (!plan) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  HWND name = GetDlgItem(dialog, cmb13);
  if (!name) name = GetDlgItem(dialog, edt1);
  SetWindowTextW(name, plan->c_str());
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

}  // namespace wordhost
