#define GL_GLEXT_PROTOTYPES
#include "app/viewer.h"
#include "app/driver.h"
#include "app/part_scope.h"
#include "app/rock.h"
#include "app/scene_state.h"
#include "ground/ground.h"
#include "support/surface_format.h"
#include "util/number.h"
#include <QGLViewer/manipulatedCameraFrame.h>
#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLFramebufferObject>
#include <QSurfaceFormat>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

Viewer* theViewer = nullptr;

void setDefaultGLFormat(bool vsync)
{
    QSurfaceFormat::setDefaultFormat(compatibilityFormat(vsync));
}

using qglviewer::Vec;

Viewer::Viewer(QWidget* parent, Qt::WindowFlags flags) : QGLViewer(parent, flags)
{
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { update(); });
    timer->start(0);
}

Viewer::~Viewer()
{
    delete timer;
}

void Viewer::stopAfterFrames(int frames, const QString& file)
{
    frameLimit = frames;
    snapshotFile = file;
    setStateFileName(QString());
}

void Viewer::init()
{
    QGLViewer::init();
    setSceneRadius(300);
    camera()->lookAt(Vec(0, 50, 0));
    setSceneCenter(Vec(300, 300, 0));
    camera()->frame()->setPosition(Vec(15, 0, 10));
    camera()->setFlySpeed(0.5);
    overlay.overlayShown = false;
    setFPSIsDisplayed(false);

    theDriver->initScene();
    rock::setDirect(true);
    restoreStateFromFile();

    setShortcut(MOVE_CAMERA_LEFT, 0);
    setShortcut(MOVE_CAMERA_RIGHT, 0);
    setShortcut(MOVE_CAMERA_UP, 0);
    setShortcut(MOVE_CAMERA_DOWN, 0);
    const std::pair<int, const char*> keys[] = {
        {Qt::Key_Left, "move rock left"}, {Qt::Key_Up, "move rock up"},
        {Qt::Key_Down, "move rock down"}, {Qt::Key_Right, "move rock right"},
        {Qt::Key_W, "add wind gust"}, {Qt::Key_B, "add wind blast"},
        {Qt::Key_R, "start or stop recording a video into Recordings/"},
        {Qt::Key_Return, "start or stop the animation"},
        {Qt::Key_F1, "show or hide the list of useful keys"},
        {Qt::Key_F5, "show or hide the frame rate and the polygon count"},
        {Qt::Key_F6, "show or hide the forest's and the grass's share of the frame"},
        {Qt::Key_F9, "show or hide the grass 2.5D texture"}, {Qt::Key_F10, "show or hide the grass 2D texture"},
        {Qt::Key_D, "show the five parameter dialogs again"},
        {Qt::Key_L, "switch the enhanced look (fog and shade, steady trees, blended grass levels)"},
    };
    for (const auto& [key, description] : keys) setKeyDescription(key, description);
    help();
}

void Viewer::preDraw()
{
    // No clearing here: the driver clears at the start of its frame.
    if (orbiting) placeOrbitCamera();
    if (walking) placeWalkCamera();
    if (measuringFrame) {
        // Qt's copy of the measured frame to the window, the swap and the
        // event loop: the frame's own drawing was already waited for.
        profile.addSince(FramePart::Fixed, measuredFrameEnd);
        profile.endFrame();
    }
    afterMeasuredFrame = measuringFrame;
    const int n = stats.framesDrawn();
    measuringFrame = partsMeasured && n >= FrameStats::WARM_UP_FRAMES && n % 10 == 5
                  && (frameLimit <= 0 || n + 1 < frameLimit);
    theDriver->frameProfile = measuringFrame ? &profile : nullptr;
    camera()->loadProjectionMatrix();
    // Not the first frame: it makes the grass pictures, and shifted it makes others.
    if ((shift[0] != 0 || shift[1] != 0) && stats.framesDrawn() > 0) {
        GLfloat projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glLoadIdentity();
        glTranslatef(2 * shift[0] / width(), 2 * shift[1] / height(), 0);
        glMultMatrixf(projection);
    }
    camera()->loadModelViewMatrix();
    if (stats.framesDrawn() == 0) lastFrameEnd = std::chrono::steady_clock::now();
}

void Viewer::placeOrbitCamera()
{
    qglviewer::ManipulatedCameraFrame* frame = camera()->frame();
    if (stats.framesDrawn() == 0) {
        orbitStart = frame->position();
        orbitStartOrientation = frame->orientation();
    }
    // Turning about the vertical through the centre keeps the height and the pitch.
    const Vec centre(groundX0() + 0.5 * groundSizeX(), groundY0() + 0.5 * groundSizeY(), 0);
    const double angle = 2.0 * M_PI * stats.framesDrawn() / std::max(frameLimit, 1);
    const qglviewer::Quaternion turn(Vec(0, 0, 1), angle);
    frame->setPosition(centre + turn.rotate(orbitStart - centre));
    frame->setOrientation(turn * orbitStartOrientation);
}

void Viewer::placeWalkCamera()
{
    qglviewer::ManipulatedCameraFrame* frame = camera()->frame();
    if (stats.framesDrawn() == 0) orbitStart = frame->position();
    Vec ahead = camera()->viewDirection();
    ahead.z = 0;
    if (ahead.norm() > 0) ahead.normalize();
    frame->setPosition(orbitStart + WALK_STEP * stats.framesDrawn() * ahead);
}

void Viewer::draw()
{
    const Vec p = camera()->position();
    const Vec d = camera()->viewDirection();
    // Within the settings' bound, whatever set the camera (a hand-edited state
    // file too): the modules square their distances to it.
    const float position[3] = {util::bounded(float(p.x)), util::bounded(float(p.y)), util::bounded(float(p.z))};
    const float direction[3] = {float(d.x), float(d.y), float(d.z)};
    if (samplesAsked > 0) beginSceneSamples();
    theDriver->stepAndDraw(position, direction);
    if (samplesAsked > 0) endSceneSamples();

    {
        PartScope part(theDriver->frameProfile, FramePart::Overlays);
        theDriver->drawOverlays();
        drawText(100, 10, " ");
        if (overlay.overlayShown) drawOverlay();
    }
    theDriver->frameProfile = nullptr;

    // Taken by the driver in the next frame.
    scene::setSwitch(&scene::Switches::showGrassTexture2D5, overlay.inspectTexture2D5);
    scene::setSwitch(&scene::Switches::showGrassTexture2D, overlay.inspectTexture2D);
}

void Viewer::beginSceneSamples()
{
    const QSize shown = QSize(width(), height()) * devicePixelRatioF();
    if (!sceneTarget || sceneTarget->size() != shown * sceneScale) {
        GLint most = 0;
        glGetIntegerv(GL_MAX_SAMPLES, &most);
        sceneScale = samplesAsked > most ? 2 : 1;
        const QSize scaled = shown * sceneScale;
        const int cells = sceneScale * sceneScale;
        QOpenGLFramebufferObjectFormat format;
        format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
        format.setSamples(std::min<int>((samplesAsked + cells - 1) / cells, most));
        sceneTarget = std::make_unique<QOpenGLFramebufferObject>(scaled, format);
        averagedTarget.reset();
        if (sceneScale > 1)
            averagedTarget = std::make_unique<QOpenGLFramebufferObject>(scaled, QOpenGLFramebufferObject::CombinedDepthStencil);
        const int drawn = cells * std::max(1, sceneTarget->format().samples());
        if (drawn < samplesAsked)
            std::fprintf(stderr, "velmora: the renderer draws %d samples per pixel at most, not %d\n", drawn, samplesAsked);
    }
    sceneTarget->bind();
    glViewport(0, 0, sceneTarget->width(), sceneTarget->height());
    // The base viewer's text of the previous frame turned it off.
    glEnable(GL_MULTISAMPLE);
    // Pictures at the window's level of detail: finer levels, averaged over
    // only 2 × 2, shimmer as the camera moves.
    glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, float(sceneScale - 1));
}

void Viewer::endSceneSamples()
{
    const GLuint window = defaultFramebufferObject();
    const int w = sceneTarget->width(), h = sceneTarget->height();
    const auto blit = [&](GLuint from, GLuint to, int toWidth, int toHeight, GLbitfield buffers, GLenum filter) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
        glBlitFramebuffer(0, 0, w, h, 0, 0, toWidth, toHeight, buffers, filter);
    };
    // Samples resolve only at their own size; the overlays after need the depth.
    const GLbitfield both = GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT;
    if (sceneScale == 1) {
        blit(sceneTarget->handle(), window, w, h, both, GL_NEAREST);
    } else {
        blit(sceneTarget->handle(), averagedTarget->handle(), w, h, both, GL_NEAREST);
        // Halved with linear filtering, each pixel is the mean of its 2 × 2.
        blit(averagedTarget->handle(), window, w / 2, h / 2, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        blit(averagedTarget->handle(), window, w / 2, h / 2, GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, window);
    glViewport(0, 0, w / sceneScale, h / sceneScale);
    glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, 0);
}

void Viewer::postDraw()
{
    QGLViewer::postDraw();
    recordFrame();
    countFrame();
    if (frameLimit > 0 && stats.framesDrawn() == frameLimit) endRun();
}

void Viewer::recordFrame()
{
    // Every frame as drawn, before the recording mark goes over it.
    if (recording.wantsFrames()) recording.addFrame(framePicture(), scene::switches().animation_dt);
    if (!recording.clipRunning()) return;
    glColor3f(1, 0.1f, 0.1f);
    QFont bold;
    bold.setBold(true);
    drawText(width() - 50, 22, "REC", bold);
}

void Viewer::countFrame()
{
    const auto now = std::chrono::steady_clock::now();
    stats.addFrame(std::chrono::duration<double, std::milli>(now - lastFrameEnd).count(),
                   theDriver->scenePolygonCount(), !measuringFrame && !afterMeasuredFrame);
    lastFrameEnd = now;
    if (measuringFrame) measuredFrameEnd = util::ProcessTime::now();
}

void Viewer::endRun()
{
    if (!snapshotFile.isEmpty()) {
        snapshotOk = framePicture().convertToFormat(QImage::Format_RGB32).save(snapshotFile, "PNG");
        if (!snapshotOk)
            std::fprintf(stderr, "velmora: cannot write the snapshot %s\n", snapshotFile.toLocal8Bit().constData());
    }
    timer->stop();
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

QImage Viewer::framePicture()
{
    // The widget draws into its own framebuffer object, still bound here.
    const int w = int(width() * devicePixelRatioF()), h = int(height() * devicePixelRatioF());
    QImage picture(w, h, QImage::Format_RGB888);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);  // as QImage aligns its rows
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, picture.bits());
    return picture.mirrored();
}

void Viewer::closeEvent(QCloseEvent* event)
{
    // Closing the 3D window ends the program as Escape does: the base saves
    // the viewer's state, and every other window closes with it.
    recording.finish();
    QGLViewer::closeEvent(event);
    QApplication::closeAllWindows();
}

void Viewer::drawOverlay()
{
    glDisable(GL_LIGHTING);
    glColor3f(1, 1, 1);
    if (overlay.showPolygons) {
        char text[64];
        std::snprintf(text, sizeof text, "             polygons : %d", theDriver->scenePolygonCount());
        drawText(10, 10, text);
    } else if (overlay.showCost) {
        drawText(10, 10, QString::fromStdString(theDriver->costText()));
    } else if (overlay.showKeys) {
        drawText(10, 300, "useful keys : W(add gust),B(add blast),H(viewer help), return (stop animation)");
        drawText(10, 270, "F5: display fps and nb polygons");
        drawText(10, 240, "F6: processor calculations");
        drawText(10, 210, "F9: show grass texture 2D5");
        drawText(10, 180, "F10: show grass texture 2D");
        drawText(10, 150, "R: start or stop recording a video, L: switch the enhanced look");
        drawText(10, 120, "Up,Down,Left,Right: move the rock");
    }
}

void Viewer::keyPressEvent(QKeyEvent* event)
{
    // While a file dialog of the tree panel is open it takes the typed text.
    const QString text = event->text();
    if (text.size() == 1 && text[0].unicode() < 128 && theDriver->panelKeyPress(text[0].unicode())) return;
    // With Alt or Control the keys keep the base viewer's meaning (Alt+F5 records a key frame).
    if (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) {
        QGLViewer::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_W: theDriver->addWindGust(); break;
    case Qt::Key_B: theDriver->addWindBlast(); break;
    case Qt::Key_R: recording.toggleClip(); break;
    case Qt::Key_D:
        if (theDriver->showDialogs) theDriver->showDialogs();
        break;
    case Qt::Key_L: scene::setSwitch(&scene::Switches::look, !scene::switches().look); break;
    case Qt::Key_Return:
        scene::setSwitch(&scene::Switches::animation, !scene::switches().animation);
        theDriver->setbuttonQTstart();
        break;
    case Qt::Key_Left: rock::pressKey(rock::Key::Left); break;
    case Qt::Key_Up: rock::pressKey(rock::Key::Forward); break;
    case Qt::Key_Right: rock::pressKey(rock::Key::Right); break;
    case Qt::Key_Down: rock::pressKey(rock::Key::Backward); break;
    case Qt::Key_F1: setFPSIsDisplayed(overlay.toggleKeys()); break;
    case Qt::Key_F5: setFPSIsDisplayed(overlay.togglePolygons()); break;
    case Qt::Key_F6: setFPSIsDisplayed(overlay.toggleCost()); break;
    case Qt::Key_F9: overlay.inspectTexture2D5 = !overlay.inspectTexture2D5; break;
    case Qt::Key_F10: overlay.inspectTexture2D = !overlay.inspectTexture2D; break;
    default: QGLViewer::keyPressEvent(event); return;
    }
    update();
}

void Viewer::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && theDriver->panelMousePress(event->x(), event->y())) return;
    QGLViewer::mousePressEvent(event);
}

void Viewer::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && theDriver->panelMouseRelease(event->x(), event->y())) return;
    QGLViewer::mouseReleaseEvent(event);
}

void Viewer::mouseMoveEvent(QMouseEvent* event)
{
    if (theDriver->panelMouseMove(event->x(), event->y())) return;
    QGLViewer::mouseMoveEvent(event);
}

void Viewer::resizeGL(int width, int height)
{
    theDriver->panelViewport(width, height);
    QGLViewer::resizeGL(width, height);
}

QString Viewer::helpString() const
{
    return QStringLiteral(
        "<h2>V e l m o r a V i e w e r</h2>"
        "Use the mouse to move the camera around the object. "
        "You can respectively revolve around, zoom and translate with the three mouse buttons. "
        "<b>Left and middle buttons pressed together</b> rotate around the camera view direction axis<br><br>"
        "In fly mode, maintain left button to move forward, right to move backward.<br>"
        "Press <b>Space</b> to change mode.<br>"
        "In revolve mode, a <b>left button double click while holding right button pressed</b> defines the camera <i>Revolve Around Point</i>.<br>"
        "In revolve mode, maintain left button to rotate, right to translate.<br><br>"
        "Double clicks automates single click actions: A left button double click aligns the closer axis with the camera (if close enough). "
        "A middle button double click fits the zoom of the camera and the right button re-centers the scene.<br><br>"
        "See the <b>Mouse</b> tab in this window and the documentation web pages for details.<br><br>"
        "Pressing <b>Alt</b> and one of the function keys (<b>F2</b>..<b>F12</b>) defines a camera keyFrame. "
        "Simply press the function key again to restore it. Several keyFrames define a "
        "camera path. Paths are saved when you quit the application and restored at next start.<br><br>"
        "Press <b>F</b> to display the frame rate, <b>A</b> for the world axis, "
        "<b>Control+S</b> to save a snapshot.<br><br>"
        "Press <b>W</b> to add wind gust.<br>"
        "Press <b>L</b> to switch the enhanced look: fog and shade, steady trees, blended grass levels.<br>"
        "Press <b>F1</b> to view help menu.<br>"
        "Press <b>Return</b> to stop animation.<br>"
        "Press <b>Escape</b> to exit the viewer.<br><br>"
        "See the <b>Keyboard</b> tab in this window for a complete shortcut list.<br><br>"
        "<b>Velmora</b><br>"
        "A meadow of grass blades bending in the wind<br>"
        "Scene, grass, wind, ground and forest by the Velmora developers<br>");
}
