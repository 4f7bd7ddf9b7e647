#include "app/dialogs/dialogs.h"

#include "app/dialogs/forms.h"
#include "app/driver.h"

#include <QPointer>

namespace {

FormScene* formScene = nullptr;
FormGrass* formGrass = nullptr;
FormTrees* formTrees = nullptr;
FormGround* formGround = nullptr;
FormWind* formWind = nullptr;

using Driver = MyVelmoraQTDriver;

// Driver → control, so that scene loads and refreshes show in the dialog. A
// value beyond the control's range shows as its limit; when the control
// already showed that limit it signals nothing, so the limit is sent to the
// driver here: after every load the scene holds what the dialog shows.
template <class Control>
void showValues(Control* control, Driver* driver, void (Driver::*slot)(int), void (Driver::*signal)(int))
{
    QObject::connect(driver, signal, control, [=](int v) {
        const int before = control->value();
        control->setValue(v);
        if (control->value() != v && control->value() == before) (driver->*slot)(before);
    });
}

// Control → driver for value controls, and back. The loop this makes ends
// because a control only signals a change when its value really changes.
void wireSlider(QSlider* slider, Driver* driver, void (Driver::*slot)(int), void (Driver::*signal)(int))
{
    QObject::connect(slider, &QSlider::valueChanged, driver, slot);
    showValues(slider, driver, slot, signal);
}

void wireSpinBox(QSpinBox* box, Driver* driver, void (Driver::*slot)(int), void (Driver::*signal)(int))
{
    QObject::connect(box, qOverload<int>(&QSpinBox::valueChanged), driver, slot);
    showValues(box, driver, slot, signal);
}

void wireCheck(QAbstractButton* button, Driver* driver, void (Driver::*slot)(bool), void (Driver::*signal)(bool))
{
    QObject::connect(button, &QAbstractButton::toggled, driver, slot);
    QObject::connect(driver, signal, button, &QAbstractButton::setChecked);
}

void wireButton(QAbstractButton* button, Driver* driver, void (Driver::*slot)())
{
    QObject::connect(button, &QAbstractButton::clicked, driver, slot);
}

void connectScene(FormScene* f, Driver* d)
{
    wireButton(f->PushButton_LoadScene, d, &Driver::loadScene);
    wireButton(f->PushButton_SaveScene, d, &Driver::saveScene);
    wireCheck(f->PushButton_Start, d, &Driver::setAnim, &Driver::setQTAnim);
    wireSlider(f->Slider_DT, d, &Driver::setAnimDT, &Driver::setQTAnimDT);
    wireCheck(f->CheckBox_UpdateGrassDrawing, d, &Driver::setUpdateGrassDrawing, &Driver::setQTUpdateGrassDrawing);
    wireSlider(f->Slider_RockSpeed, d, &Driver::setRockSpeed, &Driver::setQTRockSpeed);
    wireSlider(f->Slider_RockSize, d, &Driver::setRockSize, &Driver::setQTRockSize);
    wireCheck(f->CheckBox_RockMvtAuto, d, &Driver::setRockMvtAuto, &Driver::setQTRockMvtAuto);
    wireCheck(f->CheckBox_RockBound, d, &Driver::setRockBound, &Driver::setQTRockBound);
    wireSlider(f->Slider_RockCrushingMysteryParam, d, &Driver::setRockCrushingMysteryParameter,
               &Driver::setQTRockCrushingMysteryParameter);
    wireSlider(f->Slider_RockCrushingPropagation, d, &Driver::setRockCrushingPropagation,
               &Driver::setQTRockCrushingPropagation);
    wireSlider(f->Slider_RockCrushingPower, d, &Driver::setRockCrushingPower, &Driver::setQTRockCrushingPower);
    wireSlider(f->Slider_RockCrushingPowerExp, d, &Driver::setRockCrushingPowerExp,
               &Driver::setQTRockCrushingPowerExp);
    wireCheck(f->CheckBox_VisuGusts, d, &Driver::setGustDraw, &Driver::setQTGustDraw);
    wireCheck(f->CheckBox_VisuTrajectory, d, &Driver::setGrassTrajectoryDraw, &Driver::setQTGrassTrajectoryDraw);
    wireCheck(f->CheckBox_VisuGrass, d, &Driver::setGrassDraw, &Driver::setQTGrassDraw);
    wireCheck(f->CheckBox_VisuSky, d, &Driver::setSkyDraw, &Driver::setQTSkyDraw);
    wireCheck(f->CheckBox_VisuGrassNodes, d, &Driver::setGrassNodesDraw, &Driver::setQTGrassNodesDraw);
    wireCheck(f->CheckBox_VisuGrassDensity, d, &Driver::setGrassDensityDraw, &Driver::setQTGrassDensityDraw);
    wireCheck(f->CheckBox_VisuGround, d, &Driver::setGroundDraw, &Driver::setQTGroundDraw);
    wireCheck(f->CheckBox_VisuTrees, d, &Driver::setTreesDraw, &Driver::setQTTreesDraw);
    wireCheck(f->CheckBox_VisuWire, d, &Driver::setWireDraw, &Driver::setQTWireDraw);
}

// The 2.5D texture sizes, width*height, in the index order the driver's
// setGrassSizeTexture2D5 slot expects.
void fillTextureSizes(QComboBox* box)
{
    for (const char* size : {"256*32", "256*64", "256*128", "512*32", "512*64", "512*128", "1024*32", "1024*64",
                             "1024*128"})
        box->addItem(QString::fromLatin1(size));
    box->setCurrentIndex(4);
}

void connectGrass(FormGrass* f, Driver* d)
{
    wireSpinBox(f->SpinBox_NbPatches1, d, &Driver::setGrassNbPatches1, &Driver::setQTGrassNbPatches1);
    wireSpinBox(f->SpinBox_NbPatches2, d, &Driver::setGrassNbPatches2, &Driver::setQTGrassNbPatches2);
    wireButton(f->PushButton_GrassDensity, d, &Driver::loadGrassDensityMap);
    wireSpinBox(f->SpinBox_NbMaxGrassesPerPatche, d, &Driver::setGrassNbMaxPerPatche,
                &Driver::setQTGrassNbMaxPerPatche);
    wireSlider(f->Slider_GrassHeight, d, &Driver::setGrassHeight, &Driver::setQTGrassHeight);
    wireSlider(f->Slider_GrassWidth, d, &Driver::setGrassWidth, &Driver::setQTGrassWidth);
    wireSlider(f->Slider_GrassNoisePositions, d, &Driver::setGrassNoisePositions, &Driver::setQTGrassNoisePositions);
    wireSpinBox(f->SpinBox_GrassPolyg3D, d, &Driver::setGrassPolyg3D, &Driver::setQTGrassPolyg3D);
    wireSpinBox(f->SpinBox_GrassPolyg2D5, d, &Driver::setGrassPolyg2D5, &Driver::setQTGrassPolyg2D5);
    wireSlider(f->Slider_GrassDist3D, d, &Driver::setGrassRadius3D, &Driver::setQTGrassRadius3D);
    wireSlider(f->Slider_GrassDist2D5, d, &Driver::setGrassRadius2D5, &Driver::setQTGrassRadius2D5);
    wireSlider(f->Slider_GrassDist2D, d, &Driver::setGrassRadius2D, &Driver::setQTGrassRadius2D);
    QObject::connect(f->CheckBox_Texture3D, &QCheckBox::toggled, d, &Driver::setGrassTexture3D);
    wireButton(f->PushButton_Texture3D, d, &Driver::loadGrassTexture3D);
    QObject::connect(f->Slider_AntiAliasingTexture3D, &QSlider::valueChanged, d,
                     &Driver::setGrassAntiAliasingTexture3D);
    wireButton(f->PushButton_Texture2D5, d, &Driver::regenerateGrassTexture2D5);
    QObject::connect(f->Slider_AntiAliasingTexture2D5, &QSlider::valueChanged, d,
                     &Driver::setGrassAntiAliasingTexture2D5);
    fillTextureSizes(f->ComboBox_SizeTexture2D5);
    QObject::connect(f->ComboBox_SizeTexture2D5, qOverload<int>(&QComboBox::activated), d,
                     &Driver::setGrassSizeTexture2D5);
    // The driver's refresh shows the texture size here directly: activated()
    // is not emitted, so the texture is not rebuilt for nothing. The guarded
    // pointer keeps a refresh after deleteDialogs harmless.
    // A size that is none of the list's shows as no entry rather than a wrong one.
    d->showGrassTextureSize = [box = QPointer<QComboBox>(f->ComboBox_SizeTexture2D5)](int index) {
        if (box) box->setCurrentIndex(index);
    };
    QObject::connect(d, &Driver::setQTGrassTexture3D, f->CheckBox_Texture3D, &QCheckBox::setChecked);
    showValues(f->Slider_AntiAliasingTexture3D, d, &Driver::setGrassAntiAliasingTexture3D,
               &Driver::setQTGrassAntiAliasingTexture3D);
    showValues(f->Slider_AntiAliasingTexture2D5, d, &Driver::setGrassAntiAliasingTexture2D5,
               &Driver::setQTGrassAntiAliasingTexture2D5);
    wireSlider(f->Slider_crushingMaxTime, d, &Driver::setGrassCrushingMaxTime, &Driver::setQTGrassCrushingMaxTime);
    wireSlider(f->Slider_crushingDamping, d, &Driver::setGrassCrushingDamping, &Driver::setQTGrassCrushingDamping);
    wireCheck(f->CheckBox_ajustment2D5Height, d, &Driver::setGrassAjustment2D5Height,
              &Driver::setQTGrassAjustment2D5Height);
}

void connectGround(FormGround* f, Driver* d)
{
    wireSlider(f->Slider_GroundSize, d, &Driver::setGroundSize, &Driver::setQTGroundSize);
    wireSlider(f->Slider_GroundHeight, d, &Driver::setGroundHeight, &Driver::setQTGroundHeight);
    wireButton(f->PushButton_HeightMap, d, &Driver::loadGroundHeightMap);
    wireButton(f->PushButton_Texture, d, &Driver::loadGroundTexture);
}

void connectTrees(FormTrees* f, Driver* d)
{
    wireSpinBox(f->SpinBox_TreesNumber, d, &Driver::setTreesNumber, &Driver::setQTTreesNumber);
    wireButton(f->PushButton_ResetPositions, d, &Driver::resetTreesPositions);
    wireButton(f->PushButton_ResetForms, d, &Driver::resetTreesForms);
    wireButton(f->PushButton_loadARB, d, &Driver::loadARB);
    QObject::connect(f->PushButton_ShowInterface, &QPushButton::toggled, d, &Driver::showTreesInterface);
    QObject::connect(f->SpinBox_NbPgMax, qOverload<int>(&QSpinBox::valueChanged), d,
                     &Driver::setTreesNbPolygonsMax);
}

void connectWind(FormWind* f, Driver* d)
{
    wireSlider(f->Slider_BreezeSpeed, d, &Driver::setBreezeSpeed, &Driver::setQTBreezeSpeed);
    wireSlider(f->Slider_BreezePower, d, &Driver::setBreezePower, &Driver::setQTBreezePower);
    wireSlider(f->Slider_GustSpeed, d, &Driver::setGustSpeed, &Driver::setQTGustSpeed);
    wireSlider(f->Slider_GustPower, d, &Driver::setGustPower, &Driver::setQTGustPower);
    wireButton(f->PushButton_WindAddGust, d, &Driver::addWindGust);
    wireButton(f->PushButton_WindAddBlast, d, &Driver::addWindBlast);
    wireSlider(f->Slider_BlastPower, d, &Driver::setBlastPower, &Driver::setQTBlastPower);
    wireSlider(f->Slider_BlastParam, d, &Driver::setBlastParam, &Driver::setQTBlastParam);
}

} // namespace

void assembleDialogs(MyVelmoraQTDriver* driver)
{
    formScene = new FormScene;
    formGrass = new FormGrass;
    formTrees = new FormTrees;
    formGround = new FormGround;
    formWind = new FormWind;

    connectScene(formScene, driver);
    connectGrass(formGrass, driver);
    connectGround(formGround, driver);
    connectTrees(formTrees, driver);
    connectWind(formWind, driver);

    formScene->move(20, 20);
    formGrass->move(250, 20);
    formTrees->move(20, 600);
    formGround->move(785, 20);
    formWind->move(485, 20);

    // A dialog the person closed comes back with the viewer's D key.
    driver->showDialogs = [] {
        for (QDialog* dialog : std::initializer_list<QDialog*>{formGrass, formScene, formGround, formTrees, formWind})
            if (dialog) {
                dialog->show();
                dialog->raise();
            }
    };
    driver->showDialogs();
}

void deleteDialogs()
{
    delete formScene;
    formScene = nullptr;
    delete formGrass;
    formGrass = nullptr;
    delete formGround;
    formGround = nullptr;
    delete formTrees;
    formTrees = nullptr;
    delete formWind;
    formWind = nullptr;
}

FormScene* sceneDialog() { return formScene; }
FormGrass* grassDialog() { return formGrass; }
FormTrees* treesDialog() { return formTrees; }
FormGround* groundDialog() { return formGround; }
FormWind* windDialog() { return formWind; }
