// What the loaded library holds once: the path form, and the ports that it and the add-in use.
#pragma once

#include "win32/automation/date_text.h"
#include "win32/penvane/path_form.h"
#include "win32/penvane/platform.h"
#include "win32/penvane/signature_window.h"
#include "win32/penvane/status_timer.h"
#include "win32/ui/window.h"

#include "penvane/connect.h"
#include "penvane/frm_path.h"

namespace penvane::win {

struct Library {
  SettingsStore settings;
  MessageBoxes messages;
  FileSearch files;
  FileDialog fileDialog;
  PathFormWindow formWindow;
  StatusTimer statusTimer;
  SignatureWindowImpl signatures;
  automation::win::LocaleDateText dates;
  FrmPath frmPath{formWindow, fileDialog, messages, ui::systemFaces()};
  Platform platform{settings, files, messages, statusTimer, signatures, ui::systemFaces(), dates};
};

Library& library();

}  // namespace penvane::win
