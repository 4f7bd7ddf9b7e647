#include "wind/primitives.h"

#include "util/random.h"

#include <algorithm>
#include <climits>
#include <cmath>

unsigned int truncated_seed(double value)
{
    // Written so that NaN pins too: converting it to int is undefined.
    const double pinned = value > INT_MAX ? INT_MAX : value >= INT_MIN ? value : INT_MIN;
    return static_cast<unsigned int>(static_cast<int>(pinned));
}

// [SECTION] primitive, wind_primitive

primitive::primitive(figure2d* shape, double date_of_birth, double date_of_death)
    : shape(shape), date_of_birth(date_of_birth), date_of_death(date_of_death)
{
}

void primitive::print(std::ostream& os) const
{
    indent(os) << "primitive:\n";
    indent(os) << (dead ? "I'm dead" : "I'm not dead") << "\n";
    indent(os) << (born ? "I'm born" : "I'm not born") << "\n";
    shape->print(os);
}

wind_primitive::wind_primitive(figure2d* shape, double date_of_birth, double date_of_death, float power)
    : primitive(shape, date_of_birth, date_of_death), power(power)
{
}

void wind_primitive::print(std::ostream& os) const
{
    primitive::print(os);
    indent(os) << "wind_primitive:\n";
    indent(os) << "power = " << power << " intensity = " << intensity << "\n";
}

// [SECTION] gust_of_wind

influence gust_of_wind::get_influence(point2d p) const
{
    const pose2d& pose = shape->get_pose();
    const float dx = p.x - pose.position.x, dy = p.y - pose.position.y;
    const float c = shape->cos_angle(), s = shape->sin_angle();
    const float lx = c * dx + s * dy;   // along the travel
    const float ly = -s * dx + c * dy;  // across
    const float a = rect->half_length(), b = rect->half_width();
    // A gust of no length covers no point (the profile would divide by zero).
    if (std::fabs(lx) > a || std::fabs(ly) > b || a <= 0) return {0.0f, 0.0f, 0.0f};

    const float r = util::randomUnit();
    const float peak = a - a / 3;
    float f;
    if (lx <= peak) {
        const float t = (lx + a) / (2 * a - a / 3);
        f = t * t;
    } else {
        const float t = (lx - peak) / (a / 3);
        f = 1 - t * t * t;
    }
    const float q = b / 3;
    if (ly < -b + q) f *= (b + ly) / q;
    if (ly > b - q) f *= (b - ly) / q;
    f = std::clamp(f, 0.0f, 1.0f);
    const float phi = pose.angle + 0.4f * (2 * r - 1);
    return {windGetGustPower() * intensity * f * f, std::cos(phi), std::sin(phi)};
}

// [SECTION] blast_of_air

influence blast_of_air::get_influence(point2d p) const
{
    const point2d c = shape->get_pose().position;
    const double R = disc->radius();
    const double ex = p.x - c.x, ey = p.y - c.y;
    const double D = std::sqrt(ex * ex + ey * ey);

    // The six draws are a fixed function of the point, so each point of the
    // blast flaps at its own rate and phase. They are made even outside the
    // disc: the sequence that follows must not depend on the hit.
    util::randomSeed(truncated_seed(9816.2165 * p.y + 32.0 * p.x));
    const double a1 = 0.5 * util::randomUnit();
    const double k1 = windGetBlastParam() + 0.1 * util::randomUnit();
    const double a2 = 0.1 * util::randomUnit();
    const double k2 = 0.1 + 0.2 * util::randomUnit();
    const double omega = (2 + 8 * util::randomUnit()) * (2 * R - D);
    const double psi = 500 * util::randomUnit();

    // A disc of no radius covers no point (the ring and rim would divide by zero).
    if (D > R || R <= 0) return {0.0f, 0.0f, 0.0f};

    const double rho = R / 5;
    const double w = std::cos(date::horloge * omega + psi);
    const double full = static_cast<double>(windGetBlastPower()) * intensity;
    double k, power;
    if (D < rho) {
        k = a1 * w + k1;
        power = full;
    } else if (D > R - rho) {
        k = a2 * w + k2;
        power = (1 - (D + rho - R) / rho) * full;
    } else {
        // The ring starts with the rim's amplitude and offset and ends with the core's.
        const double t = (D - rho) / (R - 2 * rho);
        k = ((1 - t) * a2 + t * a1) * w + (1 - t) * k2 + t * k1;
        power = full;
    }
    k = std::clamp(k, 0.0, 1.0);
    // At the very centre there is no outward direction: the blast only adds power.
    if (D <= 0) return {static_cast<float>(power), 0.0f, 0.0f};
    return {static_cast<float>(power), static_cast<float>(k * ex / D), static_cast<float>(k * ey / D)};
}

// [SECTION] breeze

bool breeze::update()
{
    living_wind_primitive::update();
    shape->set_pose({{0.0f, 0.0f}, shape->get_pose().angle});
    return !dead;
}

influence breeze::get_influence(point2d p) const
{
    // Every breeze is measured against the radius of the first one evaluated.
    static const float first_radius = static_cast<const circle&>(*shape).radius();
    const point2d c = shape->get_pose().position;
    const float dx = p.x - c.x, dy = p.y - c.y;
    if (dx * dx + dy * dy >= first_radius * first_radius) return {0.0f, 0.0f, 0.0f};
    const float r1 = util::randomUnit(), r2 = util::randomUnit(), r3 = util::randomUnit(),
                r4 = util::randomUnit(), r5 = util::randomUnit();
    const float alpha = 6.28f * r1;
    const float m = static_cast<float>(std::cos(100 * r5 + 0.3 * r4 * date::horloge) * (0.2 + 0.5 * r3) +
                                       0.4 * r2);
    return {power, m * std::cos(alpha), m * std::sin(alpha)};
}
