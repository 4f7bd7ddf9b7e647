#pragma once
/// Text of numbers and messages, the same in every module: numbers in the C
/// notation whatever the process locale (the Qt application adopts the
/// user's, which may write "0,5"), so files move between machines.
#include <cstdio>
#include <string>

namespace util {

/// `value` with `decimals` decimals, as "%f" writes it in the "C" locale.
std::string fixedText(double value, int decimals = 6);

/// printf-style text of any length.
template <class... Args>
std::string format(const char* pattern, Args... args)
{
    const int length = std::snprintf(nullptr, 0, pattern, args...);
    if (length <= 0) return "";
    std::string text(size_t(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern, args...);
    text.pop_back();
    return text;
}

} // namespace util
