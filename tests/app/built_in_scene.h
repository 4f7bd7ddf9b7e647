#pragma once
#include "app/driver.h"
#include "app/scene_state.h"
#include "app/viewer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

/// The program's viewer and driver, as start-up makes them, with the switches
/// at their defaults, in a temporary working folder holding the run folder's
/// pictures but not its scene files: the scene is the one initScene builds.
/// The previous working folder comes back when it goes.
struct BuiltInScene {
    BuiltInScene()
    {
        for (const char* data : {"GroundData", "GrassData", "ForestData", "ForestInterfaceData"})
            QFile::link(QDir::current().absoluteFilePath(data), folder.filePath(data));
        QDir::setCurrent(folder.path());
        scene::resetSceneState();
        theViewer = &viewer;
        theDriver = &driver;
    }
    ~BuiltInScene() { QDir::setCurrent(previous); }
    QString filePath(const QString& name) const { return folder.filePath(name); }

    Viewer viewer;
    MyVelmoraQTDriver driver;
    const QString previous = QDir::currentPath();
    QTemporaryDir folder;
};
