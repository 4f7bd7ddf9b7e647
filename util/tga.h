#pragma once
/// The one TGA reader, shared by the grass's pictures and the widgets'
/// texture manager: true colour, 24 or 32 bits, raw or run-length encoded.
/// It never trusts a size read from the file: sides must be positive, the
/// pixels must fit in MAX_PICTURE_BYTES, and the file must hold at least as
/// many bytes as they need before anything is allocated.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace util {

/// Largest picture, in bytes of pixels, that the picture readers allocate.
constexpr int64_t MAX_PICTURE_BYTES = int64_t(1) << 28;

/// Bytes from the current position to the end of `file`: what the picture
/// readers check a header's claims against.
int64_t bytesLeft(FILE* file);

/// A TGA picture as its file stores it.
struct TgaPicture {
    int width = 0;
    int height = 0;
    int channels = 0;          ///< 3 or 4 bytes per pixel
    bool topDown = false;      ///< the descriptor puts the first stored row at the top
    bool rightToLeft = false;  ///< the descriptor puts the first stored pixel at the right
    std::vector<uint8_t> pixels;  ///< R, G, B(, A) per pixel, rows and pixels in file order
};

/// Reads `path`: colour-map type 0, image type 2 or 3 (true colour, raw) and,
/// when `runLength`, type 10 (true colour, run-length encoded). False for a
/// missing, truncated, oversized or unsupported file; `out` is then empty.
bool readTga(const std::string& path, bool runLength, TgaPicture& out);

} // namespace util
