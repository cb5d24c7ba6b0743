#include "host/word.h"

#include <optional>

#include "base/error.h"

namespace host {

using automation::call;
using automation::get;
using automation::getObject;

namespace {

// The ribbon's answer, or nothing from a host that does not know the member.
std::optional<bool> pressedMso(const automation::ObjectRef& application, std::u16string_view id) {
  const automation::ObjectRef bars = getObject(application, "CommandBars");
  try {
    return automation::toBool(call(bars, "GetPressedMso", {id}));
  } catch (const automation::Error& e) {
    if (e.hresult() == automation::hr::kUnknownName ||
        e.hresult() == automation::hr::kMemberNotFound)
      return std::nullopt;
    throw;
  }
}

}  // namespace

bool InFormsDesign(const automation::ObjectRef& application) {
  if (const auto pressed = pressedMso(application, u"DesignMode")) return *pressed;
  return automation::equalsTrue(
      get(getObject(application, "CommandBars", {u"Exit Design Mode"}), "Visible"));
}

automation::ObjectRef AddSignature(const automation::ObjectRef& application) {
  automation::ObjectRef signature =
      call(getObject(getObject(application, "ActiveDocument"), "Signatures"), "Add").asObject();
  call(getObject(getObject(application, "ActiveDocument"), "Signatures"), "Commit");
  return signature;
}

void ExitFormsDesign(const automation::ObjectRef& application) {
  if (InFormsDesign(application))
    call(getObject(application, "ActiveDocument"), "ToggleFormsDesign");
}

}  // namespace host
