// The wind module: the breeze, the query's sum, launching gusts and blasts,
// and the reset.
#include "wind_fixture.h"

#include "util/random.h"

#include <cmath>
#include <sstream>

TEST_F(WindTest, BreezeAloneSwingsAlongAFixedAxis)
{
    float power, dx, dy;
    windGetInfluence(30.5f, 12.25f, 0, 0, 0, power, dx, dy);
    const influence breeze = windBreezeAt(30.5f, 12.25f);
    EXPECT_EQ(power, 50.0f);
    EXPECT_FLOAT_EQ(dx, breeze.dx);  // power 50: divided by itself, not faded
    EXPECT_FLOAT_EQ(dy, breeze.dy);

    float lo = 1, hi = -1;
    for (int frame = 0; frame < 200; ++frame) {
        windUpdate(0.05f);
        const influence now = windBreezeAt(30.5f, 12.25f);
        EXPECT_NEAR(now.dx * breeze.dy - now.dy * breeze.dx, 0.0f, 1e-5);  // same axis
        const float along = (now.dx * breeze.dx + now.dy * breeze.dy) /
                            std::hypot(breeze.dx, breeze.dy);
        lo = std::min(lo, along);
        hi = std::max(hi, along);
    }
    EXPECT_GT(hi - lo, 0.05f);  // and it swings
}

TEST_F(WindTest, QuerySumsPowerAndWeighsDirections)
{
    float power, dx, dy;
    windSetBreezePower(0.0f);
    windGetInfluence(1, 2, 0, 0, 0, power, dx, dy);
    EXPECT_EQ(power, 0.0f);
    EXPECT_EQ(dx, 0.0f);
    EXPECT_EQ(dy, 0.0f);

    windGetInfluence(1, 2, 1.0f, 1.0f, 0.0f, power, dx, dy);  // power of 1: no direction
    EXPECT_EQ(power, 1.0f);
    EXPECT_EQ(dx, 0.0f);

    windGetInfluence(1, 2, 10.0f, 0.6f, 0.8f, power, dx, dy);  // below 30: faded by power / 30
    EXPECT_FLOAT_EQ(power, 10.0f);
    EXPECT_FLOAT_EQ(dx, 0.6f / 3);
    EXPECT_FLOAT_EQ(dy, 0.8f / 3);

    windSetBreezePower(20.0f);
    const influence breeze = windBreezeAt(1, 2);
    windGetInfluence(1, 2, 60.0f, 1.0f, 0.0f, power, dx, dy);
    EXPECT_FLOAT_EQ(power, 80.0f);
    EXPECT_FLOAT_EQ(dx, (60.0f + 20.0f * breeze.dx) / 80.0f);
    EXPECT_FLOAT_EQ(dy, 20.0f * breeze.dy / 80.0f);
}

TEST_F(WindTest, GustLivesOneUnitAfterItsLaunchForItsTravelTime)
{
    for (int frame = 0; frame < 40; ++frame) windUpdate(0.05f);
    const double launched = date::horloge;
    windAddGust(10.0f, 5.0f);
    ASSERT_EQ(windDirector().not_born().size(), 1u);
    const wind_primitive* gust = windDirector().not_born().front().get();
    const double born = gust->date_of_birth, dies = gust->date_of_death;
    EXPECT_EQ(born, launched + 1.0);
    EXPECT_GE(dies - born, 4.0);

    bool was_alive = false;
    float strongest = 0;
    while (date::horloge < dies + 0.1) {
        windUpdate(0.05f);
        const bool alive = !windDirector().alive().empty();
        EXPECT_EQ(alive, date::horloge >= born && date::horloge < dies) << "at date " << date::horloge;
        if (!alive) continue;
        was_alive = true;
        // Where the gust blows hardest: two thirds of the way to its front.
        const wind_primitive& g = *windDirector().alive().front();
        const pose2d pose = g.shape->get_pose();
        const float ahead = 2.0f / 3.0f * 10.0f;
        float power, dx, dy;
        windGetInfluence(pose.position.x + ahead * std::cos(pose.angle),
                         pose.position.y + ahead * std::sin(pose.angle), 0, 0, 0, power, dx, dy);
        EXPECT_NEAR(power, 50.0f + 200.0f * g.intensity, 0.01f);
        strongest = std::max(strongest, power);
    }
    EXPECT_TRUE(was_alive);
    EXPECT_GT(strongest, 240.0f);
    EXPECT_EQ(windDirector().dead().size(), 1u);
}

TEST_F(WindTest, GustsLaunchedInTheSameDateUnitTakeTheSamePath)
{
    god_of_gusts& god = windDirector();
    auto startOf = [&](double born) {
        date::horloge = born;
        god.update_primitives();
        const wind_primitive* p = bornAt(god.alive(), born);
        return p ? p->shape->get_pose() : pose2d{{-1, -1}, -1};
    };
    for (const double at : {7.2, 7.9, 8.1}) {
        date::horloge = at;
        god.add_gust(1.0f, 100, 0, 100, 0, 10.0f, 3.0f, 2.0f);
    }
    const pose2d a = startOf(8.2), b = startOf(8.9), c = startOf(9.1);
    EXPECT_EQ(a.position.x, b.position.x);
    EXPECT_EQ(a.position.y, b.position.y);
    EXPECT_EQ(a.angle, b.angle);
    EXPECT_TRUE(a.position.x != c.position.x || a.position.y != c.position.y);
}

TEST_F(WindTest, ACrossingFromTheLastSideWhenTheDrawIsOne)
{
    util::randomSeed(30091);
    ASSERT_EQ(util::randomDraw(), util::RANDOM_MAX);  // this date names side 4
    date::horloge = 30091.0;
    windDirector().add_gust(1.0f, 100, 0, 100, 0, 10.0f, 0.5f, 0.5f);
    date::horloge = 30092.0;
    windDirector().update_primitives();
    ASSERT_EQ(windDirector().alive().size(), 1u);
    const pose2d start = windDirector().alive().front()->shape->get_pose();
    EXPECT_NEAR(start.position.y, 100.0f, 1.0f);  // on the y_max side, one length outside
    EXPECT_GE(start.position.y, 100.0f);
}

TEST_F(WindTest, AnAreaWithNoExtentLaunchesNothing)
{
    const float point[4] = {5, 5, 5, 5};
    windInit(point, 0);
    testing::internal::CaptureStderr();
    windAddGust(3, 2);
    windAddBlast(1);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(windDirector().not_born().empty());
    EXPECT_NE(warnings.find("DEBUG warning level 1:  add_gust"), std::string::npos) << warnings;
    EXPECT_NE(warnings.find("DEBUG warning level 1:  add_blast"), std::string::npos) << warnings;
}

TEST_F(WindTest, BlastsCrossTheAreaAndPushOutward)
{
    windAddBlast(8.0f);
    const wind_primitive* blast = windDirector().not_born().front().get();
    const double middle = (blast->date_of_birth + blast->date_of_death) / 2;
    while (date::horloge < middle) windUpdate(0.05f);
    const point2d centre = blast->shape->get_pose().position;
    EXPECT_GT(centre.x, -8.0f);
    EXPECT_LT(centre.x, 108.0f);
    float power, dx, dy;
    windGetInfluence(centre.x + 4.0f, centre.y, 0, 0, 0, power, dx, dy);
    EXPECT_NEAR(power, 50.0f + 200.0f * blast->intensity, 0.01f);
    EXPECT_DEATH(windDirector().add_blast(0.0f, 100, 0, 100, 0, 10.0f, 1.0f), "from>0");
}

TEST_F(WindTest, InitEmptiesTheWindAndResetsTheDateButNotTheBreeze)
{
    windAddGust(5, 5);
    for (int frame = 0; frame < 60; ++frame) windUpdate(0.5f);  // dead by now
    windAddGust(5, 5);
    for (int frame = 0; frame < 3; ++frame) windUpdate(0.5f);   // alive
    windAddBlast(5);                                              // not born
    ASSERT_EQ(windDirector().dead().size(), 1u);
    ASSERT_EQ(windDirector().alive().size(), 1u);
    ASSERT_EQ(windDirector().not_born().size(), 1u);
    const double breeze_time = windBreezeTime();
    const float area[4] = {-10, -20, 30, 40};
    windInit(area, 2.5f);
    EXPECT_EQ(date::horloge, 0.0);
    EXPECT_EQ(windBreezeTime(), breeze_time);
    EXPECT_TRUE(windDirector().dead().empty());
    EXPECT_TRUE(windDirector().alive().empty());
    EXPECT_TRUE(windDirector().not_born().empty());
    EXPECT_EQ(windArea().x_min, -10);
    EXPECT_EQ(windArea().y_max, 40);
    EXPECT_EQ(windDrawingHeight(), 2.5f);
}

TEST_F(WindTest, TheDateCannotBeMadeToRunBackwards)
{
    testing::internal::CaptureStderr();
    windSetGustSpeed(-1.0f);
    windSetGustSpeed(NAN);
    const std::string warnings = testing::internal::GetCapturedStderr();
    EXPECT_EQ(windGetGustSpeed(), 1.0f);
    EXPECT_NE(warnings.find("DEBUG warning level 1"), std::string::npos);
    windSetGustSpeed(0.0f);  // a paused wind is fine
    EXPECT_EQ(windGetGustSpeed(), 0.0f);
}

TEST_F(WindTest, PrintingNamesEveryListAndComesBackToTheMargin)
{
    windAddGust(5, 5);
    windAddBlast(5);
    for (int frame = 0; frame < 30; ++frame) windUpdate(0.05f);
    std::ostringstream out;
    windDirector().print(out);
    const std::string text = out.str();
    for (const char* expected : {"Overbooker god of primitive:\n", "list of alive primitives:\n",
                                 "    list of dead primitives:\n", "gust_of_wind:\n", "blast_of_air:\n",
                                 "I'm born", "I'm not dead", "Chronologie:\n", "active life:\n",
                                 "straight_path: origin=", "circle: center="})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    EXPECT_EQ(num_space, 0);
}

TEST(WindDiagnostics, ErrorsEndTheProgramAndWarningsDoNot)
{
    const rectangle r({{0, 0}, 0}, 1, 1);
    EXPECT_EXIT(r.display(), testing::ExitedWithCode(1),
                "DEBUG error level 1:  No display implemented in the class rectangle.\n");
    EXPECT_EXIT(r.intersection_with_rectangle(r), testing::ExitedWithCode(1),
                "DEBUG error level 1:  intersection_with_rectangle not implemented");
    testing::internal::CaptureStderr();
    debug_error("silent", 0);
    debug_warning("silent", 0);
    debug_warning("go on", 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "DEBUG warning level 2:  go on\n");
}
