#pragma once
/// The asset generator's parts, one per module: each writes its pictures
/// under the run folder `root` (which ends with '/') and returns false when a
/// file could not be written.
#include <string>

namespace assets {
bool writeGroundAssets(const std::string& root);
bool writeGrassAssets(const std::string& root);
bool writeGrassBladeAssets(const std::string& root);
bool writeForestAssets(const std::string& root);
bool writeInterfaceAssets(const std::string& root);
} // namespace assets
