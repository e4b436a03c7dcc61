#include "widgets/progress_strip.h"

#include <gtest/gtest.h>

#include <vector>

namespace qm {
namespace {

TEST(ProgressStrip, LitBlockTurnsRoundAtBothEnds) {
    ProgressStrip strip;
    std::vector<int> positions;
    for (int step = 0; step < 20; ++step) {
        strip.Step();
        positions.push_back(strip.position());
    }
    EXPECT_EQ(positions, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 2}));
    for (int step = 0; step < 1000; ++step) {
        strip.Step();
        ASSERT_GE(strip.position(), 0);
        ASSERT_LE(strip.position(), 9);
    }
}

TEST(ProgressStrip, BlocksLeaveAPixelBetweenThemAndFourAtTheEnd) {
    const auto blocks = ProgressBlocks(300);  // blocks 28.7 wide at a pitch of 29.7
    EXPECT_EQ(blocks[0], (ProgressBlock{0, 28}));
    EXPECT_EQ(blocks[1], (ProgressBlock{29, 58}));
    EXPECT_EQ(blocks[4], (ProgressBlock{118, 147}));  // 4 * 29.7 added up is a hair under 118.8
    EXPECT_EQ(blocks[9], (ProgressBlock{267, 295}));
    for (int block = 1; block < kProgressBlockCount; ++block) {
        EXPECT_EQ(blocks[block].left - blocks[block - 1].right, 1) << block;
    }
    EXPECT_GE(300 - blocks[9].right, 4);
    EXPECT_LE(300 - blocks[9].right, 5);
}

TEST(ProgressStrip, BlocksOfTheDialogStripAndOfNarrowStrips) {
    // The dialog's strip: 203 dialog units of an 8-point font, 305 pixels.
    const auto dialog = ProgressBlocks(305);
    EXPECT_EQ(dialog[9], (ProgressBlock{271, 300}));
    // Too narrow for blocks: empty ones, never reversed.
    for (int width : {0, 5, 12, -40}) {
        for (const ProgressBlock& block : ProgressBlocks(width)) EXPECT_LE(block.left, block.right) << width;
    }
}

}  // namespace
}  // namespace qm
