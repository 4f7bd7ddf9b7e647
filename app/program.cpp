#include "app/program.h"
#include "app/dialogs/dialogs.h"
#include "app/driver.h"
#include "app/scene_state.h"
#include "app/viewer.h"
#include "forest/forest.h"
#include "grass/grass_texture.h"
#include "ground/ground.h"
#include "oglui/texture_manager.h"

void closeProgram()
{
    deleteDialogs();
    // Display lists and textures belong to the viewer's context.
    theViewer->makeCurrent();
    releaseGround();
    releaseGrassTextures(scene::grassField());
    releaseForest();
    oglTextureReleaseAll();
    theViewer->doneCurrent();
    delete theDriver;
    theDriver = nullptr;
    delete theViewer;
    theViewer = nullptr;
}
