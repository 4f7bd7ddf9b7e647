#include "app/frame_cost.h"
#include <cstdio>

std::string formatCostText(bool grassShown, const util::FrameStamp& previousFrame,
                           const util::FrameStamp& frame, const util::FrameStamp& grass)
{
    double f = 0.0;
    if (grassShown) {
        const double period = util::secondsBetween(previousFrame, frame);
        // The clock ticks in milliseconds: two frames within one tick have no
        // measurable period, and a ratio over it would print nan or inf.
        if (period > 0.0) f = util::secondsBetween(frame, grass) / period;
    }
    char text[96];
    std::snprintf(text, sizeof text, "COST: UpdateGrass:%.2f ; DrawGrassesAndTrees:%.2f", f, 1.0 - f);
    return text;
}
