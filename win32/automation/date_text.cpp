#include "win32/automation/date_text.h"

#include <windows.h>
#include <oleauto.h>

#include "automation/error.h"
#include "win32/com/bstr.h"

namespace winauto {

std::u16string LocaleDateText::format(automation::Date date) const {
  com::Bstr text;
  if (const HRESULT hr = VarBstrFromDate(date.serial, LOCALE_USER_DEFAULT, 0, text.put()); FAILED(hr))
    throw automation::Error(hr);
  return text.str();
}

}  // namespace winauto
