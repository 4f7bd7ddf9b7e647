#pragma once
/// The tree editing panel: three windows drawn over the view ("Tools",
/// "Skeleton Tools", "Mesh Tools") whose controls write straight into the
/// forest's shared tree parameters and per-tree values. One panel per
/// process, built by the forest and shown by its editor switch.
#include "oglui/file_dialog.h"
#include "oglui/widget.h"

#include <ctime>
#include <memory>
#include <string>

class TreePanel;

/// The panel's message handler: one control number and a signed amount per
/// message, applied to the forest's values.
class InterfaceMessages : public IMessageRecipient {
public:
    explicit InterfaceMessages(TreePanel& panel) : m_pPanel(panel) {}
    void handleMessage(int control, int amount) override;

private:
    TreePanel& m_pPanel;
};

/// The panel's widgets and the state of its controls.
class TreePanel {
public:
    /// Control numbers of the messages.
    enum Control {
        LOAD = 2, SAVE = 3, SKELETON_TOOLS = 6, MESH_TOOLS = 7, NOISE_P = 8, RESET_SEED = 16,
        DIAMETER = 17, MAX_ANGLE = 19, GRAVITY = 21, DETAIL = 26, LENGTH = 27, NOISE = 29, LEAVE_MODE = 31,
        LEAVE_STRETCH = 272, TRUNC_TEXTURE = 274, USE_LOD_LEAVES = 275, APPEAR_SPEED = 276,
        ROOT_COUNT = 279, ROOT_LENGTH = 280, ROOT_HEIGHT = 282,
        LOAD_RESULT = 1002, SAVE_RESULT = 1003
    };
    /// Number of curve editors: five of the skeleton, then four of the leaves.
    static constexpr int CURVES = 9;

    /// Reads the widget styles from `resourceFile` and builds the windows,
    /// showing the forest's current parameters.
    explicit TreePanel(const std::string& resourceFile);

    /// Puts the parameters' curves into the editors and rewrites every value label.
    void refresh();
    /// The per-frame step: the "Branch %d" and "Poly %d" labels; when the
    /// wall-clock second `now` differs from the last one, "fps %d" and the
    /// read-back of the curve editors into the parameters.
    void update(int branches, int polygons, std::time_t now);
    /// Draws the shown windows. Needs a current GL context.
    void draw() const { m_pUi.draw(); }
    /// The view's size in pixels, for the mouse and the drawing.
    void setViewport(int width, int height) { m_pUi.setViewport(width, height); }
    /// Left-button press in view pixels; true when the panel took it.
    bool mousePress(int x, int y) { return m_pUi.mousePress(x, y); }
    /// Button release; true when the press had been taken.
    bool mouseRelease(int x, int y) { return m_pUi.mouseRelease(x, y); }
    /// Mouse move; true while a taken press is held.
    bool mouseMove(int x, int y) { return m_pUi.mouseMove(x, y); }
    /// A typed character for the file dialogs; true when used.
    bool keyPress(int key) { return m_pUi.keyPress(key); }

    /// The handler of the controls' messages.
    void handle(int control, int amount);
    /// The widgets, for the handler and for inspection.
    OGLWindow* tools() const { return m_pTools; }
    /// See `tools`.
    OGLWindow* skeletonTools() const { return m_pSkeleton; }
    /// See `tools`.
    OGLWindow* meshTools() const { return m_pMesh; }
    /// Curve editor i (0..8).
    OGLCurveEditor* curveEditor(int i) const { return m_pCurves[i]; }
    /// The load dialog ("Load Tree").
    OGLFileDialog* loadDialog() const { return m_pLoadDialog; }
    /// The save dialog ("Save Tree").
    OGLFileDialog* saveDialog() const { return m_pSaveDialog; }
    /// The label or button caption that shows `control`'s value, "" for none.
    std::string labelOf(int control) const;
    /// The "Poly", "Branch" and "fps" labels' texts, in this order.
    std::string counterText(int which) const;

private:
    struct ValueLabel {
        int control;
        OGLLabel* label;
        OGLButton* button;
    };

    std::string valueText(int control) const;
    void addValue(OGLWindow* window, int control, float x, float y);
    void addCycling(OGLWindow* window, int control, float x, float y);
    void writeLabel(int control);
    void readCurves();
    void loadChosen(const std::string& path);
    void saveChosen(const std::string& path);
    void switchDetail();
    void toggleWindow(OGLWindow* window, int control);

    InterfaceMessages m_pMessages;
    OGLInterface m_pUi;
    OGLWindow* m_pTools = nullptr;
    OGLWindow* m_pSkeleton = nullptr;
    OGLWindow* m_pMesh = nullptr;
    OGLCheckButton* m_pSkeletonButton = nullptr;
    OGLCheckButton* m_pMeshButton = nullptr;
    OGLButton* m_pDetailButton = nullptr;
    OGLLabel* m_pCounters[3] = {};
    OGLCurveEditor* m_pCurves[CURVES] = {};
    OGLFileDialog* m_pLoadDialog = nullptr;
    OGLFileDialog* m_pSaveDialog = nullptr;
    std::vector<ValueLabel> m_pLabels;
    bool m_pLengthRelabelled = false;
    int m_pDetail = 0;  // 0 until the switch is first used, then 1 low, 2 high
    std::time_t m_pSecond = 0;
    int m_pFrames = 0;
};

/// Builds the one panel from the resource file (the forest does it at start).
void buildTreePanel(const std::string& resourceFile);
/// The one panel, null before it is built.
TreePanel* treePanel();
/// Deletes the panel; treePanel() is null again.
void releaseTreePanel();

// [SECTION] The panel in the viewer: its switch and the events it takes

/// Shows or hides the tree panel.
void showForestEditor(bool shown);
/// Whether the tree panel is on screen.
bool forestEditorShown();
/// Mouse events in window coordinates; true when the tree panel took them.
bool forestMousePress(int x, int y, int button);
/// See `forestMousePress`.
bool forestMouseRelease(int x, int y, int button);
/// See `forestMousePress`.
bool forestMouseMove(int x, int y);
/// A typed character (ASCII) for the tree panel's file dialogs; true when taken.
bool forestKeyPress(int key);
/// Draws the tree panel over the picture when it is shown; call after
/// everything else of the frame. Needs a current GL context.
void drawForestEditor();
/// The view's size in pixels, for the tree panel's layout and mouse.
void setForestEditorViewport(int width, int height);
