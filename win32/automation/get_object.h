// GetObject with the path omitted and a class name, as the runtime does it: the class's CLSID
// from its ProgID, the running instance from the running object table, its IDispatch.
#pragma once

#include <string_view>

#include "automation/object.h"

namespace automation::win {

// "ActiveX component can't create object" (429) when the class is unknown or not running.
automation::ObjectRef getObject(std::u16string_view className);

}  // namespace automation::win
