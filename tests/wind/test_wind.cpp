// The wind module: the breeze, the query's sum, launching gusts and blasts,
// the reset and the diagnostics.
#include "wind_fixture.h"

#include "util/random.h"

#include <cmath>
#include <cstdlib>
#include <new>

static long allocations = 0;
void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST_F(WindTest, BreezeAloneSwingsAlongAFixedAxis)
{
    float power, dx, dy;
    windGetInfluence(30.5f, 12.25f, 0, 0, 0, power, dx, dy);
    const influence breeze = windBreezeAt(30.5f, 12.25f);
    EXPECT_EQ(power, 50.0f);
    EXPECT_FLOAT_EQ(dx, breeze.dx);  // divided by its own power, not faded
    EXPECT_FLOAT_EQ(dy, breeze.dy);
    float lo = 1, hi = -1;
    for (int frame = 0; frame < 200; ++frame) {
        windUpdate(0.05f);
        const influence now = windBreezeAt(30.5f, 12.25f);
        EXPECT_NEAR(now.dx * breeze.dy - now.dy * breeze.dx, 0.0f, 1e-5);  // same axis
        const float along = (now.dx * breeze.dx + now.dy * breeze.dy) / std::hypot(breeze.dx, breeze.dy);
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
    EXPECT_EQ(power + std::fabs(dx) + std::fabs(dy), 0.0f);
    windGetInfluence(1, 2, 1.0f, 1.0f, 0.0f, power, dx, dy);  // power of 1: no direction
    EXPECT_EQ(dx, 0.0f);
    windGetInfluence(1, 2, 10.0f, 0.6f, 0.8f, power, dx, dy);  // below 30: faded by power / 30
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
    float strongest = 0;
    while (date::horloge < dies + 0.1) {
        windUpdate(0.05f);
        const bool alive = !windDirector().alive().empty();
        EXPECT_EQ(alive, date::horloge >= born && date::horloge < dies) << "at date " << date::horloge;
        if (!alive) continue;
        // Where the gust blows hardest: two thirds of the way to its front.
        const pose2d pose = gust->shape->get_pose();
        float power, dx, dy;
        windGetInfluence(pose.position.x + 20.0f / 3 * std::cos(pose.angle),
                         pose.position.y + 20.0f / 3 * std::sin(pose.angle), 0, 0, 0, power, dx, dy);
        EXPECT_NEAR(power, 50.0f + 200.0f * gust->intensity, 0.01f);
        strongest = std::max(strongest, power);
    }
    EXPECT_GT(strongest, 240.0f);
    EXPECT_EQ(windDirector().dead().size(), 1u);
}

TEST_F(WindTest, GustsLaunchedInTheSameDateUnitTakeTheSamePath)
{
    god_of_gusts& god = windDirector();
    for (const double at : {7.2, 7.9, 8.1}) {
        date::horloge = at;
        god.add_gust(1.0f, 100, 0, 100, 0, 10.0f, 3.0f, 2.0f);
    }
    std::vector<pose2d> starts;  // each one's pose on the date it is born
    for (const double born : {8.2, 8.9, 9.1}) {
        date::horloge = born;
        god.update_primitives();
        for (const auto& p : god.alive())
            if (p->date_of_birth == born) starts.push_back(p->shape->get_pose());
    }
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[0].position.x, starts[1].position.x);
    EXPECT_EQ(starts[0].position.y, starts[1].position.y);
    EXPECT_EQ(starts[0].angle, starts[1].angle);
    EXPECT_NE(starts[0].angle, starts[2].angle);
    EXPECT_DEATH(god.add_blast(0.0f, 100, 0, 100, 0, 10.0f, 1.0f), "from>0");
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
    const float y = windDirector().alive().front()->shape->get_pose().position.y;
    EXPECT_GE(y, 100.0f);  // on the y_max side, one length outside
    EXPECT_LE(y, 101.0f);
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

TEST_F(WindTest, InitEmptiesTheWindAndResetsTheDateButNotTheBreeze)
{
    windAddGust(5, 5);
    for (int frame = 0; frame < 60; ++frame) windUpdate(0.5f);  // dead by now
    windAddGust(5, 5);
    for (int frame = 0; frame < 3; ++frame) windUpdate(0.5f);   // alive
    windAddBlast(5);                                              // not born
    ASSERT_EQ(windDirector().dead().size() + windDirector().alive().size() + windDirector().not_born().size(), 3u);
    const double breeze_time = windBreezeTime();
    const float area[4] = {-10, -20, 30, 40};
    windInit(area, 2.5f);
    EXPECT_EQ(date::horloge, 0.0);
    EXPECT_EQ(windBreezeTime(), breeze_time);
    EXPECT_TRUE(windDirector().dead().empty() && windDirector().alive().empty() && windDirector().not_born().empty());
    EXPECT_EQ(windArea().x_min, -10);
    EXPECT_EQ(windArea().y_max, 40);
}

TEST_F(WindTest, TheQueryAllocatesNothing)
{
    for (int i = 0; i < 3; ++i) windAddGust(40, 30);
    for (int i = 0; i < 3; ++i) windAddBlast(30);
    for (int frame = 0; frame < 60; ++frame) windUpdate(0.05f);
    ASSERT_EQ(windDirector().alive().size(), 6u);
    const long before = allocations;
    float power, dx, dy;
    for (float x = 0; x < 100; x += 2.5f)
        for (float y = 0; y < 100; y += 2.5f) windGetInfluence(x, y, 0, 0, 0, power, dx, dy);
    EXPECT_EQ(allocations, before);
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
    debug_warning("go on", 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "DEBUG warning level 2:  go on\n");
}
