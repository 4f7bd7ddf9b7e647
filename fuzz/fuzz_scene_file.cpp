// The scene file loader: parsing, validation against the document type beside
// the file, and the ground, wind, grass and forest sections, the parameters,
// camera and rock applied to live modules. Runs in the run folder, whose
// pictures and tree files the sections name. Then one simulation step, so
// that what a file set is also used.
#include "app/default_scene.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "ground/ground.h"
#include "wind/wind.h"
#include "fuzz_input.h"

#include <cmath>
#include <filesystem>

// The scene the program starts with; inputs go beside a copy of the
// document type, as saved scenes lie.
static std::string buildScene()
{
    buildDefaultScene();
    const std::string folder = std::filesystem::temp_directory_path().string() + "/velmora-fuzz-scene";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file("Scene/sceneVelmora.dtd", folder + "/sceneVelmora.dtd",
                               std::filesystem::copy_options::overwrite_existing);
    return folder;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string folder = buildScene();
    loadSceneFile(fuzz::writeInput(data, size, ".xml", folder).c_str());

    windUpdate(scene::switches().animation_dt);
    float power = 0, dx = 0, dy = 0;
    const float x = groundX0() + 0.5f * groundSizeX(), y = groundY0() + 0.5f * groundSizeY();
    windGetInfluence(x, y, 0, 0, 0, power, dx, dy);
    if (std::isnan(power) || std::isnan(groundHeight(x, y))) std::abort();
    return 0;
}
