#include "app/recorder.h"
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace {

// A name in "Recordings/" that no earlier clip has taken, even one started
// in the same second.
std::string newClipName()
{
    const QString stamp = QDateTime::currentDateTime().toString("yyyy-MM-dd-HHmmss");
    QString name = "Recordings/velmora-" + stamp + ".mp4";
    for (int n = 2; QFileInfo::exists(name); ++n) name = QString("Recordings/velmora-%1-%2.mp4").arg(stamp).arg(n);
    return name.toLocal8Bit().toStdString();
}

// Starts `video` with its first frame (even sides, as yuv420p needs), then
// feeds it. A window resized since the start is scaled back to the video's size.
bool feedVideo(VideoEncoder& video, const std::string& file, const QImage& frame, double frameSeconds)
{
    if (!video.isOpen() && !video.start(file, frame.width() & ~1, frame.height() & ~1, frameSeconds)) return false;
    const int dx = frame.width() - video.width(), dy = frame.height() - video.height();
    if (dx >= 0 && dx <= 1 && dy >= 0 && dy <= 1) return video.addFrame(frame.constBits(), frame.bytesPerLine());
    const QImage scaled = frame.scaled(video.width(), video.height());
    return video.addFrame(scaled.constBits(), scaled.bytesPerLine());
}

} // namespace

std::string recordingProgress(int done, int total, double seconds)
{
    char text[128];
    int n = std::snprintf(text, sizeof text, "recording: %d of %d frames", done, total);
    if (seconds > 0 && done > 0) {
        const double rate = done / seconds;
        const long left = std::lround(std::ceil((total - done) / rate));
        n += std::snprintf(text + n, sizeof text - n, ", %.1f frames/s, ", rate);
        if (left >= 60)
            std::snprintf(text + n, sizeof text - n, "%ld min %02ld s left", left / 60, left % 60);
        else
            std::snprintf(text + n, sizeof text - n, "%ld s left", left);
    }
    return text;
}

void FrameRecorder::recordRun(const std::string& videoFile, const std::string& folder, int frameCount)
{
    runVideoFile = videoFile;
    expectedFrames = frameCount;
    if (folder.empty()) return;
    pictureFolder = QString::fromLocal8Bit(folder.c_str());
    if (!QDir().mkpath(pictureFolder)) {
        std::fprintf(stderr, "velmora: cannot make the picture folder %s; no pictures are recorded\n", folder.c_str());
        pictureFolder.clear();
        runFailed = true;
    }
}

void FrameRecorder::addFrame(const QImage& frame, double frameSeconds)
{
    const bool forRun = !runVideoFile.empty() || !pictureFolder.isEmpty();
    if (!runVideoFile.empty() && !feedVideo(runVideo, runVideoFile, frame, frameSeconds)) {
        runVideoFile.clear();
        runFailed = true;
    }
    if (!pictureFolder.isEmpty()) addPicture(frame);
    if (clipWanted && !feedVideo(clip, clipFile, frame, frameSeconds)) clipWanted = false;
    if (forRun) {
        ++framesTaken;
        showProgress();
    }
}

void FrameRecorder::addPicture(const QImage& frame)
{
    const QString file = QDir(pictureFolder).filePath(QString::asprintf("frame-%05d.png", picturesWritten));
    if (frame.save(file, "PNG")) {
        ++picturesWritten;
        return;
    }
    std::fprintf(stderr, "velmora: cannot write the picture %s; the %d before it are kept, no more are written\n",
                 file.toLocal8Bit().constData(), picturesWritten);
    pictureFolder.clear();
    runFailed = true;
}

void FrameRecorder::showProgress()
{
    if (expectedFrames <= 0 || !isatty(STDERR_FILENO)) return;
    const auto now = std::chrono::steady_clock::now();
    if (framesTaken == 1) firstFrame = now;
    // A few updates a second are enough to watch, and cost nothing.
    if (framesTaken != 1 && framesTaken != expectedFrames && now - lastProgress < std::chrono::milliseconds(250))
        return;
    lastProgress = now;
    const double seconds = std::chrono::duration<double>(now - firstFrame).count();
    // Back to the start of the line, so that the next update or message replaces it.
    std::fprintf(stderr, "%s\033[K\r", recordingProgress(framesTaken, expectedFrames, seconds).c_str());
    progressShown = true;
}

void FrameRecorder::toggleClip()
{
    if (clipWanted) {
        clipWanted = false;
        const int frames = clip.framesSent();
        if (clip.isOpen() && clip.finish())
            std::printf("velmora: %s recorded, %d frames\n", clipFile.c_str(), frames);
        return;
    }
    if (!QDir().mkpath("Recordings")) {
        std::fprintf(stderr, "velmora: cannot make the folder Recordings/ for the video\n");
        return;
    }
    clipFile = newClipName();
    clipWanted = true;
    std::printf("velmora: recording %s\n", clipFile.c_str());
}

bool FrameRecorder::finish()
{
    if (clipWanted) toggleClip();
    if (progressShown) std::fputc('\n', stderr);
    progressShown = false;
    runVideoFile.clear();
    pictureFolder.clear();
    if (!runVideo.finish()) runFailed = true;
    return !runFailed;
}
