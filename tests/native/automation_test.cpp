// The late-bound object model: conversions as the runtime makes them, errors, failure regimes.
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "automation/date_text.h"
#include "automation/guid.h"
#include "automation/regimes.h"
#include "automation/variant.h"
#include "base/diagnosis.h"
#include "base/error.h"
#include "tests/common/failure.h"

namespace automation {
namespace {

template <class F>
HResult failureOf(F&& f) {
  return testing_support::failureOf(std::forward<F>(f)).hresult();
}

TEST(VariantConversion, SixteenBitIntegerOverflowsOutsideItsRangeAndRoundsHalfToEven) {
  EXPECT_EQ(toI2(int32_t{32767}), 32767);
  EXPECT_EQ(toI2(int32_t{-32768}), -32768);
  EXPECT_EQ(failureOf([] { toI2(int32_t{32768}); }), hr::kOverflow);
  EXPECT_EQ(failureOf([] { toI2(int32_t{-32769}); }), hr::kOverflow);
  EXPECT_EQ(failureOf([] { toI2(std::nan("")); }), hr::kOverflow);
  EXPECT_EQ(toI2(2.5), 2);
  EXPECT_EQ(toI2(3.5), 4);
  EXPECT_EQ(toI2(-2.5), -2);
  EXPECT_EQ(toI2(true), -1);
  EXPECT_EQ(toI2(Variant()), 0);
  EXPECT_EQ(failureOf([] { toI2(Variant::null()); }), hr::kInvalidUseOfNull);
  EXPECT_EQ(failureOf([] { toI2(u"12"); }), hr::kTypeMismatch);
  EXPECT_EQ(Error(hr::kOverflow).number(), 6);
}

TEST(VariantConversion, ConditionsTreatNullAsNotTrueAndNotGreater) {
  EXPECT_FALSE(toBool(Variant::null()));
  EXPECT_FALSE(toBool(Variant()));
  EXPECT_TRUE(toBool(int32_t{2}));
  EXPECT_FALSE(toBool(0.0));
  EXPECT_TRUE(toBool(u"TRUE"));
  EXPECT_FALSE(toBool(u"false"));
  EXPECT_EQ(failureOf([] { toBool(u"yes"); }), hr::kTypeMismatch);

  EXPECT_FALSE(isGreaterThanZero(Variant::null()));
  EXPECT_FALSE(isGreaterThanZero(Variant()));
  EXPECT_FALSE(isGreaterThanZero(int16_t{0}));
  EXPECT_TRUE(isGreaterThanZero(int32_t{1}));
  EXPECT_FALSE(isGreaterThanZero(true));  // True is -1

  EXPECT_TRUE(equalsZero(Variant()));  // Empty is 0
  EXPECT_FALSE(equalsZero(Variant::null()));
  EXPECT_TRUE(equalsZero(0.0));
  EXPECT_FALSE(equalsZero(int16_t{2}));

  EXPECT_TRUE(equalsTrue(true));
  EXPECT_TRUE(equalsTrue(int32_t{-1}));
  EXPECT_FALSE(equalsTrue(int32_t{1}));
  EXPECT_FALSE(equalsTrue(Variant::null()));
}

// A 16-bit counter runs 1 to n, and cannot step past its 32767th round.
TEST(VariantConversion, TheSixteenBitLoopCountsToNAndOverflowsAfterTheLastItCanCount) {
  std::vector<int16_t> seen;
  forEach16(3, [&](int16_t i) { seen.push_back(i); });
  EXPECT_EQ(seen, (std::vector<int16_t>{1, 2, 3}));
  forEach16(0, [&](int16_t) { seen.clear(); });
  forEach16(-4, [&](int16_t) { seen.clear(); });
  EXPECT_EQ(seen.size(), 3u);
  int32_t rounds = 0;
  int16_t last = 0;
  EXPECT_EQ(failureOf([&] { forEach16(32767, [&](int16_t i) { ++rounds, last = i; }); }),
            hr::kOverflow);
  EXPECT_EQ(rounds, 32767);
  EXPECT_EQ(last, 32767);
}

TEST(VariantConversion, TextOfNumbersHasNoLeadingBlanksOrZeros) {
  EXPECT_EQ(toText(int16_t{7}), u"7");
  EXPECT_EQ(toText(int16_t{-5}), u"-5");
  EXPECT_EQ(toText(int32_t{1234567}), u"1234567");
  EXPECT_EQ(toText(0.5), u"0.5");
  EXPECT_EQ(toText(1.0 / 3), u"0.333333333333333");
  EXPECT_EQ(toText(1e20), u"1E+20");
  EXPECT_EQ(toText(true), u"True");
  EXPECT_EQ(toText(Variant()), u"");
  EXPECT_EQ(failureOf([] { toText(Variant::null()); }), hr::kInvalidUseOfNull);

  std::u16string line = u"Date: ";
  appendText(line, Variant::null(), DateText::standard());
  EXPECT_EQ(line, u"Date: ");
}

TEST(VariantConversion, DatesGoThroughTheDateTextPort) {
  struct Iso final : DateText {
    std::u16string format(Date d) const override { return d.serial == 2 ? u"1900-01-01" : u"?"; }
  } iso;
  EXPECT_EQ(toText(Date{2}, iso), u"1900-01-01");

  const auto& us = DateText::standard();
  EXPECT_EQ(us.format(Date{46364.5}), u"12/8/2026 12:00:00 PM");
  EXPECT_EQ(us.format(Date{46364}), u"12/8/2026");
  EXPECT_EQ(us.format(Date{0.25}), u"6:00:00 AM");
  EXPECT_EQ(us.format(Date{0}), u"12:00:00 AM");
  EXPECT_EQ(us.format(Date{2.999999999}), u"1/2/1900");  // rounds to the next midnight
  EXPECT_EQ(us.format(Date{-1.25}), u"12/29/1899 6:00:00 AM");
  EXPECT_EQ(us.format(Date{60}), u"2/28/1900");
  EXPECT_EQ(us.format(Date{61}), u"3/1/1900");
}

// Found by the variant fuzzer: a Date variant holding a number far beyond the calendar was cast
// to a day count that does not fit. The first and last days format; every number beyond them,
// however far, and NaN, fail as the platform's conversion fails.
TEST(VariantConversion, ANumberThatNamesNoDayIsNoDate) {
  const auto& us = DateText::standard();
  EXPECT_EQ(us.format(Date{-657434}), u"1/1/100");
  EXPECT_EQ(us.format(Date{-657434.5}), u"1/1/100 12:00:00 PM");
  EXPECT_EQ(us.format(Date{2958465.75}), u"12/31/9999 6:00:00 PM");
  for (const double serial :
       {-657435.0, 2958466.0, -1.79138e308, 1e19, 1e300, std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(failureOf([&] { us.format(Date{serial}); }), hr::kInvalidArg) << serial;
    EXPECT_EQ(failureOf([&] { toText(Variant(Date{serial})); }), hr::kInvalidArg) << serial;
  }
}

TEST(VariantConversion, ExactAccessorsAndDescriptionsKeepTheType) {
  EXPECT_EQ(Variant(int16_t{1}).type(), VarType::I2);
  EXPECT_EQ(Variant(int32_t{1}).type(), VarType::I4);
  EXPECT_EQ(Variant(u"x").type(), VarType::Text);
  EXPECT_EQ(Variant(nullptr).type(), VarType::Object);
  EXPECT_NE(Variant(int16_t{1}), Variant(int32_t{1}));
  EXPECT_EQ(failureOf([] { Variant(int16_t{1}).asI4(); }), hr::kTypeMismatch);
  EXPECT_EQ(failureOf([] { Variant(u"x").asObject(); }), hr::kObjectRequired);

  EXPECT_EQ(Variant(int32_t{10}).describe(), "10&");
  EXPECT_EQ(Variant(int16_t{1}).describe(), "1%");
  EXPECT_EQ(Variant(u"K\u00FD").describe(), "\"K\xC3\xBD\"");
  EXPECT_EQ(Variant(false).describe(), "False");
  EXPECT_EQ(Variant::null().describe(), "Null");
  EXPECT_EQ(Variant(nullptr).describe(), "Nothing");
}

TEST(ErrorNumbers, WellKnownCodesMapToTheRuntimeNumbersAndTexts) {
  EXPECT_EQ(Error(hr::kFail).number(), -2147467259);
  EXPECT_EQ(Error(hr::kTypeMismatch).number(), 13);
  EXPECT_EQ(Error(hr::kMemberNotFound).number(), 438);
  EXPECT_EQ(Error(hr::kBadIndex).number(), 9);
  EXPECT_EQ(Error(hr::kObjectRequired).number(), 424);
  EXPECT_EQ(Error(hr::kObjectRequired).description(), u"Object required");
  EXPECT_EQ(Error(hr::kFail, u"Signing was cancelled").description(), u"Signing was cancelled");
  EXPECT_STREQ(Error(hr::kOverflow).what(), "Overflow");
}

TEST(ErrorNumbers, AnyExceptionBecomesAnError) {
  auto from = [](auto thrown) {
    try {
      throw thrown;
    } catch (...) {
      return currentError();
    }
  };
  EXPECT_EQ(from(std::bad_alloc()).hresult(), hr::kOutOfMemory);
  const Error generic = from(std::runtime_error("disk on fire"));
  EXPECT_EQ(generic.hresult(), hr::kFail);
  EXPECT_EQ(generic.description(), u"disk on fire");
  EXPECT_EQ(from(42).hresult(), hr::kUnexpected);
  EXPECT_EQ(from(Error(hr::kBadIndex, u"x")).description(), u"x");
}

TEST(Regimes, ResumeNextSkipsOnlyTheFailedStepAndLeavesItsTargetAlone) {
  ResumeNext step;
  int target = 1;
  int after = 0;
  auto fails = []() -> int { throw Error(hr::kFail, u"boom"); };
  step([&] { target = fails(); });
  step([&] { after = 2; });
  EXPECT_EQ(target, 1);
  EXPECT_EQ(after, 2);
  ASSERT_TRUE(step.lastError());
  EXPECT_EQ(step.lastError()->description(), u"boom");

  step([] { throw std::bad_alloc(); });
  EXPECT_EQ(step.lastError()->hresult(), hr::kOutOfMemory);
}

TEST(Regimes, AFailedConditionUnderResumeNextRunsTheThenBranch) {
  ResumeNext step;
  std::string ran;
  step.ifThenElse([]() -> bool { throw Error(hr::kFail); }, [&] { ran += "then"; },
                  [&] { ran += "else"; });
  step.ifThenElse([] { return false; }, [&] { ran += "then"; }, [&] { ran += "else"; });
  EXPECT_EQ(ran, "thenelse");
}

TEST(Regimes, TrapEndsTheBodyAtTheFirstFailureAndReactsOnce) {
  int reactions = 0;
  bool reachedEnd = false;
  HResult seen = hr::kOk;
  trap(
      [&] {
        throw Error(hr::kBadIndex);
        reachedEnd = true;
      },
      [&](const Error& e) {
        ++reactions;
        seen = e.hresult();
      });
  EXPECT_EQ(reactions, 1);
  EXPECT_FALSE(reachedEnd);
  EXPECT_EQ(seen, hr::kBadIndex);

  trap([] {}, [&](const Error&) { ++reactions; });
  EXPECT_EQ(reactions, 1);
  EXPECT_EQ(failureOf([] { noTrap([] { throw Error(hr::kOverflow); }); }), hr::kOverflow);
}

// Each caught failure is told once to the diagnosis log, named by the handler that wrote the step
// or the trap, with the place where it was raised; what the handler does is unchanged.
class Told final : public diagnosis::Writer {
 public:
  std::vector<std::string> lines;
  void write(std::string_view handler, const Error& e) noexcept override {
    lines.push_back(std::string(handler) + " " + std::string(e.raised().fileName()) + ":" +
                    std::to_string(e.raised().line) + " " + e.what());
  }
};

void aHandlerThatPassesOver(int& raisedOn) {
  ResumeNext step;
  step([] { return 1; });
  raisedOn = __LINE__ + 1;
  step([] { throw Error(hr::kFail, u"passed over"); });
  step.ifThen([]() -> bool { throw Error(hr::kOverflow); }, [] {});
}

TEST(Regimes, EveryCaughtFailureIsToldOnceWithItsHandlerAndWhereItWasRaised) {
  Told told;
  diagnosis::install(&told);
  int raisedOn = 0;
  aHandlerThatPassesOver(raisedOn);
  int reacted = 0;
  trap([] { throw Error(hr::kBadIndex, u"trapped"); }, [&](const Error&) { ++reacted; });
  noTrap([] {});
  diagnosis::install(nullptr);
  trap([] { throw Error(hr::kFail); }, [](const Error&) {});
  EXPECT_EQ(reacted, 1);
  ASSERT_EQ(told.lines.size(), 3u);
  EXPECT_EQ(told.lines[0], "aHandlerThatPassesOver automation_test.cpp:" +
                               std::to_string(raisedOn) + " passed over");
  EXPECT_EQ(told.lines[1].substr(0, told.lines[1].find(' ')), "aHandlerThatPassesOver");
  EXPECT_EQ(told.lines[2].rfind("TestBody automation_test.cpp:", 0), 0u) << told.lines[2];
}

TEST(Guids, ParseAndPrintRoundTrip) {
  constexpr auto g = Guid::parse("{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}");
  static_assert(g.data1 == 0xB65AD801 && g.data2 == 0xABAF && g.data3 == 0x11D0);
  static_assert(g.data4[0] == 0xBB && g.data4[7] == 0x44);
  EXPECT_EQ(g.str(), "{B65AD801-ABAF-11D0-BB8B-00A0C90F2744}");
  EXPECT_NE(g, Guid::parse("{B65AD801-ABAF-11D0-BB8B-00A0C90F2745}"));
  EXPECT_ANY_THROW(Guid::parse("{B65AD801-ABAF-11D0-BB8B-00A0C90F274}"));
  EXPECT_ANY_THROW(Guid::parse("{B65AD801-ABAF-11D0-BB8B-00A0C90F274G}"));
}

}  // namespace
}  // namespace automation
