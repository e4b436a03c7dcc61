#include "band/band_contract.h"

namespace qm {

std::array<uint8_t, kBandStateSize> EncodeBandState() {
    return {static_cast<uint8_t>(kBandStateVersion & 0xFF),
            static_cast<uint8_t>((kBandStateVersion >> 8) & 0xFF),
            static_cast<uint8_t>((kBandStateVersion >> 16) & 0xFF),
            static_cast<uint8_t>((kBandStateVersion >> 24) & 0xFF)};
}

HResult LoadBandState(std::span<const uint8_t, kBandStateSize> bytes) {
    const uint32_t version = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                             static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return version > kBandStateVersion ? kE_FAIL : kS_OK;
}

}  // namespace qm
