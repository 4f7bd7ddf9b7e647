#pragma once
/// What the grass needs to know about a rock: its crushing parameters and the
/// segment it travelled since the last crushing step. The rock fills it; the
/// grass crushes along previous -> current and then moves previous up.

/// The rock's crushing record (all lengths in metres).
struct RockRecord {
    float crushingPower = 200;              ///< multiplies the crush strength
    float crushingPowerExp = 0.2f;          ///< raised into z of both stored positions
    float crushingPropagation = 0.001f;     ///< strength below which the crush stops spreading
    float crushingMysteryParameter = 0.4f;  ///< spread factor: how fast the push turns sideways with distance
    float previousPosition[3] = {0, 0, 0};  ///< start of the crushed segment
    float currentPosition[3] = {0, 0, 0};   ///< end of the crushed segment
};

/// Puts the rock at ground point `p`: both positions become p raised by crushingPowerExp.
void placeRockRecord(RockRecord& record, const float p[3]);

/// Moves the segment's end to ground point `p` (raised by crushingPowerExp);
/// unless `keepPrevious`, the start follows it.
void moveRockRecord(RockRecord& record, const float p[3], bool keepPrevious);
