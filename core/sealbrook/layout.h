// Where the control's parts lie: the design sizes in twips (signdata.h) as pixels at a
// resolution, and as HIMETRIC for the extent the host keeps. The windows only place and paint
// what these give.
#pragma once

#include <optional>
#include <vector>

#include "host/units.h"
#include "sealbrook/ports.h"

namespace sealbrook {

class SignData;

// The extent of a newly inserted control, in HIMETRIC: its surface's design size.
host::Size initialExtent() noexcept;

// Picture1's window, in the surface's client pixels.
host::Rect picture1Window(host::Dpi dpi) noexcept;

// Image1, in Picture1's client pixels: the area that takes its clicks and where its picture is
// drawn. It lies at its design place and is as large as the picture it shows at that picture's
// own size (HIMETRIC), or has its design size while it shows none.
host::Rect image1Area(host::Dpi dpi, const std::optional<host::Size>& picture) noexcept;

// Picture1's part of the block drawn into `bounds`: its design share of the surface, scaled with
// the block.
host::Rect picture1Part(const host::Rect& bounds) noexcept;

// A picture the control shows, with its top-left corner where it is drawn.
struct PictureAt {
  const Picture* picture;
  host::Point at;
};
// Where the block is drawn: on the screen, where the control keeps its status current; or onto a
// printed page, a PDF export or the presentation the host keeps in the document, which outlive
// the moment, where a status ("valid") would be a claim forever.
enum class Medium : uint8_t { Screen, Kept };

// The pictures the control shows, bottom first, drawn from `origin` at that resolution: on the
// screen the status picture (Picture1's) in the corner, then the signature over it where Image1
// lies; kept, the signature alone. Each is drawn at its own size.
std::vector<PictureAt> picturesShown(const SignData& control, host::Point origin, host::Dpi dpi,
                                     Medium medium = Medium::Screen);

// The resolution at which the pictures are drawn into `area` on the screen, so that they scale
// with a block whose extent (HIMETRIC) is drawn there. An extent of 0 counts as 1.
host::Dpi drawingResolution(const host::Rect& area, host::Size extent) noexcept;

}  // namespace sealbrook
