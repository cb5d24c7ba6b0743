// Dates as text in the user's locale, through the platform's own conversion.
#pragma once

#include "automation/date_text.h"

namespace automation::win {

class LocaleDateText final : public automation::DateText {
 public:
  std::u16string format(automation::Date date) const override;
};

}  // namespace automation::win
