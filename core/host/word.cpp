#include "host/word.h"

namespace host {

using automation::call;
using automation::get;
using automation::getObject;

void ExitFormsDesign(const automation::ObjectRef& application) {
  const auto visible = get(getObject(application, "CommandBars", {u"Exit Design Mode"}), "Visible");
  if (automation::equalsTrue(visible))
    call(getObject(application, "ActiveDocument"), "ToggleFormsDesign");
}

}  // namespace host
