#include "app/video_encoder.h"
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Microseconds per frame; steps outside 1 ms .. 60 s (or not a number) are
// held at those ends.
long frameMicroseconds(double frameSeconds)
{
    const double micro = std::round(frameSeconds * 1e6);
    if (!(micro >= 1e3)) return 1000;
    return static_cast<long>(std::min(micro, 6e7));
}

// Whether `file` can be written, tried the way ffmpeg will open it; a file
// made only for the trial is removed again.
bool canWrite(const std::string& file, std::string& reason)
{
    int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    const bool made = fd >= 0;
    if (!made && errno == EEXIST) fd = open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    close(fd);
    if (made) unlink(file.c_str());
    return true;
}

bool writeAll(int fd, const unsigned char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

VideoEncoder::~VideoEncoder()
{
    finish();
}

bool VideoEncoder::start(const std::string& file, int width, int height, double frameSeconds)
{
    finish();
    fileName = file;
    frameWidth = width;
    frameHeight = height;
    frames = 0;
    failed = true;
    std::string reason;
    if (!canWrite(file, reason)) {
        std::fprintf(stderr, "velmora: cannot write the video %s: %s\n", file.c_str(), reason.c_str());
        return false;
    }
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "velmora: cannot start ffmpeg for %s: %s\n", file.c_str(), std::strerror(errno));
        return false;
    }
    // One second between key frames: each starts a fragment that players can
    // read without the rest of the file.
    const long micro = frameMicroseconds(frameSeconds);
    const std::string keyInterval = std::to_string(std::max(1L, std::lround(1e6 / double(micro))));
    // The rate as a fraction, so that common steps give exact rates (0.05 s: 20/1).
    const std::string rate = "1000000/" + std::to_string(micro);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    // Never read as an option ("-name.mp4") or a protocol ("take:2.mp4").
    const std::string target = "file:" + file;
    const char* const args[] = {"ffmpeg", "-y", "-hide_banner", "-loglevel", "error", "-f", "rawvideo",
                                "-pix_fmt", "rgb24", "-s", size.c_str(), "-framerate", rate.c_str(), "-i", "-",
                                "-c:v", "libx264", "-preset", "veryfast", "-g", keyInterval.c_str(),
                                "-pix_fmt", "yuv420p", "-movflags", "frag_keyframe+empty_moov+default_base_moof",
                                "-flush_packets", "1", "-f", "mp4", target.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], 0);
    const int error = posix_spawnp(&process, "ffmpeg", &actions, nullptr, const_cast<char* const*>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[0]);
    if (error != 0) {
        close(ends[1]);
        process = 0;
        if (error == ENOENT)
            std::fprintf(stderr, "velmora: no video %s: the ffmpeg program is missing "
                                 "(install it with \"sudo apt-get install ffmpeg\")\n", file.c_str());
        else
            std::fprintf(stderr, "velmora: cannot start ffmpeg for %s: %s\n", file.c_str(), std::strerror(error));
        return false;
    }
    // A write to a pipe whose reader died would otherwise end the program.
    std::signal(SIGPIPE, SIG_IGN);
    pipeIn = ends[1];
    failed = false;
    return true;
}

bool VideoEncoder::addFrame(const unsigned char* rows, int stride)
{
    if (pipeIn < 0) return false;
    const size_t rowBytes = size_t(frameWidth) * 3;
    const unsigned char* data = rows;
    if (size_t(stride) != rowBytes) {
        packed.resize(rowBytes * size_t(frameHeight));
        for (int y = 0; y < frameHeight; ++y)
            std::memcpy(packed.data() + rowBytes * size_t(y), rows + size_t(stride) * size_t(y), rowBytes);
        data = packed.data();
    }
    if (writeAll(pipeIn, data, rowBytes * size_t(frameHeight))) {
        ++frames;
        return true;
    }
    const std::string how = endProcess();
    failed = true;
    std::fprintf(stderr, "velmora: ffmpeg stopped (%s) after %d frames; %s keeps what it had encoded\n",
                 how.empty() ? "it closed its input" : how.c_str(), frames, fileName.c_str());
    return false;
}

bool VideoEncoder::finish()
{
    if (pipeIn < 0) return !failed;
    const std::string how = endProcess();
    if (!how.empty()) {
        failed = true;
        std::fprintf(stderr, "velmora: ffmpeg could not finish the video %s (%s)\n", fileName.c_str(), how.c_str());
    }
    return !failed;
}

std::string VideoEncoder::endProcess()
{
    close(pipeIn);
    pipeIn = -1;
    int status = 0;
    while (waitpid(process, &status, 0) < 0 && errno == EINTR) {
    }
    process = 0;
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) return "exit status " + std::to_string(WEXITSTATUS(status));
    return std::string();
}
