#include "forest/tree_panel.h"
#include "util/text.h"

#include "forest/forest.h"
#include "forest/forest_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

using util::format;

std::unique_ptr<TreePanel> s_panel;
bool s_shown = false;  // the editor switch

// [SECTION] Layout, in fractions of the view

constexpr float RIGHT_X = 0.555f;        // the two tool windows' left edge
constexpr float VALUE_X = 0.8f - RIGHT_X;  // value controls of the right column stand at x = 0.8
constexpr float VALUE_W = 0.015f, VALUE_H = 0.04f;
constexpr float ROW = 0.043f;
constexpr float CURVE_W = 0.205f, CURVE_H = 0.125f;

struct CurveSlot {
    const char* title;
    ParameterCurve TreeParameters::*curve;
};

// Skeleton curves first, then the leaves'.
const CurveSlot CURVE_SLOTS[TreePanel::CURVES] = {
    {"Branch count", &TreeParameters::branchCount},     {"Branch length", &TreeParameters::branchLength},
    {"Angle noise", &TreeParameters::angleNoise},       {"SubBranch diameter", &TreeParameters::subBranchDiameter},
    {"Branch cone", &TreeParameters::branchCone},       {"Leave count", &TreeParameters::leaveCount},
    {"Leave size", &TreeParameters::leaveSize},         {"Leave position", &TreeParameters::leavePosition},
    {"Leave texture", &TreeParameters::leaveTexture}};

// The controls' ranges; NaN from a file lands on the lower limit.
float within(float v, float low, float high) { return v >= low ? std::min(v, high) : low; }

// An existing plain file we may write, or a new name in an existing folder we may write in.
bool writableTarget(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p(path);
    if (fs::exists(p, ec)) return fs::is_regular_file(p, ec) && access(path.c_str(), W_OK) == 0;
    const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
    return fs::is_directory(folder, ec) && access(folder.c_str(), W_OK) == 0;
}

std::string folderOf(const std::string& file)
{
    const std::filesystem::path parent = std::filesystem::path(file).parent_path();
    return parent.empty() ? "ForestData" : parent.string();
}

} // namespace

void InterfaceMessages::handleMessage(int control, int amount) { m_pPanel.handle(control, amount); }

// [SECTION] Building

TreePanel::TreePanel(const std::string& resourceFile) : m_pMessages(*this)
{
    oglLoadWidgetResources(resourceFile);
    m_pUi.setRecipient(&m_pMessages);

    m_pTools = m_pUi.addWindow(std::make_unique<OGLWindow>("Tools", 0.005f, 0.005f, 0.2f, 0.385f));
    m_pTools->add<OGLLabel>("Edit Trees", 0.01f, 0.035f, 0.18f, 0.035f, "spline_label");
    m_pSkeletonButton = m_pTools->add<OGLCheckButton>("Skeleton Tools", SKELETON_TOOLS, 0.01f, 0.075f, 0.18f, 0.035f);
    m_pMeshButton = m_pTools->add<OGLCheckButton>("Mesh Tools", MESH_TOOLS, 0.01f, 0.115f, 0.18f, 0.035f);
    m_pTools->add<OGLButton>("Reset Seed", RESET_SEED, 0.01f, 0.155f, 0.18f, 0.035f);
    m_pTools->add<OGLButton>("Load", LOAD, 0.01f, 0.195f, 0.087f, 0.035f);
    m_pTools->add<OGLButton>("Save", SAVE, 0.103f, 0.195f, 0.087f, 0.035f);
    m_pDetailButton = m_pTools->add<OGLButton>("Detail normal", DETAIL, 0.01f, 0.235f, 0.18f, 0.035f);
    for (int i = 0; i < 3; ++i)
        m_pCounters[i] = m_pTools->add<OGLLabel>("", 0.015f, 0.28f + 0.032f * i, 0.175f, 0.03f);
    m_pCounters[0]->setText("Poly 0");
    m_pCounters[1]->setText("Branch 0");
    m_pCounters[2]->setText("fps 0");

    // Skeleton: five curves in two columns, the value controls in the sixth place.
    m_pSkeleton = m_pUi.addWindow(std::make_unique<OGLWindow>("Skeleton Tools", RIGHT_X, 0.005f, 0.44f, 0.465f));
    for (int i = 0; i < 5; ++i)
        m_pCurves[i] = m_pSkeleton->add<OGLCurveEditor>(CURVE_SLOTS[i].title, 0.01f + (i % 2) * (CURVE_W + 0.015f),
                                                        0.04f + (i / 2) * (CURVE_H + 0.01f), CURVE_W, CURVE_H);
    const int skeletonValues[] = {DIAMETER, MAX_ANGLE, GRAVITY, LENGTH};
    for (int i = 0; i < 4; ++i) addValue(m_pSkeleton, skeletonValues[i], VALUE_X, 0.3f + 0.04f * i);

    // Mesh: four leaf curves, then two columns of controls.
    m_pMesh = m_pUi.addWindow(std::make_unique<OGLWindow>("Mesh Tools", RIGHT_X, 0.475f, 0.44f, 0.52f));
    for (int i = 5; i < CURVES; ++i)
        m_pCurves[i] = m_pMesh->add<OGLCurveEditor>(CURVE_SLOTS[i].title, 0.01f + ((i - 5) % 2) * (CURVE_W + 0.015f),
                                                    0.04f + ((i - 5) / 2) * (CURVE_H + 0.01f), CURVE_W, CURVE_H);
    const int left[] = {NOISE, NOISE_P, LEAVE_STRETCH, APPEAR_SPEED, ROOT_LENGTH};
    for (int i = 0; i < 5; ++i) addValue(m_pMesh, left[i], 0.01f, 0.3f + ROW * i);
    const int cycling[] = {LEAVE_MODE, TRUNC_TEXTURE, USE_LOD_LEAVES, ROOT_COUNT};
    for (int i = 0; i < 4; ++i) addCycling(m_pMesh, cycling[i], VALUE_X, 0.3f + ROW * i);
    addValue(m_pMesh, ROOT_HEIGHT, VALUE_X, 0.3f + ROW * 4);

    m_pSkeleton->setShown(false);
    m_pMesh->setShown(false);
    m_pLoadDialog = static_cast<OGLFileDialog*>(
        m_pUi.addWindow(std::make_unique<OGLFileDialog>("Load Tree", LOAD_RESULT, "arb", 0.25f, 0.2f)));
    m_pSaveDialog = static_cast<OGLFileDialog*>(
        m_pUi.addWindow(std::make_unique<OGLFileDialog>("Save Tree", SAVE_RESULT, "arb", 0.25f, 0.2f)));
    refresh();
}

void TreePanel::addValue(OGLWindow* window, int control, float x, float y)
{
    window->add<OGLValueControl>(control, x, y, VALUE_W, VALUE_H);
    OGLLabel* label = window->add<OGLLabel>("", x + VALUE_W + 0.006f, y, 0.2f - VALUE_W, VALUE_H);
    m_pLabels.push_back({control, label, nullptr});
}

void TreePanel::addCycling(OGLWindow* window, int control, float x, float y)
{
    OGLButton* button = window->add<OGLButton>("", control, x, y + 0.003f, 0.185f, VALUE_H - 0.006f);
    m_pLabels.push_back({control, nullptr, button});
}

// [SECTION] Labels and curves

std::string TreePanel::valueText(int control) const
{
    const TreeParameters& p = treeParameters();
    switch (control) {
    case DIAMETER: return format("Diameter %f", forestTreeDiameter(0));
    case MAX_ANGLE: return format("Max Angle %f", p.maxAngle);
    case GRAVITY: return format("Gravity %f", p.gravity);
    case LENGTH: return format(m_pLengthRelabelled ? "Length %f" : "Lenght %f", forestTreeLength(0));
    case NOISE: return format("Noise %f", p.noise);
    case NOISE_P: return format("Noise P %f", p.noiseP);
    case LEAVE_MODE: return format("Leave mode %d", p.leaveMode);
    case LEAVE_STRETCH: return format("Leave stretch %f", p.leaveStretch);
    case TRUNC_TEXTURE: return format("Trunc Texture %d", p.truncTexture);
    case USE_LOD_LEAVES: return format("Use LOD Leaves %d", p.useLodLeaves);
    case APPEAR_SPEED: return format("Appear speed %f", p.appearSpeed);
    case ROOT_COUNT: return format("Root Count %d", p.rootCount);
    case ROOT_LENGTH: return format("Root Lenght %f", p.rootLength);
    case ROOT_HEIGHT: return format("Root Height %f", p.rootHeight);
    default: return "";
    }
}

void TreePanel::writeLabel(int control)
{
    for (const ValueLabel& v : m_pLabels) {
        if (v.control != control) continue;
        if (v.label) v.label->setText(valueText(control));
        if (v.button) v.button->setCaption(valueText(control));
    }
}

std::string TreePanel::labelOf(int control) const
{
    for (const ValueLabel& v : m_pLabels)
        if (v.control == control) return v.label ? v.label->text() : v.button->caption();
    return "";
}

std::string TreePanel::counterText(int which) const { return m_pCounters[which]->text(); }

void TreePanel::refresh()
{
    const TreeParameters& p = treeParameters();
    for (int i = 0; i < CURVES; ++i) {
        const ParameterCurve& c = p.*CURVE_SLOTS[i].curve;
        const float range = c.rangeMax - c.rangeMin;
        const PiecewiseLinear* bounds[2] = {&c.boundA, &c.boundB};
        for (int b = 0; b < 2; ++b) {
            float y[4];
            bounds[b]->controlValues(y);
            OGLCurveEditor::Polyline line;
            const float xs[4] = {0, bounds[b]->x1, bounds[b]->x2, 1};
            for (int k = 0; k < 4; ++k) line[k] = {xs[k], range != 0 ? (y[k] - c.rangeMin) / range : 0.0f};
            m_pCurves[i]->setPolyline(b, line);
        }
    }
    for (const ValueLabel& v : m_pLabels) writeLabel(v.control);
}

void TreePanel::readCurves()
{
    TreeParameters& p = treeParameters();
    for (int i = 0; i < CURVES; ++i) {
        ParameterCurve& c = p.*CURVE_SLOTS[i].curve;
        PiecewiseLinear* bounds[2] = {&c.boundA, &c.boundB};
        for (int b = 0; b < 2; ++b) {
            const OGLCurveEditor::Polyline& line = m_pCurves[i]->polyline(b);
            float y[4];
            for (int k = 0; k < 4; ++k) y[k] = c.rangeMin + (c.rangeMax - c.rangeMin) * line[k].y;
            *bounds[b] = PiecewiseLinear::fromPoints(line[1].x, line[2].x, y);
        }
    }
}

void TreePanel::update(int branches, int polygons, std::time_t now)
{
    m_pCounters[0]->setText(format("Poly %d", polygons));
    m_pCounters[1]->setText(format("Branch %d", branches));
    if (now != m_pSecond) {
        m_pCounters[2]->setText(format("fps %d", m_pFrames));
        m_pFrames = 0;
        m_pSecond = now;
        readCurves();
    }
    ++m_pFrames;
}

// [SECTION] The handler

void TreePanel::handle(int control, int amount)
{
    TreeParameters& p = treeParameters();
    const float v = float(amount);
    switch (control) {
    case DIAMETER:
        setTreeZeroDiameter(forestTreeDiameter(0) + v);
        rerandomizeTrees(DRAW_DIAMETER);
        break;
    case LENGTH:
        setTreeZeroLength(forestTreeLength(0) + v);
        rerandomizeTrees(DRAW_LENGTH);
        m_pLengthRelabelled = true;
        break;
    case MAX_ANGLE: p.maxAngle = within(p.maxAngle + 0.1f * v, 0.01f, 1.5f); break;
    case GRAVITY: p.gravity = within(p.gravity + 0.1f * v, -3, 3); break;
    case NOISE: p.noise = within(p.noise + 0.1f * v, 0, 3); break;
    case NOISE_P: p.noiseP = within(p.noiseP + 0.02f * v, 0.1f, 1.5f); break;
    case LEAVE_STRETCH: p.leaveStretch = within(p.leaveStretch + 0.2f * v, 0.1f, 25); break;
    case APPEAR_SPEED: p.appearSpeed = within(p.appearSpeed + v, 0.1f, 200); break;
    case ROOT_LENGTH: p.rootLength = within(p.rootLength + 0.5f * v, 0.1f, 50); break;
    case ROOT_HEIGHT: p.rootHeight = within(p.rootHeight + 0.5f * v, 0.1f, 50); break;
    // The cycling values restart at 0 from anything outside their range (a file may hold any number).
    case LEAVE_MODE: p.leaveMode = p.leaveMode >= 0 && p.leaveMode < 3 ? p.leaveMode + 1 : 0; break;
    case TRUNC_TEXTURE: p.truncTexture = p.truncTexture >= 0 && p.truncTexture < 9 ? p.truncTexture + 1 : 0; break;
    case USE_LOD_LEAVES: p.useLodLeaves = p.useLodLeaves == 0 ? 1 : 0; break;
    case ROOT_COUNT: p.rootCount = p.rootCount >= 0 && p.rootCount < 6 ? p.rootCount + 1 : 0; break;
    case RESET_SEED:
        std::puts("*************passage button resed seed");
        resetTreeSeeds();
        break;
    case SKELETON_TOOLS: toggleWindow(m_pSkeleton, control); break;
    case MESH_TOOLS: toggleWindow(m_pMesh, control); break;
    case LOAD: m_pLoadDialog->open(m_pLoadDialog->folder().empty() ? folderOf(forestArbFile()) : m_pLoadDialog->folder()); break;
    case SAVE: m_pSaveDialog->open(m_pSaveDialog->folder().empty() ? folderOf(forestArbFile()) : m_pSaveDialog->folder()); break;
    case LOAD_RESULT:
        if (amount == OGL_DIALOG_OK) loadChosen(m_pLoadDialog->chosenPath());
        break;
    case SAVE_RESULT:
        if (amount == OGL_DIALOG_OK) saveChosen(m_pSaveDialog->chosenPath());
        break;
    case DETAIL: switchDetail(); break;
    default: return;
    }
    writeLabel(control);
}

void TreePanel::toggleWindow(OGLWindow* window, int control)
{
    window->setShown(!window->isShown());
    (control == SKELETON_TOOLS ? m_pSkeletonButton : m_pMeshButton)->setChecked(window->isShown());
    if (window->isShown()) m_pUi.raise(window);
}

void TreePanel::switchDetail()
{
    TreeDetail& d = treeDetail();
    m_pDetail = m_pDetail == 1 ? 2 : 1;
    if (m_pDetail == 2) {
        d.tubeFactor = 5.0f;
        d.lodThreshold = 0.02f;
        m_pDetailButton->setCaption("Detail high");
    } else {
        d.tubeFactor = 1.0f;
        d.lodThreshold = 0.2f;
        rerandomizeTrees(DRAW_DIAMETER | DRAW_LENGTH);
        m_pDetailButton->setCaption("Detail low");
    }
}

void TreePanel::loadChosen(const std::string& path)
{
    // Groups the file lacks keep tree 0's values rather than the last tree drawn.
    giveTreeZeroToParameters();
    if (!loadTreeParameters(treeParameters(), path)) {
        std::printf("Load Tree: cannot read %s\n", path.c_str());
        return;
    }
    takeTreeZeroFromParameters();
    rerandomizeTrees(DRAW_ALL);
    refresh();
}

void TreePanel::saveChosen(const std::string& path)
{
    if (!writableTarget(path)) {
        std::printf("Save Tree: cannot write %s\n", path.c_str());
        return;
    }
    // The editors' latest curves and tree 0's values are what gets saved.
    readCurves();
    giveTreeZeroToParameters();
    computeSampleStatistics(512);
    saveTreeParameters(treeParameters(), path);
}

// [SECTION] The one panel

void buildTreePanel(const std::string& resourceFile) { s_panel = std::make_unique<TreePanel>(resourceFile); }

TreePanel* treePanel() { return s_panel.get(); }

void releaseTreePanel() { s_panel.reset(); }

// [SECTION] The panel in the viewer

void showForestEditor(bool shown) { s_shown = shown; }
bool forestEditorShown() { return s_shown; }
// Only a shown panel takes events; the viewer sends left-button events only.
bool forestMousePress(int x, int y, int) { return s_shown && s_panel && s_panel->mousePress(x, y); }
bool forestMouseRelease(int x, int y, int) { return s_shown && s_panel && s_panel->mouseRelease(x, y); }
bool forestMouseMove(int x, int y) { return s_shown && s_panel && s_panel->mouseMove(x, y); }
bool forestKeyPress(int key) { return s_shown && s_panel && s_panel->keyPress(key); }

void setForestEditorViewport(int width, int height)
{
    if (s_panel) s_panel->setViewport(width, height);
}

void drawForestEditor()
{
    if (s_shown && s_panel) s_panel->draw();
}
