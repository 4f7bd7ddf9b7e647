#pragma once
/// What the viewer records of its drawn frames: the run's video and picture
/// sequence (--video, --record) and the clip that the record key starts and
/// stops. Failures print one line each; the frames go on being drawn.
#include "app/video_encoder.h"
#include <QImage>
#include <QString>
#include <chrono>
#include <string>

class FrameRecorder {
public:
    /// The run's outputs, either of them empty for none: a video file and a
    /// folder (made when missing) for frame-00000.png, frame-00001.png, …
    /// `frameCount` frames are expected; on a terminal a progress line counts them.
    void recordRun(const std::string& videoFile, const std::string& pictureFolder, int frameCount);
    /// Something takes the next frame.
    bool wantsFrames() const { return !runVideoFile.empty() || !pictureFolder.isEmpty() || clipWanted; }
    /// One drawn frame, top row first, in RGB888; `frameSeconds` is the
    /// simulated time it stands for (a video started now plays at that rate).
    void addFrame(const QImage& frame, double frameSeconds);

    /// The record key: starts a clip in "Recordings/" of the working folder
    /// (with the next frame) or finishes the one being recorded.
    void toggleClip();
    /// A clip is being recorded (the viewer shows its mark).
    bool clipRunning() const { return clipWanted; }

    /// Finishes every file. False when one of the run's outputs failed.
    bool finish();

private:
    void addVideoFrame(VideoEncoder& video, const std::string& file, const QImage& frame, double frameSeconds);
    void addPicture(const QImage& frame);
    void showProgress();

    std::string runVideoFile;      // empty once the run's video has failed or ended
    VideoEncoder runVideo;
    QString pictureFolder;         // empty once the pictures have failed or ended
    int picturesWritten = 0;
    bool runFailed = false;
    int expectedFrames = 0;
    int framesTaken = 0;
    std::chrono::steady_clock::time_point firstFrame, lastProgress;
    bool progressShown = false;

    bool clipWanted = false;
    std::string clipFile;
    VideoEncoder clip;
};

/// The progress line: `done` of `total` frames after `seconds`, with the rate
/// so far and the time left at that rate.
std::string recordingProgress(int done, int total, double seconds);
