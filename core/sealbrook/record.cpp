#include "sealbrook/record.h"

#include <algorithm>
#include <iterator>

namespace sealbrook::record {
namespace {

constexpr uint8_t kSignature[4] = {'S', 'B', 'R', 'K'};
constexpr uint16_t kVersion = 1;
constexpr uint16_t kKnown = kSize - kHeader;  // the length of what version 1 knows

void put16(uint8_t* at, uint16_t n) {
  at[0] = static_cast<uint8_t>(n & 0xFFU);
  at[1] = static_cast<uint8_t>(n >> 8U);
}

void put32(uint8_t* at, int32_t n) {
  const auto u = static_cast<uint32_t>(n);
  put16(at, static_cast<uint16_t>(u));
  put16(at + 2, static_cast<uint16_t>(u >> 16U));
}

uint16_t get16(const uint8_t* at) {
  return static_cast<uint16_t>(unsigned{at[0]} | (unsigned{at[1]} << 8U));
}

int32_t get32(const uint8_t* at) {
  return static_cast<int32_t>(uint32_t{get16(at)} | (uint32_t{get16(at + 2)} << 16U));
}

bool fits(int32_t n) {
  return n > 0 && n <= kLargest;
}

}  // namespace

bool possibleExtent(host::Size extent) noexcept {
  return fits(extent.width) && fits(extent.height);
}

std::array<uint8_t, kSize> encode(host::Size extent) {
  std::array<uint8_t, kSize> bytes{};
  std::copy(std::begin(kSignature), std::end(kSignature), bytes.begin());
  put16(&bytes[4], kVersion);
  put16(&bytes[6], kKnown);
  put32(&bytes[8], extent.width);
  put32(&bytes[12], extent.height);
  return bytes;
}

std::optional<Decoded> decode(ByteSpan bytes) {
  if (bytes.size < kHeader || !bytes.data) return std::nullopt;
  const uint8_t* at = bytes.data;
  if (!std::equal(std::begin(kSignature), std::end(kSignature), at)) return std::nullopt;
  const uint16_t version = get16(at + 4);
  const uint16_t length = get16(at + 6);
  if (version == 0 || length < kKnown) return std::nullopt;
  Decoded decoded;
  decoded.length = kHeader + length;
  if (bytes.size < kSize) return decoded;
  const host::Size extent{get32(at + 8), get32(at + 12)};
  if (possibleExtent(extent)) decoded.extent = extent;
  return decoded;
}

bool beginsRecord(ByteSpan bytes) noexcept {
  if (bytes.size == 0 || bytes.size >= kHeader || !bytes.data) return false;
  const size_t signature = std::min(bytes.size, std::size(kSignature));
  if (!std::equal(kSignature, kSignature + signature, bytes.data)) return false;
  // A version, once both of its bytes are there, is never 0.
  return bytes.size < 6 || get16(bytes.data + 4) != 0;
}

}  // namespace sealbrook::record
