#include "util/text.h"

#include <charconv>

namespace util {

std::string fixedText(double value, int decimals)
{
    // to_chars, unlike printf, ignores the locale.
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

} // namespace util
