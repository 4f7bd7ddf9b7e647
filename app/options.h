#pragma once
/// Command-line options. Without any, the program runs as an ordinary
/// interactive viewer.
#include <string>

/// What the command line asked for.
struct Options {
    int frames = 0;            ///< quit after this many drawn frames; 0 runs until closed
    std::string snapshot;      ///< PNG file for the last drawn frame; empty for none
    bool benchmark = false;    ///< print the frame-time line at exit
    bool orbit = false;        ///< the camera circles the meadow once over the frames
    bool walk = false;         ///< the camera moves straight ahead, level, 5 cm a frame
    std::string scene;         ///< scene file loaded after the initial one; empty for none
    std::string video;         ///< MP4 file for every drawn frame; empty for none
    std::string record;        ///< folder for every drawn frame as PNG; empty for none
    bool look = false;         ///< start with the enhanced look (viewer key L switches it)
    int samples = 0;           ///< multisampling: samples per pixel, 0 for none
    float jitter[2] = {0, 0};  ///< the picture shifted by these fractions of a pixel, right and up
};

/// Reads the arguments after the program name (Qt's own already removed).
/// On a bad argument returns false with a one-line message in `error`.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

/// The usage text printed after a bad argument.
const char* optionsUsage();
