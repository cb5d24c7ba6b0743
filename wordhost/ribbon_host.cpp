#include "wordhost/ribbon_host.h"

#include <msxml2.h>
#include <olectl.h>

#include <set>

#include "win32/automation/named_dispatch.h"
#include "win32/com/bstr.h"
#include "win32/com/object.h"
#include "win32/com/variant.h"

#include "automation/names.h"
#include "ribbon.h"

// MinGW-w64's msxml2.h declares these interfaces without their identifiers for __uuidof.
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IXMLDOMDocument, 0x2933BF81, 0x7B36, 0x11D2, 0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98,
                0x3E, 0x60)
__CRT_UUID_DECL(IXMLDOMElement, 0x2933BF86, 0x7B36, 0x11D2, 0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98,
                0x3E, 0x60)
#endif

namespace wordhost {
namespace {

// MSXML 3.0's DOM document, the parser every Windows (and Wine) has.
const CLSID kDomDocument30 = {
    0xF5078F32, 0xC551, 0x11D3, {0x89, 0xB9, 0x00, 0x00, 0xF8, 0x1F, 0xE2, 0x21}};
const wchar_t kNamespace[] = L"http://schemas.microsoft.com/office/2006/01/customui";

// What the model knows of customUI: each element's attributes and children.
struct ElementRule {
  const wchar_t* name;
  std::set<std::wstring> attributes;
  std::set<std::wstring> children;
};
const ElementRule kRules[] = {
    {L"customUI", {L"onLoad", L"loadImage"}, {L"ribbon"}},
    {L"ribbon", {L"startFromScratch"}, {L"tabs"}},
    {L"tabs", {}, {L"tab"}},
    {L"tab",
     {L"id", L"idMso", L"idQ", L"label", L"visible", L"keytip", L"insertAfterMso",
      L"insertBeforeMso", L"tag"},
     {L"group"}},
    {L"group",
     {L"id", L"idMso", L"idQ", L"label", L"visible", L"keytip", L"insertAfterMso",
      L"insertBeforeMso", L"screentip", L"supertip", L"image", L"imageMso", L"getImage", L"tag"},
     {L"button", L"separator"}},
    {L"button",
     {L"id", L"idMso", L"idQ", L"label", L"getLabel", L"size", L"image", L"imageMso", L"getImage",
      L"screentip", L"supertip", L"keytip", L"onAction", L"enabled", L"visible", L"showLabel",
      L"showImage", L"description", L"tag"},
     {}},
    {L"separator", {L"id", L"visible"}, {}},
};

// Word's tabs and, for the Insert tab, its groups, that a document may place itself among.
const std::set<std::wstring> kWordTabs = {L"TabHome",       L"TabInsert",   L"TabPageLayoutWord",
                                          L"TabReferences", L"TabMailings", L"TabReviewWord",
                                          L"TabView",       L"TabDeveloper"};
const std::set<std::wstring> kInsertGroups = {
    L"GroupInsertPages",  L"GroupInsertTables", L"GroupInsertIllustrations", L"GroupInsertLinks",
    L"GroupHeaderFooter", L"GroupInsertText",   L"GroupInsertSymbols"};

const ElementRule* ruleOf(const std::wstring& name) {
  for (const ElementRule& r : kRules)
    if (name == r.name) return &r;
  return nullptr;
}

bool isId(const std::wstring& id) {
  if (id.empty() || id.size() > 1024 || !(iswalpha(id[0]) || id[0] == L'_')) return false;
  for (const wchar_t c : id)
    if (!(iswalnum(c) || c == L'_')) return false;
  return true;
}

std::wstring text(BSTR b) {
  return b ? std::wstring(b, SysStringLen(b)) : std::wstring();
}

std::wstring attribute(IXMLDOMElement* element, const wchar_t* name) {
  com::ScopedVariant value;
  if (element->getAttribute(const_cast<BSTR>(com::Bstr(std::wstring_view(name)).get()),
                            value.receive()) != S_OK)
    return {};
  return std::wstring(value.text());
}

// The element children of a node, in order.
std::vector<com::ComPtr<IXMLDOMElement>> children(IXMLDOMNode* node) {
  std::vector<com::ComPtr<IXMLDOMElement>> out;
  com::ComPtr<IXMLDOMNode> child;
  node->get_firstChild(child.put());
  while (child) {
    com::ComPtr<IXMLDOMElement> element;
    if (SUCCEEDED(child.query(element))) out.push_back(element);
    com::ComPtr<IXMLDOMNode> next;
    child->get_nextSibling(next.put());
    child = next;
  }
  return out;
}

// The control that the ribbon passes to a callback: its id, its tag, and the window it is in.
class RibbonControl final : public automation::win::NamedDispatchOn<RibbonControl, IRibbonControl> {
 public:
  using Bases = com::Bases<IDispatch>;
  explicit RibbonControl(std::wstring id) : id_(std::move(id)) {}

  HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) noexcept override { return copy(id_, id); }
  HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) noexcept override {
    if (!context) return E_POINTER;
    *context = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) noexcept override { return copy({}, tag); }

  // IDispatch, for a callback that reads the control late-bound.
  DISPID idOf(std::wstring_view name, UINT position) const noexcept {
    if (position > 0) return DISPID_UNKNOWN;
    if (automation::sameName(name, std::wstring_view(L"Id"))) return 1;
    if (automation::sameName(name, std::wstring_view(L"Context"))) return 2;
    if (automation::sameName(name, std::wstring_view(L"Tag"))) return 3;
    return DISPID_UNKNOWN;
  }
  HRESULT invoke(DISPID id, LCID, WORD flags, const DISPPARAMS&, VARIANT* result) noexcept {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (!result) return E_POINTER;
    com::ScopedVariant value;
    switch (id) {
      case 1:
        if (!value.setText(id_)) return E_OUTOFMEMORY;
        break;
      case 2:
        value.setObject(nullptr);  // Word's context is its window; this Word gives none
        break;
      case 3:
        if (!value.setText({})) return E_OUTOFMEMORY;
        break;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
    *result = value.release();
    return S_OK;
  }

 private:
  static HRESULT copy(const std::wstring& from, BSTR* to) noexcept {
    if (!to) return E_POINTER;
    *to = SysAllocStringLen(from.data(), static_cast<UINT>(from.size()));
    return *to ? S_OK : E_OUTOFMEMORY;
  }
  std::wstring id_;
};

// IRibbonUI as the ribbon hands it to the customUI's onLoad callback: what the add-in invalidates
// goes to the ribbon while it lives.
class RibbonUI final : public automation::win::NamedDispatch<RibbonUI> {
 public:
  explicit RibbonUI(Ribbon* ribbon) noexcept : ribbon_(ribbon) {}
  void detach() noexcept { ribbon_ = nullptr; }

  DISPID idOf(std::wstring_view name, UINT position) const noexcept {
    if (position > 0) return DISPID_UNKNOWN;
    if (automation::sameName(name, std::wstring_view(L"Invalidate"))) return 1;
    if (automation::sameName(name, std::wstring_view(L"InvalidateControl"))) return 2;
    return DISPID_UNKNOWN;
  }
  HRESULT invoke(DISPID id, LCID, WORD flags, const DISPPARAMS& params, VARIANT*) {
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (id == 1) {
      if (params.cArgs != 0) return DISP_E_BADPARAMCOUNT;
      if (ribbon_) ribbon_->invalidate(L"*");
      return S_OK;
    }
    if (id != 2) return DISP_E_MEMBERNOTFOUND;
    if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
    if (V_VT(&params.rgvarg[0]) != VT_BSTR) return DISP_E_TYPEMISMATCH;
    const BSTR control = V_BSTR(&params.rgvarg[0]);
    if (ribbon_) ribbon_->invalidate(text(control));
    return S_OK;
  }

 private:
  Ribbon* ribbon_;
};

// A picture's size in pixels at 96 dots per inch; none without a picture.
SIZE pixelSize(IPicture* picture) {
  if (!picture) return {};
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  return {MulDiv(width, 96, 2540), MulDiv(height, 96, 2540)};
}

}  // namespace

Ribbon::Ribbon(IUnknown* addin) {
  if (!addin) return;
  com::ComPtr<IRibbonExtensibility> extensibility;
  if (FAILED(addin->QueryInterface(__uuidof(IRibbonExtensibility), extensibility.putVoid())))
    return;  // an add-in for Word without a ribbon
  addin->QueryInterface(IID_IDispatch, dispatch_.putVoid());
  com::Bstr xml;
  const HRESULT hr =
      extensibility->GetCustomUI(com::Bstr(std::wstring_view(kWordDocument)).get(), xml.put());
  if (FAILED(hr)) {
    problem(L"GetCustomUI failed");
    return;
  }
  xml_ = text(xml.get());
  if (xml_.empty()) return;
  read();
  // The ribbon has read the document: its onLoad callback gets the ribbon's IRibbonUI.
  if (onLoad_.empty()) return;
  const DISPID member = callback(onLoad_);
  auto ui = RibbonUI::make(this);
  if (member == DISPID_UNKNOWN || !ui) {
    problem(L"onLoad callback not found: " + onLoad_);
    return;
  }
  ribbonUI_ = com::ComPtr<IUnknown>(static_cast<IDispatch*>(ui.get()));
  com::ScopedVariant argument;
  argument.setObject(ui.get());
  DISPPARAMS params{argument.ptr(), nullptr, 1, 0};
  dispatch_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                    nullptr, nullptr);
}

Ribbon::~Ribbon() {
  if (ribbonUI_) static_cast<RibbonUI*>(static_cast<IDispatch*>(ribbonUI_.get()))->detach();
}

void Ribbon::invalidate(std::wstring id) {
  invalidations_.push_back(id);
  pending_.push_back(std::move(id));
}

void Ribbon::refresh() {
  const std::vector<std::wstring> pending = std::move(pending_);
  pending_.clear();
  for (Group& g : groups_)
    for (Button& b : g.buttons)
      for (const std::wstring& id : pending)
        if (id == L"*" || id == b.id) {
          ask(b);
          break;
        }
}

// The callback's answer for a control: called with an IRibbonControl, its result.
com::ScopedVariant Ribbon::callWithControl(const std::wstring& callbackName,
                                           const std::wstring& id) {
  com::ScopedVariant result;
  const DISPID member = callback(callbackName);
  auto control = RibbonControl::make(id);
  if (member == DISPID_UNKNOWN || !control) return result;
  com::ScopedVariant argument;
  argument.setObject(control.get());
  DISPPARAMS params{argument.ptr(), nullptr, 1, 0};
  if (FAILED(dispatch_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                               result.receive(), nullptr, nullptr)))
    result.reset();
  return result;
}

// A control's label and picture from its getLabel and getImage callbacks.
void Ribbon::ask(Button& button) {
  if (!button.getLabel.empty()) {
    const com::ScopedVariant label = callWithControl(button.getLabel, button.id);
    button.label = label.text();
    if (button.label.empty()) problem(L"getLabel gave no label for " + button.id);
  }
  if (!button.getImage.empty()) {
    const com::ScopedVariant image = callWithControl(button.getImage, button.id);
    button.loaded.reset();
    if (IUnknown* picture = image.object())
      picture->QueryInterface(IID_IPicture, button.loaded.putVoid());
    button.picture = pixelSize(button.loaded.get());
    if (!button.picture.cx || !button.picture.cy)
      problem(L"getImage gave no picture for " + button.id);
  }
}

const Ribbon::Button* Ribbon::find(const std::wstring& id) const {
  for (const Group& g : groups_)
    for (const Button& b : g.buttons)
      if (b.id == id) return &b;
  return nullptr;
}

DISPID Ribbon::callback(const std::wstring& name) {
  if (!dispatch_) return DISPID_UNKNOWN;
  std::wstring copy = name;
  LPOLESTR names[] = {copy.data()};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
    return DISPID_UNKNOWN;
  return id;
}

com::ComPtr<IPicture> Ribbon::loadImage(const std::wstring& image) {
  const DISPID id = callback(loadImage_);
  com::ScopedVariant argument, result;
  if (!argument.setText(image)) return {};
  DISPPARAMS params{argument.ptr(), nullptr, 1, 0};
  if (id == DISPID_UNKNOWN ||
      FAILED(dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                               result.receive(), nullptr, nullptr)) ||
      !result.object())
    return {};
  com::ComPtr<IPicture> picture;
  result.object()->QueryInterface(IID_IPicture, picture.putVoid());
  return picture;
}

void Ribbon::read() {
  com::ComPtr<IXMLDOMDocument> document;
  if (FAILED(CoCreateInstance(kDomDocument30, nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IXMLDOMDocument), document.putVoid()))) {
    problem(L"no XML parser");
    return;
  }
  document->put_async(VARIANT_FALSE);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  document->loadXML(com::Bstr(std::wstring_view(xml_)).get(), &loaded);
  if (!loaded) {
    com::ComPtr<IXMLDOMParseError> error;
    com::Bstr reason;
    if (SUCCEEDED(document->get_parseError(error.put()))) error->get_reason(reason.put());
    problem(L"not well formed: " + text(reason.get()));
    return;
  }
  com::ComPtr<IXMLDOMElement> root;
  document->get_documentElement(root.put());
  if (!root) return problem(L"no root element");

  std::set<std::wstring> ids;
  // Checks one element against the rules, and returns its id.
  const auto check = [&](IXMLDOMElement* element) -> std::wstring {
    com::Bstr name, uri;
    element->get_baseName(name.put());
    element->get_namespaceURI(uri.put());
    const std::wstring tag = text(name.get());
    if (text(uri.get()) != kNamespace) problem(L"<" + tag + L"> outside the customUI namespace");
    const ElementRule* rule = ruleOf(tag);
    if (!rule) {
      problem(L"unknown element <" + tag + L">");
      return {};
    }
    com::ComPtr<IXMLDOMNamedNodeMap> attributes;
    element->get_attributes(attributes.put());
    long count = 0;
    if (attributes) attributes->get_length(&count);
    for (long i = 0; i < count; ++i) {
      com::ComPtr<IXMLDOMNode> a;
      if (FAILED(attributes->get_item(i, a.put())) || !a) continue;  // a namespace declaration
      com::Bstr attributeName;
      a->get_nodeName(attributeName.put());
      const std::wstring n = text(attributeName.get());
      if (n != L"xmlns" && !rule->attributes.count(n))
        problem(L"unknown attribute " + n + L" on <" + tag + L">");
    }
    for (const auto& child : children(element)) {
      com::Bstr childName;
      child->get_baseName(childName.put());
      if (!rule->children.count(text(childName.get())))
        problem(L"<" + text(childName.get()) + L"> may not stand in <" + tag + L">");
    }
    const std::wstring id = attribute(element, L"id");
    const int named =
        !id.empty() + !attribute(element, L"idMso").empty() + !attribute(element, L"idQ").empty();
    if (tag != L"customUI" && tag != L"ribbon" && tag != L"tabs" && tag != L"separator" &&
        named != 1)
      problem(L"<" + tag + L"> needs exactly one of id, idMso, idQ");
    if (!id.empty()) {
      if (!isId(id)) problem(L"bad id " + id);
      if (!ids.insert(id).second) problem(L"id used twice: " + id);
    }
    if (!attribute(element, L"insertAfterMso").empty() &&
        !attribute(element, L"insertBeforeMso").empty())
      problem(L"insertAfterMso and insertBeforeMso together on " + id);
    const std::wstring keytip = attribute(element, L"keytip");
    if (keytip.size() > 3) problem(L"keytip longer than 3 on " + id);
    for (const wchar_t* text : {L"label", L"screentip", L"supertip"})
      if (attribute(element, text).size() > 1024) problem(std::wstring(text) + L" too long");
    return id;
  };

  com::Bstr rootName;
  root->get_baseName(rootName.put());
  if (text(rootName.get()) != L"customUI") return problem(L"the root is not <customUI>");
  check(root.get());
  loadImage_ = attribute(root.get(), L"loadImage");
  if (!loadImage_.empty() && callback(loadImage_) == DISPID_UNKNOWN)
    problem(L"loadImage callback not found: " + loadImage_);
  onLoad_ = attribute(root.get(), L"onLoad");

  for (const auto& ribbon : children(root.get())) {
    check(ribbon.get());
    for (const auto& tabs : children(ribbon.get())) {
      check(tabs.get());
      for (const auto& tab : children(tabs.get())) {
        check(tab.get());
        const std::wstring tabMso = attribute(tab.get(), L"idMso");
        if (!tabMso.empty() && !kWordTabs.count(tabMso)) problem(L"unknown tab " + tabMso);
        for (const auto& g : children(tab.get())) {
          Group group;
          group.id = check(g.get());
          group.label = attribute(g.get(), L"label");
          group.tab = tabMso.empty() ? attribute(tab.get(), L"id") : tabMso;
          group.insertAfterMso = attribute(g.get(), L"insertAfterMso");
          if (!group.id.empty() && group.label.empty()) problem(L"group without label");
          if (!group.insertAfterMso.empty() &&
              (tabMso != L"TabInsert" || !kInsertGroups.count(group.insertAfterMso)))
            problem(L"no group " + group.insertAfterMso + L" on " + group.tab);
          for (const auto& b : children(g.get())) {
            Button button;
            button.id = check(b.get());
            com::Bstr kind;
            b->get_baseName(kind.put());
            if (text(kind.get()) == L"separator") continue;  // a line between buttons
            button.label = attribute(b.get(), L"label");
            button.size = attribute(b.get(), L"size");
            button.image = attribute(b.get(), L"image");
            button.screentip = attribute(b.get(), L"screentip");
            button.supertip = attribute(b.get(), L"supertip");
            button.keytip = attribute(b.get(), L"keytip");
            button.onAction = attribute(b.get(), L"onAction");
            button.getLabel = attribute(b.get(), L"getLabel");
            button.getImage = attribute(b.get(), L"getImage");
            if (!button.label.empty() && !button.getLabel.empty())
              problem(L"label and getLabel together on " + button.id);
            for (const std::wstring* name : {&button.getLabel, &button.getImage})
              if (!name->empty() && callback(*name) == DISPID_UNKNOWN)
                problem(L"callback not found: " + *name);
            if (!button.size.empty() && button.size != L"normal" && button.size != L"large")
              problem(L"bad size on " + button.id);
            const int pictures = !button.image.empty() + !attribute(b.get(), L"imageMso").empty() +
                                 !attribute(b.get(), L"getImage").empty();
            if (pictures > 1) problem(L"more than one picture on " + button.id);
            if (!button.onAction.empty() && callback(button.onAction) == DISPID_UNKNOWN)
              problem(L"onAction callback not found: " + button.onAction);
            if (!button.image.empty()) {
              if (loadImage_.empty()) problem(L"image without loadImage on " + button.id);
              button.loaded = loadImage(button.image);
              button.picture = pixelSize(button.loaded.get());
              if (!button.picture.cx || !button.picture.cy)
                problem(L"no picture for image " + button.image);
            }
            ask(button);
            group.buttons.push_back(std::move(button));
          }
          groups_.push_back(std::move(group));
        }
      }
    }
  }
}

HRESULT Ribbon::press(const std::wstring& id) {
  const Button* button = find(id);
  if (!button || button->onAction.empty()) return E_INVALIDARG;
  const DISPID member = callback(button->onAction);
  if (member == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
  auto control = RibbonControl::make(id);
  if (!control) return E_OUTOFMEMORY;
  com::ScopedVariant argument;
  argument.setObject(control.get());
  DISPPARAMS params{argument.ptr(), nullptr, 1, 0};
  EXCEPINFO error{};
  const HRESULT hr = dispatch_->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                       &params, nullptr, &error, nullptr);
  SysFreeString(error.bstrDescription);
  SysFreeString(error.bstrSource);
  SysFreeString(error.bstrHelpFile);
  return hr;
}

}  // namespace wordhost
