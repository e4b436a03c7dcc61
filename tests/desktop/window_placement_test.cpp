#include "desktop/window_placement.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/memory/memory_platform.h"
#include "settings/settings.h"

namespace qm {
namespace {

TEST(FramePlacement, WrittenPlacementReadsBackBesideTheBandsValues) {
    MemoryRegistry registry;
    auto key = registry.Create(RegistryRoot::CurrentUser, kLowIntegritySettingsPath);
    key->WriteString(setting::kDateTemplate, "yyyy.MM.dd");
    const FramePlacement placement{PixelRect{-1200, 30, -200, 830}, true};
    ASSERT_TRUE(WriteFramePlacement(registry, true, placement));
    EXPECT_EQ(ReadFramePlacement(registry, true), placement);
    EXPECT_FALSE(ReadFramePlacement(registry, false)) << "the classic key is another key";
    EXPECT_EQ(key->ValueNames(), (std::vector<std::string>{"DateTemplate", "WindowPlacement"}));
    EXPECT_EQ(key->ReadString(setting::kDateTemplate, 32), "yyyy.MM.dd");
}

TEST(FramePlacement, AStoredValueOfAnotherShapeIsIgnored) {
    MemoryRegistry registry;
    auto key = registry.Create(RegistryRoot::CurrentUser, kClassicSettingsPath);
    const auto bytes = [](std::initializer_list<int> fields) {
        std::string data;
        for (int field : fields)
            for (int shift = 0; shift < 32; shift += 8) data.push_back(static_cast<char>((field >> shift) & 0xFF));
        return data;
    };
    struct Row {
        const char* what;
        RegistryValue value;
    };
    const Row rows[] = {
        {"a string", RegistryValue{RegistryType::String, bytes({0, 0, 800, 600, 0})}},
        {"too short", RegistryValue{RegistryType::Binary, bytes({0, 0, 800, 600})}},
        {"too long", RegistryValue{RegistryType::Binary, bytes({0, 0, 800, 600, 0, 0})}},
        {"inside out", RegistryValue{RegistryType::Binary, bytes({800, 600, 0, 0, 0})}},
        {"too small", RegistryValue{RegistryType::Binary, bytes({0, 0, 319, 600, 0})}},
        {"off the scale", RegistryValue{RegistryType::Binary, bytes({0, 0, 40000, 600, 0})}},
        {"extreme", RegistryValue{RegistryType::Binary, bytes({INT32_MIN, 0, INT32_MAX, 600, 0})}},
    };
    for (const Row& row : rows) {
        key->Write(kFramePlacementValue, row.value);
        EXPECT_FALSE(ReadFramePlacement(registry, false)) << row.what;
    }
    key->Write(kFramePlacementValue, RegistryValue{RegistryType::Binary, bytes({0, 0, 320, 240, 3})});
    EXPECT_EQ(ReadFramePlacement(registry, false), (FramePlacement{PixelRect{0, 0, 320, 240}, true}));
}

TEST(FramePlacement, TheFrameIsFittedIntoTheScreenAsItIsNow) {
    const std::vector<PixelRect> screens = {PixelRect{0, 0, 1920, 1040}, PixelRect{1920, 0, 3200, 984}};
    struct Row {
        const char* what;
        std::optional<FramePlacement> stored;
        PixelRect placed;
    };
    const Row rows[] = {
        {"nothing stored: the default size, centred", std::nullopt, PixelRect{480, 200, 1440, 840}},
        {"on the first screen", FramePlacement{PixelRect{100, 50, 900, 650}}, PixelRect{100, 50, 900, 650}},
        {"mostly on the second screen", FramePlacement{PixelRect{1800, 100, 2600, 700}},
         PixelRect{1920, 100, 2720, 700}},
        {"its monitor gone", FramePlacement{PixelRect{-2000, 100, -1200, 700}}, PixelRect{0, 100, 800, 700}},
        {"larger than its screen", FramePlacement{PixelRect{2000, -50, 3300, 1100}}, PixelRect{1920, 0, 3200, 984}},
        {"hanging off the bottom", FramePlacement{PixelRect{100, 900, 900, 1300}}, PixelRect{100, 640, 900, 1040}},
    };
    for (const Row& row : rows) EXPECT_EQ(PlaceFrame(row.stored, screens).bounds, row.placed) << row.what;
    EXPECT_TRUE(PlaceFrame(FramePlacement{PixelRect{0, 0, 800, 600}, true}, screens).maximized);
}

}  // namespace
}  // namespace qm
