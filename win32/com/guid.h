// Between the core's portable GUIDs and the platform's.
#pragma once

#include <windows.h>

#include <string>

#include "automation/guid.h"

namespace com {

GUID toGuid(const automation::Guid& g) noexcept;
automation::Guid fromGuid(const GUID& g) noexcept;

std::wstring guidString(const GUID& guid);  // "{XXXXXXXX-...}", upper case

}  // namespace com
