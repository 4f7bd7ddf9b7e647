// Figures, paths and the influence of one gust or blast.
#include "wind_fixture.h"

#include "util/random.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr float PI = math_perso::PI;

template <class P, class F>
std::unique_ptr<P> atFullIntensity(F* figure)
{
    auto p = std::make_unique<P>(figure, new birth<P>(nullptr, 1, 2.5), new death<P>(nullptr, 8.5, 10));
    p->intensity = 1.0f;
    return p;
}

} // namespace

TEST_F(WindTest, FigureChecks)
{
    EXPECT_INVALID(circle({0, 0}, -1), "circle:circle: radius<0");
    EXPECT_INVALID(rectangle({{0, 0}, 0}, 1, -1), "rectangle:rectangle: min>max");
    // Directions whose angle rounds to the ends of the range still make a path.
    for (const vector2d u : {vector2d{1.0000001f, 0}, vector2d{1, -1e-30f}, vector2d{-1.0000001f, -0.0f}})
        straight_path({0, 0}, angle_of(u));
    // Downward directions take 2π − acos(u.x).
    const std::pair<vector2d, float> angles[] = {{{0, 1}, PI / 2}, {{-1, 0}, PI}, {{0, -1}, 1.5f * PI},
                                                 {{0.6f, -0.8f}, 2 * PI - std::acos(0.6f)}, {{-0.6f, 0.8f}, std::acos(-0.6f)}};
    for (const auto& [u, angle] : angles) EXPECT_NEAR(angle_of(u), angle, 1e-6) << u.x << " " << u.y;
}

TEST_F(WindTest, GustProfileAlongAndAcrossItsTravel)
{
    auto g = atFullIntensity<gust_of_wind>(new rectangle({{0, 0}, 0}, 3, 3));  // strips 1 wide
    const std::pair<point2d, float> cases[] = {
        {{-3, 0}, 0},                    // back edge
        {{2, 0}, 200},                   // peak at a − a/3
        {{0, 0}, 200 * 0.1296f},         // ((0 + 3) / 5)^4
        {{2.5f, 0}, 200 * 0.765625f},    // front: (1 − 0.5³)²
        {{3, 0}, 0},                     // front edge
        {{2, -2.5f}, 200 * 0.25f},       // half way across either strip
        {{2, 2.5f}, 200 * 0.25f},
        {{2, 3.1f}, 0}};
    for (const auto& [p, power] : cases) EXPECT_NEAR(g->get_influence(p).power, power, 1e-3) << p.x << " " << p.y;
    EXPECT_TRUE(std::isfinite(atFullIntensity<gust_of_wind>(new rectangle({{0, 0}, 0}, 0, 3))->get_influence({0, 0}).power));

    // Heading north at half intensity: the push is the travel direction turned by 0.4·(2r − 1), r the next draw.
    auto north = atFullIntensity<gust_of_wind>(new rectangle({{10, 10}, PI / 2}, 3, 2));
    north->intensity = 0.5f;
    for (const unsigned seed : {1u, 2u, 7u}) {
        util::randomSeed(seed);
        const float phi = PI / 2 + 0.4f * (2 * (util::randomDraw() / 32767.0f) - 1);
        util::randomSeed(seed);
        const influence w = north->get_influence({10, 12});
        EXPECT_TRUE(w.power == 100.0f && std::fabs(w.dx - std::cos(phi)) < 1e-6f && std::fabs(w.dy - std::sin(phi)) < 1e-6f)
            << w.power << " " << w.dx << " " << w.dy;
    }
}

namespace {

// A blast of radius 5 at the origin, at intensity 0.5, from its formula: the
// six draws seeded from the point, then core (D < 1), ring and rim (D > 4).
influence blastFormula(float x, float y)
{
    util::randomSeed(static_cast<unsigned>(static_cast<int>(9816.2165 * y + 32.0 * x)));
    double r[6];
    for (double& v : r) v = util::randomDraw() / 32767.0f;
    const double R = 5, D = std::hypot(double(x), double(y)), a1 = 0.5 * r[0], k1 = windGetBlastParam() + 0.1 * r[1];
    const double a2 = 0.1 * r[2], k2 = 0.1 + 0.2 * r[3];
    const double w = std::cos(date::horloge * (2 + 8 * r[4]) * (2 * R - D) + 500 * r[5]);
    const double t = (D - 1) / 3;
    double k = D < 1 ? a1 * w + k1 : D > 4 ? a2 * w + k2 : ((1 - t) * a2 + t * a1) * w + (1 - t) * k2 + t * k1;
    k = std::clamp(k, 0.0, 1.0);
    return {float(D > 4 ? 100 * (R - D) : 100), float(k * x / D), float(k * y / D)};
}

} // namespace

TEST_F(WindTest, BlastCoreRingRimAndFlapping)
{
    auto b = atFullIntensity<blast_of_air>(new circle({0, 0}, 5));
    b->intensity = 0.5f;
    EXPECT_TRUE(std::isfinite(atFullIntensity<blast_of_air>(new circle({0, 0}, 0))->get_influence({0, 0}).power));
    EXPECT_TRUE(std::isfinite(b->get_influence({0, 0}).dx) && std::isfinite(b->get_influence({0, 0}).dy));
    EXPECT_EQ(b->get_influence({5.01f, 0}).power, 0.0f);
    // Core, the core's and the rim's edges (ring ends), mid-ring, rim, edge; flapping over time; the push clamped.
    const point2d points[] = {{0.3f, 0.4f}, {1, 0}, {0, -2.5f}, {-4, 0}, {0, 4.75f}, {-3, -4}, {1.5f, 2}};
    for (const float param : {0.5f, 2.0f})
        for (const double date : {3.7, 3.8})
            for (const point2d p : points) {
                windSetBlastParam(param);
                date::horloge = date;
                const influence want = blastFormula(p.x, p.y), got = b->get_influence(p);
                EXPECT_TRUE(std::fabs(got.power - want.power) < 1e-3f && std::fabs(got.dx - want.dx) < 1e-5f
                            && std::fabs(got.dy - want.dy) < 1e-5f)
                    << p.x << " " << p.y << " " << date << ": " << got.power << " " << got.dx << " " << got.dy
                    << " want " << want.power << " " << want.dx << " " << want.dy;
            }
}
