#include "win32/automation/date_text.h"

#include <windows.h>

#include <oleauto.h>

#include "win32/com/bstr.h"
#include "win32/com/failure.h"

namespace automation::win {

std::u16string LocaleDateText::format(automation::Date date) const {
  com::Bstr text;
  com::throwIfFailed(VarBstrFromDate(date.serial, LOCALE_USER_DEFAULT, 0, text.put()));
  return text.str();
}

}  // namespace automation::win
