// The wind query runs once per grass node in view every frame.
#include "wind/director.h"
#include "wind/wind.h"

#include <benchmark/benchmark.h>

namespace {

// A fresh wind over a 100 m field with `gusts` gusts and `blasts` blasts, all
// alive once the date has passed their launch delay.
void prepare(int gusts, int blasts)
{
    const float area[4] = {0.0f, 0.0f, 100.0f, 100.0f};
    windInit(area, 0.0f);
    for (int i = 0; i < gusts; ++i) windAddGust(20.0f, 10.0f);
    for (int i = 0; i < blasts; ++i) windAddBlast(10.0f);
    for (int frame = 0; frame < 40; ++frame) windUpdate(0.05f);
    if (windDirector().alive().size() != static_cast<size_t>(gusts + blasts)) std::abort();
}

void query(benchmark::State& state, float x, float y)
{
    float power, dx, dy;
    for (auto _ : state) {
        windGetInfluence(x, y, 0.0f, 0.0f, 0.0f, power, dx, dy);
        benchmark::DoNotOptimize(power);
        benchmark::DoNotOptimize(dx);
        benchmark::DoNotOptimize(dy);
    }
}

void BM_QueryBreezeOnly(benchmark::State& state)
{
    prepare(0, 0);
    query(state, 37.5f, 62.25f);
}

// The point lies far from every gust: each costs the rejection test only.
void BM_QueryFiveGustsMissing(benchmark::State& state)
{
    prepare(5, 0);
    query(state, 5000.0f, 5000.0f);
}

// Every blast is moved onto the point: each costs its full evaluation.
void BM_QueryFiveBlastsContaining(benchmark::State& state)
{
    prepare(0, 5);
    for (const auto& blast : windDirector().alive())
        blast->shape->set_pose({{40.0f, 60.0f}, blast->shape->get_pose().angle});
    query(state, 42.0f, 63.0f);
}

} // namespace

BENCHMARK(BM_QueryBreezeOnly)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_QueryFiveGustsMissing)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_QueryFiveBlastsContaining)->Repetitions(9)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
