#pragma once
/// Numbers of tree parameter files, read in the C notation whatever the
/// process locale (the Qt application adopts the user's, which may write "0,5").
#include <charconv>
#include <cstring>

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
