// The wind module: the query's sum, launching gusts and blasts,
// the reset and the diagnostics.
#include "wind_fixture.h"

#include "util/random.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace {

// The side of the 100 m area that `p` lies on (x_min 0, x_max 1, y_min 2,
// y_max 3), -1 at a corner or off every side. Within 5 cm: a crossing's angle,
// kept in single precision, is off by up to 3e-4 rad for one that runs nearly
// along an axis, 3 cm over the area.
int sideOf(point2d p)
{
    const float off[4] = {p.x, p.x - 100, p.y, p.y - 100};
    int side = -1, count = 0;
    for (int s = 0; s < 4; ++s)
        if (std::fabs(off[s]) < 5e-2f) side = s, ++count;
    return count == 1 ? side : -1;
}

} // namespace

TEST_F(WindTest, BreezeSwingsOnAFixedAxisLeaningNorthAndTheClocksKeepTheirSpeeds)
{
    // m = b + c·cos(...), b in [0, 0.2] and c in [0.1, 0.7]: |m| <= 0.9 along an
    // axis at angle a in [0, π], so dy has the sign of m. Averaged over a field
    // and its random phases the push is b·(cos a, sin a): mean dx 0, mean dy
    // E[b]·E[sin a] = 0.1·2/π = 0.064.
    windSetBreezeSpeed(2.0f), windSetGustSpeed(3.0f);
    const double start = windBreezeTime();
    double sumX = 0, sumY = 0;
    for (int i = 0; i < 50; ++i)
        for (int j = 0; j < 50; ++j) {
            const influence now = windBreezeAt(i * 1.7f, j * 2.3f);
            windUpdate(0.25f);
            const influence later = windBreezeAt(i * 1.7f, j * 2.3f);
            EXPECT_LE(std::hypot(now.dx, now.dy), 0.9f);
            EXPECT_NEAR(now.dx * later.dy, now.dy * later.dx, 1e-6f) << i << " " << j << ": the axis turned";
            sumX += now.dx, sumY += now.dy;
        }
    EXPECT_NEAR(sumX / 2500, 0.0, 0.02);
    EXPECT_NEAR(sumY / 2500, 0.064, 0.02);
    EXPECT_DOUBLE_EQ(windBreezeTime() - start, 2500 * 0.5);
    EXPECT_DOUBLE_EQ(date::horloge, 2500 * 0.75);
    // The place is truncated toward zero: 300·x of -0.3 and 0.3 both seed 0.
    const influence left = windBreezeAt(-0.001f, 0), right = windBreezeAt(0.001f, 0);
    EXPECT_EQ(std::pair(left.dx, left.dy), std::pair(right.dx, right.dy));
}

TEST_F(WindTest, QuerySumsPowerAndWeighsDirections)
{
    float power, dx, dy;
    const influence breeze = windBreezeAt(1, 2);
    windGetInfluence(1, 2, 0, 0, 0, power, dx, dy);  // the breeze alone is not faded
    EXPECT_EQ(std::pair(power, dx), std::pair(50.0f, breeze.dx));
    windGetInfluence(1, 2, 60.0f, 1.0f, 0.0f, power, dx, dy);  // the powers' weighted mean
    EXPECT_EQ(power, 110.0f);
    EXPECT_NEAR(dx, (60.0f + 50.0f * breeze.dx) / 110.0f, 1e-6f);
    windSetBreezePower(0.0f);
    windGetInfluence(1, 2, 1.0f, 1.0f, 0.0f, power, dx, dy);
    EXPECT_EQ(dx, 0.0f) << "a power of 1 has no direction";
    windGetInfluence(1, 2, 10.0f, 0.6f, 0.8f, power, dx, dy);
    EXPECT_NEAR(dy, 0.8f / 3, 1e-6f) << "below 30 faded by power / 30";

    // An alive gust at its peak, 2 m ahead of its centre (a − a/3), adds its
    // full 200 and pushes within 0.4 rad of its heading, +x.
    auto* gust = new gust_of_wind(new rectangle({{50, 50}, 0}, 3, 3), new birth<gust_of_wind>(nullptr, 0, 1.5),
                                  new death<gust_of_wind>(nullptr, 5, 6.5));
    windDirector().add_primitive(gust);
    gust->intensity = 1;
    windGetInfluence(52, 50, 0, 0, 0, power, dx, dy);
    EXPECT_EQ(power, 200.0f);
    EXPECT_NEAR(std::hypot(dx, dy), 1.0f, 1e-6f);
    EXPECT_GE(dx, std::cos(0.4f));
}

TEST_F(WindTest, CrossingsRunFromSideToSideAtTheirSpeed)
{
    god_of_gusts& god = windDirector();
    const float speed = 4, e = 5;  // at least 4e / speed = 5 date units: never stretched to 4
    // Launches at `date` and reads the crossing from the figure at its birth:
    // start, angle, travel time; then checks the path, the birth and the extent.
    const auto launch = [&](bool blast, double date) {
        date::horloge = date;
        blast ? god.add_blast(2.0f, 100, 0, 100, 0, speed, e) : god.add_gust(2.0f, 100, 0, 100, 0, speed, e, 1.0f);
        EXPECT_EQ(god.not_born().size(), 1u) << date;
        if (god.not_born().empty()) return std::vector<float>(4);
        const wind_primitive* p = god.not_born().front().get();
        EXPECT_EQ(p->date_of_birth, date + 2);
        date::horloge = date + 2;
        god.update_primitives();
        const pose2d start = p->shape->get_pose();
        date::horloge = date + 2.75;  // half the birth, three metres on
        god.update_primitives();
        const pose2d later = p->shape->get_pose();
        EXPECT_EQ(p->intensity, 0.5f);
        EXPECT_NEAR(std::hypot(later.position.x - start.position.x, later.position.y - start.position.y), 3, 1e-3f);
        EXPECT_EQ(blast ? e : static_cast<const rectangle&>(*p->shape).half_length(), e);
        const std::vector<float> crossing{start.position.x, start.position.y, start.angle,
                                          float(p->date_of_death - p->date_of_birth)};
        god.delete_all_primitives();
        return crossing;
    };
    // The figure starts 2e before its entry point and ends 2e past its exit
    // point: the sides of both (−1 at a corner or off every side).
    const auto sides = [&](const std::vector<float>& c) {
        const float ux = std::cos(c[2]), uy = std::sin(c[2]), out = c[3] * speed - 2 * e;
        return std::pair{sideOf({c[0] + 2 * e * ux, c[1] + 2 * e * uy}), sideOf({c[0] + out * ux, c[1] + out * uy})};
    };
    // Over a session's first 2000 date units, and over the first 20 where the
    // date restarts after every load: a quarter enter by each side, and a
    // third each leave by the entry side, the next or the one after.
    for (const auto& [launches, step] : {std::pair{2000, 1.0}, {400, 0.05}})
        for (const bool blast : {false, true}) {
            int entries[4] = {}, offsets[4] = {}, counted = 0;
            for (int k = 0; k < launches; ++k) {
                const auto [entry, exit] = sides(launch(blast, 0.05 + k * step));
                if (entry < 0 || exit < 0) continue;
                ++counted, ++entries[entry], ++offsets[(exit - entry + 4) % 4];
            }
            SCOPED_TRACE(testing::Message() << (blast ? "blasts" : "gusts") << " over " << launches);
            EXPECT_GT(counted, 0.95 * launches);
            for (int k = 0; k < 4; ++k) {
                EXPECT_GE(entries[k], 0.20 * counted) << "entering by side " << k;
                EXPECT_LE(entries[k], 0.30 * counted) << "entering by side " << k;
            }
            for (int k = 0; k < 3; ++k) {
                EXPECT_GE(offsets[k], 0.25 * counted) << "leaving " << k << " sides after the entry";
                EXPECT_LE(offsets[k], 0.42 * counted) << "leaving " << k << " sides after the entry";
            }
            EXPECT_EQ(offsets[3], 0) << "leaving by the side before the entry";
        }
    // Reseeded from the whole date: the same date crosses the same way, the
    // next frame's another; a blast crosses as a gust at twice its date.
    EXPECT_EQ(launch(false, 7.2), launch(false, 7.2));
    EXPECT_NE(launch(false, 7.2), launch(false, 7.25));
    EXPECT_EQ(launch(true, 3.6), launch(false, 7.2));
    // The date whose first draw is the generator's largest enters by the last
    // side, y_max; the one whose second is leaves by its entry side or one of
    // the two after it, not by the one before.
    double first = 0, second = 0;
    for (bool found = false; !found; found = util::randomDraw() == util::RANDOM_MAX)
        util::randomSeed(date_seed(++first));
    for (bool found = false; !found; found = (util::randomDraw(), util::randomDraw() == util::RANDOM_MAX))
        util::randomSeed(date_seed(++second));
    EXPECT_EQ(sides(launch(false, first)).first, 3);
    const auto [entry, exit] = sides(launch(false, second));
    EXPECT_NE((exit - entry + 4) % 4, 3) << entry << " to " << exit;
    // A crossing shorter than the birth and the death lives 4 date units.
    date::horloge = 3;
    god.add_gust(1.0f, 100, 0, 100, 0, 1e4f, 1, 1);
    EXPECT_EQ(god.not_born().front()->date_of_death - god.not_born().front()->date_of_birth, 4.0);
}

TEST_F(WindTest, InitEmptiesTheWindAndResetsTheDateButNotTheBreeze)
{
    windAddGust(5, 5);
    windUpdate(1.5f);
    windAddBlast(5);
    windUpdate(100.0f);  // both dead
    windAddGust(5, 5);
    ASSERT_EQ(windDirector().dead().size(), 2u);
    const double breeze_time = windBreezeTime();
    const float point[4] = {5, 5, 5, 5};
    windInit(point, 2.5f);
    EXPECT_EQ(std::tuple(date::horloge, windBreezeTime()), std::tuple(0.0, breeze_time));
    EXPECT_EQ(std::tuple(windDirector().alive().size(), windDirector().not_born().size(), windDirector().dead().size()),
              std::tuple(size_t(0), size_t(0), size_t(0)));
    // An area with no extent launches nothing, and says so.
    testing::internal::CaptureStderr();
    windAddGust(3, 2);
    windAddBlast(1);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(windDirector().not_born().empty());
    EXPECT_EQ(warnings, "DEBUG warning level 1:  add_gust: the wind area has no extent, no gust launched\n"
                        "DEBUG warning level 1:  add_blast: the wind area has no extent, no blast launched\n");
}

TEST_F(WindTest, TheDateNeverRunsBackwards)
{
    testing::internal::CaptureStderr();
    windSetGustSpeed(-2.0f), windSetGustSpeed(NAN);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("gust_speed"), std::string::npos);
    windUpdate(0.05f);
    EXPECT_GT(date::horloge, 0.0);
}

TEST(WindDiagnostics, ErrorsEndTheProgramAndWarningsDoNot)
{
    const rectangle r({{0, 0}, 0}, 1, 1);
    EXPECT_EXIT(r.display(), testing::ExitedWithCode(1),
                "DEBUG error level 1:  No display implemented in the class rectangle.\n");
    testing::internal::CaptureStderr();
    debug_error("silent", 0);
    debug_warning("go on", 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "DEBUG warning level 2:  go on\n");
}
