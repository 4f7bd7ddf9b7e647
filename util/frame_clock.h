#pragma once
/// Wall-clock time stamps for the cost measurement of the frame, and the
/// clocks that measure its parts.
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

/// Wall and CPU milliseconds since an arbitrary start, for measuring the parts
/// of a frame. CPU time is the whole process's: the renderer's threads count.
struct ProcessTime {
    double wall = 0;
    double cpu = 0;
    static ProcessTime now();
};

} // namespace util
