#pragma once
/// Bookkeeping shared by the texture setters and the GL side: which fields
/// want their 2.5D texture rebuilt at the next draw.
#include "grass/grass_field.h"

/// The field's 2.5D texture is out of date.
void markTexture2D5Stale(const GrassField& field);
/// True once after `markTexture2D5Stale`; clears the mark.
bool takeTexture2D5Stale(const GrassField& field);
