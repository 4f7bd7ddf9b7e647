#pragma once
// A temporary working folder holding the run folder's pictures but not its
// scene files, so that the scene is the one initScene builds. The previous
// working folder comes back when it goes.
#include "app/driver.h"
#include "app/scene_state.h"
#include "app/viewer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class PictureFolder {
public:
    PictureFolder()
    {
        for (const char* data : {"GroundData", "GrassData", "ForestData", "ForestInterfaceData"})
            QFile::link(QDir::current().absoluteFilePath(data), folder.filePath(data));
        QDir::setCurrent(folder.path());
    }
    ~PictureFolder() { QDir::setCurrent(previous); }
    PictureFolder(const PictureFolder&) = delete;
    PictureFolder& operator=(const PictureFolder&) = delete;

    QString filePath(const QString& name) const { return folder.filePath(name); }

private:
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
};

/// The program's viewer and driver, as start-up makes them, over the
/// built-in scene of a picture folder, with the switches at their defaults.
struct BuiltInScene {
    BuiltInScene()
    {
        scene::resetSceneState();
        theViewer = &viewer;
        theDriver = &driver;
    }
    Viewer viewer;
    MyVelmoraQTDriver driver;
    const PictureFolder folder;
};
