#include "wind/director.h"

#include "util/random.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double birth_duration = 1.5;
constexpr double death_duration = 1.5;

// Where a crossing starts and which way it heads; the figure starts and ends
// `extent` beyond the area, so it enters and leaves whole.
struct crossing {
    point2d start;
    float angle;
    double duration;
};

// Draws the sides and points of a crossing from the reseeded sequence. False
// when the start and end points coincide: there is then no direction.
bool draw_crossing(const bounding_box2d& area, float extent, float speed, crossing& out)
{
    int s1 = static_cast<int>(4 * util::randomUnit());
    if (s1 > 3) s1 = 3;  // a draw of exactly 1 would name a fifth side
    int s2 = static_cast<int>(s1 + 3 * util::randomUnit());
    if (s2 > s1 + 2) s2 = s1 + 2;  // nor the side before the entry: the exit is the entry or one of the two after
    if (s2 > 3) s2 -= 4;
    point2d p1 = area.random_point_on_side(s1, util::randomUnit());
    point2d p2 = area.random_point_on_side(s2, util::randomUnit());
    const float length = std::hypot(p2.x - p1.x, p2.y - p1.y);
    if (!(length > 0) || !std::isfinite(length)) return false;
    const vector2d u{(p2.x - p1.x) / length, (p2.y - p1.y) / length};
    p1 = {p1.x - 2 * extent * u.x, p1.y - 2 * extent * u.y};
    p2 = {p2.x + 2 * extent * u.x, p2.y + 2 * extent * u.y};
    double T = std::hypot(p2.x - p1.x, p2.y - p1.y) / speed;
    if (T <= birth_duration + death_duration) T = birth_duration + death_duration + 1.0;
    out = {p1, angle_of(u), T};
    return true;
}

template <class P, class F>
void launch(god_of_gusts& director, float from, F* figure, const crossing& c, float speed)
{
    std::unique_ptr<F> owned_figure(figure);
    const double t0 = date::horloge + from;
    auto* b = new birth<P>(nullptr, t0, t0 + birth_duration);
    auto* d = new death<P>(nullptr, t0 + c.duration - death_duration, t0 + c.duration);
    auto* p = new P(owned_figure.release(), b, d);
    std::unique_ptr<P> owned(p);
    p->life->add_slice_of_life(
        new follow_the_path<P>(new straight_path(c.start, c.angle), p, t0, t0 + c.duration, speed));
    director.add_primitive(owned.release());
}

} // namespace

unsigned int date_seed(double date)
{
    uint64_t bits;
    std::memcpy(&bits, &date, sizeof bits);
    return util::mixedSeed(static_cast<uint32_t>(bits >> 32) ^ util::mixedSeed(static_cast<uint32_t>(bits)));
}

void god_of_gusts::add_gust(float from, float x_max, float x_min, float y_max, float y_min,
                            float speed, float half_length, float half_width)
{
    WIND_CHECK(from>0);
    util::randomSeed(date_seed(date::horloge));
    crossing c;
    if (!draw_crossing({x_max, x_min, y_max, y_min}, half_length, speed, c)) {
        debug_warning("add_gust: the wind area has no extent, no gust launched", 1);
        return;
    }
    launch<gust_of_wind>(*this, from, new rectangle({{0.0f, 0.0f}, 0.0f}, half_length, half_width), c,
                         speed);
}

void god_of_gusts::add_blast(float from, float x_max, float x_min, float y_max, float y_min,
                             float speed, float radius)
{
    WIND_CHECK(from>0);
    util::randomSeed(date_seed(2 * date::horloge));
    crossing c;
    if (!draw_crossing({x_max, x_min, y_max, y_min}, radius, speed, c)) {
        debug_warning("add_blast: the wind area has no extent, no blast launched", 1);
        return;
    }
    launch<blast_of_air>(*this, from, new circle(c.start, radius), c, speed);
}

influence god_of_gusts::accumulate_influences(point2d point, influence w) const
{
    for (const auto& p : alive()) {
        const influence i = p->get_influence(point);
        w.power += i.power;
        w.dx += i.power * i.dx;
        w.dy += i.power * i.dy;
    }
    if (w.power <= 1) {
        w.dx = 0;
        w.dy = 0;
    } else {
        w.dx /= w.power;
        w.dy /= w.power;
    }
    if (w.power < 30) {
        w.dx *= w.power / 30;
        w.dy *= w.power / 30;
    }
    return w;
}

void god_of_gusts::print(std::ostream& os) const
{
    print_scope scope;
    indent(os) << "Overbooker god of primitive:\n";
    indent(os) << "list of not born primitives:\n";
    for (const auto& p : not_born()) p->print(os);
    indent(os) << "list of alive primitives:\n";
    for (const auto& p : alive()) p->print(os);
    indent(os) << "list of dead primitives:\n";
    for (const auto& p : dead()) p->print(os);
}
