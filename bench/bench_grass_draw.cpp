// The grass's per-frame drawing costs at 780 × 580 under the software
// renderer: the view update (culling, levels, one wind query per node near the
// view) and the three draw passes, from the start camera and from a low camera
// standing in the meadow. Counters: grass triangles per frame.
#include "grass/grass_draw.h"
#include "grass/grass_texture.h"
#include "ground/ground.h"
#include "wind/wind.h"

#include <benchmark/benchmark.h>

#include "support/offscreen_gl.h"

#include <QCoreApplication>

#include <GL/gl.h>
#include <GL/glu.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

const float AREA[4] = {0, 0, 100, 100};

/// The 780 × 580 frame and the default meadow, made once.
struct Scene {
    OffscreenGl gl{780, 580};
    GrassField field;

    Scene()
    {
        // The pictures live in the run folder beside this program's folder.
        const std::string runFolder = QCoreApplication::applicationDirPath().toStdString() + "/../run";
        if (chdir(runFolder.c_str()) != 0) std::perror(runFolder.c_str());
        createGround(AREA, 5, 400, "GroundData/heightMap1.bmp", "GroundData/ground3.bmp", 8);
        windInit(AREA, 0);
        field.initField(AREA, 60, 60, "GrassData/densityMap1.bmp");
        field.setHeight(0.6f);
        field.setWidth(0.02f);
        field.setDistance3D(10);
        field.setDistance2D5(30);
        field.setDistance2D(80);
        field.setPolygons3D(3);
        field.setPolygons2D5(1);
        setTexture3D(field, true);
        setTexture3DFile(field, "GrassData/grassBlade.tga");
    }
};

Scene& scene()
{
    static Scene s;
    return s;
}

/// Loads the camera: 0 = the start camera, 1 = a low camera in the meadow.
void loadCamera(int which, float eye[3])
{
    float at[3];
    if (which == 0) {
        eye[0] = 15, eye[1] = 0, eye[2] = 10;
        at[0] = 0, at[1] = 50, at[2] = 0;
    } else {
        eye[0] = 50, eye[1] = 20, eye[2] = groundHeight(50, 20) + 1.7f;
        at[0] = 50, at[1] = 80, at[2] = groundHeight(50, 80);
    }
    glViewport(0, 0, 780, 580);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45, 780.0 / 580.0, 0.3, 600);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], at[0], at[1], at[2], 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
}

/// Applies the blade density of the run (blades per square metre).
void prepare(benchmark::State& state, float eye[3])
{
    Scene& s = scene();
    s.field.setBladesPerSquareMetre(int(state.range(1)));
    loadCamera(int(state.range(0)), eye);
    updateView(s.field, eye);
    drawField(s.field);  // builds the textures outside the timing
    glFinish();
}

void BM_UpdateView(benchmark::State& state)
{
    float eye[3];
    prepare(state, eye);
    for (auto _ : state) updateView(scene().field, eye);
}

void BM_DrawField(benchmark::State& state)
{
    float eye[3];
    prepare(state, eye);
    Scene& s = scene();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawField(s.field);
        glFinish();
    }
    state.counters["triangles"] = s.field.polygonCount;
}

void BM_GrassFrame(benchmark::State& state)
{
    float eye[3];
    prepare(state, eye);
    Scene& s = scene();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        updateView(s.field, eye);
        drawField(s.field);
        glFinish();
    }
    state.counters["triangles"] = s.field.polygonCount;
}

/// The reference: clearing the frame and waiting for the renderer.
void BM_ClearOnly(benchmark::State& state)
{
    float eye[3];
    prepare(state, eye);
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
}

// Arguments: camera (0 start, 1 low), blades per square metre.
#define GRASS_ARGS ->Args({0, 10})->Args({0, 60})->Args({1, 10})->Args({1, 60})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_ClearOnly)->Args({0, 10})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateView) GRASS_ARGS;
BENCHMARK(BM_DrawField) GRASS_ARGS;
BENCHMARK(BM_GrassFrame) GRASS_ARGS;

} // namespace

BENCHMARK_MAIN();
