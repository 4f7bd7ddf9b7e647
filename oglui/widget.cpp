#include "oglui/widget.h"

#include "oglui/resource.h"

#include <algorithm>
#include <cmath>

namespace {

float clamp01(float v) { return v > 0 ? std::min(v, 1.0f) : 0.0f; }  // NaN gives 0

} // namespace

// [SECTION] OGLWidget

OGLWidget::OGLWidget(std::string branch, float x, float y, float w, float h)
    : m_pBranch(std::move(branch)), m_pLocal{x, y, w, h}
{
}

OGLWidget::~OGLWidget() = default;

void OGLWidget::adopt(std::unique_ptr<OGLWidget> child)
{
    child->m_pFather = this;
    m_pChildren.push_back(std::move(child));
}

OGLRect OGLWidget::rect() const
{
    OGLRect r = m_pLocal;
    for (const OGLWidget* f = m_pFather; f; f = f->m_pFather) {
        r.x += f->m_pLocal.x;
        r.y += f->m_pLocal.y;
    }
    return r;
}

void OGLWidget::moveTo(float x, float y)
{
    m_pLocal.x = x;
    m_pLocal.y = y;
}

OGLWidget* OGLWidget::widgetAt(float x, float y)
{
    if (!m_pShown || !hits(x, y)) return nullptr;
    // Later children are drawn over earlier ones, so they are hit first.
    for (auto it = m_pChildren.rbegin(); it != m_pChildren.rend(); ++it)
        if (OGLWidget* hit = (*it)->widgetAt(x, y)) return hit;
    return this;
}

bool OGLWidget::mousePress(float, float) { return false; }
void OGLWidget::mouseDrag(float, float) {}
void OGLWidget::mouseRelease(float, float) {}
bool OGLWidget::keyPress(int) { return false; }

OGLInterface* OGLWidget::interface() const
{
    const OGLWidget* w = this;
    while (w->m_pFather) w = w->m_pFather;
    return w->m_pInterface;
}

void OGLWidget::send(int control, int amount) const
{
    if (OGLInterface* ui = interface())
        if (IMessageRecipient* r = ui->recipient()) r->handleMessage(control, amount);
}

// [SECTION] Buttons and value controls

bool OGLButton::mousePress(float, float)
{
    m_pPressed = true;
    return true;
}

void OGLButton::mouseRelease(float x, float y)
{
    const bool inside = rect().contains(x, y);
    m_pPressed = false;
    if (inside) clicked();
}

void OGLButton::clicked()
{
    if (m_pAction)
        m_pAction();
    else
        send(m_pControl, 1);
}

void OGLCheckButton::clicked()
{
    m_pChecked = !m_pChecked;
    send(control(), m_pChecked ? 1 : 0);
}

bool OGLValueControl::mousePress(float, float y)
{
    const OGLRect r = rect();
    send(m_pControl, y < r.y + r.h / 2 ? 1 : -1);
    m_pAnchorY = y;
    return true;
}

void OGLValueControl::mouseDrag(float, float y)
{
    // Upwards is positive; the remainder below one step is kept for later moves.
    // The small bias keeps 4.99999 steps (float error) from counting as 4.
    const float travelled = (m_pAnchorY - y) / STEP;
    const int steps = int(travelled + (travelled > 0 ? 1e-3f : -1e-3f));
    if (steps == 0) return;
    m_pAnchorY -= float(steps) * STEP;
    send(m_pControl, steps);
}

// [SECTION] Curve editor

void OGLCurveEditor::setPolyline(int bound, const Polyline& points)
{
    // Stored as given (a loaded curve is shown as it is); only the ends'
    // abscissae are fixed by construction.
    Polyline& line = m_pLines[bound & 1];
    line = points;
    line[0].x = 0;
    line[3].x = 1;
}

void OGLCurveEditor::place(int bound, int index, float x, float y)
{
    Polyline& line = m_pLines[bound];
    OGLCurvePoint& p = line[index];
    p.y = clamp01(y);
    // Break points strictly inside (0, 1) keep every segment's slope finite.
    if (index == 1) p.x = std::clamp(clamp01(x), 0.01f, std::max(0.01f, std::min(line[2].x, 0.99f)));
    if (index == 2) p.x = std::clamp(clamp01(x), std::min(std::max(line[1].x, 0.01f), 0.99f), 0.99f);
}

bool OGLCurveEditor::hits(float x, float y) const
{
    const OGLRect r = rect();
    return OGLRect{r.x - PICK, r.y - PICK, r.w + 2 * PICK, r.h + 2 * PICK}.contains(x, y);
}

bool OGLCurveEditor::mousePress(float x, float y)
{
    const OGLRect r = rect();
    float best = PICK;
    m_pDragBound = m_pDragIndex = -1;
    for (int b = 0; b < 2; ++b)
        for (int i = 0; i < 4; ++i) {
            const float px = r.x + m_pLines[b][i].x * r.w, py = r.y + (1 - m_pLines[b][i].y) * r.h;
            const float d = std::hypot(px - x, py - y);
            if (d <= best) {
                best = d;
                m_pDragBound = b;
                m_pDragIndex = i;
            }
        }
    return m_pDragBound >= 0;
}

void OGLCurveEditor::mouseDrag(float x, float y)
{
    if (m_pDragBound < 0) return;
    const OGLRect r = rect();
    place(m_pDragBound, m_pDragIndex, (x - r.x) / r.w, 1 - (y - r.y) / r.h);
}

void OGLCurveEditor::mouseRelease(float, float) { m_pDragBound = m_pDragIndex = -1; }

// [SECTION] Window

bool OGLWindow::mousePress(float x, float y)
{
    const OGLRect r = rect();
    if (y > r.y + TITLE_HEIGHT) return false;
    m_pGrabX = x - r.x;
    m_pGrabY = y - r.y;
    return true;
}

void OGLWindow::mouseDrag(float x, float y)
{
    // Keep a piece of the title bar inside the view so the window can be caught again.
    const OGLRect r = rect();
    const float nx = std::clamp(x - m_pGrabX, 0.05f - r.w, 0.95f);
    const float ny = std::clamp(y - m_pGrabY, 0.0f, 1.0f - TITLE_HEIGHT);
    moveTo(nx, ny);
}

// [SECTION] OGLInterface

OGLWindow* OGLInterface::addWindow(std::unique_ptr<OGLWindow> window)
{
    window->m_pInterface = this;
    m_pWindows.push_back(std::move(window));
    return m_pWindows.back().get();
}

void OGLInterface::setViewport(int width, int height)
{
    m_pWidth = std::max(1, width);
    m_pHeight = std::max(1, height);
}

void OGLInterface::raise(const OGLWindow* window)
{
    const auto it = std::find_if(m_pWindows.begin(), m_pWindows.end(),
                                 [window](const std::unique_ptr<OGLWindow>& w) { return w.get() == window; });
    if (it != m_pWindows.end()) std::rotate(it, it + 1, m_pWindows.end());
}

bool OGLInterface::reallyShown(const OGLWidget* widget)
{
    for (; widget; widget = widget->father())
        if (!widget->isShown()) return false;
    return true;
}

bool OGLInterface::mousePress(int px, int py)
{
    const float x = toX(px), y = toY(py);
    m_pGrab = nullptr;
    m_pPressTaken = false;
    for (auto it = m_pWindows.rbegin(); it != m_pWindows.rend(); ++it) {
        OGLWidget* target = (*it)->widgetAt(x, y);
        if (!target) continue;
        // The window comes to the front; `target` stays valid since the window is only moved in the list.
        std::rotate(it.base() - 1, it.base(), m_pWindows.end());
        m_pPressTaken = true;
        for (OGLWidget* w = target; w; w = w->father())
            if (w->mousePress(x, y)) {
                m_pGrab = w;
                break;
            }
        return true;
    }
    return false;
}

bool OGLInterface::mouseRelease(int px, int py)
{
    if (!m_pPressTaken) return false;
    OGLWidget* grab = m_pGrab;
    m_pGrab = nullptr;
    m_pPressTaken = false;
    if (grab) grab->mouseRelease(toX(px), toY(py));
    return true;
}

bool OGLInterface::mouseMove(int px, int py)
{
    if (!m_pPressTaken) return false;
    if (m_pGrab) m_pGrab->mouseDrag(toX(px), toY(py));
    return true;
}

bool OGLInterface::keyPress(int key)
{
    return m_pFocus && reallyShown(m_pFocus) && m_pFocus->keyPress(key);
}

// [SECTION] Resources of the widgets

void oglDeclareWidgetResources()
{
    using Tex = OGLIResourceTexture;
    using Col = OGLIResourceColor;
    auto color = [](const char* name, const char* branch, OGLColor c) {
        oglDeclareResource(std::make_unique<Col>(name, branch, c));
    };
    auto inherit = [](const char* name, const char* branch) { oglDeclareResource(std::make_unique<Col>(name, branch)); };
    auto texture = [](const char* name, const char* branch, const char* file = "") {
        oglDeclareResource(std::make_unique<Tex>(name, branch, file));
    };
    auto border = [](const char* name, const char* branch, int code) {
        oglDeclareResource(std::make_unique<OGLIResourceEnum>(name, branch, oglBorderTable(), true, code));
    };

    const char* branches[][2] = {
        {"base", ""},           {"container", "base"},     {"window", "container"},  {"menu", "container"},
        {"list", "container"},  {"filedialog", "window"},  {"button", "base"},       {"statebutton", "button"},
        {"checkbutton", "statebutton"}, {"radiobutton", "statebutton"}, {"label", "base"},
        {"spline_label", "label"}, {"spline", "base"},     {"handle", "base"},       {"scrollbar", "button"}};
    for (const auto& b : branches) oglDeclareBranch(b[0], b[1]);

    texture("floortexture", "base");
    color("textcolor", "base", {0.92f, 0.92f, 0.88f, 1});

    color("bgcolor", "container", {0.11f, 0.13f, 0.15f, 0.85f});
    texture("bgtexture", "container");

    color("titlecolor", "window", {0.20f, 0.30f, 0.24f, 0.95f});
    color("titletextcolor", "window", {1, 1, 1, 1});
    texture("titletexture", "window");
    border("border", "window", OGL_BORDER_OUT);

    for (const char* name : {"bgcolor", "textcolor", "bgcontentcolor"}) inherit(name, "menu");
    for (const char* name : {"bgtexture", "bgcontenttexture"}) texture(name, "menu");

    color("bgcolor", "list", {0.05f, 0.06f, 0.07f, 0.9f});
    color("selcolor", "list", {0.28f, 0.42f, 0.30f, 0.95f});
    texture("bgtexture", "list");
    texture("seltexture", "list");

    texture("iconparent", "filedialog");
    texture("iconfile", "filedialog");
    texture("icondir", "filedialog");
    color("cursorcolor", "filedialog", {1, 0.85f, 0.4f, 1});

    color("bgcolor", "button", {0.24f, 0.29f, 0.26f, 1});
    texture("bgtexture", "button");
    border("normalborder", "button", OGL_BORDER_OUT);
    border("pressedborder", "button", OGL_BORDER_IN);

    inherit("bgcolor", "statebutton");
    texture("bgtexture", "statebutton");
    texture("seticon", "statebutton");
    texture("clearicon", "statebutton");
    border("normalborder", "statebutton", OGL_BORDER_NONE);
    border("pressedborder", "statebutton", OGL_BORDER_IN);
    border("normalmenuborder", "statebutton", OGL_BORDER_NONE);
    border("pressedmenuborder", "statebutton", OGL_BORDER_IN);
    inherit("textcolor", "statebutton");
    for (const char* branch : {"checkbutton", "radiobutton"}) {
        texture("seticon", branch);
        texture("clearicon", branch);
    }

    color("bgcolor", "label", {0, 0, 0, 0});
    inherit("textcolor", "label");
    color("textcolor", "spline_label", {1, 0.85f, 0.45f, 1});

    color("bgcolor", "spline", {0.03f, 0.04f, 0.05f, 0.9f});
    color("horizcolor", "spline", {1, 1, 1, 0.12f});
    color("vertcolor", "spline", {1, 1, 1, 0.12f});
    color("cursorcolor", "spline", {1, 1, 1, 1});
    color("curveacolor", "spline", {0.45f, 0.80f, 1, 1});
    color("curvebcolor", "spline", {1, 0.55f, 0.30f, 1});

    texture("texture", "handle", "ForestInterfaceData/Buttons/key.tga");

    inherit("bgcolor", "scrollbar");
    border("normalborder", "scrollbar", OGL_BORDER_OUT);
    border("pressedborder", "scrollbar", OGL_BORDER_IN);
}

bool oglLoadWidgetResources(const std::string& fileName)
{
    oglClearResources();
    oglDeclareWidgetResources();
    oglCheckResourceDeclarations();
    return loadResourceFile(fileName);
}
