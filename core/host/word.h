// Helpers on the host application that both libraries share.
#pragma once

#include "automation/object.h"

namespace host {

// Whether the active document is in forms design mode, as the host shows it. Word 2007 and later
// show design mode on the ribbon, and where the host answers CommandBars.GetPressedMso
// ("DesignMode") that answer decides: today's Word keeps the command bar "Exit Design Mode" but
// never shows it. A host that does not know the member (Word 2003) shows that bar exactly while
// the document is in design mode. A missing bar, or any other failure, fails for the caller's
// regime.
bool InFormsDesign(const automation::ObjectRef& application);

// Word's own signing of the active document: a signature added (Word asks the user for the
// certificate; a refusal fails with E_FAIL), then the document's signatures committed, each step
// walking afresh from the application. The caller holds the signature until its command ends.
automation::ObjectRef AddSignature(const automation::ObjectRef& application);

// Leaves forms design mode: when the active document is in it, toggles forms design there.
void ExitFormsDesign(const automation::ObjectRef& application);

}  // namespace host
