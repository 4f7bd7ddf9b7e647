#include "app/options.h"
#include <cerrno>
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

} // namespace

bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool takesValue = arg == "--frames" || arg == "--snapshot" || arg == "--scene";
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
            if (options.snapshot.size() < 4 ||
                strcasecmp(options.snapshot.c_str() + options.snapshot.size() - 4, ".png") != 0) {
                error = "--snapshot needs a file name ending in .png, not \"" + options.snapshot + "\"";
                return false;
            }
        } else if (arg == "--scene") {
            options.scene = argv[++i];
        } else if (arg == "--benchmark") {
            options.benchmark = true;
        } else {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
    }
    if (!options.snapshot.empty() && options.frames == 0) {
        error = "--snapshot needs --frames N: the picture is the last of N frames";
        return false;
    }
    return true;
}

const char* optionsUsage()
{
    return "usage: velmora [--frames N] [--snapshot FILE.png] [--benchmark] [--scene FILE.xml]";
}
