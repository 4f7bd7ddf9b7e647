// The wind module: the query's sum, launching gusts and blasts,
// the reset and the diagnostics.
#include "wind_fixture.h"

#include "util/random.h"

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
    util::randomSeed(30091);
    ASSERT_EQ(util::randomDraw(), util::RANDOM_MAX);
    SetUp();
    date::horloge = 30091.0;
    god.add_gust(1.0f, 100, 0, 100, 0, 10.0f, 0.5f, 0.5f);
    date::horloge = 30092.0;
    god.update_primitives();
    ASSERT_EQ(god.alive().size(), 1u);
    const float y = god.alive().front()->shape->get_pose().position.y;
    EXPECT_TRUE(y >= 100.0f && y <= 101.0f) << y;  // on the y_max side, one length outside
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
