// Episodes, timelines and the filing of primitives on the simulation date.
#include "wind/father_primitive.h"
#include "wind/life.h"
#include "wind/primitives.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The least a life can act on.
struct walker {
    float intensity = 0.0f;
    bool born = false;
    bool dead = false;
    std::unique_ptr<figure2d> shape = std::make_unique<trace>(pose2d{{0.0f, 0.0f}, 0.0f});
};

// An episode that logs what the timeline does to it.
struct logged : slice_of_life<walker> {
    logged(std::vector<std::string>& log, const char* name, double start, double end)
        : slice_of_life<walker>(nullptr, start, end), log(log), name(name) {}
    void act() override { log.push_back(name + std::string(" act")); }
    void on_begin() override { log.push_back(name + std::string(" begin")); }
    void on_end() override { log.push_back(name + std::string(" end")); }
    std::vector<std::string>& log;
    const char* name;
};

class Life : public ::testing::Test {
protected:
    void SetUp() override { date::horloge = 0.0; }
    void TearDown() override { date::horloge = 0.0; }

    // Birth over [1, 2], death over [5, 6].
    life<walker>* makeLife()
    {
        return new life<walker>(new birth<walker>(&w, 1, 2), new death<walker>(&w, 5, 6));
    }
    void stepTo(life<walker>& l, double date)
    {
        date::horloge = date;
        l.up_to_date();
        l.act_active();
    }
    walker w;
};

gust_of_wind* makeGust(double born_at, double dead_at)
{
    return new gust_of_wind(new rectangle({{0.0f, 0.0f}, 0.0f}, 1.0f, 1.0f),
                            new birth<gust_of_wind>(nullptr, born_at, born_at + 1.5),
                            new death<gust_of_wind>(nullptr, dead_at - 1.5, dead_at));
}

std::vector<double> birthDates(const std::list<std::unique_ptr<wind_primitive>>& list)
{
    std::vector<double> dates;
    for (const auto& p : list) dates.push_back(p->date_of_birth);
    return dates;
}

} // namespace

TEST_F(Life, EpisodeSpansAreChecked)
{
    EXPECT_NO_THROW(birth<walker>(&w, 3, 3));
    try {
        birth<walker>(&w, 3, 2);
        FAIL() << "an episode ending before it starts was accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "slice_of_life:slice_of_life: start>end");
    }
    EXPECT_DEATH(life<walker>(new birth<walker>(&w, 1, 2), new death<walker>(&w, 2, 3)),
                 "d->start>b->end");
}

TEST_F(Life, BirthFadesInAndDeathFadesOut)
{
    std::unique_ptr<life<walker>> l(makeLife());
    stepTo(*l, 0.5);
    EXPECT_FALSE(w.born);
    stepTo(*l, 1.5);
    EXPECT_TRUE(w.born);
    EXPECT_FLOAT_EQ(w.intensity, 0.5f);
    stepTo(*l, 3.0);  // between the two: the last value stays
    EXPECT_FLOAT_EQ(w.intensity, 0.5f);
    stepTo(*l, 5.25);
    EXPECT_FLOAT_EQ(w.intensity, 0.75f);
    EXPECT_FALSE(w.dead);
    stepTo(*l, 6.0);
    EXPECT_TRUE(w.dead);
    EXPECT_TRUE(l->active_slices().empty());
    EXPECT_EQ(l->all_slices().size(), 2u);
}

TEST_F(Life, StepOverAWholeBirthBeginsAndEndsItWithoutActing)
{
    std::unique_ptr<life<walker>> l(makeLife());
    stepTo(*l, 3.0);
    EXPECT_TRUE(w.born);
    EXPECT_EQ(w.intensity, 0.0f);
    EXPECT_TRUE(l->active_slices().empty());
}

TEST_F(Life, DateConflicts)
{
    std::unique_ptr<life<walker>> l(makeLife());
    stepTo(*l, 1.5);
    std::vector<std::string> log;
    try {
        l->add_slice_of_life(new logged(log, "late", 1.4, 3));
        FAIL() << "an episode starting in the past was accepted";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "life:add_slice_of_life: date conflict.");
    }
    EXPECT_NO_THROW(l->add_slice_of_life(new logged(log, "now", 1.5, 3)));
    try {
        std::unique_ptr<logged> future(new logged(log, "future", 4, 5));
        l->add_active_event(future.get());
        FAIL() << "an episode was activated before its start";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "life:add_active_event: date conflict.");
    }
    date::horloge = 0.5;  // back before the activated birth
    try {
        l->up_to_date();
        FAIL() << "the date went back past an active episode unnoticed";
    } catch (const std::invalid_argument& e) {
        EXPECT_STREQ(e.what(), "life:up_to_date: date conflict.");
    }
}

TEST_F(Life, NewestOfEqualStartsBeginsFirstAndActiveIsOrderedByEnd)
{
    std::unique_ptr<life<walker>> l(makeLife());
    std::vector<std::string> log;
    l->add_slice_of_life(new logged(log, "A", 1, 4));
    l->add_slice_of_life(new logged(log, "B", 1, 3));
    date::horloge = 1.0;
    l->up_to_date();
    EXPECT_EQ(log, (std::vector<std::string>{"B begin", "A begin"}));
    std::vector<double> ends;
    for (const auto* s : l->active_slices()) ends.push_back(s->end);
    EXPECT_EQ(ends, (std::vector<double>{2, 3, 4}));
    log.clear();
    l->act_active();
    EXPECT_EQ(log, (std::vector<std::string>{"B act", "A act"}));
    log.clear();
    stepTo(*l, 3.5);
    EXPECT_EQ(log, (std::vector<std::string>{"B end", "A act"}));
}

TEST_F(Life, FollowThePathPosesTheFigure)
{
    std::unique_ptr<life<walker>> l(makeLife());
    l->add_slice_of_life(new follow_the_path<walker>(new straight_path({1.0f, 2.0f}, 0.0f), &w, 1, 6, 2.0f));
    stepTo(*l, 2.5);
    EXPECT_FLOAT_EQ(w.shape->get_pose().position.x, 4.0f);
    EXPECT_FLOAT_EQ(w.shape->get_pose().position.y, 2.0f);
    EXPECT_DEATH(follow_the_path<walker>(new straight_path({0, 0}, 0), &w, 1, 2, 0.0f), "speed>0");
}

TEST_F(Life, PrimitivesAreFiledByTheirPlaceInLife)
{
    father_primitive<wind_primitive> father;
    father.add_primitive(makeGust(3, 9));
    father.add_primitive(makeGust(1, 10));
    father.add_primitive(makeGust(2, 8));
    father.add_primitive(makeGust(1.2, 4.5));
    EXPECT_EQ(birthDates(father.not_born()), (std::vector<double>{1, 1.2, 2, 3}));

    date::horloge = 2.5;
    father.update_primitives();
    EXPECT_EQ(birthDates(father.not_born()), (std::vector<double>{3}));
    EXPECT_EQ(birthDates(father.alive()), (std::vector<double>{1.2, 2, 1}));  // by date of death
    EXPECT_TRUE(father.dead().empty());

    date::horloge = 5.0;
    father.update_primitives();
    EXPECT_EQ(birthDates(father.alive()), (std::vector<double>{2, 3, 1}));
    EXPECT_EQ(birthDates(father.dead()), (std::vector<double>{1.2}));

    date::horloge = 20.0;  // not born straight to dead in one step
    father.add_primitive(makeGust(21, 30));
    date::horloge = 40.0;
    father.update_primitives();
    EXPECT_TRUE(father.alive().empty());
    EXPECT_TRUE(father.not_born().empty());
    // The most recently filed dead first: the not born pass runs before the alive one.
    EXPECT_EQ(birthDates(father.dead()), (std::vector<double>{1, 3, 2, 21, 1.2}));

    father.delete_all_primitives();
    EXPECT_TRUE(father.dead().empty());
}

TEST_F(Life, APrimitiveAlreadyUnderWayIsFiledAlive)
{
    date::horloge = 2.0;
    father_primitive<wind_primitive> father;
    father.add_primitive(makeGust(2, 8));
    ASSERT_EQ(father.alive().size(), 1u);
    EXPECT_TRUE(father.alive().front()->born);
}
