#pragma once
/// The 3D window: camera and its mouse control, the frame loop, the text
/// overlays, and the keys that steer the scene.
#include "app/frame_profile.h"
#include "app/frame_stats.h"
#include "app/overlay_state.h"
#include "app/recorder.h"
#include <QGLViewer/qglviewer.h>
#include <QString>
#include <chrono>
#include <memory>

class QOpenGLFramebufferObject;
class QTimer;

/// Redraws whenever the event queue is idle; each redraw is one driver frame.
class Viewer : public QGLViewer {
public:
    /// Creates and starts the zero-interval frame timer.
    explicit Viewer(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~Viewer() override;

    /// Stops after this many drawn frames (0: never); with a file name the
    /// last frame is saved there as PNG. Runs that stop leave the viewer's
    /// state file alone so that they always start from the same camera.
    void stopAfterFrames(int frames, const QString& snapshotFile);
    /// The camera circles the meadow's centre once over the frames of
    /// `stopAfterFrames`, at the start camera's height and pitch.
    void orbitOverRun() { orbiting = true; }
    /// The camera moves straight ahead, level, WALK_STEP metres a frame, its
    /// orientation kept: the slow move the look is measured on.
    void walkOverRun() { walking = true; }
    static constexpr double WALK_STEP = 0.05;
    /// Shifts the picture by fractions of a pixel, right and up: frames with
    /// many shifts average into the jittered reference the look is measured against.
    void shiftPicture(float dx, float dy)
    {
        shift[0] = dx;
        shift[1] = dy;
    }
    /// Samples per pixel of the scene (0: none); set before the first frame.
    /// The scene is drawn offscreen and resolved into the window's picture
    /// before the overlays and the text. Past the renderer's most, it is drawn
    /// at twice the window's size with a quarter of the samples and averaged 2 × 2.
    void setSamples(int samples) { samplesAsked = samples; }
    /// Per-frame timings for the --benchmark line.
    const FrameStats& frameStats() const { return stats; }
    /// Every tenth frame after the warm-up is measured part by part (and left
    /// out of the frame times, which the waiting of the measure disturbs).
    void measureParts() { partsMeasured = true; }
    /// The parts of the measured frames.
    const FrameProfile& partProfile() const { return profile; }
    /// False when the snapshot could not be written.
    bool snapshotSaved() const { return snapshotOk; }
    /// The videos and pictures recorded of the drawn frames.
    FrameRecorder& recorder() { return recording; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeGL(int width, int height) override;
    QString helpString() const override;
    void init() override;
    void preDraw() override;
    void draw() override;
    void postDraw() override;
    void closeEvent(QCloseEvent* event) override;

private:
    void drawOverlay();
    /// Hands the frame to the recorder and marks a running clip.
    void recordFrame();
    /// Adds the frame's time to the statistics.
    void countFrame();
    /// The last frame of a limited run: saves the snapshot and quits.
    void endRun();
    /// The frame just drawn, top row first.
    QImage framePicture();
    void placeOrbitCamera();
    void placeWalkCamera();
    /// With samples: binds the scene's offscreen picture, made at its size.
    void beginSceneSamples();
    /// Resolves the scene's samples, depth too, into the window's picture.
    void endSceneSamples();

    QTimer* timer;
    OverlayState overlay;
    int frameLimit = 0;
    bool orbiting = false;
    bool walking = false;
    float shift[2] = {0, 0};
    int samplesAsked = 0;
    int sceneScale = 1;  ///< 2 where the renderer offers fewer samples than asked
    std::unique_ptr<QOpenGLFramebufferObject> sceneTarget, averagedTarget;
    qglviewer::Vec orbitStart;  ///< where the orbit or the walk started
    qglviewer::Quaternion orbitStartOrientation;
    QString snapshotFile;
    bool snapshotOk = true;
    FrameStats stats;
    FrameRecorder recording;
    bool partsMeasured = false;
    bool measuringFrame = false;   ///< the frame being drawn is measured part by part
    bool afterMeasuredFrame = false;
    FrameProfile profile;
    util::ProcessTime measuredFrameEnd;
    std::chrono::steady_clock::time_point lastFrameEnd;
};

/// Asks for a compatibility-profile context with a depth buffer for every GL
/// widget; call before the first widget is created. Without vsync frames are
/// not held to the display's rate (for timing them).
void setDefaultGLFormat(bool vsync = true);

/// The viewer of the running program, created by start-up.
extern Viewer* theViewer;
