#pragma once
/// Blade and patch geometry: turns one blade skeleton into a strip of quads
/// and one patch into its blades, ribbons or flat quad. Blades are never
/// stored: each draw regenerates them from the four corner skeletons and the
/// patch's own stream in the field's RandomTable, so a patch shows the same
/// blades every frame.
///
/// The geometry is computed here without GL and handed to a `GeometrySink`;
/// `glGeometrySink` collects it into vertex arrays and draws them when
/// flushed, tests record it.
#include "grass/grass_field.h"

/// The primitive a run of vertices forms.
enum class GrassPrimitive { QuadStrip, Quads };

/// Receives the vertices of one primitive at a time. A sink may hold them
/// back until `flush`: call it before changing GL state the geometry is drawn
/// with, or reading the pixels back.
class GeometrySink {
public:
    virtual ~GeometrySink() = default;
    /// Starts a primitive.
    virtual void begin(GrassPrimitive primitive) = 0;
    /// One vertex: normal (0, 0, normalZ), texture (s, t), position p.
    virtual void vertex(float normalZ, float s, float t, const float p[3]) = 0;
    /// Ends the primitive.
    virtual void end() = 0;
    /// Draws what was held back, in the order it came; sinks that draw at once
    /// have nothing to do.
    virtual void flush() {}
};

/// The sink that draws with GL: consecutive primitives of one kind go out
/// together as one draw of a vertex array. Flushing needs a current context.
GeometrySink& glGeometrySink();

/// One camera-facing blade of `segments` quads along `skeleton`, facing the
/// field view's side vector; draws 4 values from the RandomTable.
void drawBlade(GrassField& field, GeometrySink& sink, const BladeSkeleton& skeleton, int segments);
/// A blade facing the fixed side direction (dx, dy), widths scaled by
/// `widthScale`; used to synthesise the textures. Draws 3 table values.
void drawBladeFixed(GrassField& field, GeometrySink& sink, const BladeSkeleton& skeleton, int segments,
                    float dx, float dy, float widthScale);
/// A vertical textured ribbon from base A to base B that follows `skeleton`
/// (the B side is the A side shifted by B − A). Normal heights at A and B go
/// from base to top; texture s is sA at A and sB at B, t runs 0..1 upwards.
void drawRibbon(GeometrySink& sink, const float a[3], const float b[3], const BladeSkeleton& skeleton,
                float normalA0, float normalA1, float normalB0, float normalB1, float sA, float sB, int segments);

/// The flat textured quad of a patch at its corners' highest ground.
void drawPatch2D(GrassField& field, GeometrySink& sink, const GrassPatch& patch);
/// Two ribbons on the patch diagonals (four pieces each when crushed).
/// Returns the triangles drawn.
int drawPatch2D5(GrassField& field, GeometrySink& sink, GrassPatch& patch, int segments);
/// trunc(bladesPerPatch × density) 3D blades of `segments` quads. Returns the triangles drawn.
int drawPatch3D(GrassField& field, GeometrySink& sink, GrassPatch& patch, int segments);
/// As drawPatch3D, with the blades slid towards the diagonals in proportion to
/// how far the patch lies between distance3DNear and distance3D.
int drawPatch3DFar(GrassField& field, GeometrySink& sink, GrassPatch& patch, int segments);

/// True when one of the patch's nine crush points is crushed.
bool patchCrushed(const GrassPatch& patch);
/// Fills the scratch skeletons of the patch's nine crush points from its
/// corners (corners copied, edges and centre averaged) and bends each by its
/// own crush state.
void crushedSkeletons(GrassPatch& patch);
/// The skeleton of a ribbon between two blades: based at s1, reaching the
/// mean of the two tip offsets, with the mean tangents.
BladeSkeleton ribbonSkeleton(const BladeSkeleton& s1, const BladeSkeleton& s2);
