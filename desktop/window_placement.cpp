#include "desktop/window_placement.h"

#include <algorithm>
#include <array>

#include "settings/settings.h"

namespace qm {
namespace {

constexpr std::size_t kFieldCount = 5;
constexpr std::size_t kValueSize = kFieldCount * 4;
// Coordinates the platform's 16-bit window positions can hold.
constexpr int64_t kCoordinateLimit = 32767;

uint32_t Field(const std::string& data, std::size_t index) {
    uint32_t value = 0;
    for (std::size_t byte = 0; byte < 4; ++byte)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(data[index * 4 + byte])) << (8 * byte);
    return value;
}

void PutField(std::string& data, uint32_t value) {
    for (std::size_t byte = 0; byte < 4; ++byte) data.push_back(static_cast<char>((value >> (8 * byte)) & 0xFF));
}

bool Plausible(const PixelRect& bounds) {
    for (const int64_t edge : {bounds.left, bounds.top, bounds.right, bounds.bottom})
        if (edge < -kCoordinateLimit || edge > kCoordinateLimit) return false;
    return bounds.width() >= kMinimumFrameWidth && bounds.height() >= kMinimumFrameHeight;
}

int64_t Overlap(const PixelRect& a, const PixelRect& b) {
    const int64_t width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const int64_t height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// Shrinks the rectangle to the area where it is larger, then moves it in.
PixelRect FitInto(PixelRect bounds, const PixelRect& area) {
    const int width = std::min(bounds.width(), area.width());
    const int height = std::min(bounds.height(), area.height());
    const int left = std::clamp(bounds.left, area.left, area.right - width);
    const int top = std::clamp(bounds.top, area.top, area.bottom - height);
    return PixelRect{left, top, left + width, top + height};
}

}  // namespace

std::optional<FramePlacement> ReadFramePlacement(Registry& registry, bool lowIntegrity) {
    const auto key = OpenSettingsKey(registry, lowIntegrity);
    if (!key) return std::nullopt;
    const auto value = key->Read(kFramePlacementValue, kValueSize);
    if (!value || value->type != RegistryType::Binary || value->data.size() != kValueSize) return std::nullopt;
    std::array<int32_t, kFieldCount> fields{};
    for (std::size_t index = 0; index < kFieldCount; ++index)
        fields[index] = static_cast<int32_t>(Field(value->data, index));
    FramePlacement placement{PixelRect{fields[0], fields[1], fields[2], fields[3]}, (fields[4] & 1) != 0};
    if (!Plausible(placement.bounds)) return std::nullopt;
    return placement;
}

bool WriteFramePlacement(Registry& registry, bool lowIntegrity, const FramePlacement& placement) {
    const auto key = OpenOrCreateSettingsKey(registry, lowIntegrity);
    if (!key) return false;
    std::string data;
    for (const int edge : {placement.bounds.left, placement.bounds.top, placement.bounds.right,
                           placement.bounds.bottom})
        PutField(data, static_cast<uint32_t>(edge));
    PutField(data, placement.maximized ? 1u : 0u);
    return key->Write(kFramePlacementValue, RegistryValue{RegistryType::Binary, data});
}

FramePlacement PlaceFrame(const std::optional<FramePlacement>& stored, std::span<const PixelRect> workAreas) {
    if (workAreas.empty())
        return stored.value_or(FramePlacement{PixelRect{0, 0, kDefaultFrameWidth, kDefaultFrameHeight}, false});
    FramePlacement placement;
    if (stored) {
        placement = *stored;
    } else {
        const PixelRect& first = workAreas.front();
        const int left = first.left + (first.width() - kDefaultFrameWidth) / 2;
        const int top = first.top + (first.height() - kDefaultFrameHeight) / 2;
        placement.bounds = PixelRect{left, top, left + kDefaultFrameWidth, top + kDefaultFrameHeight};
    }
    const PixelRect* best = &workAreas.front();
    int64_t bestOverlap = 0;
    for (const PixelRect& area : workAreas) {
        const int64_t overlap = Overlap(placement.bounds, area);
        if (overlap > bestOverlap) {
            best = &area;
            bestOverlap = overlap;
        }
    }
    placement.bounds = FitInto(placement.bounds, *best);
    return placement;
}

}  // namespace qm
