#include "wordhost/running_word.h"

#include "win32/automation/server_object.h"
#include "win32/com/registry.h"

#include "base/error.h"
#include "host/office.h"

namespace wordhost {
namespace {

ULONG referencesOn(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

}  // namespace

// {000209FF-0000-0000-C000-000000000046}
const CLSID kWordApplication = {
    0x000209FF, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

const automation::win::Interfaces& wordInterfaces() {
  static const automation::win::Interfaces instance{
      host::typedInterfaces(), {&host::commandBarButtonEvents(), &host::wordApplicationEvents()}};
  return instance;
}

RunningWord::RunningWord(simword::Profile profile) : word_(profile) {
  const std::u16string clsid = registration::guidText(com::fromGuid(kWordApplication));
  const std::vector<com::Key> keys = {
      com::Key::common(u"Word.Application").value(u"", u"Microsoft Word Application"),
      com::Key::common(u"Word.Application\\CLSID").value(u"", clsid),
  };
  if (const HRESULT hr = com::registerKeys(keys, com::Scope::Machine); FAILED(hr))
    throw automation::Error(hr, u"cannot register Word.Application");
  application_ = automation::win::ServerObject::wrap(word_.application(), wordInterfaces());
  if (profile == simword::Profile::Word2003) registerActive();
}

void RunningWord::focusLeft() {
  if (!registration_) registerActive();
}

// A second Word's registration succeeds too (MK_S_MONIKERALREADYREGISTERED), behind the first.
void RunningWord::registerActive() {
  const ULONG before = referencesOn(application_.get());
  if (const HRESULT hr = RegisterActiveObject(application_.get(), kWordApplication,
                                              ACTIVEOBJECT_STRONG, &registration_);
      FAILED(hr))
    throw automation::Error(hr, u"cannot register the running application");
  tableReferences_ = referencesOn(application_.get()) - before;
}

int64_t RunningWord::outstandingReferences() const {
  const ULONG references = referencesOn(application_.get()) - tableReferences_;
  return word_.outstandingReferences() + static_cast<int64_t>(references) - 1;
}

RunningWord::~RunningWord() {
  if (registration_) RevokeActiveObject(registration_, nullptr);
  application_.reset();
}

}  // namespace wordhost
