// Temporary file, flush, fsync, rename, then fsync of the folder so that the
// rename itself survives a crash.
#include "util/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace util {

namespace {

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string systemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// The file a save really replaces: a link's target, so the link survives.
bool resolveTarget(const std::string& path, std::string& target, mode_t& mode, std::string& error)
{
    target = path;
    mode = 0;
    struct stat info;
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        char real[PATH_MAX];
        // A dangling link names no file yet: write through it to its text.
        const ssize_t n = readlink(path.c_str(), real, sizeof real - 1);
        if (n < 0) {
            error = systemError("cannot follow the link");
            return false;
        }
        real[n] = '\0';
        target = real[0] == '/' ? std::string(real) : folderOf(path) + "/" + real;
    }
    if (stat(target.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "is a folder";
            return false;
        }
        if (!S_ISREG(info.st_mode)) {
            error = "is not a regular file";
            return false;
        }
        mode = info.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    return true;
}

} // namespace

bool writeFileAtomically(const std::string& path, const std::function<bool(std::FILE*)>& write,
                         std::string& error)
{
    error.clear();
    if (path.empty()) {
        error = "no file name";
        return false;
    }
    std::string target;
    mode_t mode;
    if (!resolveTarget(path, target, mode, error)) return false;

    std::string temporary = target + ".tmp-XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = systemError("cannot create a file in its folder");
        return false;
    }
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        error = systemError("cannot write");
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    bool ok = true;
    // The first failure's reason is the one reported.
    const auto fail = [&](const std::string& reason) {
        if (ok) error = reason;
        ok = false;
    };
    if (!write(file)) fail(std::ferror(file) ? systemError("cannot write") : "the contents could not be made");
    if (std::fflush(file) != 0 || std::ferror(file)) fail(systemError("cannot write"));
    if (ok && fchmod(fd, mode) != 0) fail(systemError("cannot set permissions"));
    if (ok && fsync(fd) != 0) fail(systemError("cannot flush to disk"));
    if (std::fclose(file) != 0) fail(systemError("cannot write"));
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) fail(systemError("cannot replace it"));
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    const int folder = open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

bool writeFileAtomically(const std::string& path, const std::string& contents, std::string& error)
{
    return writeFileAtomically(
        path,
        [&contents](std::FILE* f) { return std::fwrite(contents.data(), 1, contents.size(), f) == contents.size(); },
        error);
}

} // namespace util
