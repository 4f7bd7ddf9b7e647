#pragma once
// A wind back at its start-up state over a chosen area.
#include "wind/director.h"
#include "wind/wind.h"

#include <gtest/gtest.h>

class WindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        windSetBreezePower(50.0f);
        windSetBreezeSpeed(1.0f);
        windSetGustPower(200.0f);
        windSetGustSpeed(1.0f);
        windSetBlastParam(0.5f);
        windSetBlastPower(200.0f);
        const float area[4] = {0.0f, 0.0f, 100.0f, 100.0f};
        windInit(area, 0.0f);
    }
    void TearDown() override { SetUp(); }

    // The first primitive of `list` born at `date`, or null.
    static wind_primitive* bornAt(const std::list<std::unique_ptr<wind_primitive>>& list, double date)
    {
        for (const auto& p : list)
            if (p->date_of_birth == date) return p.get();
        return nullptr;
    }
};
