#pragma once
// The readers take file names, so each fuzz input is written to a scratch
// file first. One file per process and extension, rewritten for every input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace fuzz {

/// Writes `data` to a per-process scratch file whose name ends in `suffix`
/// (under `folder`, default the temporary folder) and returns its name.
inline std::string writeInput(const uint8_t* data, size_t size, const char* suffix,
                              const std::string& folder = "/tmp")
{
    const std::string name = folder + "/velmora-fuzz-" + std::to_string(getpid()) + suffix;
    FILE* f = std::fopen(name.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return name;
}

} // namespace fuzz
