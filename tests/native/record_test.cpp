// The control's persisted record: the bytes documents hold, what a later version's longer record
// and a cut-off one give, and what is not ours. Every decoding reads from a buffer of exactly the
// given size, so that a read past its end fails under the address sanitizer.
#include "sealbrook/record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/units.h"

namespace sealbrook::record {
namespace {

using host::Size;
using testing::ElementsAre;

std::optional<Decoded> decodeCopy(const std::vector<uint8_t>& bytes) {
  const std::vector<uint8_t> exact(bytes);  // a heap block of exactly this size
  return decode({exact.data(), exact.size()});
}

std::vector<uint8_t> encoded(Size extent) {
  const auto bytes = encode(extent);
  return {bytes.begin(), bytes.end()};
}

TEST(Record, AnExtentIsWrittenAsVersionOneLittleEndian) {
  EXPECT_THAT(encoded({6350, 3598}), ElementsAre('S', 'B', 'R', 'K', 1, 0, 8, 0,  //
                                                 0xCE, 0x18, 0, 0, 0x0E, 0x0E, 0, 0));
  EXPECT_THAT(encoded({0x01020304, -2}), ElementsAre('S', 'B', 'R', 'K', 1, 0, 8, 0,  //
                                                     4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF));
}

TEST(Record, EveryExtentAControlCanHaveReadsBackAsWritten) {
  for (const Size extent : {Size{1, 1}, Size{6350, 3598}, Size{kLargest, kLargest}}) {
    const auto decoded = decodeCopy(encoded(extent));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->length, kSize);
    ASSERT_TRUE(decoded->extent);
    EXPECT_EQ(*decoded->extent, extent);
  }
}

TEST(Record, AnExtentNoControlCanHaveIsNotTakenButTheRecordIsStillOurs) {
  for (const Size extent : {Size{0, 3598}, Size{6350, 0}, Size{-1, 3598}, Size{6350, -5},
                            Size{kLargest + 1, 3598}, Size{6350, kLargest + 1}}) {
    SCOPED_TRACE(std::to_string(extent.width) + " x " + std::to_string(extent.height));
    const auto decoded = decodeCopy(encoded(extent));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->length, kSize);
    EXPECT_FALSE(decoded->extent);
  }
}

TEST(Record, ALaterVersionsLongerRecordGivesWhatThisVersionKnowsAndItsWholeLength) {
  std::vector<uint8_t> later = encoded({8000, 4000});
  later[4] = 2;   // version 2
  later[6] = 12;  // four bytes more
  later.insert(later.end(), {0xAA, 0xBB, 0xCC, 0xDD, 'n', 'e', 'x', 't'});
  const auto decoded = decodeCopy(later);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->length, 20u);
  EXPECT_EQ(decoded->extent, (Size{8000, 4000}));
  // The same record with what it added cut off: the extent is there all the same.
  later.resize(kSize);
  EXPECT_EQ(decodeCopy(later)->extent, (Size{8000, 4000}));
  // The length field counts to 65535.
  later[6] = 0xFF;
  later[7] = 0xFF;
  EXPECT_EQ(decodeCopy(later)->length, 65543u);
}

TEST(Record, ARecordCutOffInItsExtentIsOursWithoutAnExtentAndShorterThanItsHeaderIsNot) {
  const std::vector<uint8_t> whole = encoded({6350, 3598});
  for (size_t size = 0; size < kSize; ++size) {
    SCOPED_TRACE(size);
    const auto decoded = decodeCopy({whole.begin(), whole.begin() + static_cast<long>(size)});
    if (size < kHeader) {
      EXPECT_FALSE(decoded);
    } else {
      ASSERT_TRUE(decoded);
      EXPECT_EQ(decoded->length, kSize);
      EXPECT_FALSE(decoded->extent);
    }
  }
  EXPECT_FALSE(decode({nullptr, 0}));
}

TEST(Record, AnExtentIsPossibleWithBothSidesFromOneToTheLargest) {
  for (const Size extent : {Size{1, 1}, Size{6350, 3598}, Size{kLargest, 1}, Size{1, kLargest}})
    EXPECT_TRUE(possibleExtent(extent)) << extent.width << " x " << extent.height;
  for (const Size extent :
       {Size{0, 1}, Size{1, 0}, Size{-1, 3598}, Size{6350, -1}, Size{kLargest + 1, 1},
        Size{1, kLargest + 1}, Size{INT32_MIN, INT32_MIN}, Size{INT32_MAX, INT32_MAX}})
    EXPECT_FALSE(possibleExtent(extent)) << extent.width << " x " << extent.height;
}

TEST(Record, BytesTooFewForAHeaderBeginARecordWhenTheyStartAsOneDoes) {
  const std::vector<uint8_t> whole = encoded({6350, 3598});
  const auto begins = [](const std::vector<uint8_t>& bytes) {
    const std::vector<uint8_t> exact(bytes);
    return beginsRecord({exact.data(), exact.size()});
  };
  for (size_t size = 1; size < kHeader; ++size)
    EXPECT_TRUE(begins({whole.begin(), whole.begin() + static_cast<long>(size)})) << size;
  // Enough for a header: decode() tells. Nothing, another signature, or version 0: not ours.
  EXPECT_FALSE(begins(whole));
  EXPECT_FALSE(begins({whole.begin(), whole.begin() + kHeader}));
  EXPECT_FALSE(begins({}));
  EXPECT_FALSE(beginsRecord({nullptr, 3}));
  EXPECT_FALSE(begins({'S', 'B', 'X'}));
  EXPECT_FALSE(begins({'V', 'B', '5', '!', 1}));
  EXPECT_FALSE(begins({'S', 'B', 'R', 'K', 0, 0, 8}));
}

TEST(Record, BytesThatAreNotARecordOfOursAreNotOurs) {
  const std::vector<uint8_t> whole = encoded({6350, 3598});
  std::vector<uint8_t> other = whole;
  other[3] = 'k';  // another signature
  EXPECT_FALSE(decodeCopy(other));
  other = whole;
  other[4] = 0;  // version 0
  EXPECT_FALSE(decodeCopy(other));
  other = whole;
  other[6] = 7;  // shorter than what version 1 knows
  EXPECT_FALSE(decodeCopy(other));
  const char foreign[] = "VB5!\x01\x02 some other control's properties";
  EXPECT_FALSE(decodeCopy({std::begin(foreign), std::end(foreign)}));
}

}  // namespace
}  // namespace sealbrook::record
