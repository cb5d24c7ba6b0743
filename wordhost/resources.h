// The process's GDI and USER objects and its kernel handles, to prove that nothing is leaked.
// GetGuiResources and GetProcessHandleCount count them on Windows; Wine answers 0 there, so under
// Wine the GDI objects are counted in the process's GDI handle table, the USER objects as the
// thread's windows, and the kernel handles by asking each handle value whether it is open.
#pragma once

namespace wordhost {

long gdiObjects();
long userObjects();
long kernelHandles();

}  // namespace wordhost
