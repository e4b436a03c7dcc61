#include "widgets/progress_strip.h"

#include <algorithm>

namespace qm {

void ProgressStrip::Step() {
    if (position_ >= kProgressBlockCount - 1) direction_ = -1;
    if (position_ <= 0) direction_ = 1;
    position_ = std::clamp(position_ + direction_, 0, kProgressBlockCount - 1);
}

std::array<ProgressBlock, kProgressBlockCount> ProgressBlocks(int width) {
    std::array<ProgressBlock, kProgressBlockCount> blocks{};
    const double blockWidth = std::max(width, 0) * 0.1 - 1.3;
    const double pitch = blockWidth + 1.0;
    double x = 0;  // accumulated step by step, as the painting always has
    for (ProgressBlock& block : blocks) {
        block.left = static_cast<int>(x);
        block.right = std::max(static_cast<int>(x + blockWidth), block.left);
        x += std::max(pitch, 0.0);
    }
    return blocks;
}

}  // namespace qm
