#pragma once
/// The grass draw passes, GL side: the view update with the GL matrices, the
/// three passes, the wire-mode colouring and the inspection overlays. Each
/// needs the viewer's context current with the camera loaded.
#include "grass/grass_field.h"

/// setCameraMatrices with the GL matrices.
void setCamera(GrassField& field, const float position[3]);
/// updateViewMatrices with the GL matrices.
void updateView(GrassField& field, const float position[3]);
/// The three passes (2D, 2.5D, 3D) back to front; sets polygonCount to the
/// triangles drawn. Builds or rebuilds the textures first when needed.
void drawField(GrassField& field);
/// Wire-mode drawing: each level in a flat colour (3D far patches left out).
void drawLodColours(GrassField& field);
/// The skeletons of visible nodes in red and of crushed points in orange.
void drawNodes(GrassField& field);
/// Overlay: the blade picture and the 2D texture with its four bands marked.
void showTextures(GrassField& field);
/// Overlay: the 2.5D texture over the whole view with its bands marked.
void showTexture2D5(GrassField& field);

/// Pushes the projection [0, 1]² and an identity modelview, for pictures
/// drawn flat; popUnitView restores both and leaves the modelview current.
void pushUnitView();
void popUnitView();
