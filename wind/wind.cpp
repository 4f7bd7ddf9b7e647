#include "wind/wind.h"

#include "util/number.h"
#include "util/random.h"
#include "wind/director.h"

#include <cmath>
#include <iostream>

namespace {

god_of_gusts director;
bounding_box2d wind_area{1.0f, 0.0f, 1.0f, 0.0f};
float height_drawing_gust = 0.0f;
double breeze_time = 0.0;

float breeze_power = 50.0f;
float breeze_speed = 1.0f;
float gust_power = 200.0f;
float gust_speed = 1.0f;
float blast_param = 0.5f;
float blast_power = 200.0f;

} // namespace

god_of_gusts& windDirector() { return director; }
const bounding_box2d& windArea() { return wind_area; }
float windDrawingHeight() { return height_drawing_gust; }
double windBreezeTime() { return breeze_time; }

void windInit(const float area[4], const float& height)
{
    date::horloge = 0.0;
    // Bounded, like the settings below: the crossings and the query multiply them.
    wind_area = {util::bounded(area[2]), util::bounded(area[0]), util::bounded(area[3]), util::bounded(area[1])};
    height_drawing_gust = util::bounded(height);
    director.delete_all_primitives();
}

void windUpdate(const float& dt)
{
    breeze_time += dt * breeze_speed;
    date::horloge += dt * gust_speed;
    director.update_primitives();
}

influence windBreezeAt(const float& x, const float& y)
{
    util::randomSeed(truncated_seed(300 * x + 700 * y));
    const float a = 3.14f * util::randomUnit();
    const float b = 0.2f * util::randomUnit();
    const float c = 0.1f + 0.6f * util::randomUnit();
    const float d = 0.2f + 0.1f * util::randomUnit();
    const float e = 50 * util::randomUnit();
    const float m = b + c * static_cast<float>(std::cos(d * breeze_time + e));
    return {breeze_power, m * std::cos(a), m * std::sin(a)};
}

void windGetInfluence(const float& x, const float& y,
                      const float& in_power, const float& in_dx, const float& in_dy,
                      float& out_power, float& out_dx, float& out_dy)
{
    influence w{in_power, in_power * in_dx, in_power * in_dy};
    const influence b = windBreezeAt(x, y);
    w = {w.power + b.power, w.dx + b.power * b.dx, w.dy + b.power * b.dy};
    w = director.accumulate_influences({x, y}, w);
    out_power = w.power;
    out_dx = w.dx;
    out_dy = w.dy;
}

void windAddGust(const float& half_length, const float& half_width)
{
    const float speed = 8 + 4 * util::randomUnit();
    director.add_gust(1.0f, wind_area.x_max, wind_area.x_min, wind_area.y_max, wind_area.y_min, speed,
                      half_length, half_width);
}

void windAddBlast(const float& radius)
{
    const float speed = 8 + 4 * util::randomUnit();
    director.add_blast(1.0f, wind_area.x_max, wind_area.x_min, wind_area.y_max, wind_area.y_min, speed,
                       radius);
}

void windDraw()
{
    for (const auto& p : director.alive()) p->draw();
}

void windSetBreezePower(const float& value) { breeze_power = util::bounded(value); }
float windGetBreezePower() { return breeze_power; }
void windSetBreezeSpeed(const float& value) { breeze_speed = util::bounded(value); }
float windGetBreezeSpeed() { return breeze_speed; }
void windSetGustPower(const float& value) { gust_power = util::bounded(value); }
float windGetGustPower() { return gust_power; }

void windSetGustSpeed(const float& value)
{
    // The date may not run backwards: the lives of the gusts would throw.
    if (!(value >= 0) || !std::isfinite(value)) {
        debug_warning("windSetGustSpeed: gust_speed must be a finite value >= 0, kept " +
                          std::to_string(gust_speed),
                      1);
        return;
    }
    gust_speed = util::bounded(value);
}

float windGetGustSpeed() { return gust_speed; }
void windSetBlastParam(const float& value) { blast_param = util::bounded(value); }
float windGetBlastParam() { return blast_param; }
void windSetBlastPower(const float& value) { blast_power = util::bounded(value); }
float windGetBlastPower() { return blast_power; }

void windGetLocalInfluence(const short&, const float&, const float&,
                           float& out_power, float& out_dx, float& out_dy)
{
    std::cout << "error : fct windGetLocalInfluence (const short& numberDtPrecedent, ...) ne fonctionne "
                 "pas pour l'instant "
              << std::endl;
    out_power = 0;
    out_dx = 0;
    out_dy = 0;
}
