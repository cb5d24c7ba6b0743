// Word's ribbon as a COM add-in meets it: right after the add-in connects, Word asks it for
// IRibbonExtensibility and for the customUI document of a Word document's ribbon, reads that
// document with an XML parser (MSXML), checks what it uses against the customUI rules (a known
// namespace, known elements and attributes, ids unique, callbacks that the add-in's IDispatch
// resolves, images that its loadImage callback gives), asks the getLabel and getImage callbacks
// for the controls that have them, hands the customUI's onLoad callback an IRibbonUI, shows the
// controls, and presses a button by calling its onAction callback with an IRibbonControl. A
// control that the add-in invalidates through IRibbonUI is asked again when the ribbon is next
// shown (refresh).
#pragma once

#include <windows.h>

#include <oaidl.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "win32/com/com_ptr.h"
#include "win32/com/variant.h"

namespace wordhost {

class Ribbon {
 public:
  struct Button {
    std::wstring id, label, size, image, screentip, supertip, keytip, onAction, getLabel, getImage;
    SIZE picture{};                // the loaded picture's size in pixels; 0 when there is none
    com::ComPtr<IPicture> loaded;  // the picture itself, as the ribbon keeps it to draw
  };
  struct Group {
    std::wstring id, label, tab, insertAfterMso;
    std::vector<Button> buttons;
  };

  // The ribbon id of a Word document.
  static constexpr const wchar_t* kWordDocument = L"Microsoft.Word.Document";

  // Asks the add-in as Word does. An add-in without IRibbonExtensibility, or with an empty
  // document, customises nothing: no groups, no problems.
  explicit Ribbon(IUnknown* addin);

  bool customised() const noexcept { return !xml_.empty(); }
  const std::wstring& xml() const noexcept { return xml_; }
  const std::vector<Group>& groups() const noexcept { return groups_; }
  // What Word would refuse in the document; empty when it loads as it is.
  const std::vector<std::wstring>& problems() const noexcept { return problems_; }
  const Button* find(const std::wstring& id) const;

  // The user presses the button: its onAction callback with an IRibbonControl for it.
  HRESULT press(const std::wstring& id);

  // The controls the add-in invalidated (IRibbonUI's InvalidateControl, or Invalidate: all) asked
  // again for their label and picture, as the ribbon does before it shows them next.
  void refresh();
  // The ids the add-in invalidated so far, in order ("*" for all), and whether onLoad was called.
  const std::vector<std::wstring>& invalidations() const noexcept { return invalidations_; }
  bool loaded() const noexcept { return ribbonUI_ != nullptr; }

  ~Ribbon();
  Ribbon(const Ribbon&) = delete;
  Ribbon& operator=(const Ribbon&) = delete;

  // From the IRibbonUI that the add-in holds.
  void invalidate(std::wstring id);

 private:
  void read();
  void ask(Button& button);
  com::ScopedVariant callWithControl(const std::wstring& callbackName, const std::wstring& id);
  DISPID callback(const std::wstring& name);
  com::ComPtr<IPicture> loadImage(const std::wstring& image);
  void problem(std::wstring text) { problems_.push_back(std::move(text)); }

  com::ComPtr<IDispatch> dispatch_;
  std::wstring xml_;
  std::wstring loadImage_;
  std::wstring onLoad_;
  std::vector<Group> groups_;
  std::vector<std::wstring> problems_;
  std::vector<std::wstring> invalidations_;
  std::vector<std::wstring> pending_;  // invalidated, not yet asked again
  com::ComPtr<IUnknown> ribbonUI_;     // what onLoad was given
};

}  // namespace wordhost
