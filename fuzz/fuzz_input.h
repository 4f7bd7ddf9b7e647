#pragma once
// The readers take file names, so each fuzz input is written to a scratch
// file first: one per process and suffix, rewritten for every input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace fuzz {

inline std::string writeInput(const uint8_t* data, size_t size, const char* suffix, const std::string& folder = "/tmp")
{
    const std::string name = folder + "/velmora-fuzz-" + std::to_string(getpid()) + suffix;
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size)) std::abort();
    std::fclose(f);
    return name;
}

} // namespace fuzz
