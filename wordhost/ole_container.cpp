#include "wordhost/ole_container.h"

#include <atomic>
#include <cstring>
#include <stdexcept>

#include "win32/automation/server_object.h"
#include "win32/com/bstr.h"
#include "win32/com/edge.h"
#include "win32/com/object.h"
#include "win32/ui/window.h"

#include "base/error.h"

namespace wordhost {
namespace {

// Word's document windows are top-level windows of the class "OpusApp", one for each document
// (Word 2013 and later; the knowledge-base articles on finding Word's window name the class).
const wchar_t kDocumentClass[] = L"OpusApp";
// The document's text stands on one line at the top of the document's area; the controls go
// below it, side by side.
constexpr int kTextLine = 24;
constexpr int kMargin = 10;
std::atomic<long> g_sites{0};

[[noreturn]] void fail(HRESULT hr, const char16_t* what) {
  throw automation::Error(hr, what);
}

void check(HRESULT hr, const char16_t* what) {
  if (FAILED(hr)) fail(hr, what);
}

// The host's frame window: the document window serves as the frame; no menus, no borders.
class Frame final : public com::Object<Frame, IOleInPlaceFrame> {
 public:
  using Bases = com::Bases<IOleInPlaceUIWindow, IOleWindow>;

  explicit Frame(HWND window) noexcept : window_(window) {}
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) noexcept override {
    if (!hwnd) return E_POINTER;
    *hwnd = window_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) noexcept override { return INPLACE_E_NOTOOLSPACE; }
  HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) noexcept override {
    return INPLACE_E_NOTOOLSPACE;
  }
  HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) noexcept override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) noexcept override {
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) noexcept override { return S_OK; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) noexcept override { return S_FALSE; }

 private:
  HWND window_;
};

// The site's container: the document, answering IDispatch as Word's document object does. Made
// afresh for each GetContainer, so that nothing of the document is held between the control's
// events.
class DocumentContainer final : public com::Object<DocumentContainer, IOleContainer, IDispatch> {
 public:
  using Bases = com::Bases<IParseDisplayName>;

  explicit DocumentContainer(com::ComPtr<IDispatch> document) noexcept
      : document_(std::move(document)) {}

  // IParseDisplayName, IOleContainer: no links into the document, no enumeration.
  HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, LPOLESTR, ULONG* eaten,
                                             IMoniker** moniker) noexcept override {
    if (eaten) *eaten = 0;
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE EnumObjects(DWORD, IEnumUnknown** objects) noexcept override {
    if (objects) *objects = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE LockContainer(BOOL) noexcept override { return S_OK; }
  // IDispatch: the document's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
    return document_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override {
    return document_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) noexcept override {
    return document_->GetIDsOfNames(riid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                   UINT* argError) noexcept override {
    return document_->Invoke(id, riid, lcid, flags, params, result, excepInfo, argError);
  }

 private:
  com::ComPtr<IDispatch> document_;
};

// Storage in memory, as a compound file on an HGLOBAL.
com::ComPtr<IStorage> memoryStorage(const std::vector<unsigned char>* saved) {
  com::ComPtr<ILockBytes> bytes;
  HGLOBAL global = nullptr;
  if (saved) {
    global = GlobalAlloc(GMEM_MOVEABLE, saved->size());
    if (!global) throw std::bad_alloc();
    std::memcpy(GlobalLock(global), saved->data(), saved->size());
    GlobalUnlock(global);
  }
  check(CreateILockBytesOnHGlobal(global, TRUE, bytes.put()), u"no memory for storage");
  com::ComPtr<IStorage> storage;
  if (saved)
    check(StgOpenStorageOnILockBytes(bytes.get(), nullptr, STGM_READWRITE | STGM_SHARE_EXCLUSIVE,
                                     nullptr, 0, storage.put()),
          u"cannot open the saved storage");
  else
    check(StgCreateDocfileOnILockBytes(
              bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage.put()),
          u"cannot create storage");
  return storage;
}

std::vector<unsigned char> bytesOf(IStorage* storage) {
  // Write the storage out to a fresh compound file in memory and read its bytes.
  com::ComPtr<ILockBytes> bytes;
  check(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put()), u"no memory");
  com::ComPtr<IStorage> copy;
  check(StgCreateDocfileOnILockBytes(
            bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, copy.put()),
        u"cannot create storage");
  check(storage->CopyTo(0, nullptr, nullptr, copy.get()), u"cannot copy storage");
  check(copy->Commit(STGC_DEFAULT), u"cannot commit storage");
  HGLOBAL global = nullptr;
  check(GetHGlobalFromILockBytes(bytes.get(), &global), u"no bytes");
  STATSTG stat{};
  bytes->Stat(&stat, STATFLAG_NONAME);
  const auto* data = static_cast<const unsigned char*>(GlobalLock(global));
  std::vector<unsigned char> out(data, data + stat.cbSize.QuadPart);
  GlobalUnlock(global);
  return out;
}

}  // namespace

OleContainer::Window* OleContainer::windowOf(HWND hwnd) {
  for (auto& [document, window] : windows_)
    if (window.hwnd == hwnd) return &window;
  return nullptr;
}

int OleContainer::documentTop(const Window& window) const {
  return window.ribbon ? RibbonStrip::kHeight : 0;
}

// Only the active document is read: a window outlives its document in Word's list, and a window
// in the background shows what it showed last.
void OleContainer::paintDocument(Window& window, const simword::Document* document, HDC dc) {
  if (document && word_.activeDocument() == document) window.text = document->content();
  // An inline object's character (1) stands where its control is: no letter of the text.
  std::wstring text;
  for (const char16_t c : window.text)
    if (c >= u' ') text += static_cast<wchar_t>(c);
  RECT client{};
  GetClientRect(window.hwnd, &client);
  RECT line{kMargin + 2, documentTop(window) + 4, client.right - kMargin,
            documentTop(window) + kTextLine};
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  const HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &line,
            DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  DeleteObject(font);
  // Inline pictures, and controls that were not created, which show the presentation the
  // document kept of them. (A window may outlive its document in Word's list.)
  if (!document || !word_.isOpen(document)) return;
  for (size_t i = 0; i < document->inlineShapes.size(); ++i) {
    if (!document->inlineShapes[i].pictureFile.empty()) {
      paintPicture(*document, i, dc);
      continue;
    }
    const auto* cached =
        dynamic_cast<const CachedControl*>(document->inlineShapes[i].control.get());
    if (!cached || cached->presentation.empty()) continue;
    const HENHMETAFILE picture = SetEnhMetaFileBits(static_cast<UINT>(cached->presentation.size()),
                                                    cached->presentation.data());
    if (!picture) continue;
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(picture, sizeof header, &header);
    const SIZEL extent{header.rclFrame.right - header.rclFrame.left,
                       header.rclFrame.bottom - header.rclFrame.top};
    const RECT at = controlPosition(*document, i, extent);
    PlayEnhMetaFile(dc, picture, &at);
    DeleteEnhMetaFile(picture);
  }
}

void OleContainer::paintPicture(const simword::Document& document, size_t index, HDC dc) {
  std::wstring file = com::wide(document.inlineShapes[index].pictureFile);
  com::ComPtr<IPicture> picture;
  if (FAILED(OleLoadPicturePath(file.data(), nullptr, 0, 0, IID_IPicture, picture.putVoid())) ||
      !picture)
    return;
  SIZEL size{};
  picture->get_Width(&size.cx);
  picture->get_Height(&size.cy);
  const RECT at = controlPosition(document, index, size);
  picture->Render(dc, at.left, at.top, at.right - at.left, at.bottom - at.top, 0, size.cy, size.cx,
                  -size.cy, nullptr);
}

// Where the document's control at `index` stands: below the text line, side by side, at its
// extent (HIMETRIC) on the screen.
RECT OleContainer::controlPosition(const simword::Document& document, size_t index,
                                   SIZEL extent) const {
  const HDC screen = GetDC(nullptr);
  const int width = MulDiv(extent.cx, GetDeviceCaps(screen, LOGPIXELSX), 2540);
  const int height = MulDiv(extent.cy, GetDeviceCaps(screen, LOGPIXELSY), 2540);
  ReleaseDC(nullptr, screen);
  const int top = documentTop(windows_.at(&document)) + kTextLine + kMargin;
  const int left = kMargin + 250 * static_cast<int>(index);
  return RECT{left, top, left + width, top + height};
}

// A document window that becomes the active window makes its document Word's active document,
// as Word's own windows do. Its menu is built again when it opens if the command bar changed
// since, and its items click their buttons.
LRESULT OleContainer::onDocument(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        for (const auto& [document, window] : windows_)
          if (window.hwnd == hwnd) word_.activate(document);
      } else if (running_) {
        ui::guarded([&] { running_->focusLeft(); });
      }
      break;
    case WM_INITMENU:
      if (Window* window = windowOf(hwnd); window && window->menu) window->menu->refresh();
      break;
    case WM_COMMAND:  // from the menu: no control, notification 0
      if (Window* window = windowOf(hwnd); window && window->menu && !lParam && !HIWORD(wParam)) {
        window->menu->command(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_SIZE:
      if (Window* window = windowOf(hwnd); window && window->ribbon)
        MoveWindow(window->ribbon->hwnd(), 0, 0, LOWORD(lParam), RibbonStrip::kHeight, TRUE);
      break;
    case WM_PAINT:
      for (auto& [document, window] : windows_)
        if (window.hwnd == hwnd) {
          ui::paint(hwnd,
                    [&, document = document](HDC dc) { paintDocument(window, document, dc); });
          return 0;
        }
      break;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// --- The site ----------------------------------------------------------------------------------

ControlSite::ControlSite(HWND window, RECT position, simword::Word& word,
                         const simword::Document& document) noexcept
    : window_(window), position_(position), word_(&word), document_(&document) {
  ++g_sites;
}
ControlSite::ControlSite(HWND window, RECT position) noexcept
    : window_(window), position_(position) {
  ++g_sites;
}
ControlSite::~ControlSite() {
  --g_sites;
}
long ControlSite::alive() noexcept {
  return g_sites;
}

HRESULT STDMETHODCALLTYPE ControlSite::SaveObject() noexcept {
  calls.push_back("SaveObject");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) noexcept {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ControlSite::GetContainer(IOleContainer** container) noexcept {
  if (!container) return E_POINTER;
  *container = nullptr;
  if (!document_) return E_NOINTERFACE;
  return com::edge([&] {
    auto made = DocumentContainer::make(
        automation::win::ServerObject::wrap(word_->document(*document_), wordInterfaces()));
    if (!made) return E_OUTOFMEMORY;
    *container = made.detach();
    return S_OK;
  });
}
HRESULT STDMETHODCALLTYPE ControlSite::ShowObject() noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::OnShowWindow(BOOL) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::RequestNewObjectLayout() noexcept {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE ControlSite::GetWindow(HWND* hwnd) noexcept {
  calls.push_back("GetWindow");
  if (!hwnd) return E_POINTER;
  *hwnd = window_;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::ContextSensitiveHelp(BOOL) noexcept {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ControlSite::CanInPlaceActivate() noexcept {
  calls.push_back("CanInPlaceActivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceActivate() noexcept {
  calls.push_back("OnInPlaceActivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::OnUIActivate() noexcept {
  calls.push_back("OnUIActivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::GetWindowContext(IOleInPlaceFrame** frame,
                                                        IOleInPlaceUIWindow** doc, LPRECT position,
                                                        LPRECT clip,
                                                        LPOLEINPLACEFRAMEINFO info) noexcept {
  calls.push_back("GetWindowContext");
  if (!frame || !doc || !position || !clip || !info) return E_POINTER;
  auto made = Frame::make(window_);
  if (!made) return E_OUTOFMEMORY;
  *frame = made.detach();
  *doc = nullptr;  // the frame is the document window
  *position = position_;
  *clip = position_;
  info->fMDIApp = FALSE;
  info->hwndFrame = window_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::Scroll(SIZE) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::OnUIDeactivate(BOOL) noexcept {
  calls.push_back("OnUIDeactivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceDeactivate() noexcept {
  calls.push_back("OnInPlaceDeactivate");
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::DiscardUndoState() noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::DeactivateAndUndo() noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::OnPosRectChange(LPCRECT) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::OnControlInfoChanged() noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::LockInPlaceActive(BOOL) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::GetExtendedControl(IDispatch** control) noexcept {
  if (control) *control = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ControlSite::TransformCoords(POINTL*, POINTF*, DWORD) noexcept {
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ControlSite::TranslateAccelerator(MSG*, DWORD) noexcept {
  return S_FALSE;
}
HRESULT STDMETHODCALLTYPE ControlSite::OnFocus(BOOL) noexcept {
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::ShowPropertyFrame() noexcept {
  return E_NOTIMPL;
}

// --- One embedded control ----------------------------------------------------------------------

EmbeddedObject::EmbeddedObject(com::ComPtr<IOleObject> object, com::ComPtr<ControlSite> site, HWND)
    : object_(std::move(object)), site_(std::move(site)) {}

EmbeddedObject::~EmbeddedObject() {
  // As Word closes a document's controls: close without saving, then take the site away.
  object_->Close(OLECLOSE_NOSAVE);
  object_->SetClientSite(nullptr);
}

HWND EmbeddedObject::window() const {
  com::ComPtr<IOleInPlaceObject> inPlace;
  HWND hwnd = nullptr;
  if (SUCCEEDED(com::ComPtr<IOleObject>(object_).query(inPlace))) inPlace->GetWindow(&hwnd);
  return hwnd;
}

std::vector<unsigned char> EmbeddedObject::save() const {
  com::ComPtr<IPersistStorage> persist;
  check(com::ComPtr<IOleObject>(object_).query(persist),
        u"the control does not persist to storage");
  const auto storage = memoryStorage(nullptr);
  check(persist->Save(storage.get(), FALSE), u"the control did not save");
  check(persist->SaveCompleted(nullptr), u"the control did not complete its save");
  check(storage->Commit(STGC_DEFAULT), u"cannot commit");
  return bytesOf(storage.get());
}

std::vector<unsigned char> EmbeddedObject::presentation() const {
  com::ComPtr<IDataObject> data;
  if (FAILED(com::ComPtr<IOleObject>(object_).query(data))) return {};
  FORMATETC format{CF_ENHMETAFILE, nullptr, DVASPECT_CONTENT, -1, TYMED_ENHMF};
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&format, &medium))) return {};
  std::vector<unsigned char> bits;
  if (medium.tymed == TYMED_ENHMF && medium.hEnhMetaFile) {
    bits.resize(GetEnhMetaFileBits(medium.hEnhMetaFile, 0, nullptr));
    GetEnhMetaFileBits(medium.hEnhMetaFile, static_cast<UINT>(bits.size()), bits.data());
  }
  ReleaseStgMedium(&medium);
  return bits;
}

// --- The container -----------------------------------------------------------------------------

OleContainer::OleContainer(RunningWord& running) : OleContainer(running.word()) {
  running_ = &running;
}

OleContainer::OleContainer(simword::Word& word) : word_(word) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &ui::windowProc<OleContainer, &OleContainer::onDocument>;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  wc.lpszClassName = kDocumentClass;
  RegisterClassExW(&wc);
  word_.setControlFactory([this](std::u16string_view classType, simword::Document& document) {
    return embed(classType, document, nullptr);
  });
}

OleContainer::~OleContainer() {
  word_.setControlFactory(nullptr);
  for (auto& [document, window] : windows_) {
    window.ribbon.reset();
    DestroyWindow(window.hwnd);
  }
}

HWND OleContainer::documentWindow(simword::Document& document) {
  if (const auto it = windows_.find(&document); it != windows_.end()) return it->second.hwnd;
  const std::wstring title = com::wide(document.name);
  const HWND hwnd = CreateWindowExW(0, kDocumentClass, title.c_str(),
                                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 800,
                                    600, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (!hwnd) fail(HRESULT_FROM_WIN32(GetLastError()), u"no document window");
  Window& window = windows_[&document];
  window.hwnd = hwnd;
  window.text = document.content();
  window.menu = std::make_unique<MenuBar>(word_, hwnd);
  if (ribbonHost_) window.ribbon = std::make_unique<RibbonStrip>(*ribbonHost_, hwnd);
  return hwnd;
}

MenuBar& OleContainer::menuBar(simword::Document& document) {
  documentWindow(document);
  return *windows_.at(&document).menu;
}

RibbonStrip* OleContainer::ribbonStrip(simword::Document& document) {
  const auto it = windows_.find(&document);
  return it == windows_.end() ? nullptr : it->second.ribbon.get();
}

void OleContainer::showRibbon(const AddinHost* host) {
  ribbonHost_ = host;
  for (auto& [document, window] : windows_) {
    window.ribbon.reset();
    if (host) window.ribbon = std::make_unique<RibbonStrip>(*host, window.hwnd);
  }
}

void OleContainer::refreshBars() {
  for (auto& [document, window] : windows_) {
    window.menu->refresh(true);
    if (window.ribbon) window.ribbon->refresh();
  }
}

std::unique_ptr<simword::EmbeddedControl> OleContainer::embed(
    std::u16string_view classType, simword::Document& document,
    const std::vector<unsigned char>* saved) {
  CLSID clsid;
  const std::wstring progId = com::wide(classType);
  check(CLSIDFromProgID(progId.c_str(), &clsid), u"Could not create the control.");
  com::ComPtr<IOleObject> object;
  check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.putVoid()),
        u"Could not create the control.");

  const HWND window = documentWindow(document);
  SIZEL extent{};
  const size_t index = document.inlineShapes.size();
  auto site = ControlSite::make(window, RECT{}, word_, document);
  if (!site) throw std::bad_alloc();

  DWORD misc = 0;
  object->GetMiscStatus(DVASPECT_CONTENT, &misc);
  if (misc & OLEMISC_SETCLIENTSITEFIRST) check(object->SetClientSite(site.get()), u"SetClientSite");
  com::ComPtr<IPersistStorage> persist;
  check(object.query(persist), u"the control does not persist to storage");
  const auto storage = memoryStorage(saved);
  check(saved ? persist->Load(storage.get()) : persist->InitNew(storage.get()),
        u"the control did not initialise");
  if (!(misc & OLEMISC_SETCLIENTSITEFIRST))
    check(object->SetClientSite(site.get()), u"SetClientSite");
  const std::wstring name = com::wide(document.name);
  object->SetHostNames(L"Microsoft Word", name.c_str());

  object->GetExtent(DVASPECT_CONTENT, &extent);
  RECT position = controlPosition(document, index, extent);
  site->place(position);
  check(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, window, &position),
        u"the control did not activate");
  return std::make_unique<EmbeddedObject>(std::move(object), std::move(site), window);
}

EmbeddedObject& OleContainer::embedded(simword::Document& document, size_t index) {
  return dynamic_cast<EmbeddedObject&>(*document.inlineShapes.at(index).control);
}

OleContainer::SavedDocument OleContainer::save(simword::Document& document) {
  word_.beforeSave(document);
  SavedDocument saved{document.name, document.content(), {}, document.properties, {}};
  for (simword::Signature signature : document.signatures) {
    signature.markedInvalid = !document.isValid(signature);
    saved.signatures.push_back(std::move(signature));
  }
  for (const auto& shape : document.inlineShapes) {
    if (!shape.pictureFile.empty())
      saved.controls.push_back({shape.classType, {}, {}, shape.pictureFile});
    else if (const auto* cached = dynamic_cast<const CachedControl*>(shape.control.get()))
      saved.controls.push_back({shape.classType, cached->storage, cached->presentation, {}});
    else if (const auto* control = dynamic_cast<const EmbeddedObject*>(shape.control.get()))
      saved.controls.push_back({shape.classType, control->save(), control->presentation(), {}});
  }
  return saved;
}

void OleContainer::close(simword::Document& document) {
  word_.close(document);
  const auto it = windows_.find(&document);
  if (it == windows_.end()) return;
  it->second.ribbon.reset();
  DestroyWindow(it->second.hwnd);
  windows_.erase(it);
}

simword::Document& OleContainer::reopen(const SavedDocument& saved) {
  auto& document = word_.open(saved.name);
  document.edit(saved.content);
  document.properties = saved.properties;
  for (simword::Signature signature : saved.signatures) {
    signature.contentVersion = document.version();
    document.signatures.push_back(std::move(signature));
  }
  for (const SavedControl& control : saved.controls) {
    simword::InlineShape shape;
    shape.classType = control.classType;
    shape.pictureFile = control.pictureFile;
    if (!shape.pictureFile.empty()) {
      documentWindow(document);
    } else if (word_.activeXControls()) {
      shape.control = embed(control.classType, document, &control.storage);
    } else {
      auto cached = std::make_unique<CachedControl>();
      cached->storage = control.storage;
      cached->presentation = control.presentation;
      shape.control = std::move(cached);
      documentWindow(document);
    }
    document.inlineShapes.push_back(std::move(shape));
  }
  return document;
}

}  // namespace wordhost
