// The OLE container of the simulated Word: AddOLEControl creates the control by its ProgID and
// activates it in place in the document's window, as Word does it: the client site first when
// the control asks for it, new storage (or the saved one when a document is reopened), host
// names, the extent, DoVerb with in-place activation; Close when the document closes.
// Documents are saved and reopened through the controls' IPersistStorage.
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

 private:
  com::ComPtr<IOleObject> object_;
  com::ComPtr<ControlSite> site_;
};

class OleContainer {
 public:
  explicit OleContainer(simword::Word& word);  // becomes the word's control factory
  ~OleContainer();
  OleContainer(const OleContainer&) = delete;
  OleContainer& operator=(const OleContainer&) = delete;

  // Every control of the document, in order, as the document would hold them.
  struct SavedDocument {
    std::u16string name;
    std::u16string content;
    std::vector<std::pair<std::u16string, std::vector<unsigned char>>> controls;
  };
  SavedDocument save(simword::Document& document);
  // Opens the saved document anew: the host re-creates each control from its storage.
  simword::Document& reopen(const SavedDocument& saved);

  static EmbeddedObject& embedded(simword::Document& document, size_t index);
  HWND documentWindow(simword::Document& document);

  // The document windows' window procedure.
  LRESULT onDocument(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  std::unique_ptr<simword::EmbeddedControl> embed(std::u16string_view classType,
                                                  simword::Document& document,
                                                  const std::vector<unsigned char>* saved);

  simword::Word& word_;
  std::map<const simword::Document*, HWND> windows_;
};

// The site of one control: IOleClientSite, IOleInPlaceSite, and the frame. It records what the
// control asked of it, in order, for the caller to check.
class ControlSite final
    : public com::Object<ControlSite, IOleClientSite, IOleInPlaceSite, IOleControlSite> {
 public:
  using Bases = com::Bases<IOleWindow>;

  ControlSite(HWND document, RECT position) noexcept;
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
  HWND document_;
  RECT position_;
};

}  // namespace wordhost
