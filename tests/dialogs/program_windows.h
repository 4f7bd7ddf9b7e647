#pragma once
// The program's viewer, driver and dialogs, assembled as start-up does, and
// what the tests that run them check on the way.
#include "app/dialogs/dialogs.h"
#include "app/driver.h"
#include "app/program.h"
#include "app/viewer.h"
#include "forest/forest_state.h"
#include "grass/grass_field.h"

#include "tests/support/finite.h"
#include "tests/support/frames.h"

#include <QString>
#include <gtest/gtest.h>

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

/// Lets the program's viewer draw `n` more frames, the GL state sound after them.
inline void drawFrames(int n)
{
    drawFrames(*theViewer, n);
    theViewer->makeCurrent();
    const GLenum error = glGetError();
    theViewer->doneCurrent();
    ASSERT_EQ(error, GLenum(GL_NO_ERROR)) << "frame " << theViewer->frameStats().framesDrawn();
}

/// Whether every tree of the forest grows with finite branches.
inline testing::AssertionResult treesFinite()
{
    for (int i = 0; i < forestTreeCount(); ++i) {
        const Tree tree = growForestTree(i, 0.0);
        if (tree.trunk)
            if (testing::AssertionResult r = finite(*tree.trunk); !r) return r << " of tree " << i;
    }
    return testing::AssertionSuccess();
}
