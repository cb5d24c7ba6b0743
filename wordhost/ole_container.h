// The OLE container of the simulated Word: AddOLEControl creates the control by its ProgID and
// activates it in place in the document's window, as Word does it: the client site first when
// the control asks for it, new storage (or the saved one when a document is reopened), host
// names, the extent, DoVerb with in-place activation; Close when the document closes.
// Documents are saved and reopened through the controls' IPersistStorage, with the presentation
// that each control gives through IDataObject; a document opened while ActiveX controls are off
// creates no control and shows that cached presentation in its place.
//
// The site's container is the document, through automation: IOleClientSite::GetContainer gives
// an object that answers IDispatch as the document does (knowledge-base article Q190985).
//
// Each document has a window of its own, as Word shows it: the menu bar built from the "Menu
// Bar" command bar (MenuBar), the ribbon of the loaded add-ins along its top when asked for
// (RibbonStrip), then the document's text and its controls, in order, under it.
#pragma once

#include <windows.h>

#include <ocidl.h>
#include <ole2.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "win32/com/com_ptr.h"
#include "win32/com/object.h"
#include "wordhost/addin_host.h"
#include "wordhost/menu_bar.h"
#include "wordhost/ribbon_strip.h"
#include "wordhost/running_word.h"

#include "simword/word.h"

namespace wordhost {

class ControlSite;

// One control embedded in a document.
class EmbeddedObject final : public simword::EmbeddedControl {
 public:
  EmbeddedObject(com::ComPtr<IOleObject> object, com::ComPtr<ControlSite> site, HWND document);
  ~EmbeddedObject() override;  // closes the control

  IOleObject* object() const noexcept { return object_.get(); }
  HWND window() const;  // the control's own window, while it is active in place
  ControlSite& site() const noexcept { return *site_.get(); }
  // The control's persistent state, through IPersistStorage.
  std::vector<unsigned char> save() const;
  // What the control gives the host to keep as its picture in the document (IDataObject, as an
  // enhanced metafile): the bits of the metafile; empty when it gives none.
  std::vector<unsigned char> presentation() const;

 private:
  com::ComPtr<IOleObject> object_;
  com::ComPtr<ControlSite> site_;
};

// A control that Word did not create because ActiveX controls are off: the document keeps its
// storage as it was saved, and shows its cached presentation.
struct CachedControl final : public simword::EmbeddedControl {
  std::vector<unsigned char> storage;
  std::vector<unsigned char> presentation;  // enhanced metafile bits
};

class OleContainer {
 public:
  explicit OleContainer(simword::Word& word);  // becomes the word's control factory
  // The same for a running Word, which registers in the running-object table (if it has not
  // yet) when one of its document windows loses the focus.
  explicit OleContainer(RunningWord& running);
  ~OleContainer();
  OleContainer(const OleContainer&) = delete;
  OleContainer& operator=(const OleContainer&) = delete;

  // A saved document: its text, signatures and custom properties, and every control, in order,
  // as the document would hold them.
  struct SavedControl {
    std::u16string classType;
    std::vector<unsigned char> storage;
    std::vector<unsigned char> presentation;
    std::u16string pictureFile;  // an inline picture instead of a control
  };
  struct SavedDocument {
    std::u16string name;
    std::u16string content;
    std::vector<simword::Signature> signatures;  // valid ones stay valid
    std::vector<simword::Property> properties;
    std::vector<SavedControl> controls;
  };
  SavedDocument save(simword::Document& document);
  // Word closes the document (its controls close) and its window.
  void close(simword::Document& document);
  // Opens the saved document anew: the host re-creates each control from its storage, or, while
  // ActiveX controls are off, keeps it as its cached presentation.
  simword::Document& reopen(const SavedDocument& saved);

  // The control of the document's inline shape; fails (std::bad_cast) for a cached one.
  static EmbeddedObject& embedded(simword::Document& document, size_t index);
  // The document's window, made and shown the first time it is asked for.
  HWND documentWindow(simword::Document& document);
  MenuBar& menuBar(simword::Document& document);

  // The document windows show the ribbons of the add-ins that the host loaded, in a strip along
  // their top, from now on (null: no strip). Controls embedded later stand below it.
  void showRibbon(const AddinHost* host);
  // The strip of the document's window; null when no ribbon is shown.
  RibbonStrip* ribbonStrip(simword::Document& document);
  // The menu bars and the ribbon strips built again from the command bars and the add-ins
  // loaded now. (A menu bar also rebuilds itself when it opens, if its command bar changed.)
  void refreshBars();

  // The document windows' window procedure.
  LRESULT onDocument(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

 private:
  std::unique_ptr<simword::EmbeddedControl> embed(std::u16string_view classType,
                                                  simword::Document& document,
                                                  const std::vector<unsigned char>* saved);

  // A document's window and what it shows besides the controls.
  struct Window {
    HWND hwnd = nullptr;
    std::unique_ptr<MenuBar> menu;
    std::unique_ptr<RibbonStrip> ribbon;
    std::u16string text;  // the text shown, kept from the last time the document was active
  };
  Window* windowOf(HWND hwnd);
  void paintDocument(Window& window, const simword::Document* document, HDC dc);
  int documentTop(const Window& window) const;  // where the document's text begins
  RECT controlPosition(const simword::Document& document, size_t index, SIZEL extent) const;
  void paintPicture(const simword::Document& document, size_t index, HDC dc);

  simword::Word& word_;
  RunningWord* running_ = nullptr;
  const AddinHost* ribbonHost_ = nullptr;
  std::map<const simword::Document*, Window> windows_;
};

// The site of one control: IOleClientSite, IOleInPlaceSite, and the frame. It records what the
// control asked of it, in order, for the caller to check.
class ControlSite final
    : public com::Object<ControlSite, IOleClientSite, IOleInPlaceSite, IOleControlSite> {
 public:
  using Bases = com::Bases<IOleWindow>;

  // The site of a control in `document` of `word`, in the document's window.
  ControlSite(HWND window, RECT position, simword::Word& word,
              const simword::Document& document) noexcept;
  // A site in a window of no document: it gives no container.
  ControlSite(HWND window, RECT position) noexcept;
  ~ControlSite() override;

  std::vector<std::string> calls;
  static long alive() noexcept;  // sites not yet released by anyone
  void place(const RECT& position) noexcept { position_ = position; }

  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() noexcept override;
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) noexcept override;
  HRESULT STDMETHODCALLTYPE ShowObject() noexcept override;
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) noexcept override;
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override;
  // IOleWindow, IOleInPlaceSite
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) noexcept override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override;
  HRESULT STDMETHODCALLTYPE CanInPlaceActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE OnUIActivate() noexcept override;
  HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                             LPRECT position, LPRECT clip,
                                             LPOLEINPLACEFRAMEINFO info) noexcept override;
  HRESULT STDMETHODCALLTYPE Scroll(SIZE) noexcept override;
  HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) noexcept override;
  HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() noexcept override;
  HRESULT STDMETHODCALLTYPE DiscardUndoState() noexcept override;
  HRESULT STDMETHODCALLTYPE DeactivateAndUndo() noexcept override;
  HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) noexcept override;
  // IOleControlSite
  HRESULT STDMETHODCALLTYPE OnControlInfoChanged() noexcept override;
  HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) noexcept override;
  HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** control) noexcept override;
  HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) noexcept override;
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) noexcept override;
  HRESULT STDMETHODCALLTYPE OnFocus(BOOL) noexcept override;
  HRESULT STDMETHODCALLTYPE ShowPropertyFrame() noexcept override;

 private:
  HWND window_;
  RECT position_;
  simword::Word* word_ = nullptr;
  const simword::Document* document_ = nullptr;
};

}  // namespace wordhost
