// Writes the pictures of the run folder. Deterministic: the same files on
// every machine, so no binary picture needs to be committed.
#include "tools/assets.h"

#include <cstdio>
#include <string>
#include <sys/stat.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets RUN_FOLDER\n");
        return 2;
    }
    std::string root = argv[1];
    if (root.empty() || root.back() != '/') root += '/';
    for (const char* dir : {"GroundData", "GrassData", "ForestData", "ForestInterfaceData",
                            "ForestInterfaceData/Buttons", "Scene"})
        mkdir((root + dir).c_str(), 0755);
    const bool ok = assets::writeGroundAssets(root) && assets::writeGrassAssets(root)
                 && assets::writeGrassBladeAssets(root)
                 && assets::writeForestAssets(root) && assets::writeInterfaceAssets(root);
    if (!ok) {
        std::fprintf(stderr, "make_assets: could not write the pictures under %s\n", root.c_str());
        return 1;
    }
    return 0;
}
