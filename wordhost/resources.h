// The process's GDI and USER objects, to prove that nothing is leaked. GetGuiResources
// counts them on Windows; Wine answers 0 there, so under Wine the GDI objects are counted in the
// process's GDI handle table and the USER objects as the thread's windows.
#pragma once

namespace wordhost {

long gdiObjects();
long userObjects();

}  // namespace wordhost
