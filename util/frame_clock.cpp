#include "util/frame_clock.h"

#include <chrono>
#include <ctime>

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

static double milliseconds(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

ProcessTime ProcessTime::now()
{
    return {milliseconds(CLOCK_MONOTONIC), milliseconds(CLOCK_PROCESS_CPUTIME_ID)};
}

} // namespace util
