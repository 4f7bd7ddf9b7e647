// Grass fields that once broke the blade count.
#include "grass/grass_field.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A scene file's grass area with a garbled number gave an undefined patch
// size, and the blade count of a patch was then NaN turned into an int.
TEST(GrassRegressions, AnUndefinedFieldSizeGivesNoBlades)
{
    GrassField field;
    const float area[4] = {0, 0, std::nanf(""), 100};
    field.initField(area, 10, 10, nullptr);
    field.setBladesPerSquareMetre(2147483647);
    EXPECT_EQ(field.settings.bladesPerPatch, 0);
}

} // namespace
