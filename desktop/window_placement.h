// Where Quillmere's window opens: the size and position it had when the user
// last closed it, kept per user as one value of the settings key, beside the
// band's own values (which it never touches), and fitted into the screen as
// the screen is now.
//
// The value is REG_BINARY, 20 bytes: the frame's left, top, right and bottom
// edges in screen pixels as little-endian 32-bit integers, then 32 bits of
// flags (bit 0: maximized). Anything else under that name is ignored.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/registry.h"
#include "widgets/pixel_rect.h"

namespace qm {

inline constexpr std::string_view kFramePlacementValue = "WindowPlacement";

inline constexpr int kDefaultFrameWidth = 960;
inline constexpr int kDefaultFrameHeight = 640;
// Smaller frames than this are not restored: the band needs the room.
inline constexpr int kMinimumFrameWidth = 320;
inline constexpr int kMinimumFrameHeight = 240;

struct FramePlacement {
    PixelRect bounds;  // the frame's normal (not maximized) rectangle
    bool maximized = false;

    friend constexpr bool operator==(const FramePlacement&, const FramePlacement&) = default;
};

std::optional<FramePlacement> ReadFramePlacement(Registry& registry, bool lowIntegrity);
// Creates the settings key when it is missing; false when nothing was written.
bool WriteFramePlacement(Registry& registry, bool lowIntegrity, const FramePlacement& placement);

// Where the frame goes now: the stored placement, or the default size centred
// on the first work area, moved (and where needed shrunk) into the work area
// it overlaps most, or into the first when it overlaps none, so that a
// monitor taken away or made smaller never leaves the window out of reach.
FramePlacement PlaceFrame(const std::optional<FramePlacement>& stored, std::span<const PixelRect> workAreas);

}  // namespace qm
