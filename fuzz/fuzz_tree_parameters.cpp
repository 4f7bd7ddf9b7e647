// The tree parameter file reader, then one tree grown and meshed from what it
// read, as loading a file in the tree panel does.
#include "forest/tree.h"
#include "forest/tree_mesh.h"
#include "forest/tree_parameters.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TreeParameters p = defaultTreeParameters();
    p.seed = 12345;
    loadTreeParameters(p, fuzz::writeInput(data, size, ".arb"));
    setTreeCamera(Vec3{0, -400, 150}, Vec3{0, 1, 0});
    const Tree tree = growTree(p, Vec3{0, 0, 0});
    static TreeMesh mesh;
    buildTreeMesh(tree, p, Vec3{0, 0, 0}, mesh);
    treeCounters() = TreeCounters{};
    return 0;
}
