// The wind module: the query's sum, launching gusts and blasts,
// the reset and the diagnostics.
#include "wind_fixture.h"

#include "util/random.h"

#include <algorithm>
#include <cmath>
#include <map>

TEST_F(WindTest, QuerySumsPowerAndWeighsDirections)
{
    float power, dx, dy;
    const influence breeze = windBreezeAt(1, 2);
    windGetInfluence(1, 2, 0, 0, 0, power, dx, dy);  // the breeze alone is not faded
    EXPECT_TRUE(power == 50.0f && dx == breeze.dx) << power << " " << dx;
    windGetInfluence(1, 2, 60.0f, 1.0f, 0.0f, power, dx, dy);
    EXPECT_TRUE(power == 110.0f && std::fabs(dx - (60.0f + 50.0f * breeze.dx) / 110.0f) < 1e-6f) << power << " " << dx;
    windSetBreezePower(0.0f);
    windGetInfluence(1, 2, 1.0f, 1.0f, 0.0f, power, dx, dy);  // power of 1: no direction
    const float none = dx;
    windGetInfluence(1, 2, 10.0f, 0.6f, 0.8f, power, dx, dy);  // below 30: faded by power / 30
    EXPECT_TRUE(none == 0.0f && std::fabs(dy - 0.8f / 3) < 1e-6f) << none << " " << dy;
}

TEST_F(WindTest, GustLivesOneUnitAfterItsLaunchForItsTravelTime)
{
    const double launched = date::horloge;
    windAddGust(10.0f, 5.0f);
    const wind_primitive* gust = windDirector().not_born().front().get();
    const double born = gust->date_of_birth, dies = gust->date_of_death;
    EXPECT_EQ(born, launched + 1.0);
    while (date::horloge < dies + 0.1) {
        windUpdate(0.05f);
        EXPECT_EQ(!windDirector().alive().empty(), date::horloge >= born && date::horloge < dies) << date::horloge;
    }
    EXPECT_EQ(windDirector().dead().size(), 1u);
}

TEST_F(WindTest, CrossingsAreDrawnFromTheDateUnit)
{
    god_of_gusts& god = windDirector();
    for (const double at : {7.2, 7.9, 8.1}) {
        date::horloge = at;
        god.add_gust(1.0f, 100, 0, 100, 0, 10.0f, 3.0f, 2.0f);
    }
    date::horloge = 9.1;
    god.update_primitives();
    ASSERT_EQ(god.alive().size(), 3u);
    std::map<double, float> angles;  // by date of birth
    for (const auto& p : god.alive()) angles[p->date_of_birth] = p->shape->get_pose().angle;
    EXPECT_TRUE(angles[8.2] == angles[8.9] && angles[8.2] != angles[9.1]);  // the first two launched within date 7

    // The date whose draw is the generator's largest names the last side.
    unsigned int largest = 0;
    for (bool found = false; !found; found = util::randomDraw() == util::RANDOM_MAX)
        util::randomSeed(util::mixedSeed(++largest));
    SetUp();
    date::horloge = largest;
    god.add_gust(1.0f, 100, 0, 100, 0, 10.0f, 0.5f, 0.5f);
    date::horloge = largest + 1.0;
    god.update_primitives();
    ASSERT_EQ(god.alive().size(), 1u);
    const float y = god.alive().front()->shape->get_pose().position.y;
    EXPECT_TRUE(y >= 100.0f && y <= 101.0f) << y;  // on the y_max side, one length outside
}

namespace {

// The sides of the 100 m area a point lies on, as bits: x_min 1, x_max 2, y_min 4, y_max 8.
unsigned sidesOf(point2d p)
{
    const auto near = [](float a, float b) { return std::fabs(a - b) < 1e-3f; };
    return (near(p.x, 0) ? 1u : 0u) | (near(p.x, 100) ? 2u : 0u) | (near(p.y, 0) ? 4u : 0u) | (near(p.y, 100) ? 8u : 0u);
}

// The single side of a point that lies on exactly one, else -1.
int onlySide(unsigned sides)
{
    for (int s = 0; s < 4; ++s)
        if (sides == 1u << s) return s;
    return -1;
}

} // namespace

TEST_F(WindTest, CrossingsEnterFromEverySideAndLeaveByTheEntryOrTheTwoAfterIt)
{
    god_of_gusts& god = windDirector();
    const float extent = 5.0f;
    for (const bool blast : {false, true}) {
        int entries[4] = {}, offsets[3] = {}, launches = 0;
        testing::internal::CaptureStdout();  // every life announces itself
        // Launches at every frame of an ordinary session's first 2000 date units.
        for (int frame = 0; frame <= 40000; ++frame) {
            date::horloge = frame * 0.05;
            if (blast)
                god.add_blast(1.0f, 100, 0, 100, 0, 10.0f, extent);
            else
                god.add_gust(1.0f, 100, 0, 100, 0, 10.0f, extent, 3.0f);
            date::horloge += 1.0;
            god.update_primitives();
            ASSERT_EQ(god.alive().size(), 1u);
            const pose2d start = god.alive().front()->shape->get_pose();
            god.delete_all_primitives();
            // The figure starts two extents before its entry point and heads for its exit.
            const float ux = std::cos(start.angle), uy = std::sin(start.angle);
            const point2d in{start.position.x + 2 * extent * ux, start.position.y + 2 * extent * uy};
            float t = INFINITY;  // to where the line leaves the area
            if (std::fabs(ux) > 1e-4f) t = std::min(t, ((ux > 0 ? 100 : 0) - in.x) / ux);
            if (std::fabs(uy) > 1e-4f) t = std::min(t, ((uy > 0 ? 100 : 0) - in.y) / uy);
            const point2d out{in.x + t * ux, in.y + t * uy};
            const unsigned inSides = sidesOf(in), outSides = sidesOf(out);
            const int entry = onlySide(inSides);
            ASSERT_NE(inSides, 0u) << frame;
            // The exit side is the entry side, the next one or the one after.
            unsigned allowed = 0;
            for (int s = 0; s < 4; ++s)
                if (inSides & 1u << s) allowed |= 1u << s | 1u << (s + 1) % 4 | 1u << (s + 2) % 4;
            ASSERT_NE(outSides & allowed, 0u) << "blast " << blast << ", frame " << frame << ": " << inSides << " to "
                                              << outSides;
            if (entry < 0) continue;  // a corner names no single side
            ++launches;
            ++entries[entry];
            const int exit = outSides & inSides ? entry : onlySide(outSides);
            if (exit >= 0) ++offsets[(exit - entry + 4) % 4];
        }
        testing::internal::GetCapturedStdout();
        for (int s = 0; s < 4; ++s)
            EXPECT_TRUE(entries[s] >= 0.20 * launches && entries[s] <= 0.30 * launches)
                << (blast ? "blasts" : "gusts") << " entering by side " << s << ": " << entries[s] << " of " << launches;
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(offsets[k] >= 0.25 * launches && offsets[k] <= 0.42 * launches)
                << (blast ? "blasts" : "gusts") << " leaving " << k << " sides after the entry: " << offsets[k];
    }
}

TEST_F(WindTest, InitEmptiesTheWindAndResetsTheDateButNotTheBreeze)
{
    windAddGust(5, 5);
    windUpdate(1.5f);
    windAddBlast(5);
    const double breeze_time = windBreezeTime();
    const float point[4] = {5, 5, 5, 5};
    windInit(point, 2.5f);
    EXPECT_TRUE(date::horloge == 0.0 && windBreezeTime() == breeze_time);
    EXPECT_TRUE(windDirector().alive().empty() && windDirector().not_born().empty());
    // An area with no extent launches nothing, and says so.
    testing::internal::CaptureStderr();
    windAddGust(3, 2);
    windAddBlast(1);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(windDirector().not_born().empty() && warnings.find("DEBUG warning level 1:  add_gust") != std::string::npos
                && warnings.find("DEBUG warning level 1:  add_blast") != std::string::npos) << warnings;
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
