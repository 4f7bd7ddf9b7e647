#include "app/frame_stats.h"
#include <algorithm>
#include <cmath>
#include <cstdio>

void FrameStats::addFrame(double milliseconds, int polygons, bool timed)
{
    if (++framesDrawn_ <= WARM_UP_FRAMES || !timed) return;
    times_.push_back(milliseconds);
    polygonSum_ += polygons;
}

std::string FrameStats::summary() const
{
    char line[200];
    if (times_.empty()) {
        std::snprintf(line, sizeof line,
                      "benchmark: frames %d, too few to measure (the first %d are left out)",
                      framesDrawn_, WARM_UP_FRAMES);
        return line;
    }
    std::vector<double> sorted = times_;
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    const double median = n % 2 ? sorted[n / 2] : 0.5 * (sorted[n / 2 - 1] + sorted[n / 2]);
    // Nearest-rank percentile.
    const size_t rank = static_cast<size_t>(std::ceil(0.95 * static_cast<double>(n)));
    const double p95 = sorted[std::max<size_t>(rank, 1) - 1];
    std::snprintf(line, sizeof line,
                  "benchmark: frames %d, median %.2f ms, p95 %.2f ms, mean polygons %.0f",
                  framesDrawn_, median, p95, polygonSum_ / static_cast<double>(n));
    return line;
}
