#pragma once
/// Wall-clock time stamps for the cost measurement of the frame.
#include <cstdint>

namespace util {

/// A wall-clock instant: whole seconds and the microseconds within them.
struct FrameStamp {
    int32_t seconds = 0;
    int32_t microseconds = 0;
};

/// The current time, with millisecond resolution.
FrameStamp frameNow();

/// b − a in seconds.
double secondsBetween(const FrameStamp& a, const FrameStamp& b);

} // namespace util
