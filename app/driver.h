#pragma once
/// The scene driver: builds the scene, steps and draws it once per viewer
/// frame, and carries every user-settable parameter between the dialogs and
/// the modules. A slot setX takes a dialog value; the signal setQTX sends the
/// current value back.
#include "util/frame_clock.h"
#include <QWidget>
#include <functional>
#include <string>

class FrameProfile;

/// The grass, ground, trees and wind half of the driver. Never shown: it
/// carries signals and slots and parents the file dialogs it opens.
class VelmoraQTDriver : public QWidget {
    Q_OBJECT
public:
    /// A driver with no parent.
    VelmoraQTDriver();

    /// Index 3·i + j of the grass 2.5D texture size in the grass dialog's list
    /// (i for width 256, 512, 1024; j for height 32, 64, 128); −1 for any other size.
    int grassTextureSizeIndex() const;
    /// Set by the dialogs: shows a texture size index in the grass dialog's
    /// list directly, without a signal (−1: no entry); loadQTInterface calls it.
    std::function<void(int index)> showGrassTextureSize;
    /// Set by the dialogs: shows the five dialogs again (the viewer's D key).
    std::function<void()> showDialogs;

signals:
    void setQTGrassNbPatches1(int);
    void setQTGrassNbPatches2(int);
    void setQTGrassNbMaxPerPatche(int);
    void setQTGrassWidth(int);
    void setQTGrassHeight(int);
    void setQTGrassNoisePositions(int);
    void setQTGrassNoiseNormals(int);
    void setQTGrassRadius3D(int);
    void setQTGrassRadius2D5(int);
    void setQTGrassRadius2D(int);
    void setQTGrassPolyg3D(int);
    void setQTGrassPolyg2D5(int);
    void setQTGrassAjustment2D5Height(bool);
    void setQTGrassCrushingMaxTime(int);
    void setQTGrassCrushingDamping(int);
    void setQTGrassTexture3D(bool);
    void setQTGrassAntiAliasingTexture3D(int);
    void setQTGrassAntiAliasingTexture2D5(int);
    void setQTGroundSize(int);
    void setQTGroundHeight(int);
    void setQTBreezeSpeed(int);
    void setQTBreezePower(int);
    void setQTGustSpeed(int);
    void setQTGustPower(int);
    void setQTBlastParam(int);
    void setQTBlastPower(int);
    void setQTTreesNumber(int);

public slots:
    /// Emits the grass, ground, trees and wind signals with the current values.
    virtual void loadQTInterface();
    void loadGroundHeightMap();          ///< file dialog, then rebuilds the ground with that height map
    void loadGroundTexture();            ///< file dialog, then rebuilds the ground with that texture
    void setGroundSize(int v);           ///< ground area (0, 0, v/4, v/4) metres
    void setGroundHeight(int v);         ///< maxHeight = v × 0.025 m
    void setBreezeSpeed(int v);          ///< × 0.01
    void setBreezePower(int v);          ///< × 0.1
    void setGustSpeed(int v);            ///< × 0.01
    void setGustPower(int v);
    void addWindGust();                  ///< a gust sized from the ground
    void setBlastParam(int v);           ///< × 0.001
    void setBlastPower(int v);
    void addWindBlast();                 ///< a blast sized from the ground
    void setGrassNbPatches1(int v);      ///< patches along x
    void setGrassNbPatches2(int v);      ///< patches along y
    void setGrassNbMaxPerPatche(int v);  ///< blades per square metre
    void setGrassWidth(int v);           ///< × 0.0001 m
    void setGrassHeight(int v);          ///< × 0.01 m
    void setGrassNoisePositions(int v);  ///< × 0.01
    void setGrassNoiseNormals(int v);    ///< × 0.01
    void setGrassRadius3D(int v);
    void setGrassRadius2D5(int v);
    void setGrassRadius2D(int v);
    void setGrassPolyg3D(int v);
    void setGrassPolyg2D5(int v);
    void setGrassAjustment2D5Height(bool v);
    void setGrassCrushingMaxTime(int v);
    void setGrassCrushingDamping(int v); ///< × 0.1
    void loadGrassDensityMap();          ///< file dialog, then rebuilds the field with that density map
    void setGrassTexture3D(bool v);
    void loadGrassTexture3D();           ///< file dialog, then the blade picture
    void setGrassAntiAliasingTexture3D(int v);  ///< × 0.1
    void regenerateGrassTexture2D5();
    void setGrassAntiAliasingTexture2D5(int v); ///< × 0.1
    void setGrassSizeTexture2D5(int v);  ///< index 0..8 of the nine texture sizes; others ignored
    void setTreesNumber(int v);
    void setTreesNbPolygonsMax(int v);
    void resetTreesPositions();
    void resetTreesForms();
    void loadARB();                      ///< file dialog, then the tree parameter file
    void showTreesInterface(bool v);     ///< shows or hides the tree panel

protected:
    /// Re-initialises what depends on the ground after it was rebuilt.
    void groundChanged();
};

/// The animation, display switches, scene file and rock half of the driver,
/// and the frame itself.
class MyVelmoraQTDriver : public VelmoraQTDriver {
    Q_OBJECT
public:
    /// Builds the scene; called once with the viewer's GL context current.
    void initScene();
    /// Set by the viewer for a frame measured part by part, null otherwise.
    FrameProfile* frameProfile = nullptr;
    /// One frame: steps the simulation when the animation runs, then draws.
    /// Called with the camera matrices loaded; position and unit view direction in world coordinates.
    void stepAndDraw(const float cameraPosition[3], const float viewDirection[3]);
    /// What is drawn over the scene with its matrices: the wind's figures, the
    /// grass textures shown, the tree panel. After the scene's samples are resolved.
    void drawOverlays();
    /// The simulation half of a frame (no GL): rock and wind advance by animation_dt.
    void stepScene(const float viewDirection[3]);
    /// 500 plus the polygons of the shown forest and grass.
    int scenePolygonCount() const;
    /// The cost line of the F6 overlay.
    std::string costText() const;

    /// The tree panel's mouse entries, window coordinates; true when the panel took the event.
    bool panelMousePress(int x, int y);
    bool panelMouseRelease(int x, int y);   ///< as panelMousePress
    bool panelMouseMove(int x, int y);      ///< as panelMousePress
    /// A typed character for the tree panel's file dialogs; true when the panel took it.
    bool panelKeyPress(int character);
    /// Tells the tree panel the viewer's size.
    void panelViewport(int width, int height);

    /// A scene file that initScene loads after "Scene/init.xml"; empty for none.
    std::string startScene;
    /// Set when startScene could not be loaded.
    bool startSceneFailed = false;
    /// A failed Load Scene or Save Scene is also told in a message box
    /// naming the file and the first reason (interactive runs only).
    bool failuresInWindow = false;
    /// The command line asked for the enhanced look: on after the start scenes, whatever they say.
    bool startLook = false;

signals:
    void setQTAnim(bool);
    void setQTAnimDT(int);
    void setQTUpdateGrassDrawing(bool);
    void setQTGroundDraw(bool);
    void setQTTreesDraw(bool);
    void setQTGrassDraw(bool);
    void setQTGustDraw(bool);
    void setQTSkyDraw(bool);
    void setQTGrassTrajectoryDraw(bool);
    void setQTGrassDensityDraw(bool);
    void setQTGrassNodesDraw(bool);
    void setQTWireDraw(bool);
    void setQTRockSpeed(int);
    void setQTRockSize(int);
    void setQTRockMvtAuto(bool);
    void setQTRockBound(bool);
    void setQTRockCrushingPower(int);
    void setQTRockCrushingPowerExp(int);
    void setQTRockCrushingMysteryParameter(int);
    void setQTRockCrushingPropagation(int);

public slots:
    void loadScene();                   ///< file dialog, load the scene file, refresh the dialogs
    void saveScene();                   ///< file dialog, save the scene file
    /// Emits every signal with the current values, base part first.
    void loadQTInterface() override;
    void setbuttonQTstart();            ///< sends the animation switch back to the Start button
    void setAnim(bool v);
    void setAnimDT(int v);              ///< animation_dt = v × 0.001 s
    void setUpdateGrassDrawing(bool v);
    void setGroundDraw(bool v);
    void setTreesDraw(bool v);
    void setGrassDraw(bool v);
    void setGustDraw(bool v);
    void setSkyDraw(bool v);
    void setGrassTrajectoryDraw(bool v); ///< not implemented; says so on the console
    void setGrassDensityDraw(bool v);
    void setGrassNodesDraw(bool v);
    void setWireDraw(bool v);
    void setRockSpeed(int v);           ///< × 0.01
    void setRockSize(int v);            ///< radius, × 0.01 m
    void setRockMvtAuto(bool v);        ///< automatic course instead of the arrow keys
    void setRockBound(bool v);
    void setRockCrushingPower(int v);
    void setRockCrushingPowerExp(int v);           ///< × 0.01
    void setRockCrushingMysteryParameter(int v);   ///< × 0.001
    void setRockCrushingPropagation(int v);        ///< × 0.001

private:
    /// The frame's forest, with its growth and meshes measured apart.
    void drawTrees(const float cameraPosition[3], const float viewDirection[3]);
    /// The frame's grass: crushing and view update, then the passes.
    void drawGrass(const float cameraPosition[3]);
    /// "Scene/init.xml", whose result is ignored, then startScene; then startLook.
    void loadStartScenes();
    /// The message box of a failed load or save, when failuresInWindow.
    void tellFailure(const char* title, const char* what, const std::string& file, const std::string& reason);

    // Cost measurement: the starts of the last two frames and the end of the grass update.
    util::FrameStamp frameStamp, previousFrameStamp, grassStamp;
};

/// The driver of the running program, created by start-up.
extern MyVelmoraQTDriver* theDriver;
