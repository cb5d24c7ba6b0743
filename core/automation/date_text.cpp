#include "automation/date_text.h"

#include <cmath>
#include <cstdio>

#include "base/error.h"
#include "base/unicode.h"

namespace automation {
namespace {

// The days an automation date can name: 1 January 100 to 31 December 9999. A number beyond them,
// or no number at all (NaN), is no date, and the platform's conversion refuses it.
constexpr double kFirstDay = -657434;
constexpr double kLastDay = 2958465;

// Days since 1899-12-30 to a civil date (proleptic Gregorian calendar).
void civilFromSerialDays(long long serialDays, int& y, unsigned& m, unsigned& d) {
  // 1899-12-30 is day -25569 relative to 1970-01-01.
  long long z = serialDays - 25569 + 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (m <= 2));
}

class UnitedStatesDateText final : public DateText {
 public:
  std::u16string format(Date date) const override {
    if (!(date.serial > kFirstDay - 1 && date.serial < kLastDay + 1)) throw Error(hr::kInvalidArg);
    // The integer part is the day (towards zero); the fraction's size is the time of day, also
    // for dates before 1899-12-30.
    double dayPart = std::trunc(date.serial);
    long long seconds = std::llround(std::fabs(date.serial - dayPart) * 86400.0);
    if (seconds >= 86400) {
      seconds -= 86400;
      dayPart += date.serial < 0 ? -1 : 1;
    }
    const auto days = static_cast<long long>(dayPart);
    char buf[64];
    std::string out;
    if (days != 0) {
      int y = 0;
      unsigned m = 0;
      unsigned d = 0;
      civilFromSerialDays(days, y, m, d);
      std::snprintf(buf, sizeof buf, "%u/%u/%d", m, d, y);
      out = buf;
    }
    if (seconds != 0 || days == 0) {
      const long long h = seconds / 3600;
      const long long h12 = h % 12 == 0 ? 12 : h % 12;
      std::snprintf(buf, sizeof buf, "%s%lld:%02lld:%02lld %s", out.empty() ? "" : " ", h12,
                    (seconds / 60) % 60, seconds % 60, h < 12 ? "AM" : "PM");
      out += buf;
    }
    return text::fromUtf8(out);
  }
};

}  // namespace

const DateText& DateText::standard() {
  static const UnitedStatesDateText instance;
  return instance;
}

}  // namespace automation
