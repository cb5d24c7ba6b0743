#include "win32/penvane/library.h"

namespace penvane::win {

Library& library() {
  static Library instance;
  return instance;
}

}  // namespace penvane::win
