// What the loaded library holds once: the module's image-path state, the path form, and the
// ports they use.
#pragma once

#include "win32/penvane/path_form.h"
#include "win32/penvane/platform.h"

#include "penvane/frm_path.h"
#include "penvane/module1.h"

namespace penvane::win {

struct Library {
  SettingsStore settings;
  MessageBoxes messages;
  FileSearch files;
  FileDialog fileDialog;
  PathFormWindow formWindow;
  Module1 module{settings, messages};
  FrmPath frmPath{module, formWindow, fileDialog, messages};
};

Library& library();

}  // namespace penvane::win
