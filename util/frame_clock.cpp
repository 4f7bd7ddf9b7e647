#include "util/frame_clock.h"

#include <chrono>

namespace util {

FrameStamp frameNow()
{
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    FrameStamp s;
    s.seconds = static_cast<int32_t>(ms / 1000);
    s.microseconds = static_cast<int32_t>((ms % 1000) * 1000);
    return s;
}

double secondsBetween(const FrameStamp& a, const FrameStamp& b)
{
    return (b.seconds - a.seconds) + (b.microseconds - a.microseconds) * 1e-6;
}

} // namespace util
