// The control's persisted record. The control saves nothing of its own but its extent, in a small
// versioned record (numbers little-endian):
//   offset 0  'S' 'B' 'R' 'K'   signature
//          4  uint16 version    1
//          6  uint16 length     of what follows (8 in version 1)
//          8  int32  width      HIMETRIC
//         12  int32  height     HIMETRIC
// A later version may make the record longer: what this version knows is read and the rest
// skipped. Bytes that are not such a record (a document saved by another control under this
// class) are not ours, and an extent no control can have is not taken: the control takes no such
// extent from its host either.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "host/units.h"

namespace sealbrook::record {

// The record as this version writes it, and its header: signature, version and length.
inline constexpr size_t kSize = 16;
inline constexpr size_t kHeader = 8;
// The largest width or height an extent of the control may have: 10 m.
inline constexpr int32_t kLargest = 1000000;

// Bytes read from a stream, owned by the caller.
struct ByteSpan {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

// Whether a control can have this extent: both sides positive and at most kLargest.
bool possibleExtent(host::Size extent) noexcept;

std::array<uint8_t, kSize> encode(host::Size extent);

// A record as read from its first bytes.
struct Decoded {
  size_t length = 0;  // of the whole record, what a later version added included
  // None when the bytes end before the extent, or when no control can have that extent.
  std::optional<host::Size> extent;
};

// The record at the start of `bytes`, which may end before the record does or go on past it.
// Nothing when the bytes are not such a record (or too few to tell).
std::optional<Decoded> decode(ByteSpan bytes);

// Whether bytes too few for a header begin as a record does: data that ends after them is a
// record cut off rather than another control's. No bytes at all begin nothing.
bool beginsRecord(ByteSpan bytes) noexcept;

}  // namespace sealbrook::record
