#include "wordhost/dialogs.h"

#include <commctrl.h>
#include <dlgs.h>

#include <stdexcept>
#include <utility>

#include "win32/com/bstr.h"

#include "base/unicode.h"

namespace wordhost {
namespace {

thread_local DialogDriver* t_driver = nullptr;
constexpr wchar_t kHandled[] = L"DialogDriver.Handled";

constexpr int kMessageText = 0xFFFF;              // the message box's text, Windows and Wine
constexpr int kMessageIconIds[] = {0x14, 0x440};  // its icon: Windows, Wine

std::wstring textOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

// Posted to an open-file dialog when it activates, and taken from its queue by the driver: by then
// the dialog has run its initialisation and shows its controls filled in.
UINT answerMessage() {
  static const UINT message = RegisterWindowMessageW(L"DialogDriver.Answer");
  return message;
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

// The descriptions in the dialog's file-type combo box, and the selected one.
void readFileTypes(HWND dialog, ShownFileDialog& shown) {
  const HWND types = GetDlgItem(dialog, cmb1);
  if (!types) return;
  const auto count = SendMessageW(types, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const auto length = SendMessageW(types, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (length == CB_ERR) break;
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i),
                 reinterpret_cast<LPARAM>(item.data()));
    item.resize(static_cast<size_t>(length));
    shown.fileTypes.push_back(std::move(item));
  }
  shown.selectedType = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
}

// The names in the dialog's file list (the shell view's list view), as the list shows them.
void readListedFiles(HWND dialog, ShownFileDialog& shown) {
  const HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
  const HWND list = view ? FindWindowExW(view, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
  if (!list) return;
  const auto count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t name[MAX_PATH] = {};
    LVITEMW item{};
    item.pszText = name;
    item.cchTextMax = MAX_PATH;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    shown.listed.emplace_back(name);
  }
}

std::string utf8(const std::wstring& text) {
  return text::toUtf8(com::u16(text));
}

// The popup menu on the screen, the topmost (a menu's window is of the system class "#32768");
// none when no menu shows.
HWND shownMenu() {
  const HWND menu = FindWindowW(L"#32768", nullptr);
  return menu && IsWindowVisible(menu) ? menu : nullptr;
}

// A key for the thread's menu loop, which reads the keyboard's messages whatever window they
// are for.
void menuKey(WPARAM vk) {
  const HWND focus = GetFocus() ? GetFocus() : GetActiveWindow();
  PostMessageW(focus, WM_KEYDOWN, vk, 0);
  PostMessageW(focus, WM_KEYUP, vk, 0xC0000000);
}

}  // namespace

bool operator==(const ShownMessage& a, const ShownMessage& b) {
  return a.title == b.title && a.text == b.text && a.icon == b.icon;
}

std::ostream& operator<<(std::ostream& out, const ShownMessage& message) {
  const char* const icons[] = {"no icon",  "exclamation", "information",
                               "critical", "question",    "other icon"};
  std::string text;
  for (const char c : utf8(message.text)) {
    if (c == '\r')
      text += "\\r";
    else if (c == '\n')
      text += "\\n";
    else
      text += c;
  }
  return out << utf8(message.title) << " | " << text << " | "
             << icons[static_cast<int>(message.icon)];
}

DialogDriver::DialogDriver() {
  if (t_driver) throw std::logic_error("a dialog driver is already installed on this thread");
  hook_ = SetWindowsHookExW(WH_CBT, &DialogDriver::hook, nullptr, GetCurrentThreadId());
  windowHook_ =
      SetWindowsHookExW(WH_CALLWNDPROC, &DialogDriver::windowHook, nullptr, GetCurrentThreadId());
  messageHook_ =
      SetWindowsHookExW(WH_GETMESSAGE, &DialogDriver::messageHook, nullptr, GetCurrentThreadId());
  if (!hook_ || !windowHook_ || !messageHook_) {
    for (const HHOOK h : {messageHook_, windowHook_, hook_})
      if (h) UnhookWindowsHookEx(h);
    throw std::runtime_error("SetWindowsHookEx failed");
  }
  t_driver = this;
}

DialogDriver::~DialogDriver() {
  UnhookWindowsHookEx(messageHook_);
  UnhookWindowsHookEx(windowHook_);
  UnhookWindowsHookEx(hook_);
  t_driver = nullptr;
}

LRESULT CALLBACK DialogDriver::windowHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  // A popup menu tells its owner before it shows.
  if (code == HC_ACTION && t_driver && message->message == WM_INITMENUPOPUP &&
      !HIWORD(message->lParam))
    t_driver->onMenu(reinterpret_cast<HMENU>(message->wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::onMenu(HMENU menu) {
  std::vector<std::wstring> items;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
    items.emplace_back(text);
  }
  menus_.push_back(std::move(items));
  std::optional<int> plan;
  if (!menuPlans_.empty()) {
    plan = menuPlans_.front();
    menuPlans_.pop_front();
  }
  // The menu's own loop reads the keyboard: from the first item, walk down to the planned one
  // and take it, or escape. A look comes before the last key, the planned item lit.
  if (plan) {
    menuKey(VK_HOME);
    for (int i = 0; i < *plan; ++i) menuKey(VK_DOWN);
  }
  const WPARAM last = plan ? VK_RETURN : VK_ESCAPE;
  if (look_) {
    shownWindow_ = nullptr;
    lookLater([last] { menuKey(last); });
  } else {
    menuKey(last);
  }
}

// The look comes on a timer of the thread: the system hands out a timer's message only when no
// other message and no paint is due, so by then the menu or box has painted, the keys posted
// before it have run, and a menu shows its planned item lit.
void DialogDriver::lookLater(std::function<void()> answer) {
  afterLook_ = std::move(answer);
  lookTimer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, nullptr);
  if (!lookTimer_) onLookTimer();  // no timer: the look now, painted or not, then the answer
}

void DialogDriver::onLookTimer() {
  if (lookTimer_) KillTimer(nullptr, lookTimer_);
  lookTimer_ = 0;
  const auto look = std::exchange(look_, nullptr);
  const auto answer = std::exchange(afterLook_, nullptr);
  if (look) look(shownWindow_ ? shownWindow_ : shownMenu());
  if (answer) answer();
}

LRESULT CALLBACK DialogDriver::messageHook(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && t_driver && message->message == answerMessage()) {
    message->message = WM_NULL;  // the dialog itself sees nothing
    t_driver->answerFileDialog(message->hwnd);
  }
  if (code == HC_ACTION && wParam == PM_REMOVE && t_driver && t_driver->lookTimer_ &&
      message->message == WM_TIMER && !message->hwnd && message->wParam == t_driver->lookTimer_) {
    message->message = WM_NULL;
    t_driver->onLookTimer();
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
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
    auto answer = [dialog] { PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
    if (look_) {
      shownWindow_ = dialog;
      lookLater(answer);
    } else {
      answer();
    }
    return;
  }
  // An open-file dialog may activate before it has filled in its controls: it is answered from
  // its message queue.
  PostMessageW(dialog, answerMessage(), 0, 0);
}

void DialogDriver::answerFileDialog(HWND dialog) {
  ShownFileDialog shown;
  shown.title = textOf(dialog);
  shown.owner = GetWindow(dialog, GW_OWNER);
  readFileTypes(dialog, shown);
  readListedFiles(dialog, shown);
  fileDialogs_.push_back(std::move(shown));
  std::optional<std::wstring> plan;
  if (!plans_.empty()) {
    plan = std::move(plans_.front());
    plans_.pop_front();
  }
  if (!plan) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return;
  }
  // The file name box is a combo box (explorer style) or an edit box.
  HWND name = GetDlgItem(dialog, cmb13);
  if (!name) name = GetDlgItem(dialog, edt1);
  SetWindowTextW(name, plan->c_str());
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

}  // namespace wordhost
