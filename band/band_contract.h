// What the band tells its host, in plain values: the band information it
// reports for a request mask, and the four bytes it persists. The COM layer
// copies these into DESKBANDINFO and streams.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/types.h"

namespace qm {

// The platform's band information mask bits.
inline constexpr uint32_t kBandInfoMinSize = 0x1;
inline constexpr uint32_t kBandInfoMaxSize = 0x2;
inline constexpr uint32_t kBandInfoIntegral = 0x4;
inline constexpr uint32_t kBandInfoActual = 0x8;
inline constexpr uint32_t kBandInfoTitle = 0x10;
inline constexpr uint32_t kBandInfoModeFlags = 0x20;
inline constexpr uint32_t kBandInfoBackgroundColour = 0x40;

inline constexpr uint32_t kBandModeVariableHeight = 0x8;
inline constexpr std::u16string_view kBandTitle = u"Quillmere";

struct BandPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend constexpr bool operator==(const BandPoint&, const BandPoint&) = default;
};

// The band's answer to a band information request. Only the fields whose
// bit is in the answered mask are meant to be copied to the caller.
struct BandInfoAnswer {
    uint32_t mask = 0;  // the request mask with the background bit cleared
    BandPoint minSize{100, 200};
    BandPoint maxSize{-1, -1};  // no limit
    BandPoint integral{1, 1};
    BandPoint actual{0, 0};
    std::u16string_view title = kBandTitle;
    uint32_t modeFlags = kBandModeVariableHeight;
};

// The background bit is answered by clearing it, so that the browser paints
// its default background behind the band.
constexpr BandInfoAnswer AnswerBandInfo(uint32_t requestMask) {
    BandInfoAnswer answer;
    answer.mask = requestMask & ~kBandInfoBackgroundColour;
    return answer;
}

// The persisted state is only a version number, 4 bytes little-endian.
inline constexpr uint32_t kBandStateVersion = 0x0300;
inline constexpr std::size_t kBandStateSize = 4;

std::array<uint8_t, kBandStateSize> EncodeBandState();
// A state written by this version or an older one loads; a newer one is
// refused with E_FAIL.
HResult LoadBandState(std::span<const uint8_t, kBandStateSize> bytes);

}  // namespace qm
