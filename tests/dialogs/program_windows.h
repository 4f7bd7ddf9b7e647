#pragma once
// The program's viewer, driver and dialogs, assembled as start-up does, and
// what the tests that run them check on the way.
#include "app/dialogs/dialogs.h"
#include "app/driver.h"
#include "app/program.h"
#include "app/viewer.h"
#include "forest/forest_state.h"
#include "grass/grass_field.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

/// Opens the viewer at `width` × `height` over the five dialogs. It stops
/// after `frames` frames (INT_MAX: never) and leaves the viewer's state file
/// alone. closeProgram() ends it.
inline void openProgramWindows(int width, int height, int frames)
{
    theViewer = new Viewer();
    theViewer->stopAfterFrames(frames, QString());
    theDriver = new MyVelmoraQTDriver();
    assembleDialogs(theDriver);
    theViewer->resize(width, height);
    theViewer->show();
}

/// Lets the viewer draw `n` more frames. Stops at the test's first failure,
/// so that a broken run stays short; fails when no frame comes for a minute.
inline void drawFrames(int n)
{
    const int target = theViewer->frameStats().framesDrawn() + n;
    QElapsedTimer waited;
    waited.start();
    while (theViewer->frameStats().framesDrawn() < target && !testing::Test::HasFailure()) {
        const int before = theViewer->frameStats().framesDrawn();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (theViewer->frameStats().framesDrawn() != before) waited.restart();
        ASSERT_LT(waited.elapsed(), 60000) << "no frame drawn for a minute";
    }
}

inline bool finite(std::initializer_list<float> values)
{
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

inline bool finite(const BladeSkeleton& s)
{
    return finite({s.P0[0], s.P0[1], s.P0[2], s.P1[0], s.P1[1], s.P1[2], s.T0[0], s.T0[1], s.T0[2], s.T1[0], s.T1[1],
                   s.T1[2], s.baseNormal, s.tipNormal});
}

inline bool finite(const Branch& b)
{
    const Vec3 tip = b.tip();
    if (!finite({b.diameter, b.length, tip.x, tip.y, tip.z})) return false;
    for (int i = 0; i < b.childCount; ++i)
        if (!finite(b.children[i])) return false;
    return true;
}

/// Whether every tree of the forest grows with finite branches.
inline bool treesFinite()
{
    for (int i = 0; i < forestTreeCount(); ++i) {
        const Tree tree = growForestTree(i, 0.0);
        if (tree.trunk && !finite(*tree.trunk)) return false;
    }
    return true;
}
