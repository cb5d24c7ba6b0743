// The window that lists a document's signatures, on Windows: a top-level Unicode window of
// Penvane.dll owned by Word's main window, with a report list view (a column each for the
// number, signer, issuer, expiry date, signing time and validity, each as wide as its longest
// text), a button that copies the list as text to the clipboard, and one that closes the window;
// Esc closes it too. One at a time: a new list shows in the window already open.
#pragma once

#include <windows.h>

#include "win32/penvane/window_names.h"

#include "penvane/ports.h"

namespace penvane::win {

// The controls' ids.
inline constexpr int kSignatureListId = 301;
inline constexpr int kCopyButtonId = 302;
inline constexpr int kCloseButtonId = 303;

class SignatureWindowImpl final : public penvane::SignatureWindow {
 public:
  SignatureWindowImpl() = default;
  ~SignatureWindowImpl() override;
  SignatureWindowImpl(const SignatureWindowImpl&) = delete;
  SignatureWindowImpl& operator=(const SignatureWindowImpl&) = delete;

  void Show(const SignatureList& list) override;
  HWND hwnd() const noexcept { return window_; }

  LRESULT onWindow(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  void create();
  void fill();
  void layout();
  void copy() const;
  void close() noexcept;

  SignatureList list_;
  HWND window_ = nullptr;
  HWND view_ = nullptr;
  HWND copy_ = nullptr;
  HWND close_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace penvane::win
