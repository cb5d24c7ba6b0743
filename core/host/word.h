// Helpers on the host application that both libraries share.
#pragma once

#include "automation/object.h"

namespace host {

// Leaves forms design mode: when the command bar "Exit Design Mode" is visible, toggles forms
// design on the active document. A missing bar or document fails, for the caller's regime.
void ExitFormsDesign(const automation::ObjectRef& application);

}  // namespace host
