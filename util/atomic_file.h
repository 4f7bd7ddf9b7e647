#pragma once
/// Saving that never loses a good file: the new contents go to a temporary
/// file beside the target, are flushed to disk, and only then replace the
/// target in one rename. Any failure leaves the old file as it was.
#include <cstdio>
#include <functional>
#include <string>

namespace util {

/// Writes `path` through a temporary file in the same folder. `write` fills
/// the open stream and returns false when it could not. The target keeps its
/// permissions; a symbolic link is followed and the file it names replaced.
/// Refuses a target that is a folder or another non-regular file. Returns
/// false with a short reason in `error` (for example "is a folder", or the
/// system's text for a failed write); no temporary file is left behind.
bool writeFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         std::string& error);

/// The same for contents already in memory.
bool writeFileAtomically(const std::string& path, const std::string& contents, std::string& error);

} // namespace util
