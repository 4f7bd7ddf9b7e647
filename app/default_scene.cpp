#include "app/default_scene.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "forest/forest.h"
#include "forest/tree_panel.h"
#include "grass/grass_field.h"
#include "ground/ground.h"
#include "util/random.h"
#include "wind/wind.h"

void buildDefaultScene()
{
    const float area[4] = {0, 0, 100, 100};
    createGround(area, 5.0f, 400, "GroundData/heightMap1.bmp", "GroundData/ground3.bmp", 8.0f);
    windInit(area, groundMaxHeight());

    GrassField& grass = scene::grassField();
    grass.initField(area, 60, 60, "GrassData/densityMap1.bmp");
    grass.setHeight(2.0f);
    grass.setWidth(0.02f);
    grass.setBladesPerSquareMetre(10);
    grass.setDistance3D(0);
    grass.setDistance2D5(0);
    grass.setDistance2D(0);
    grass.setPolygons3D(3);
    grass.setPolygons2D5(1);

    initForest();
    loadTreeTextures("ForestData/");
    showForestEditor(false);
    setForestEditorViewport(640, 400);
    loadArb("ForestData/arb03.arb");
    TreeRecord trees[10];
    for (TreeRecord& tree : trees) {
        tree.position2d[0] = groundX0() + util::randomUnit() * groundSizeX();
        tree.position2d[1] = groundY0() + util::randomUnit() * groundSizeY();
    }
    setTrees(10, trees);
    randomizeTrees();

    rock::placeRock(groundX0() + 0.5f * groundSizeX(), groundY0() + 0.5f * groundSizeY());
}
