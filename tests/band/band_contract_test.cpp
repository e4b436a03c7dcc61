#include "band/band_contract.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(BandInfoTest, AnswersEveryGroupButTheBackground) {
    const BandInfoAnswer answer = AnswerBandInfo(127);
    EXPECT_EQ(answer.mask, 63u);
    EXPECT_EQ(answer.minSize, (BandPoint{100, 200}));
    EXPECT_EQ(answer.maxSize, (BandPoint{-1, -1}));
    EXPECT_EQ(answer.integral, (BandPoint{1, 1}));
    EXPECT_EQ(answer.actual, (BandPoint{0, 0}));
    EXPECT_EQ(answer.title, u"Quillmere");
    EXPECT_EQ(answer.modeFlags, kBandModeVariableHeight);
}

TEST(BandInfoTest, KeepsOnlyTheRequestedBits) {
    EXPECT_EQ(AnswerBandInfo(0).mask, 0u);
    EXPECT_EQ(AnswerBandInfo(kBandInfoBackgroundColour).mask, 0u);
    EXPECT_EQ(AnswerBandInfo(kBandInfoTitle | kBandInfoMinSize).mask, kBandInfoTitle | kBandInfoMinSize);
    // Bits the band does not know pass through untouched, as the browser set them.
    EXPECT_EQ(AnswerBandInfo(0x80 | kBandInfoBackgroundColour).mask, 0x80u);
}

TEST(BandStateTest, SavesTheVersionLittleEndian) {
    EXPECT_EQ(EncodeBandState(), (std::array<uint8_t, 4>{0x00, 0x03, 0x00, 0x00}));
    EXPECT_EQ(LoadBandState(EncodeBandState()), kS_OK);
}

TEST(BandStateTest, RefusesNewerVersionsOnly) {
    const std::array<uint8_t, 4> older{0x00, 0x02, 0x00, 0x00};
    const std::array<uint8_t, 4> newer{0x01, 0x03, 0x00, 0x00};
    const std::array<uint8_t, 4> farNewer{0x00, 0x00, 0x00, 0x01};
    const std::array<uint8_t, 4> zero{};
    EXPECT_EQ(LoadBandState(older), kS_OK);
    EXPECT_EQ(LoadBandState(zero), kS_OK);
    EXPECT_EQ(LoadBandState(newer), kE_FAIL);
    EXPECT_EQ(LoadBandState(farNewer), kE_FAIL);
}

}  // namespace
}  // namespace qm
