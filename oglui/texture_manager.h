#pragma once
/// The shared texture manager: one GL texture per picture file, made on first
/// request and found again by the file name. Used by the forest (leaf and bark
/// pictures) and by the widgets (pictures named in the resource file).
/// Every function here needs a current GL context.
#include <string>

/// GL texture name for the TGA picture `fileName`, reading and uploading it on
/// the first request (mipmapped, repeating). Returns 0, and prints nothing,
/// when the file cannot be read; a later request tries again.
unsigned int oglTextureLoad(const std::string& fileName);

/// GL texture name already made for `fileName`, or 0.
unsigned int oglTextureFind(const std::string& fileName);

/// Deletes every texture the manager made and forgets their names.
void oglTextureReleaseAll();
