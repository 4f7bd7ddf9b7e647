#include "util/tga.h"

#include <cstdio>
#include <memory>
#include <utility>

namespace util {

namespace {

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

/// Run-length packets: a count byte, then one pixel repeated or n pixels as they are.
bool decodeRunLength(FILE* f, std::vector<uint8_t>& raw, int channels)
{
    const size_t count = raw.size() / size_t(channels);
    size_t done = 0;
    while (done < count) {
        const int packet = std::fgetc(f);
        if (packet == EOF) return false;
        const size_t n = size_t(packet & 0x7F) + 1;
        if (n > count - done) return false;  // a packet past the picture's end
        uint8_t* dst = &raw[done * size_t(channels)];
        if (packet & 0x80) {
            if (std::fread(dst, 1, size_t(channels), f) != size_t(channels)) return false;
            for (size_t i = 1; i < n; ++i) std::copy(dst, dst + channels, dst + i * size_t(channels));
        } else if (std::fread(dst, 1, n * size_t(channels), f) != n * size_t(channels)) {
            return false;
        }
        done += n;
    }
    return true;
}

bool fail(TgaPicture& out)
{
    out = TgaPicture();
    return false;
}

} // namespace

int64_t bytesLeft(FILE* f)
{
    const long here = std::ftell(f);
    if (here < 0 || std::fseek(f, 0, SEEK_END) != 0) return 0;
    const long end = std::ftell(f);
    std::fseek(f, here, SEEK_SET);
    return end < here ? 0 : int64_t(end) - here;
}

bool readTga(const std::string& path, bool runLength, TgaPicture& out)
{
    File f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) return fail(out);
    uint8_t h[18];
    if (std::fread(h, 1, 18, f.get()) != 18) return fail(out);
    const int idLength = h[0], colourMapType = h[1], imageType = h[2];
    const bool encoded = imageType == 10;
    if (colourMapType != 0 || !(imageType == 2 || imageType == 3 || (runLength && encoded))) return fail(out);
    const int64_t width = h[12] | (h[13] << 8), height = h[14] | (h[15] << 8);
    const int channels = h[16] == 32 ? 4 : h[16] == 24 ? 3 : 0;
    // The sides are 16-bit, so their product cannot overflow.
    if (channels == 0 || width <= 0 || height <= 0 || width * height > MAX_PICTURE_BYTES / channels) return fail(out);
    if (std::fseek(f.get(), 18 + idLength, SEEK_SET) != 0) return fail(out);
    const int64_t pixels = width * height;
    // Run-length packets hold at most 128 pixels each, in at least 1 + channels bytes.
    const int64_t needed = encoded ? (pixels + 127) / 128 * (1 + channels) : pixels * channels;
    if (bytesLeft(f.get()) < needed) return fail(out);

    std::vector<uint8_t> raw(size_t(pixels * channels));
    const bool read = encoded ? decodeRunLength(f.get(), raw, channels)
                              : std::fread(raw.data(), 1, raw.size(), f.get()) == raw.size();
    if (!read) return fail(out);
    for (size_t i = 0; i < raw.size(); i += size_t(channels)) std::swap(raw[i], raw[i + 2]);  // stored B, G, R(, A)
    out.width = int(width);
    out.height = int(height);
    out.channels = channels;
    out.topDown = h[17] & 0x20;
    out.rightToLeft = h[17] & 0x10;
    out.pixels = std::move(raw);
    return true;
}

} // namespace util
