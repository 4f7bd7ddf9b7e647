#pragma once
/// The readers of numbers in files, whatever locale the process runs in (Qt
/// adopts the user's, which may write "0,5").
///
/// Scene files: numbers read as the C library's atof and atoi read them in
/// the "C" locale: leading blanks, a sign, an exponent and hexadecimal are
/// understood, and text that is empty or not a number reads as 0. A value the
/// setting cannot hold (NaN, an infinity, beyond float or the integer range)
/// is refused: the setting keeps its value and one console line names the
/// attribute.
///
/// Tree parameter files: parseNumber, the C notation without hexadecimal,
/// which says when there is no number.
#include <charconv>
#include <cstring>

#include <climits>

namespace util {

/// What atof gives for `text`, as a float; false when that is not finite in a float.
bool floatFromText(const char* text, float& value);

/// What atoi gives for `text`, when it lies in [low, high]; false otherwise.
bool integerFromText(const char* text, long long low, long long high, long long& value);

/// `value` := the number of `text`, or kept with a line naming `name`. False when refused.
bool readFloat(const char* name, const char* text, float& value);

/// `value` := the integer of `text` when it lies in [low, high] (by default
/// the int range), or kept with a line naming `name`.
bool readInt(const char* name, const char* text, int& value, int low = INT_MIN, int high = INT_MAX);

/// Reads up to `count` blank-separated numbers of `text` into out[0], out[1], …;
/// a refused piece keeps its value. Gives how many pieces there were (at most
/// `count`); one line names `name` when any was refused.
int readFloats(const char* name, const char* text, float* out, int count);

/// The console line of a refused number.
void reportRefusedNumber(const char* name, const char* text);

/// Largest magnitude of a setting that formulas square or multiply with
/// others: their results then stay finite in a float.
constexpr float SETTING_BOUND = 1e6f;

/// `v` (finite) clamped into [low, high].
inline float bounded(float v, float low = -SETTING_BOUND, float high = SETTING_BOUND)
{
    return v < low ? low : v > high ? high : v;
}

/// Skips blanks and a '+' sign at the start of `text`.
inline const char* skipToNumber(const char* text)
{
    while (*text == ' ' || *text == '\t' || *text == '\r' || *text == '\n') ++text;
    if (*text == '+' && text[1] != '-') ++text;
    return text;
}

/// Reads the number at the start of `text`; false when there is none.
template <typename T>
bool parseNumber(const char* text, T& value, const char** end = nullptr)
{
    text = skipToNumber(text);
    const auto result = std::from_chars(text, text + std::strlen(text), value);
    if (end) *end = result.ptr;
    return result.ec == std::errc();
}

} // namespace util
