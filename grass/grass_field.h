#pragma once
/// The grass field: a regular grid of patches over an area of the ground, the
/// nodes at the patch corners that carry one wind-bent blade skeleton each, and
/// a grid at half the patch spacing that records where a rock flattened grass.
///
/// The field's own operations (layout, settings, crushing) live here as member
/// functions, its state behind them: a setter bounds its value and marks what
/// the change makes stale. The drawing side (view update, draw passes,
/// textures, geometry) are free functions over a `GrassField&` declared in
/// their own headers; what they keep between frames is their own record
/// (grass/grass_drawing.h), which the field only holds.
///
/// The other modules keep their state process-wide behind free functions;
/// the grass is one object passed to them instead. A deliberate exception,
/// kept because it makes the field testable: a test builds a field of its own,
/// of any size, beside the scene's.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ground/image.h"
#include "util/number.h"
#include "grass/rock_record.h"

/// One blade as a cubic Hermite curve from base P0 to tip P1 with tangents T0
/// and T1, plus the heights of its lighting normal at the base and the tip.
struct BladeSkeleton {
    float P0[3] = {0, 0, 0};
    float P1[3] = {0, 0, 0};
    float T0[3] = {0, 0, 0};
    float T1[3] = {0, 0, 0};
    float baseNormal = 0;
    float tipNormal = 0;
};

/// Level of detail of a node or patch, stored as int16_t.
enum LodLevel : int16_t { LOD_NONE = 0, LOD_2D = 1, LOD_2D5 = 2, LOD_3D_FAR = 3, LOD_3D = 4 };

/// One grid vertex: the blade skeleton that follows the wind at this place.
struct GrassNode {
    uint8_t active = 0;    ///< corner of at least one active patch
    uint8_t visible = 0;   ///< inside the view frustum
    uint8_t nearView = 0;  ///< inside the widened frustum: skeleton kept current
    BladeSkeleton skeleton;
    float x = 0, y = 0, z = 0;  ///< ground point
    float height = 1.5f;        ///< blade height (copy of grassHeight)
    float currentHeight = 1.5f; ///< blade height used for the skeleton
    float maxGroundZ = 0;       ///< highest ground sample of the patches around, at least 0
    float density = 0;          ///< 0..1 from the density map
    float distance = 0;         ///< horizontal distance to the camera
    float windWeight = 0;       ///< wind power at the node
    float windX = 0, windY = 0; ///< wind bend vector
    int16_t lod = LOD_NONE;
};

/// One point of the half-spacing grid: the crush state of the grass there.
struct CrushPoint {
    uint8_t exists = 0;
    uint8_t crushed = 0;         ///< recovering from a crush
    float x = 0, y = 0, z = 0;   ///< ground point
    BladeSkeleton skeleton;      ///< scratch, filled while a crushed patch is drawn
    float dirX = 0, dirY = 0;    ///< accumulated crush direction
    float totalTime = 0;         ///< recovery time of the current crush, seconds
    float remainingTime = 0;     ///< seconds left
    float initialAmount = 0;     ///< amount at the last crush
    float amount = 0;            ///< current amount, decays with time
};

/// One grid cell (i, j).
struct GrassPatch {
    /// Nodes (i,j), (i+1,j), (i,j+1), (i+1,j+1).
    GrassNode* corners[4] = {nullptr, nullptr, nullptr, nullptr};
    /// Crush points (2i+a, 2j+b) at index a+3b, a along x.
    CrushPoint* crush[9] = {};
    int16_t randomIndex = 0; ///< start cursor of the patch's stream in the RandomTable
    int16_t lod = LOD_NONE;
    float distance = 0;      ///< larger camera distance of corners 0 and 3
    float density = 0;       ///< mean corner density; 0 when inactive
    uint8_t active = 0;
};

/// A run of records whose count is fixed by the layout: the records may be
/// changed, the run not resized.
template <typename T>
class RecordSpan {
public:
    RecordSpan(T* data, std::size_t size) : data_(data), size_(size) {}
    T* begin() const { return data_; }
    T* end() const { return data_ + size_; }
    std::size_t size() const { return size_; }
    T& operator[](std::size_t k) const { return data_[k]; }

private:
    T* data_;
    std::size_t size_;
};

/// Parameters shared by every record of the field.
struct GrassSettings {
    float grassHeight = 1.5f;
    float grassWidth = 0.04f;     ///< base half-width of a blade before randomisation
    float noisePositions = 0;     ///< amplitude of the random offset of blade tips
    float noiseNormals = 0;       ///< stored and saved only
    int16_t bladesPerSquareMetre = 0;
    int16_t bladesPerPatch = 0;   ///< blades of a patch of density 1; derived
    int16_t polygons2D5 = 0;      ///< ribbon segments at distance3D
    int16_t polygons3D = 0;       ///< blade segments at distance 0
    float distance2D = 0;
    float distance2D5 = 0;
    float distance3D = 0;
    float distance3DNear = 0;     ///< 0.66 x distance3D
    float inverse3D = 1, inverse3DNear = 1, inverse2D5 = 1, inverse2D = 1;
    float crushingMaxTime = 20;   ///< base recovery time of crushed grass, seconds
    float crushingDamping = 2;    ///< exponent of the recovery curve
    bool ajustmentHeight2D5 = true;
};

struct GrassDrawing;

/// The grass field. One instance lives for the whole run (owned by the driver).
class GrassField {
public:
    /// Largest patch count per direction (the dialog's maximum).
    static constexpr int MAX_PATCHES = 999;

    /// Empty grids, default settings, and a freshly drawn RandomTable.
    GrassField();
    ~GrassField();
    GrassField(const GrassField&) = delete;
    GrassField& operator=(const GrassField&) = delete;

    // --- layout --------------------------------------------------------------
    /// Rebuilds every grid over `area` (x0, y0, x1, y1) with px x py patches and
    /// the density picture `densityMap` (null or "" = density 1 everywhere).
    /// Crush and level-of-detail state are lost.
    void initField(const float area[4], int px, int py, const char* densityMap);
    /// Density in 0..1 of `picture` at (x, y) of the field's area; 1 without pixels.
    float densityAt(float x, float y, const Texture& picture) const;

    /// Node (i, j), 0 <= i <= patchesX, 0 <= j <= patchesY.
    GrassNode& node(int i, int j) { return nodes[std::size_t(i) * (patchesY + 1) + j]; }
    const GrassNode& node(int i, int j) const { return nodes[std::size_t(i) * (patchesY + 1) + j]; }
    /// Patch (i, j), 0 <= i < patchesX, 0 <= j < patchesY.
    GrassPatch& patch(int i, int j) { return patches[std::size_t(i) * patchesY + j]; }
    const GrassPatch& patch(int i, int j) const { return patches[std::size_t(i) * patchesY + j]; }
    /// Crush point (i, j), 0 <= i <= 2 patchesX, 0 <= j <= 2 patchesY.
    CrushPoint& crushPoint(int i, int j) { return crushPoints[std::size_t(i) * (2 * patchesY + 1) + j]; }
    const CrushPoint& crushPoint(int i, int j) const { return crushPoints[std::size_t(i) * (2 * patchesY + 1) + j]; }
    /// Every node, patch or crush point, row after row (i outer, j inner).
    RecordSpan<GrassNode> getNodes() { return {nodes.data(), nodes.size()}; }
    RecordSpan<const GrassNode> getNodes() const { return {nodes.data(), nodes.size()}; }
    RecordSpan<GrassPatch> getPatches() { return {patches.data(), patches.size()}; }
    RecordSpan<const GrassPatch> getPatches() const { return {patches.data(), patches.size()}; }
    RecordSpan<CrushPoint> getCrushPoints() { return {crushPoints.data(), crushPoints.size()}; }
    RecordSpan<const CrushPoint> getCrushPoints() const { return {crushPoints.data(), crushPoints.size()}; }
    /// Number of crush points along x and along y.
    int crushPointsX() const { return 2 * patchesX + 1; }
    int crushPointsY() const { return 2 * patchesY + 1; }

    // --- animation -----------------------------------------------------------
    /// One simulation step of `dt` seconds: crushed grass recovers, then each
    /// of the `rockCount` rocks crushes along its previous-to-current segment
    /// and its previous position catches up with its current one.
    void updateCrushing(float dt, RockRecord* rocks, int rockCount);

    // --- setters (store, with the side effects noted) --------------------------
    // Lengths, times and distances are bounded (util/number.h): the blade and
    // crush formulas multiply and square them.
    /// Also sets height and currentHeight of every node.
    void setHeight(float h);
    /// Textures built from the old width are rebuilt at the next draw.
    void setWidth(float w);
    /// Amplitude (m) of the random offset of blade tips.
    void setNoisePositions(float v) { settings.noisePositions = util::bounded(v); }
    /// Stored and saved only.
    void setNoiseNormals(float v) { settings.noiseNormals = v; }
    /// Base recovery time of crushed grass, seconds; 0 makes a crush recover at the next step.
    void setCrushingMaxTime(float v) { settings.crushingMaxTime = util::bounded(v); }
    /// Exponent of the recovery curve; a negative one would grow a crush without end.
    void setCrushingDamping(float v) { settings.crushingDamping = util::bounded(v, 0, util::SETTING_BOUND); }
    /// Segments of a 3D blade at the camera.
    void setPolygons3D(int n) { settings.polygons3D = static_cast<int16_t>(n); }
    /// Segments of a 2.5D ribbon at distance3D.
    void setPolygons2D5(int n) { settings.polygons2D5 = static_cast<int16_t>(n); }
    /// Raise 2.5D ribbons towards the camera's line of sight.
    void setAjustmentHeight2D5(bool on) { settings.ajustmentHeight2D5 = on; }
    /// Also derives bladesPerPatch; textures are rebuilt at the next draw.
    void setBladesPerSquareMetre(int n);
    /// Also sets distance3DNear and the two inverses.
    void setDistance3D(float d);
    /// Far limit (m) of the 2.5D level; also its inverse unless 0.
    void setDistance2D5(float d);
    /// Far limit (m) of the 2D level; also its inverse unless 0.
    void setDistance2D(float d);

    // --- texture setters (grass_texture.cpp): they store and mark what the
    // next draw rebuilds, so they run without a GL context.
    /// Reads the blade picture `fileName` (stored as texture3DFile), gives it
    /// alpha and fades its long sides by antialiasing3D. It is uploaded, and
    /// the synthetic textures rebuilt with it, at the next draw. A picture
    /// that cannot be read keeps the previous one.
    void loadTexture3D(const char* fileName);
    /// Blades use the blade picture; rebuilds the synthetic textures.
    void setTexture3D(bool on);
    /// Loads a new blade picture.
    void setTexture3DFile(const char* fileName) { loadTexture3D(fileName); }
    /// Side fading of the blade picture, 0..1; reloads it when one is named.
    void setAntialiasing3D(float value);
    /// Alpha softening of the 2.5D texture, 0..1; rebuilds it.
    void setAntialiasing2D5(float value);
    /// Pixel size of the 2.5D texture; rebuilds it.
    void setSizeTexture2D5(int width, int height);
    /// Stores the 2.5D texture's seed; rebuilds it.
    void setSeed2D5(int seed);
    /// Draws a new 2.5D seed (0..1000) and rebuilds the 2.5D texture.
    void newSeed2D5();
    /// Hands the blade picture waiting for its upload to `into` (replacing its
    /// pixels); false, leaving `into` alone, when none waits.
    bool takeBladePicture(Texture& into);
    /// The draw built what the setters marked stale.
    void texturesBuilt();

    // --- getters: the current values, as the scene file saves them ---------------
    /// Copies the area x0, y0, x1, y1 into `out`.
    void getArea(float out[4]) const { for (int k = 0; k < 4; ++k) out[k] = area[k]; }
    float getHeight() const { return settings.grassHeight; }
    float getWidth() const { return settings.grassWidth; }
    float getNoisePositions() const { return settings.noisePositions; }
    float getNoiseNormals() const { return settings.noiseNormals; }
    int getPatchesX() const { return patchesX; }
    int getPatchesY() const { return patchesY; }
    int getPolygons3D() const { return settings.polygons3D; }
    int getPolygons2D5() const { return settings.polygons2D5; }
    float getDistance3D() const { return settings.distance3D; }
    float getDistance2D5() const { return settings.distance2D5; }
    float getDistance2D() const { return settings.distance2D; }
    const char* getDensityMapFile() const { return densityMapFile; }
    int getBladesPerSquareMetre() const { return settings.bladesPerSquareMetre; }
    float getCrushingMaxTime() const { return settings.crushingMaxTime; }
    float getCrushingDamping() const { return settings.crushingDamping; }
    bool getAjustmentHeight2D5() const { return settings.ajustmentHeight2D5; }
    bool getTexture3D() const { return texture3D; }
    const char* getTexture3DFile() const { return texture3DFile; }
    float getAntialiasing3D() const { return antialiasing3D; }
    float getAntialiasing2D5() const { return antialiasing2D5; }
    int getSeed2D5() const { return seed2D5; }
    int getSizeX2D5() const { return sizeX2D5; }
    int getSizeY2D5() const { return sizeY2D5; }
    float getAntialiasing2D() const { return antialiasing2D; }
    /// Extents of one patch, metres.
    float getPatchSizeX() const { return patchSizeX; }
    float getPatchSizeY() const { return patchSizeY; }
    /// The parameters shared by every record.
    const GrassSettings& getSettings() const { return settings; }
    /// The blade picture read by loadTexture3D, until the next draw uploads it.
    const Texture& getBladePicture() const { return picture3D; }
    /// The 2D and 2.5D textures are built; a setter clears it to have the next draw rebuild them.
    bool getTexturesReady() const { return texturesReady; }
    /// The 2.5D texture's settings changed since the last build.
    bool getTexture2D5Stale() const { return texture2D5Stale; }

    // --- drawing side (grass_draw.cpp, grass_view.cpp) ------------------------
    /// The drawing's own record (grass/grass_drawing.h); only the drawing files look inside.
    GrassDrawing& drawing() { return *drawing_; }
    const GrassDrawing& drawing() const { return *drawing_; }
    /// Triangles drawn in the last frame.
    unsigned getPolygonCount() const;
    /// Switches the enhanced look for the next view update and draw.
    void setLook(bool on);

private:
    int32_t seed2D5 = 0;                  ///< seed of the 2.5D texture
    float antialiasing3D = 0.5f;          ///< softening of the blade picture
    float antialiasing2D5 = 0.5f;         ///< softening of the 2.5D texture
    float antialiasing2D = 0.5f;          ///< softening of the 2D texture
    int32_t sizeX2D5 = 512, sizeY2D5 = 64; ///< pixel size of the 2.5D texture
    std::vector<GrassPatch> patches;      ///< patchesX rows of patchesY; use patch(i, j)
    std::vector<GrassNode> nodes;         ///< patchesX+1 rows of patchesY+1; use node(i, j)
    std::vector<CrushPoint> crushPoints;  ///< 2 patchesX+1 rows of 2 patchesY+1; use crushPoint(i, j)
    float area[4] = {0, 0, 0, 0};         ///< x0, y0, x1, y1
    float sizeX = 0, sizeY = 0;           ///< extents of the area
    int16_t patchesX = 1, patchesY = 1;   ///< patch counts, 1..MAX_PATCHES
    int32_t nodeCount = 0;                ///< (patchesX+1)(patchesY+1)
    int32_t patchCount = 0;               ///< patchesX patchesY
    float patchSizeX = 0, patchSizeY = 0; ///< patch extents
    char densityMapFile[256] = "";        ///< "" when none
    char texture3DFile[256] = "";         ///< the blade picture's file
    bool texturesReady = false;           ///< see getTexturesReady
    bool texture2D5Stale = false;         ///< see getTexture2D5Stale
    bool texture3D = false;               ///< blades use the blade picture
    GrassSettings settings;               ///< see getSettings
    Texture picture3D;  ///< the blade picture read, waiting for its upload
    std::unique_ptr<GrassDrawing> drawing_;

    // The steps of initField, in order.
    /// Stores the density map's name, the bounded area and the clamped patch counts, and derives sizes and counts.
    void setLayout(const float area[4], int px, int py, const char* densityMap);
    /// Fresh nodes, crush points and patches; each patch draws its stream start.
    void resetRecords();
    /// Nodes on the ground at the patch corners, at the field's blade height.
    void placeNodes();
    /// Crush points on the ground at half the patch spacing.
    void placeCrushPoints();
    /// Node densities from the density map; below 0.15 none.
    void readDensities();
    /// Patch corners and crush points; a patch whose mean corner density passes 0.25 is active.
    void linkPatches();
    /// Each node's maxGroundZ: the highest ground under the patches around it.
    void findPatchGroundHeights();

    void crushAt(int i, int j, int sx, int sy, int tx, int ty, const float from[3], const float to[3],
                 const float direction[2], const float side[2], const RockRecord& rock);
    float crushOne(CrushPoint& point, const float from[3], const float to[3], const float direction[2],
                   const float side[2], const RockRecord& rock);
    void updateBladesPerPatch();
};
