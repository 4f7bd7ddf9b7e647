#include "util/number.h"

#include <gmock/gmock.h>

#include <cfloat>
#include <string>

// Every text whose value fits a float reads as atof reads it; values that do
// not fit are refused, leave the setting and name it in one line.
TEST(Number, ReadsAsAtofAndRefusesWhatAFloatCannotHold)
{
    const struct {
        const char* text;
        float value;
    } fitting[] = {{"", 0}, {"   ", 0}, {"abc", 0}, {"12.5", 12.5f}, {"  -3e2", -300}, {"+7", 7}, {"\t0.25x", 0.25f},
                   {"0x10", 16}, {"-0X1p-2", -0.25f}, {".5", 0.5f}, {"1e-50", 0}, {"3.4028234e38", FLT_MAX},
                   {"-3.40282356e38", -FLT_MAX}};
    for (const auto& c : fitting) {
        float value = 99;
        testing::internal::CaptureStdout();
        EXPECT_TRUE(util::readFloat("grass_height", c.text, value)) << c.text;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.text;
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
    for (const char* text : {"nan", "-NAN(12)", "inf", "-Infinity", "1e39", " -1e39", "3.4028236e38", "1e400"}) {
        float value = 99;
        testing::internal::CaptureStdout();
        EXPECT_FALSE(util::readFloat("crushing_power_exp", text, value)) << text;
        const std::string line = testing::internal::GetCapturedStdout();
        EXPECT_EQ(value, 99) << text;
        EXPECT_THAT(line, testing::MatchesRegex("[^\n]*crushing_power_exp[^\n]*\n")) << "one line naming the attribute";
    }
}

TEST(Number, ListsAndIntegersFollowTheSameRules)
{
    float values[4] = {1, 2, 3, 4};
    testing::internal::CaptureStdout();
    EXPECT_EQ(util::readFloats("area", "  5 nan\t0x10 1e39 7 8", values, 4), 4);
    const std::string line = testing::internal::GetCapturedStdout();
    EXPECT_THAT(values, testing::ElementsAre(5, 2, 16, 4));
    EXPECT_EQ(line.find("area"), line.rfind("area")) << "one line for the attribute: " << line;
    EXPECT_EQ(util::readFloats("area", " 9 ", values, 4), 1);
    EXPECT_EQ(values[0], 9);
    EXPECT_EQ(util::readFloats("area", "  ", values, 4), 0) << "an empty list reads nothing";
    EXPECT_EQ(values[0], 9);

    const struct {
        const char* text;
        bool read;
        int value;
    } integers[] = {{"", true, 0}, {" -12", true, -12}, {"0x10", true, 0}, {"7.9", true, 7}, {"1e3", true, 1},
                    {"2147483647", true, 2147483647}, {"2147483648", false, 5}, {"-99999999999999999999", false, 5}};
    testing::internal::CaptureStdout();
    for (const auto& c : integers) {
        int n = 5;
        EXPECT_EQ(util::readInt("number_squaremeters", c.text, n), c.read) << c.text;
        EXPECT_EQ(n, c.value) << c.text;
    }
    int side = 5;  // within bounds of its own
    EXPECT_TRUE(util::readInt("sizex", "1024", side, 1, 1024));
    EXPECT_FALSE(util::readInt("sizex", "1025", side, 1, 1024));
    EXPECT_FALSE(util::readInt("sizex", "0", side, 1, 1024));
    EXPECT_EQ(side, 1024);
    testing::internal::GetCapturedStdout();
}
