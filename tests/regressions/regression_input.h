#pragma once
// Inputs that once broke a reader, kept beside these tests.
#include <string>

/// Path of the committed input `name`.
inline std::string regressionInput(const std::string& name)
{
    return std::string(VELMORA_SOURCE_DIR) + "/tests/regressions/inputs/" + name;
}
