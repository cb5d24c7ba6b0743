// What the control needs from the platform and from its own windows, as small abstract classes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "automation/object.h"

namespace sealbrook {

// A loaded picture, shared between whoever shows it. The type is the platform layer's: each
// program defines it once (the Windows adapter around an OLE picture, the native tests around a
// file name), so the windows that draw a picture use it as it is, without a cast. The core only
// keeps, compares and hands back pictures; it never looks inside one.
class Picture;
using PicturePtr = std::shared_ptr<Picture>;

// The runtime services the control calls.
class Runtime {
 public:
  virtual ~Runtime() = default;
  // GetObject with the path omitted: the running application registered under the class name.
  virtual automation::ObjectRef GetObject(std::u16string_view className) = 0;
  // LoadPicture with the path only: "File not found" (53) or "Invalid picture" (481) on failure.
  virtual PicturePtr LoadPicture(std::u16string_view path) = 0;
  // Where else the status pictures may have been installed, in the order to look: the Windows
  // directory, then the folder of the control's own library.
  virtual std::vector<std::u16string> PictureFolders() = 0;
  // Lets the window messages already pending be processed.
  virtual void DoEvents() = 0;
  // The runtime's modal MsgBox: the prompt and title shown as given, one character per code unit;
  // without a title the box shows the library's title. The answer is never used.
  virtual void MsgBox(const std::u16string& prompt, int32_t buttons,
                      const std::optional<std::u16string>& title) = 0;
};

// Where the host embedded the control: the control's site, and what the host gives through it.
// Each answer is a new reference, held by the caller for as long as it needs it.
class Site {
 public:
  virtual ~Site() = default;
  // The host's application as the site offers it as a service (the Automation guidelines'
  // SID_Application); null when the site offers none.
  virtual automation::ObjectRef ApplicationService() = 0;
  // The host's document that holds the control: the site's container, through its automation
  // interface; null when the site gives no container or the container answers no automation.
  virtual automation::ObjectRef ContainerDocument() = 0;
};

enum class TimerId : uint8_t { Timer1, Timer2 };
enum class MenuChoice : uint8_t { None, Sign, Verify };

// The control's windows: they show the members' state and deliver the events.
class Surface {
 public:
  virtual ~Surface() = default;
  // Picture1 or Image1 shows another picture: redraw.
  virtual void picturesChanged() = 0;
  // A timer's interval changed; 0 stops it, anything else starts a new period.
  virtual void intervalChanged(TimerId timer, uint32_t milliseconds) = 0;
  // Shows mnuSystem as a popup menu at the mouse pointer and returns what was chosen.
  virtual MenuChoice PopupMenu() = 0;
};

}  // namespace sealbrook
