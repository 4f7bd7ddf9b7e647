#include "app/frame_profile.h"
#include <cstdio>

namespace {

const char* const PART_NAMES[] = {"sky", "ground", "rock", "forest growth", "forest mesh", "forest drawing",
                                  "grass view", "grass drawing", "overlays", "fixed"};
static_assert(sizeof PART_NAMES / sizeof PART_NAMES[0] == static_cast<int>(FramePart::Count), "a name per part");

} // namespace

void FrameProfile::add(FramePart part, double wallMs, double cpuMs, long triangles, long fragments)
{
    Cost& c = parts_[static_cast<int>(part)];
    c.wall += wallMs;
    c.cpu += cpuMs;
    c.triangles += static_cast<double>(triangles);
    c.fragments += static_cast<double>(fragments);
}

void FrameProfile::addSince(FramePart part, const util::ProcessTime& start, long triangles, long fragments)
{
    const util::ProcessTime end = util::ProcessTime::now();
    add(part, end.wall - start.wall, end.cpu - start.cpu, triangles, fragments);
}

double FrameProfile::triangles() const
{
    double sum = 0;
    for (const Cost& c : parts_) sum += c.triangles;
    return frames_ > 0 ? sum / frames_ : 0.0;
}

double FrameProfile::screens(int pixels) const
{
    double sum = 0;
    for (const Cost& c : parts_) sum += c.fragments;
    return frames_ > 0 && pixels > 0 ? sum / frames_ / pixels : 0.0;
}

std::string FrameProfile::summary(int pixels) const
{
    if (frames_ == 0) return "benchmark: no frame measured part by part";
    char line[160];
    std::snprintf(line, sizeof line, "benchmark: triangles %.0f, screens %.2f, over %d frames measured part by part\n",
                  triangles(), screens(pixels), frames_);
    std::string text = line;
    text += "benchmark: part: wall ms, cpu ms, triangles per frame\n";
    for (int i = 0; i < static_cast<int>(FramePart::Count); ++i) {
        const Cost& c = parts_[i];
        std::snprintf(line, sizeof line, "benchmark:   %-15s %7.2f %7.2f %8.0f\n", PART_NAMES[i], c.wall / frames_,
                      c.cpu / frames_, c.triangles / frames_);
        text += line;
    }
    text.pop_back();
    return text;
}
