// What the loaded library holds once: the module's image-path state, the path form, and the
// ports they use.
#pragma once

#include "win32/automation/date_text.h"
#include "win32/com/window.h"
#include "win32/penvane/path_form.h"
#include "win32/penvane/platform.h"
#include "win32/penvane/signature_window.h"
#include "win32/penvane/status_timer.h"

#include "penvane/connect.h"
#include "penvane/frm_path.h"
#include "penvane/module1.h"

namespace penvane::win {

struct Library {
  SettingsStore settings;
  MessageBoxes messages;
  FileSearch files;
  FileDialog fileDialog;
  PathFormWindow formWindow;
  StatusTimer statusTimer;
  SignatureWindowImpl signatures;
  winauto::LocaleDateText dates;
  Module1 module{settings, messages, com::systemFaces()};
  FrmPath frmPath{module, formWindow, fileDialog, messages, com::systemFaces()};
  Platform platform{files, messages, statusTimer, signatures, com::systemFaces(), dates};
};

Library& library();

}  // namespace penvane::win
