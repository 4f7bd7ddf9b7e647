#include "grass/rock_record.h"

void placeRockRecord(RockRecord& record, const float p[3])
{
    moveRockRecord(record, p, false);
}

void moveRockRecord(RockRecord& record, const float p[3], bool keepPrevious)
{
    record.currentPosition[0] = p[0];
    record.currentPosition[1] = p[1];
    record.currentPosition[2] = p[2] + record.crushingPowerExp;
    if (!keepPrevious) {
        for (int k = 0; k < 3; ++k) record.previousPosition[k] = record.currentPosition[k];
    }
}
