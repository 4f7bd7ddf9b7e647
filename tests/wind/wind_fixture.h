#pragma once
// A wind back at its start-up settings over a 100 m field.
#include "wind/director.h"
#include "wind/wind.h"

#include <gtest/gtest.h>

#include <stdexcept>

// Checks that `statement` throws std::invalid_argument with exactly `text`.
#define EXPECT_INVALID(statement, text)                                                   \
    try { statement; ADD_FAILURE() << "no exception, expected " << (text); }              \
    catch (const std::invalid_argument& e) { EXPECT_STREQ(e.what(), text); }

class WindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        windSetBreezePower(50.0f), windSetBreezeSpeed(1.0f), windSetGustPower(200.0f);
        windSetGustSpeed(1.0f), windSetBlastParam(0.5f), windSetBlastPower(200.0f);
        const float area[4] = {0.0f, 0.0f, 100.0f, 100.0f};
        windInit(area, 0.0f);
    }
    void TearDown() override { SetUp(); }
};
