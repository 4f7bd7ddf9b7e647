// Figures, paths and the influence of one gust or blast.
#include "wind_fixture.h"

#include <cmath>

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
}

TEST_F(WindTest, GustProfileAlongAndAcrossItsTravel)
{
    auto g = atFullIntensity<gust_of_wind>(new rectangle({{0, 0}, 0}, 3, 3));  // strips 1 wide
    EXPECT_EQ(g->get_influence({-3, 0}).power, 0.0f);                      // back edge
    EXPECT_FLOAT_EQ(g->get_influence({2, 0}).power, 200.0f);               // peak at a − a/3
    EXPECT_NEAR(g->get_influence({0, 0}).power, 200.0f * 0.1296f, 1e-3);   // ((0 + 3) / 5)^4
    EXPECT_NEAR(g->get_influence({3, 0}).power, 0.0f, 1e-4);               // front edge
    EXPECT_FLOAT_EQ(g->get_influence({2, -2.5f}).power, 200.0f * 0.25f);   // half way down a strip
    EXPECT_TRUE(std::isfinite(atFullIntensity<gust_of_wind>(new rectangle({{0, 0}, 0}, 0, 3))->get_influence({0, 0}).power));

    auto north = atFullIntensity<gust_of_wind>(new rectangle({{10, 10}, PI / 2}, 3, 2));
    north->intensity = 0.5f;
    for (int i = 0; i < 20; ++i) {  // a unit push within the jitter around the travel direction
        const influence w = north->get_influence({10, 12});
        EXPECT_TRUE(w.power == 100.0f && std::fabs(std::hypot(w.dx, w.dy) - 1) < 1e-5f) << w.power;
        EXPECT_LE(std::fabs(std::atan2(w.dy, w.dx) - PI / 2), 0.4f + 1e-5);
    }
}

TEST_F(WindTest, BlastCoreRingRimAndFlapping)
{
    auto b = atFullIntensity<blast_of_air>(new circle({0, 0}, 5));  // core inside 1, rim beyond 4
    EXPECT_TRUE(std::isfinite(atFullIntensity<blast_of_air>(new circle({0, 0}, 0))->get_influence({0, 0}).power));
    date::horloge = 3.7;
    const influence core = b->get_influence({0.3f, 0.4f});
    EXPECT_TRUE(core.power == 200.0f && core.dx > 0 && std::fabs(core.dy / core.dx - 0.4f / 0.3f) < 1e-4f);  // outward
    EXPECT_NEAR(b->get_influence({0, -4.5f}).power, 100.0f, 1e-3);
    EXPECT_EQ(b->get_influence({5.01f, 0}).power, 0.0f);
    EXPECT_TRUE(std::isfinite(b->get_influence({0, 0}).dx) && std::isfinite(b->get_influence({0, 0}).dy));
    windSetBlastParam(2.0f);  // the push is clamped to a unit direction
    const influence clamped = b->get_influence({-0.3f, 0.4f});
    EXPECT_NEAR(std::hypot(clamped.dx, clamped.dy), 1.0f, 1e-6);

    // It flaps over time.
    windSetBlastParam(0.5f);
    const influence now = b->get_influence({1.5f, 2.0f});
    date::horloge = 3.8;
    EXPECT_GT(std::fabs(b->get_influence({1.5f, 2.0f}).dx - now.dx), 0.01f);
}
