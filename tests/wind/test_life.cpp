// Episodes, timelines and the filing of primitives on the simulation date.
#include "wind_fixture.h"

#include <tuple>
#include <vector>

namespace {

struct walker {
    float intensity = 0.0f;
    bool born = false, dead = false;
    std::unique_ptr<figure2d> shape = std::make_unique<trace>(pose2d{{0.0f, 0.0f}, 0.0f});
};

class Life : public WindTest {
protected:
    // Birth over [1, 2], death over [5, 6].
    std::unique_ptr<life<walker>> l{new life<walker>(new birth<walker>(&w, 1, 2), new death<walker>(&w, 5, 6))};
    walker w;

    void stepTo(double date) { date::horloge = date, l->up_to_date(), l->act_active(); }
};

std::vector<double> birthDates(const std::list<std::unique_ptr<wind_primitive>>& list)
{
    std::vector<double> dates;
    for (const auto& p : list) dates.push_back(p->date_of_birth);
    return dates;
}

} // namespace

TEST_F(Life, TimelineErrors)
{
    EXPECT_INVALID(birth<walker>(&w, 3, 2), "slice_of_life:slice_of_life: start>end");
    stepTo(1.5);
    EXPECT_INVALID(l->add_slice_of_life(new birth<walker>(&w, 1.4, 3)), "life:add_slice_of_life: date conflict.");
    l->add_slice_of_life(new birth<walker>(&w, 1.5, 3));
    birth<walker> future(&w, 4, 5);
    EXPECT_INVALID(l->add_active_event(&future), "life:add_active_event: date conflict.");
    date::horloge = 0.5;  // back before the activated birth
    EXPECT_INVALID(l->up_to_date(), "life:up_to_date: date conflict.");
}

TEST_F(Life, DeathFadesOutAndEndsTheLife)
{
    stepTo(5.25);
    EXPECT_EQ(std::tuple(w.dead, w.intensity), std::tuple(false, 0.75f));
    stepTo(6.0);
    EXPECT_EQ(std::tuple(w.dead, l->active_slices().size()), std::tuple(true, size_t(0)));
}

TEST_F(Life, PrimitivesAreFiledByTheirPlaceInLife)
{
    father_primitive<wind_primitive> father;
    for (const auto& [born, dies] : {std::pair{3.0, 9.0}, {1.0, 10.0}, {2.0, 8.0}, {1.2, 4.5}})
        father.add_primitive(new gust_of_wind(new rectangle({{0, 0}, 0}, 1, 1),
                                              new birth<gust_of_wind>(nullptr, born, born + 1.5),
                                              new death<gust_of_wind>(nullptr, dies - 1.5, dies)));
    EXPECT_EQ(birthDates(father.not_born()), (std::vector<double>{1, 1.2, 2, 3}));
    date::horloge = 5.0;
    father.update_primitives();
    EXPECT_EQ(birthDates(father.alive()), (std::vector<double>{2, 3, 1}));  // by date of death
    EXPECT_EQ(birthDates(father.dead()), (std::vector<double>{1.2}));
    father.add_primitive(new gust_of_wind(new rectangle({{0, 0}, 0}, 1, 1), new birth<gust_of_wind>(nullptr, 6, 7),
                                          new death<gust_of_wind>(nullptr, 8, 9)));
    date::horloge = 40.0;  // one whose whole life was skipped goes straight to dead
    father.update_primitives();
    EXPECT_EQ(std::tuple(father.alive().size(), father.not_born().size()), std::tuple(size_t(0), size_t(0)));
    EXPECT_EQ(birthDates(father.dead()), (std::vector<double>{1, 3, 2, 6, 1.2}));  // the most recently filed first
}
