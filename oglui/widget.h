#pragma once
/// The retained widgets drawn over the 3D view: a tree of widgets placed in
/// fractions of the view (x to the right, y downwards, both 0 to 1), with
/// mouse handling free of GL. Only the draw functions (widget_draw.cpp) use GL.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class OGLInterface;

/// Receives the messages of the widgets: a control number and a signed amount
/// (a value control's steps, 1 for a button, a check button's new state, a
/// file dialog's result).
class IMessageRecipient {
public:
    virtual ~IMessageRecipient() = default;
    /// Handles one message.
    virtual void handleMessage(int control, int amount) = 0;
};

/// A rectangle in view fractions: top-left corner, width and height.
struct OGLRect {
    float x = 0, y = 0, w = 0, h = 0;
    /// True when (px, py) lies inside, edges included.
    bool contains(float px, float py) const { return px >= x && px <= x + w && py >= y && py <= y + h; }
};

/// A widget: owns its children, placed relative to its father's corner, and
/// styled by the resources of its branch.
class OGLWidget {
public:
    OGLWidget(std::string branch, float x, float y, float w, float h);
    virtual ~OGLWidget();
    OGLWidget(const OGLWidget&) = delete;
    OGLWidget& operator=(const OGLWidget&) = delete;

    /// Creates a child of type T owned by this widget and returns it.
    template <class T, class... Args>
    T* add(Args&&... args)
    {
        auto child = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = child.get();
        adopt(std::move(child));
        return raw;
    }

    /// The widget that owns this one, null for a window.
    OGLWidget* father() const { return m_pFather; }
    /// The owned children, in drawing order.
    const std::vector<std::unique_ptr<OGLWidget>>& children() const { return m_pChildren; }
    /// The resource branch the widget reads its style from.
    const std::string& branch() const { return m_pBranch; }
    /// Changes the resource branch.
    void setBranch(std::string branch) { m_pBranch = std::move(branch); }
    /// The place in the view (the fathers' corners added up).
    OGLRect rect() const;
    /// Moves the widget, relative to its father's corner.
    void moveTo(float x, float y);
    /// True when the widget is shown (its fathers may still hide it).
    bool isShown() const { return m_pShown; }
    /// Shows or hides the widget and its children.
    void setShown(bool shown) { m_pShown = shown; }
    /// The deepest shown widget under (x, y), this one included, or null.
    OGLWidget* widgetAt(float x, float y);
    /// True when a press at (x, y) falls on this widget; its rectangle by default.
    virtual bool hits(float x, float y) const { return rect().contains(x, y); }

    /// A button press at (x, y); returning true makes this widget receive
    /// the moves and the release that follow.
    virtual bool mousePress(float x, float y);
    /// A move while this widget holds the press.
    virtual void mouseDrag(float x, float y);
    /// The release of the press this widget took.
    virtual void mouseRelease(float x, float y);
    /// A key (an ASCII code) while this widget has the keyboard; true when used.
    virtual bool keyPress(int key);
    /// Draws the widget, then its shown children. Needs a current context.
    void draw() const;

protected:
    /// Draws the widget itself (widget_draw.cpp); nothing by default.
    virtual void drawSelf() const;
    /// Sends a message to the interface's recipient, if any.
    void send(int control, int amount) const;
    /// The interface the widget's window belongs to, or null.
    OGLInterface* interface() const;

private:
    friend class OGLInterface;
    void adopt(std::unique_ptr<OGLWidget> child);

    std::string m_pBranch;
    OGLRect m_pLocal;
    bool m_pShown = true;
    OGLWidget* m_pFather = nullptr;
    OGLInterface* m_pInterface = nullptr;
    std::vector<std::unique_ptr<OGLWidget>> m_pChildren;
};

/// A text line, drawn left-aligned and centred vertically.
class OGLLabel : public OGLWidget {
public:
    OGLLabel(std::string text, float x, float y, float w, float h, std::string branch = "label")
        : OGLWidget(std::move(branch), x, y, w, h), m_pText(std::move(text)) {}
    /// The shown text.
    const std::string& text() const { return m_pText; }
    /// Replaces the shown text.
    void setText(std::string text) { m_pText = std::move(text); }

protected:
    void drawSelf() const override;

private:
    std::string m_pText;
};

/// A push button: on a release inside, runs its action if it has one,
/// otherwise sends (control number, 1).
class OGLButton : public OGLWidget {
public:
    OGLButton(std::string caption, int control, float x, float y, float w, float h, std::string branch = "button")
        : OGLWidget(std::move(branch), x, y, w, h), m_pCaption(std::move(caption)), m_pControl(control) {}
    /// The caption.
    const std::string& caption() const { return m_pCaption; }
    /// Replaces the caption.
    void setCaption(std::string caption) { m_pCaption = std::move(caption); }
    /// Replaces the message by an action run on each click.
    void setAction(std::function<void()> action) { m_pAction = std::move(action); }
    /// True while the mouse holds the button down.
    bool isPressed() const { return m_pPressed; }

    bool mousePress(float x, float y) override;
    void mouseRelease(float x, float y) override;

protected:
    /// What a click does.
    virtual void clicked();
    void drawSelf() const override;
    /// The control number of the messages.
    int control() const { return m_pControl; }

private:
    std::string m_pCaption;
    int m_pControl;
    std::function<void()> m_pAction;
    bool m_pPressed = false;
};

/// A button with a state: a click flips it and sends (control, new state).
class OGLCheckButton : public OGLButton {
public:
    OGLCheckButton(std::string caption, int control, float x, float y, float w, float h)
        : OGLButton(std::move(caption), control, x, y, w, h, "checkbutton") {}
    /// The state.
    bool isChecked() const { return m_pChecked; }
    /// Sets the state without sending anything.
    void setChecked(bool checked) { m_pChecked = checked; }

protected:
    void clicked() override;
    void drawSelf() const override;

private:
    bool m_pChecked = false;
};

/// A small handle that reports signed steps: a press on its upper half sends
/// +1, on its lower half −1, and dragging up or down sends one step for each
/// `STEP` of view height travelled.
class OGLValueControl : public OGLWidget {
public:
    /// View height per step while dragging.
    static constexpr float STEP = 0.01f;
    OGLValueControl(int control, float x, float y, float w, float h)
        : OGLWidget("handle", x, y, w, h), m_pControl(control) {}

    bool mousePress(float x, float y) override;
    void mouseDrag(float x, float y) override;

protected:
    void drawSelf() const override;

private:
    int m_pControl;
    float m_pAnchorY = 0;
};

/// A point of a curve editor on its normalised scale: x and y in [0, 1].
struct OGLCurvePoint {
    float x = 0, y = 0;
};

/// Two polylines of four points each, (0, y0), (x1, y1), (x2, y2), (1, y3),
/// on a normalised scale (y = 0 at the bottom), whose points the mouse drags.
/// The inner points keep 0.01 ≤ x1 ≤ x2 ≤ 0.99.
class OGLCurveEditor : public OGLWidget {
public:
    /// The four points of one polyline.
    using Polyline = std::array<OGLCurvePoint, 4>;
    /// Editor distance, in view fractions, within which a press picks a point.
    static constexpr float PICK = 0.015f;

    OGLCurveEditor(std::string title, float x, float y, float w, float h)
        : OGLWidget("spline", x, y, w, h), m_pTitle(std::move(title)) {}
    /// The title drawn above the curves.
    const std::string& title() const { return m_pTitle; }
    /// Polyline `bound` (0 or 1).
    const Polyline& polyline(int bound) const { return m_pLines[bound & 1]; }
    /// Replaces polyline `bound`, bringing its points into the allowed places.
    void setPolyline(int bound, const Polyline& points);

    /// The rectangle and a margin of `PICK` around it, so that points on the border can be caught.
    bool hits(float x, float y) const override;
    bool mousePress(float x, float y) override;
    void mouseDrag(float x, float y) override;
    void mouseRelease(float x, float y) override;

protected:
    void drawSelf() const override;

private:
    void place(int bound, int index, float x, float y);

    std::string m_pTitle;
    std::array<Polyline, 2> m_pLines{};
    int m_pDragBound = -1;
    int m_pDragIndex = -1;
};

/// A window: a title bar that drags it, and a body holding its children,
/// which are placed from the window's corner (the title bar included).
class OGLWindow : public OGLWidget {
public:
    /// Height of the title bar, in view fractions.
    static constexpr float TITLE_HEIGHT = 0.03f;
    OGLWindow(std::string title, float x, float y, float w, float h)
        : OGLWidget("window", x, y, w, h), m_pTitle(std::move(title)) {}
    /// The title.
    const std::string& title() const { return m_pTitle; }

    bool mousePress(float x, float y) override;
    void mouseDrag(float x, float y) override;

protected:
    void drawSelf() const override;

private:
    std::string m_pTitle;
    float m_pGrabX = 0, m_pGrabY = 0;
};

/// The set of windows over one view: routes the mouse and keys to them and
/// draws them. Mouse positions are in pixels from the view's top-left corner.
class OGLInterface {
public:
    OGLInterface() = default;
    OGLInterface(const OGLInterface&) = delete;
    OGLInterface& operator=(const OGLInterface&) = delete;

    /// Takes a window; the last added is drawn on top.
    OGLWindow* addWindow(std::unique_ptr<OGLWindow> window);
    /// Where the widgets' messages go (not owned; may be null).
    void setRecipient(IMessageRecipient* recipient) { m_pRecipient = recipient; }
    /// The recipient of the messages.
    IMessageRecipient* recipient() const { return m_pRecipient; }
    /// The view's size in pixels.
    void setViewport(int width, int height);
    /// Brings `window` to the front.
    void raise(const OGLWindow* window);
    /// Gives the keyboard to `widget` (null: nobody).
    void setFocus(OGLWidget* widget) { m_pFocus = widget; }

    /// A left-button press; true when it fell on a shown window (which comes
    /// to the front), so that the caller leaves it alone.
    bool mousePress(int x, int y);
    /// The release; true when the press was taken.
    bool mouseRelease(int x, int y);
    /// A move; true while a taken press is held.
    bool mouseMove(int x, int y);
    /// A key (ASCII code) for the widget that has the keyboard; true when used.
    bool keyPress(int key);
    /// Draws the shown windows over the current picture. Needs a current context.
    void draw() const;

private:
    float toX(int x) const { return float(x) / float(m_pWidth); }
    float toY(int y) const { return float(y) / float(m_pHeight); }
    static bool reallyShown(const OGLWidget* widget);

    std::vector<std::unique_ptr<OGLWindow>> m_pWindows;
    IMessageRecipient* m_pRecipient = nullptr;
    OGLWidget* m_pGrab = nullptr;
    OGLWidget* m_pFocus = nullptr;
    bool m_pPressTaken = false;
    int m_pWidth = 1, m_pHeight = 1;
};

/// Declares the widgets' resource branches and resources with their defaults.
void oglDeclareWidgetResources();

/// Forgets all resources, declares the widgets' ones, checks the declarations
/// and reads `fileName`. Returns false when the file cannot be opened (the
/// defaults then hold).
bool oglLoadWidgetResources(const std::string& fileName);
