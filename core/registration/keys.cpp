#include "registration/keys.h"

#include <cstdio>

#include "base/unicode.h"

namespace registration {
namespace {

std::u16string hex(unsigned long n) {
  char text[16];
  std::snprintf(text, sizeof text, "%lx", n);
  return text::fromUtf8(text);
}

std::u16string decimal(unsigned long n) {
  return text::fromUtf8(std::to_string(n));
}

std::u16string platformKey(Architecture architecture) {
  return architecture == Architecture::X64 ? u"win64" : u"win32";
}

Architecture other(Architecture architecture) {
  return architecture == Architecture::X64 ? Architecture::X86 : Architecture::X64;
}

// PSOAInterface and PSDispatch.
constexpr char16_t kAutomationMarshaler[] = u"{00020424-0000-0000-C000-000000000046}";
constexpr char16_t kDispatchProxy[] = u"{00020420-0000-0000-C000-000000000046}";

}  // namespace

Key& Key::value(std::u16string name, std::u16string text) {
  values_.push_back({std::move(name), std::move(text), std::nullopt});
  return *this;
}

Key& Key::number(std::u16string name, uint32_t number) {
  values_.push_back({std::move(name), {}, number});
  return *this;
}

Key& Key::sharedWhile(std::u16string other, View view) {
  sharedWhile_ = std::move(other);
  sharedView_ = view;
  return *this;
}

std::u16string guidText(const automation::Guid& guid) {
  return text::fromUtf8(guid.str());
}

std::u16string TypeLib::versionKey() const {
  return hex(major) + u"." + hex(minor);
}

std::u16string TypeLib::versionText() const {
  return decimal(major) + u"." + decimal(minor);
}

Library::Library(TypeLib typeLib, std::u16string modulePath, Architecture architecture)
    : typeLib_(std::move(typeLib)),
      modulePath_(std::move(modulePath)),
      architecture_(architecture) {
  const std::u16string base = u"TypeLib\\" + guidText(typeLib_.libid);
  const std::u16string version = base + u"\\" + typeLib_.versionKey();
  const std::u16string locale = version + u"\\" + hex(typeLib_.lcid);
  const std::u16string folder = modulePath_.substr(0, modulePath_.find_last_of(u'\\'));
  const std::u16string shared = otherArchitecture();
  keys_.push_back(Key::common(base));
  keys_.push_back(Key::ours(version).value(u"", typeLib_.name).sharedWhile(shared));
  keys_.push_back(
      Key::ours(version + u"\\FLAGS").value(u"", decimal(typeLib_.flags)).sharedWhile(shared));
  keys_.push_back(Key::ours(version + u"\\HELPDIR").value(u"", folder).sharedWhile(shared));
  keys_.push_back(Key::common(locale));
  keys_.push_back(Key::ours(locale + u"\\" + platformKey(architecture_)).value(u"", modulePath_));
}

std::u16string Library::otherArchitecture() const {
  return u"TypeLib\\" + guidText(typeLib_.libid) + u"\\" + typeLib_.versionKey() + u"\\" +
         hex(typeLib_.lcid) + u"\\" + platformKey(other(architecture_));
}

Library& Library::addClass(const Class& cls) {
  const std::u16string clsid = guidText(cls.clsid);
  const std::u16string key = u"CLSID\\" + clsid;
  // Windows keeps the ProgID once for both architectures: there it stays while the other build's
  // class does. It comes first, so that unregistering has removed our own class when it looks.
  keys_.push_back(Key::ours(cls.progId).value(u"", cls.description).sharedWhile(key, View::Other));
  keys_.push_back(
      Key::ours(cls.progId + u"\\CLSID").value(u"", clsid).sharedWhile(key, View::Other));
  keys_.push_back(Key::ours(key).value(u"", cls.description));
  keys_.push_back(Key::ours(key + u"\\ProgID").value(u"", cls.progId));
  keys_.push_back(Key::ours(key + u"\\InprocServer32")
                      .value(u"", modulePath_)
                      .value(u"ThreadingModel", cls.threadingModel));
  keys_.push_back(Key::ours(key + u"\\TypeLib").value(u"", guidText(typeLib_.libid)));
  keys_.push_back(Key::ours(key + u"\\Version").value(u"", typeLib_.versionText()));
  return *this;
}

Library& Library::addControl(const automation::Guid& clsid, const Control& control) {
  const std::u16string key = u"CLSID\\" + guidText(clsid);
  keys_.push_back(Key::ours(key + u"\\Control"));
  keys_.push_back(Key::ours(key + u"\\MiscStatus").value(u"", u"0"));
  keys_.push_back(Key::ours(key + u"\\MiscStatus\\1").value(u"", decimal(control.miscStatus)));
  keys_.push_back(Key::ours(key + u"\\ToolboxBitmap32")
                      .value(u"", modulePath_ + u", " + decimal(control.toolboxBitmap)));
  const std::u16string categories = key + u"\\Implemented Categories";
  keys_.push_back(Key::ours(categories));
  for (const auto& category : control.categories)
    keys_.push_back(Key::ours(categories + u"\\" + guidText(category)));
  return *this;
}

Library& Library::addInterface(const automation::Guid& iid, std::u16string name,
                               InterfaceKind kind) {
  const std::u16string proxy = kind == InterfaceKind::Dual ? kAutomationMarshaler : kDispatchProxy;
  const std::u16string key = u"Interface\\" + guidText(iid);
  const std::u16string shared = otherArchitecture();
  keys_.push_back(Key::ours(key).value(u"", std::move(name)).sharedWhile(shared));
  keys_.push_back(Key::ours(key + u"\\ProxyStubClsid").value(u"", proxy).sharedWhile(shared));
  keys_.push_back(Key::ours(key + u"\\ProxyStubClsid32").value(u"", proxy).sharedWhile(shared));
  keys_.push_back(Key::ours(key + u"\\TypeLib")
                      .value(u"", guidText(typeLib_.libid))
                      .value(u"Version", typeLib_.versionKey())
                      .sharedWhile(shared));
  return *this;
}

}  // namespace registration
