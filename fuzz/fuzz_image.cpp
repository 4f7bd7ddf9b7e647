// Picture readers of both records. The first byte picks the reader, the rest
// is the file, so one corpus covers all five readers.
#include "ground/image.h"
#include "fuzz_input.h"

volatile unsigned pixelSum; // keeps the reads below from being optimised away

// A loaded record must own every byte its sides claim; reading them all lets
// the address checker catch a buffer shorter than the sides say.
static void checkRecord(const unsigned char* pixels, int32_t width, int32_t height, int bytesPerPixel)
{
    if (!pixels) return;
    if (width <= 0 || height <= 0) std::abort();
    for (int64_t i = 0, n = int64_t(width) * height * bytesPerPixel; i < n; ++i) pixelSum = pixelSum + pixels[i];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    static const char* const suffixes[] = {".bmp", ".ppm", ".bmp", ".ppm", ".tga"};
    const int choice = data[0] % 5;
    const std::string name = fuzz::writeInput(data + 1, size - 1, suffixes[choice]);
    if (choice < 2) {
        Image image;
        image.loadMap(name.c_str());
        checkRecord(image.pixels, image.width, image.height, 3);
    } else {
        Texture texture;
        texture.loadMap(name.c_str());
        checkRecord(texture.pixels, texture.width, texture.height, texture.bytesPerPixel());
    }
    return 0;
}
