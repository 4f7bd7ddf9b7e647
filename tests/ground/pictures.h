#pragma once
// The test pictures, written once per test program into a private folder by
// make_pictures.py (Python's struct and ImageMagick's convert).
#include <cstdlib>
#include <stdexcept>
#include <string>

/// Full path of a test picture.
inline std::string picture(const std::string& name)
{
    static const std::string dir = [] {
        char folder[] = "/tmp/velmora_pictures_XXXXXX";
        if (!mkdtemp(folder)) throw std::runtime_error("no temporary folder");
        const std::string make = std::string("python3 " VELMORA_SOURCE_DIR "/tests/ground/make_pictures.py ") + folder;
        if (std::system(make.c_str()) != 0) throw std::runtime_error("make_pictures.py failed");
        static const std::string remove = std::string("rm -rf ") + folder;
        std::atexit([] { std::system(remove.c_str()); });
        return std::string(folder) + "/";
    }();
    return dir + name;
}
