#include "host/signatures.h"

#include "base/error.h"

namespace host {
namespace {

using automation::get;
using automation::getObject;
using automation::ObjectRef;

ObjectRef signaturesOf(const ObjectRef& application) {
  return getObject(getObject(application, "ActiveDocument"), "Signatures");
}

}  // namespace

void ForEachSignature(const ObjectRef& application,
                      const std::function<void(int16_t index, const SignatureRead& read)>& each) {
  if (!automation::isGreaterThanZero(get(signaturesOf(application), "Count"))) return;
  const int16_t n = automation::toI2(get(signaturesOf(application), "Count"));
  automation::forEach16(n, [&](int16_t index) {
    const auto value = [&](std::string_view member) {
      return get(getObject(signaturesOf(application), "Item", {index}), member);
    };
    SignatureRead read;
    read.valid = automation::toBool(value("IsValid"));
    read.signer = value("Signer");
    read.issuer = value("Issuer");
    read.expireDate = value("ExpireDate");
    read.signDate = value("SignDate");
    each(index, read);
  });
}

Status ReadStatus(const ObjectRef& application) {
  if (!automation::isGreaterThanZero(get(signaturesOf(application), "Count")))
    return Status::NotSigned;
  const ObjectRef first = getObject(signaturesOf(application), "Item", {int16_t{1}});
  return automation::toBool(get(first, "IsValid")) ? Status::Valid : Status::Invalid;
}

}  // namespace host
