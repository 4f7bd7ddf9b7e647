#include "app/options.h"
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool parseCount(const char* text, int& value)
{
    errno = 0;
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || n <= 0 || n > 100000000) return false;
    value = static_cast<int>(n);
    return true;
}

// "DX,DY": two shifts within a pixel.
bool parseShift(const char* text, float shift[2])
{
    int used = 0;
    return std::sscanf(text, "%f,%f%n", &shift[0], &shift[1], &used) == 2 && text[used] == '\0' &&
           std::fabs(shift[0]) <= 1 && std::fabs(shift[1]) <= 1;
}

bool endsWith(const std::string& text, const char* ending)
{
    const size_t n = std::strlen(ending);
    return text.size() >= n && strcasecmp(text.c_str() + text.size() - n, ending) == 0;
}

} // namespace

bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--frames" || arg == "--snapshot" || arg == "--scene" || arg == "--video" ||
                                arg == "--record" || arg == "--samples" || arg == "--jitter";
        if (takesValue && i + 1 >= argc) {
            error = arg + " needs a value";
            return false;
        }
        if (arg == "--frames") {
            if (!parseCount(argv[++i], options.frames)) {
                error = std::string("--frames needs a positive whole number, not \"") + argv[i] + "\"";
                return false;
            }
        } else if (arg == "--snapshot") {
            options.snapshot = argv[++i];
            if (!endsWith(options.snapshot, ".png")) {
                error = "--snapshot needs a file name ending in .png, not \"" + options.snapshot + "\"";
                return false;
            }
        } else if (arg == "--samples") {
            if (!parseCount(argv[++i], options.samples) || options.samples > 16) {
                error = std::string("--samples needs a whole number from 1 to 16, not \"") + argv[i] + "\"";
                return false;
            }
        } else if (arg == "--jitter") {
            if (!parseShift(argv[++i], options.jitter)) {
                error = std::string("--jitter needs DX,DY within a pixel, not \"") + argv[i] + "\"";
                return false;
            }
        } else if (arg == "--scene") {
            options.scene = argv[++i];
        } else if (arg == "--video") {
            options.video = argv[++i];
            if (!endsWith(options.video, ".mp4")) {
                error = "--video needs a file name ending in .mp4, not \"" + options.video + "\"";
                return false;
            }
        } else if (arg == "--record") {
            options.record = argv[++i];
        } else if (arg == "--benchmark") {
            options.benchmark = true;
        } else if (arg == "--orbit") {
            options.orbit = true;
        } else if (arg == "--walk") {
            options.walk = true;
        } else if (arg == "--look") {
            options.look = true;
        } else {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
    }
    if (!options.snapshot.empty() && options.frames == 0) {
        error = "--snapshot needs --frames N: the picture is the last of N frames";
        return false;
    }
    if ((!options.video.empty() || !options.record.empty()) && options.frames == 0) {
        error = "--video and --record need --frames N: the run records N frames";
        return false;
    }
    if (options.orbit && options.frames == 0) {
        error = "--orbit needs --frames N: the camera makes one turn over N frames";
        return false;
    }
    if (options.orbit && options.walk) {
        error = "--orbit and --walk move the camera each their own way: choose one";
        return false;
    }
    return true;
}

const char* optionsUsage()
{
    return "usage: velmora [--frames N] [--snapshot FILE.png] [--benchmark] [--orbit | --walk] [--scene FILE.xml]\n"
           "               [--video FILE.mp4] [--record FOLDER] [--look] [--samples N]\n"
           "               [--jitter DX,DY]";
}
