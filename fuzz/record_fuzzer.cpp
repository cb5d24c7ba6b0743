// The control's persisted record as a document's stream gives it: any bytes. The control reads
// the header first and the extent after it (win32/sealbrook/persist.cpp), so a header decides
// alone whether the record is ours, and reading on changes only the extent. What decoding takes,
// encoding writes back: the extent read from a record reads again from its encoding, and a
// version 1 record of exactly that extent is written byte for byte as it was read. Any extent
// from the input encodes into a record that decodes to it when a control can have it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/units.h"
#include "require.h"
#include "sealbrook/record.h"

namespace {

using fuzz::require;
namespace record = sealbrook::record;

// A decoding of the first `size` bytes from a heap block of exactly that size, so that a read
// past its end is a finding of the address sanitizer.
std::optional<record::Decoded> decodeFirst(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> exact(data, data + size);
  return record::decode({exact.data(), exact.size()});
}

bool fits(int32_t n) {
  return n > 0 && n <= record::kLargest;
}

int32_t int32At(const uint8_t* at) {
  uint32_t n = 0;
  for (int i = 3; i >= 0; --i) n = (n << 8U) | at[i];
  return static_cast<int32_t>(n);
}

void encodedExtentReadsBack(host::Size extent) {
  const auto bytes = record::encode(extent);
  const auto decoded = decodeFirst(bytes.data(), bytes.size());
  require(decoded.has_value(), "an encoded record is ours");
  require(decoded->length == record::kSize, "an encoded record is version 1's length");
  const bool possible = fits(extent.width) && fits(extent.height);
  require(decoded->extent.has_value() == possible,
          "an encoded extent reads back when a control can have it");
  if (possible)
    require(decoded->extent->width == extent.width && decoded->extent->height == extent.height,
            "an encoded extent reads back as it was");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto decoded = decodeFirst(data, size);

  if (size >= record::kHeader)
    require(decodeFirst(data, record::kHeader).has_value() == decoded.has_value(),
            "the header alone tells whether the record is ours");
  if (size >= record::kSize) {
    const auto first = decodeFirst(data, record::kSize);
    require(first.has_value() == decoded.has_value() &&
                (!first || (first->length == decoded->length &&
                            first->extent.has_value() == decoded->extent.has_value())),
            "what follows the record changes nothing");
  }

  if (decoded) {
    require(decoded->length >= record::kSize, "a record holds at least what version 1 knows");
    if (size < record::kSize) require(!decoded->extent, "no extent from bytes that end before it");
    if (decoded->extent) {
      const host::Size extent = *decoded->extent;
      require(fits(extent.width) && fits(extent.height), "only an extent a control can have");
      encodedExtentReadsBack(extent);
      const auto bytes = record::encode(extent);
      const bool versionOne = data[4] == 1 && data[5] == 0 && data[6] == 8 && data[7] == 0;
      if (versionOne)
        require(std::equal(bytes.begin(), bytes.end(), data),
                "a version 1 record is written back byte for byte");
    }
  }

  // Any extent, from the first eight bytes, through the encoder.
  if (size >= 8) encodedExtentReadsBack({int32At(data), int32At(data + 4)});
  return 0;
}
