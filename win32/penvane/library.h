// What the loaded library holds once: the module's image-path state and the ports it uses.
#pragma once

#include "penvane/module1.h"
#include "win32/penvane/platform.h"

namespace penvane::win {

struct Library {
  Kernel32 kernel32;
  MessageBoxes messages;
  InertPathForm pathForm;
  Module1 module{kernel32, messages};
};

Library& library();

}  // namespace penvane::win
