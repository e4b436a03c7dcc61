// The strip of ten blocks in the "Retrieving the data" window: one lit
// block travels 0, 1, ..., 9, 8, ..., 0, 1, ... one step at a time, and
// never leaves 0 to 9. The strip only counts and says where its blocks lie;
// the progress window steps it every 50 ms and paints it.
#pragma once

#include <array>

#include "widgets/colors.h"

namespace qm {

inline constexpr int kProgressBlockCount = 10;
inline constexpr int kProgressStepMs = 50;
inline constexpr ColorRef kProgressBlockFill = Rgb(160, 190, 220);
inline constexpr ColorRef kProgressBlockOutline = Rgb(50, 90, 135);
inline constexpr ColorRef kProgressLitBlockFill = Rgb(190, 220, 255);
inline constexpr ColorRef kProgressLitBlockOutline = Rgb(50, 90, 135);

class ProgressStrip {
public:
    int position() const { return position_; }
    int direction() const { return direction_; }
    // Turns round at either end, then moves one block.
    void Step();

private:
    int position_ = 0;
    int direction_ = 1;
};

// One block, [left, right) across the strip's full height.
struct ProgressBlock {
    int left = 0;
    int right = 0;

    friend constexpr bool operator==(const ProgressBlock&, const ProgressBlock&) = default;
};

// The blocks of a strip `width` pixels wide: a block is width * 0.1 - 1.3
// wide and they follow each other at that plus one pixel, each edge
// truncated, which leaves a gap of about a pixel between blocks and about
// four after the last. A strip too narrow for that gets empty blocks.
std::array<ProgressBlock, kProgressBlockCount> ProgressBlocks(int width);

}  // namespace qm
