#pragma once
/// Drawing helpers shared by the widgets' draw files, valid only inside
/// OGLInterface::draw (which sets the view size and the GL state).
#include "oglui/resource.h"
#include "oglui/widget.h"

#include <string>

/// Fills `r` with `c` (nothing when c is fully transparent).
void oglPaintFill(const OGLRect& r, const OGLColor& c);
/// Draws the picture resource `name` of `branch` over `r`, tinted by `tint`;
/// false when the branch has no such picture.
bool oglPaintPicture(const OGLRect& r, const std::string& branch, const char* name,
                     const OGLColor& tint = {1, 1, 1, 1});
/// The colour resource `colorName`, or the picture `textureName` tinted by it.
void oglPaintBackground(const OGLRect& r, const std::string& branch, const char* colorName, const char* textureName);
/// A border of one of the OGLBorder styles around `r`.
void oglPaintFrame(const OGLRect& r, int style);
/// One line of text from x, centred vertically on y.
void oglPaintText(float x, float y, const std::string& text, const OGLColor& c);
/// Width of `text` in view fractions.
float oglPaintTextWidth(const std::string& text);
/// `px` pixels as a fraction of the view's width.
float oglPaintPixelsX(float px);
/// `px` pixels as a fraction of the view's height.
float oglPaintPixelsY(float px);
