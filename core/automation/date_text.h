// Port: how a date becomes text. The Windows adapter renders the user's locale short date and
// time form; the portable default renders the United States form, as the runtime does under
// that locale: "12/8/2026 3:04:05 PM", the date alone at midnight, the time alone on day zero.
// A number that names no day from 1 January 100 to 31 December 9999 (NaN among them) fails with
// an invalid argument, as the platform's conversion does.
#pragma once

#include <string>

#include "automation/variant.h"

namespace automation {

class DateText {
 public:
  virtual ~DateText() = default;
  virtual std::u16string format(Date date) const = 0;

  static const DateText& standard();
};

}  // namespace automation
