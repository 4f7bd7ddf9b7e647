#pragma once
// The program's viewer, driver and dialogs, assembled as start-up does.
#include "app/dialogs/dialogs.h"
#include "app/driver.h"
#include "app/viewer.h"

#include <QString>

/// Opens the viewer at `width` × `height` over the five dialogs. It stops
/// after `frames` frames (INT_MAX: never) and leaves the viewer's state file
/// alone. closeWindows() ends it.
inline void openProgramWindows(int width, int height, int frames)
{
    theViewer = new Viewer();
    theViewer->stopAfterFrames(frames, QString());
    theDriver = new MyVelmoraQTDriver();
    assembleDialogs(theDriver);
    theViewer->resize(width, height);
    theViewer->show();
}
