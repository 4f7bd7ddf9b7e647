// Figures, paths and the influence of one gust or blast.
#include "wind_fixture.h"

#include "util/random.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

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

    // Heading north at half intensity: 200·0.5 at the peak, pushed by a unit
    // vector turned from π/2 by 0.4·(2r − 1), both ways over the draws.
    auto north = atFullIntensity<gust_of_wind>(new rectangle({{10, 10}, PI / 2}, 3, 2));
    north->intensity = 0.5f;
    float least = 1, most = -1;
    util::randomSeed(1);
    for (int k = 0; k < 200; ++k) {  // a draw each
        const influence w = north->get_influence({10, 12});
        EXPECT_EQ(w.power, 100.0f);
        EXPECT_NEAR(std::hypot(w.dx, w.dy), 1.0f, 1e-6f);
        const float turn = std::atan2(w.dy, w.dx) - PI / 2;
        least = std::min(least, turn), most = std::max(most, turn);
    }
    EXPECT_GE(least, -0.4f);
    EXPECT_LT(least, -0.35f);
    EXPECT_GT(most, 0.35f);
    EXPECT_LE(most, 0.4f);
}

TEST_F(WindTest, BlastPushesOutwardsFromItsCoreThroughTheRingToTheRim)
{
    // Radius 5: core below 1, rim beyond 4. The push k is a2·w + k2 in [0, 0.4]
    // at the rim and a1·w + k1 >= param − 0.5 in the core (w flaps in [−1, 1]);
    // the ring goes from the rim's at 1 to the core's at 4. With param 2 the
    // core's push is clamped to exactly 1.
    auto b = atFullIntensity<blast_of_air>(new circle({0, 0}, 5));
    b->intensity = 0.5f;
    EXPECT_TRUE(std::isfinite(atFullIntensity<blast_of_air>(new circle({0, 0}, 0))->get_influence({0, 0}).power));
    const influence centre = b->get_influence({0, 0});
    EXPECT_EQ(std::pair(centre.dx, centre.dy), std::pair(0.0f, 0.0f));
    windSetBlastParam(2.0f);
    date::horloge = 3.7;
    // Distance, power (200·0.5, falling to 0 over the rim), and the push's range.
    const struct {
        float d, power, least, most;
    } rings[] = {{0.5f, 100, 1, 1}, {1, 100, 0, 0.4f}, {2.5f, 100, 0.75f, 1}, {4, 100, 1, 1},
                 {4.25f, 75, 0, 0.4f}, {4.75f, 25, 0, 0.4f}, {5.01f, 0, 0, 0}};
    std::vector<vector2d> round = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};  // exact distances at the edges 1 and 4
    for (int k = 0; k < 40; ++k) round.push_back({std::cos(0.15f * k + 0.1f), std::sin(0.15f * k + 0.1f)});
    for (const auto& ring : rings)
        for (size_t k = 0; k < (ring.d == 1 || ring.d == 4 ? 4 : round.size()); ++k) {
            const vector2d u = round[k];
            const influence w = b->get_influence({ring.d * u.x, ring.d * u.y});
            const float along = w.dx * u.x + w.dy * u.y;  // outwards
            EXPECT_NEAR(w.power, ring.power, 1e-3f) << ring.d;
            EXPECT_NEAR(w.dx * u.y, w.dy * u.x, 1e-6f) << ring.d << " " << k << ": not radial";
            EXPECT_GE(along, ring.least - 1e-6f) << ring.d << " " << k;  // ring at 2.5: at least 0.5·1.5
            EXPECT_LE(along, ring.most + 1e-6f) << ring.d << " " << k;
        }
    // With param 0 the core's a1·w + k1 (a1 up to 0.5, k1 up to 0.1) dips below
    // 0 wherever w < −0.2: such points get no push, never one inwards.
    windSetBlastParam(0.0f);
    int still = 0;
    for (int k = 0; k < 40; ++k) {
        const vector2d u = round[k + 4];
        const influence w = b->get_influence({0.5f * u.x, 0.5f * u.y});
        EXPECT_GE(w.dx * u.x + w.dy * u.y, 0.0f) << k;
        still += w.dx == 0 && w.dy == 0;
    }
    EXPECT_GT(still, 0);
    // The rim flutters: each point's w turns at (2 + 8r)·(2R − D), some 30 rad
    // per date unit: over 0.01 its push k moves by a mean near E[a2]·0.3·2/π
    // = 0.01, its dx by some 0.006; at (2 + 8r)·(R − D) it would barely move.
    windSetBlastParam(0.5f);
    float moved = 0;
    for (int k = 0; k < 100; ++k) {
        const point2d p{4.9f * std::cos(0.06f * k), 4.9f * std::sin(0.06f * k)};
        date::horloge = 3.7;
        const float before = b->get_influence(p).dx;
        date::horloge = 3.71;
        moved += std::fabs(b->get_influence(p).dx - before) / 100;
    }
    EXPECT_GT(moved, 0.002f);
}
