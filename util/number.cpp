#include "util/number.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace util {

namespace {

locale_t cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return c;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Doubles from here on round to infinity in a float (half a unit above FLT_MAX).
constexpr double FLOAT_OVERFLOW = 0x1.ffffffp127;

} // namespace

bool floatFromText(const char* text, float& value)
{
    const double v = strtod_l(text, nullptr, cLocale());
    if (!(std::fabs(v) < FLOAT_OVERFLOW)) return false;
    value = static_cast<float>(v);
    return true;
}

bool integerFromText(const char* text, long long low, long long high, long long& value)
{
    errno = 0;
    const long long v = strtoll_l(text, nullptr, 10, cLocale());
    if (errno == ERANGE || v < low || v > high) return false;
    value = v;
    return true;
}

void reportRefusedNumber(const char* name, const char* text)
{
    std::printf("  number refused for %s: \"%.40s\", value kept\n", name, text);
}

bool readFloat(const char* name, const char* text, float& value)
{
    if (floatFromText(text, value)) return true;
    reportRefusedNumber(name, text);
    return false;
}

bool readInt(const char* name, const char* text, int& value, int low, int high)
{
    long long v;
    if (!integerFromText(text, low, high, v)) {
        reportRefusedNumber(name, text);
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

int readFloats(const char* name, const char* text, float* out, int count)
{
    const char* p = text;
    int read = 0;
    bool refused = false;
    while (read < count) {
        while (isBlank(*p)) ++p;
        if (!*p) break;
        if (!floatFromText(p, out[read])) refused = true;
        ++read;
        while (*p && !isBlank(*p)) ++p;
    }
    if (refused) reportRefusedNumber(name, text);
    return read;
}

} // namespace util
