#pragma once
/// A video made by the ffmpeg program from raw RGB frames fed through a pipe:
/// H.264 in fragmented MP4, yuv420p, so that ordinary players open it and
/// what ffmpeg had written stays playable when it stops before the end.
#include <string>
#include <sys/types.h>
#include <vector>

class VideoEncoder {
public:
    VideoEncoder() = default;
    /// Finishes the file when still open.
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    /// Starts ffmpeg writing `file` (replaced when it exists) with frames of
    /// width × height pixels (both even), each lasting `frameSeconds`. When
    /// the file cannot be written or ffmpeg cannot start, prints one line on
    /// standard error and returns false.
    bool start(const std::string& file, int width, int height, double frameSeconds);
    /// Sends one frame: `height` rows, top row first, `stride` bytes apart,
    /// each beginning with width × 3 bytes of RGB. When ffmpeg has stopped,
    /// prints one line, ends the video and returns false.
    bool addFrame(const unsigned char* rows, int stride);
    /// Closes the pipe and waits for ffmpeg to write the end of the file.
    /// False when this video failed at any point (including its start).
    bool finish();

    bool isOpen() const { return pipeIn >= 0; }
    int width() const { return frameWidth; }
    int height() const { return frameHeight; }
    int framesSent() const { return frames; }
    const std::string& file() const { return fileName; }

private:
    /// Closes the pipe and collects ffmpeg's exit; its description when it did not end well.
    std::string endProcess();

    std::string fileName;
    int frameWidth = 0, frameHeight = 0;
    int frames = 0;
    int pipeIn = -1;
    pid_t process = 0;
    bool failed = false;
    std::vector<unsigned char> packed;
};

