#pragma once
/// The grass textures: pixel operations on a `Texture` (alpha, edge fading,
/// filtering, colour extension, side-by-side concatenation), the synthesis of
/// the 2D and 2.5D textures from drawn blades, the blade picture, and the
/// field's texture setters.
///
/// The setters only store and mark what must be rebuilt; the GL work runs in
/// `prepareGrassTextures`, which the draw entries call first. So a slot or a
/// scene file may change a texture parameter while no GL context is current.
#include <cstdint>

#include "grass/grass_field.h"
#include "ground/image.h"

// [SECTION] Pixel operations. Each returns true on success; on failure it
// prints its message on standard output and leaves the texture as it was.

/// Gives every pixel the alpha `alpha`, first widening RGB to RGBA if needed.
bool addAlphaChannel(Texture& texture, uint8_t alpha);
/// Fades alpha linearly to 0 over the outer trunc(coef·(width/2)) columns on
/// both sides. `coef` must lie in ]0, 1] and the texture must have alpha.
bool decreaseOpacity(Texture& texture, float coef);
/// Smooths one channel (0..3) with a 3×3 kernel whose centre weighs
/// `centreWeight` (>= 1) and each neighbour 1. Neighbours are found by byte
/// offsets, so left and right run on across row ends.
bool filterChannel(Texture& texture, int channel, int centreWeight);
/// `passes` times, gives each black pixel the channel-wise largest colour of
/// its neighbours, so filtering does not darken edges. Alpha is kept.
bool extendColor(Texture& texture, int passes);
/// Appends `width` columns of `src` (rows of `height` pixels, `hasAlpha`
/// deciding 3 or 4 bytes) to the right of the texture; an empty texture adopts
/// a copy of `src`. Refused when the heights or the pixel formats differ.
bool concatMap(Texture& texture, const unsigned char* src, int height, int width, bool hasAlpha);
/// The same with another texture's pixels.
bool concatMap(Texture& texture, const Texture& src);

// [SECTION] Synthesis (GL; need a current context)

/// Draws blades seen from 45° above into a 4·(width/4) × `height` RGBA
/// texture: four bands side by side holding 1, 2, 3 and 4 units of
/// max(1, count/4) blades, their widths scaled by `widthScale`. False, with a
/// message and an empty texture, on failure.
bool renderGrassTexture2D(GrassField& field, Texture& texture, int width, int height, int count, float widthScale);
/// The same seen from the side, for the 2.5D ribbons.
bool renderGrassTexture2D5(GrassField& field, Texture& texture, int width, int height, int count, float widthScale);
/// Rebuilds the 2D texture object from the field's current settings.
void buildTexture2D(GrassField& field);
/// Rebuilds the 2.5D texture object from the field's current settings.
void buildTexture2D5(GrassField& field);
/// Runs the texture work the setters left for a GL context: uploads a newly
/// loaded blade picture, then builds the 2D and 2.5D textures when they are
/// missing or stale. Called by the draw entries.
void prepareGrassTextures(GrassField& field);
/// Deletes the three texture objects of the field. Needs the context that
/// made them; call before the field goes away.
void releaseGrassTextures(GrassField& field);

/// The 2D texture's band count for `bladesPerPatch`: the blades per unit,
/// wrapped to a byte as the texture format stores it, and at least 1.
int textureBladeUnit(int bladesPerPatch);

// [SECTION] Blade picture and setters (no GL)

/// Reads the blade picture `fileName` (stored as the field's texture3DFile),
/// gives it alpha and fades its long sides by antialiasing3D. It is uploaded,
/// and the synthetic textures rebuilt with it, at the next draw. A picture
/// that cannot be read keeps the previous one.
void loadTexture3D(GrassField& field, const char* fileName);
/// Blades use the blade picture; rebuilds the synthetic textures.
void setTexture3D(GrassField& field, bool on);
/// Loads a new blade picture.
void setTexture3DFile(GrassField& field, const char* fileName);
/// Side fading of the blade picture, 0..1; reloads it when one is named.
void setAntialiasing3D(GrassField& field, float value);
/// Alpha softening of the 2.5D texture, 0..1; rebuilds it.
void setAntialiasing2D5(GrassField& field, float value);
/// Largest 2.5D texture a scene file may ask for, in pixels (the dialog's
/// largest is 1024 × 128). A build's colour passes grow with width² × height:
/// at this size one stays within about a second on the software renderer.
constexpr int MAX_WIDTH_2D5 = 1024, MAX_HEIGHT_2D5 = 256;
/// Pixel size of the 2.5D texture; rebuilds it.
void setSizeTexture2D5(GrassField& field, int width, int height);
/// Stores the 2.5D texture's seed; rebuilds it.
void setSeed2D5(GrassField& field, int seed);
/// Draws a new 2.5D seed (0..1000) and rebuilds the 2.5D texture.
void newSeed2D5(GrassField& field);
