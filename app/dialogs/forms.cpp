#include "app/dialogs/forms.h"

namespace {

// What a control sets: its value times `scale` is the scene's value in `unit`.
struct Tip {
    QWidget* control;
    const char* what;
    double scale = 1;
    int decimals = 0;
    const char* unit = "";
};

QString tipText(const Tip& tip)
{
    if (auto* button = qobject_cast<QAbstractButton*>(tip.control))
        return QStringLiteral("%1: %2").arg(tip.what, button->isChecked() ? "on" : "off");
    const double value = tip.control->property("value").toInt() * tip.scale;
    return QStringLiteral("%1: %2 %3").arg(tip.what).arg(value, 0, 'f', tip.decimals).arg(tip.unit).trimmed();
}

// Each tip follows its control's value.
void describe(std::initializer_list<Tip> tips)
{
    for (const Tip& tip : tips) {
        const auto update = [tip] { tip.control->setToolTip(tipText(tip)); };
        if (auto* slider = qobject_cast<QAbstractSlider*>(tip.control))
            QObject::connect(slider, &QAbstractSlider::valueChanged, slider, update);
        else if (auto* box = qobject_cast<QSpinBox*>(tip.control))
            QObject::connect(box, qOverload<int>(&QSpinBox::valueChanged), box, update);
        else
            QObject::connect(qobject_cast<QAbstractButton*>(tip.control), &QAbstractButton::toggled, tip.control, update);
        update();
    }
}

// Return in a field presses no button, and a typed number is applied once
// typing ends (Return, focus leaving), not at each keystroke: typing 20 over
// 9 trees must not pass through 2. Arrows, wheel and Page keys still apply at once.
void settle(QDialog* dialog)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    for (QSpinBox* box : dialog->findChildren<QSpinBox*>()) box->setKeyboardTracking(false);
}

} // namespace

FormScene::FormScene(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
    settle(this);
    describe({
        {Slider_DT, "Animation step per frame", 0.001, 3, "s"},
        {CheckBox_UpdateGrassDrawing, "Update the grass drawing each frame"},
        {Slider_RockSize, "Rock size", 0.01, 2, "m"},
        {Slider_RockSpeed, "Rock speed factor", 0.01, 2},
        {CheckBox_RockBound, "Rock bounces instead of following the ground"},
        {CheckBox_RockMvtAuto, "Rock moves on its own (off: the arrow keys steer it)"},
        {CheckBox_VisuTrajectory, "Draw the rock's trajectory (not available)"},
        {Slider_RockCrushingPower, "Crushing power of the rock"},
        {Slider_RockCrushingPowerExp, "Crushing power exponent", 0.01, 2},
        {Slider_RockCrushingMysteryParam, "Crushing mystery parameter", 0.001, 3},
        {Slider_RockCrushingPropagation, "Crushing propagation", 0.001, 3},
        {CheckBox_VisuGround, "Draw the ground"},
        {CheckBox_VisuSky, "Draw the sky"},
        {CheckBox_VisuTrees, "Draw the trees"},
        {CheckBox_VisuGrass, "Draw the grass"},
        {CheckBox_VisuWire, "Draw in wire frame"},
        {CheckBox_VisuGusts, "Draw the gusts and blasts of wind"},
        {CheckBox_VisuGrassDensity, "Draw the grass density"},
        {CheckBox_VisuGrassNodes, "Draw the grass nodes"},
    });
}

FormGrass::FormGrass(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
    settle(this);
    describe({
        {SpinBox_NbPatches1, "Grass patches along x"},
        {SpinBox_NbPatches2, "Grass patches along y"},
        {SpinBox_GrassPolyg3D, "Segments of a 3D blade near the camera"},
        {SpinBox_GrassPolyg2D5, "Segments of a 2.5D ribbon"},
        {Slider_GrassDist3D, "3D blades up to", 1, 0, "m"},
        {Slider_GrassDist2D5, "2.5D ribbons up to", 1, 0, "m"},
        {Slider_GrassDist2D, "Flat 2D grass up to", 1, 0, "m"},
        {CheckBox_ajustment2D5Height, "Raise 2.5D ribbons towards the line of sight"},
        {SpinBox_NbMaxGrassesPerPatche, "Grass density", 1, 0, "blades/m²"},
        {Slider_crushingMaxTime, "Time crushed grass takes to rise", 1, 0, "s"},
        {Slider_crushingDamping, "Damping of the rising grass", 0.1, 1},
        {Slider_GrassHeight, "Blade height", 0.01, 2, "m"},
        {Slider_GrassWidth, "Blade width", 0.0001, 4, "m"},
        {Slider_GrassNoisePositions, "Noise of blade positions", 0.01, 2, "m"},
        {CheckBox_Texture3D, "Draw the 3D blades with the blade picture"},
        {Slider_AntiAliasingTexture3D, "Softening of the blade picture", 0.1, 1},
        {Slider_AntiAliasingTexture2D5, "Softening of the 2.5D texture", 0.1, 1},
    });
}

FormTrees::FormTrees(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
    settle(this);
    describe({
        {SpinBox_TreesNumber, "Number of trees"},
        {SpinBox_NbPgMax, "Polygon budget of the forest", 1, 0, "polygons"},
    });
}

FormGround::FormGround(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
    settle(this);
    describe({
        {Slider_GroundHeight, "Ground's greatest height", 0.025, 3, "m"},
        {Slider_GroundSize, "Ground side", 0.25, 2, "m"},
    });
}

FormWind::FormWind(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
    setupUi(this);
    settle(this);
    describe({
        {Slider_BreezeSpeed, "Breeze speed factor", 0.01, 2},
        {Slider_BreezePower, "Breeze power", 0.1, 1},
        {Slider_GustSpeed, "Speed factor of gusts and blasts", 0.01, 2},
        {Slider_GustPower, "Gust power"},
        {Slider_BlastPower, "Blast power"},
        {Slider_BlastParam, "Blast parameter", 0.001, 3},
    });
}
