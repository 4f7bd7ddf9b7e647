// Figures, paths and the influence of one gust or blast.
#include "util/random.h"
#include "wind/primitives.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float PI = math_perso::PI;

void expectThrows(void (*make)(), const char* text)
{
    try {
        make();
        ADD_FAILURE() << "no exception, expected " << text;
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), text);
    }
}

// A gust at full intensity at `pose`, a = half length, b = half width.
std::unique_ptr<gust_of_wind> gustAt(pose2d pose, float a, float b)
{
    auto g = std::make_unique<gust_of_wind>(new rectangle(pose, a, b),
                                            new birth<gust_of_wind>(nullptr, 1, 2.5),
                                            new death<gust_of_wind>(nullptr, 8.5, 10));
    g->intensity = 1.0f;
    return g;
}

std::unique_ptr<blast_of_air> blastAt(point2d centre, float radius)
{
    auto b = std::make_unique<blast_of_air>(new circle(centre, radius),
                                            new birth<blast_of_air>(nullptr, 1, 2.5),
                                            new death<blast_of_air>(nullptr, 8.5, 10));
    b->intensity = 1.0f;
    return b;
}

class Figures : public ::testing::Test {
protected:
    void SetUp() override
    {
        date::horloge = 0.0;
        windSetGustPower(200.0f);
        windSetBlastPower(200.0f);
        windSetBlastParam(0.5f);
    }
    void TearDown() override
    {
        date::horloge = 0.0;
        windSetBlastParam(0.5f);
    }
};

} // namespace

TEST_F(Figures, NegativeSizesAreRefused)
{
    expectThrows([] { circle({0, 0}, -1); }, "circle:circle: radius<0");
    expectThrows([] { rectangle({{0, 0}, 0}, -1, 1); }, "rectangle:rectangle: min>max");
    expectThrows([] { rectangle({{0, 0}, 0}, 1, -1); }, "rectangle:rectangle: min>max");
    EXPECT_NO_THROW(circle({0, 0}, 0));
    EXPECT_NO_THROW(rectangle({{0, 0}, 0}, 0, 0));
}

TEST_F(Figures, WeightFallsFromCentreToBorder)
{
    const circle c({2, 3}, 4);
    EXPECT_FLOAT_EQ(c.weight({2, 3}), 1.0f);
    EXPECT_FLOAT_EQ(c.weight({4, 3}), 0.5f);
    EXPECT_FLOAT_EQ(c.weight({6, 3}), 0.0f);
    EXPECT_FLOAT_EQ(c.weight({9, 3}), 0.0f);

    // A diagonal rectangle: points along its length are inside, across are not.
    const rectangle r({{0, 0}, PI / 4}, 2.0f, 0.5f);
    EXPECT_NEAR(r.weight({1, 1}), (2.0f - std::sqrt(2.0f)) / 2.0f, 1e-5);
    EXPECT_FLOAT_EQ(r.weight({-1, 1}), 0.0f);
    EXPECT_FLOAT_EQ(r.weight({0, 0}), 1.0f);
}

TEST_F(Figures, AreaSidesAndStraightPaths)
{
    const bounding_box2d box{10, 2, 20, 4};  // x_max, x_min, y_max, y_min
    const point2d top_left = box.random_point_on_side(0, 0), bottom_left = box.random_point_on_side(0, 1);
    EXPECT_EQ(top_left.x, 2);
    EXPECT_EQ(top_left.y, 20);
    EXPECT_EQ(bottom_left.y, 4);
    EXPECT_EQ(box.random_point_on_side(1, 0.5f).x, 10);
    EXPECT_EQ(box.random_point_on_side(2, 0).x, 10);
    EXPECT_EQ(box.random_point_on_side(2, 0).y, 4);
    EXPECT_EQ(box.random_point_on_side(3, 1).x, 2);
    EXPECT_EQ(box.random_point_on_side(3, 1).y, 20);
    EXPECT_DEATH(box.random_point_on_side(4, 0), "false");

    const straight_path east({1, 1}, 0);
    EXPECT_EQ(east.direction_at(5).x, 1);
    EXPECT_EQ(east.normal_at(5).y, -1);
    EXPECT_EQ(east.position_at(3).x, 4);
    EXPECT_EQ(east.position_at(3).y, 1);
    EXPECT_DEATH(straight_path({0, 0}, 7.0f), "\\(\\(angle>=0.0\\) && \\(angle<=2.0\\*math_perso::PI\\)\\)");

    const vector2d turned = rotate({1, 0}, PI / 2);
    EXPECT_NEAR(turned.x, 0, 1e-6);
    EXPECT_NEAR(turned.y, -1, 1e-6);
}

TEST_F(Figures, DirectionAnglesStayInRangeForAStraightPath)
{
    EXPECT_FLOAT_EQ(angle_of({0, 1}), PI / 2);
    EXPECT_FLOAT_EQ(angle_of({0, -1}), 3 * PI / 2);
    EXPECT_EQ(angle_of({1.0000001f, 0}), 0.0f);  // acos would give NaN
    for (const vector2d u : {vector2d{1, -1e-30f}, vector2d{0.99999994f, -1e-4f}, vector2d{-1, -0.0f}}) {
        const float a = angle_of(u);
        EXPECT_GE(a, 0.0f);
        EXPECT_LE(a, 2 * PI);
        straight_path accepted({0, 0}, a);
    }
}

TEST_F(Figures, GustProfileAlongAndAcrossItsTravel)
{
    auto g = gustAt({{0, 0}, 0}, 3, 3);  // front at x = 3, side strips 1 wide
    EXPECT_EQ(g->get_influence({-3, 0}).power, 0.0f);           // back edge
    EXPECT_FLOAT_EQ(g->get_influence({2, 0}).power, 200.0f);    // peak at a − a/3
    EXPECT_NEAR(g->get_influence({0, 0}).power, 200.0f * 0.1296f, 1e-3);  // ((0 + 3) / 5)^4
    EXPECT_NEAR(g->get_influence({2.5f, 0}).power, 200.0f * std::pow(1 - 0.125f, 2), 1e-3);
    EXPECT_NEAR(g->get_influence({3, 0}).power, 0.0f, 1e-4);    // front edge
    EXPECT_FLOAT_EQ(g->get_influence({2, 2.5f}).power, 200.0f * 0.25f);  // half way down the strip
    EXPECT_FLOAT_EQ(g->get_influence({2, -2.5f}).power, 200.0f * 0.25f);
    EXPECT_NEAR(g->get_influence({2, 3}).power, 0.0f, 1e-4);
    const influence outside = g->get_influence({2, 3.01f});
    EXPECT_EQ(outside.power, 0.0f);
    EXPECT_EQ(outside.dx, 0.0f);
    EXPECT_EQ(outside.dy, 0.0f);

    g->intensity = 0.5f;
    EXPECT_FLOAT_EQ(g->get_influence({2, 0}).power, 100.0f);

    EXPECT_TRUE(std::isfinite(gustAt({{0, 0}, 0}, 0, 3)->get_influence({0, 0}).power));
}

TEST_F(Figures, GustBlowsAlongItsTravelWithinAJitter)
{
    auto g = gustAt({{10, 10}, PI / 2}, 3, 2);  // travelling towards +y
    util::randomSeed(1);
    for (int i = 0; i < 50; ++i) {
        const influence w = g->get_influence({10, 12});  // 2 ahead of the centre: the peak
        EXPECT_FLOAT_EQ(w.power, 200.0f);
        EXPECT_NEAR(std::hypot(w.dx, w.dy), 1.0f, 1e-5);
        EXPECT_LE(std::fabs(std::atan2(w.dy, w.dx) - PI / 2), 0.4f + 1e-5);
    }
    EXPECT_EQ(g->get_influence({12, 10}).power, 0.0f);  // beside the gust, not ahead
}

TEST_F(Figures, BlastCoreRingAndRim)
{
    auto b = blastAt({0, 0}, 5);  // core inside 1, rim beyond 4
    date::horloge = 3.7;
    const influence core = b->get_influence({0.3f, 0.4f});
    EXPECT_FLOAT_EQ(core.power, 200.0f);
    EXPECT_GT(core.dx, 0.0f);  // outward
    EXPECT_NEAR(core.dy / core.dx, 0.4f / 0.3f, 1e-4);
    EXPECT_FLOAT_EQ(b->get_influence({0, 2.5f}).power, 200.0f);
    EXPECT_NEAR(b->get_influence({0, -4.5f}).power, 100.0f, 1e-3);
    EXPECT_NEAR(b->get_influence({5, 0}).power, 0.0f, 1e-4);
    const influence outside = b->get_influence({5.01f, 0});
    EXPECT_EQ(outside.power, 0.0f);
    EXPECT_EQ(outside.dx, 0.0f);

    windSetBlastParam(2.0f);  // the push is clamped to a unit direction
    const influence strong = b->get_influence({-0.3f, 0.4f});
    EXPECT_NEAR(std::hypot(strong.dx, strong.dy), 1.0f, 1e-6);

    const influence centre = b->get_influence({0, 0});
    EXPECT_TRUE(std::isfinite(centre.dx) && std::isfinite(centre.dy));
    date::horloge = 0.0;
    EXPECT_TRUE(std::isfinite(blastAt({0, 0}, 0)->get_influence({0, 0}).power));
}

TEST_F(Figures, BlastFlapsRepeatablyAtAPoint)
{
    auto b = blastAt({0, 0}, 5);
    date::horloge = 2.0;
    const influence first = b->get_influence({1.5f, 2.0f});
    util::randomDraw();  // whatever the sequence was doing
    const influence again = b->get_influence({1.5f, 2.0f});
    EXPECT_EQ(first.dx, again.dx);
    EXPECT_EQ(first.dy, again.dy);

    float lo = 1, hi = 0;
    for (int step = 0; step < 40; ++step) {
        date::horloge = 2.0 + 0.05 * step;
        const influence w = b->get_influence({1.5f, 2.0f});
        lo = std::min(lo, std::hypot(w.dx, w.dy));
        hi = std::max(hi, std::hypot(w.dx, w.dy));
    }
    EXPECT_GT(hi - lo, 0.01f);  // it flaps over time
}
