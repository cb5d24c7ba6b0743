// The signatures of Word's active document as both libraries read them.
#pragma once

#include <cstdint>
#include <functional>

#include "automation/object.h"

namespace host {

// One signature as verify reads it: its validity (a null one counts as not valid), signer,
// issuer, expiry date and signing date.
struct SignatureRead {
  bool valid = false;
  automation::Variant signer;
  automation::Variant issuer;
  automation::Variant expireDate;
  automation::Variant signDate;
};

// Each signature of the active document in the collection's order, each value read in that order
// through a fresh walk from the application (ActiveDocument, Signatures, Item i as a 16-bit
// index), and handed over before the next signature is read. Nothing when the count is not
// greater than 0. Counted in 16 bits as the runtime counts: a count above 32767 fails with
// overflow before the first, and the counter cannot step past the 32767th.
void ForEachSignature(const automation::ObjectRef& application,
                      const std::function<void(int16_t index, const SignatureRead& read)>& each);

// Whether the first signature of the active document is valid, as the block shows it: not
// signed when the count is not greater than 0; a null validity is not valid. A value that cannot
// be read fails, for the caller to tell.
enum class Status : uint8_t { NotSigned, Valid, Invalid, Unknown };
Status ReadStatus(const automation::ObjectRef& application);

}  // namespace host
