// The five dialogs wired to the real driver, started as the program starts.
#include "app/dialogs/forms.h"
#include "app/rock.h"
#include "app/scene_file.h"
#include "app/scene_state.h"
#include "ground/ground.h"
#include "wind/director.h"
#include "wind/wind.h"
#include "tests/dialogs/program_windows.h"

#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QRegularExpression>
#include <climits>
#include <cstring>
#include <memory>
#include <string>

namespace {

QList<QDialog*> dialogs() { return {sceneDialog(), grassDialog(), treesDialog(), groundDialog(), windDialog()}; }

// Every value control that the driver also sets. The polygon budget has
// no way back, and the trajectory box is disabled and never refreshed.
QList<QWidget*> refreshedControls()
{
    QList<QWidget*> controls;
    for (QDialog* dialog : dialogs())
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (name == "SpinBox_NbPgMax" || name == "CheckBox_VisuTrajectory" || name == "PushButton_ShowInterface")
                continue;
            auto* button = qobject_cast<QAbstractButton*>(w);
            if (qobject_cast<QAbstractSlider*>(w) || qobject_cast<QSpinBox*>(w) || (button && button->isCheckable()))
                controls << w;
        }
    return controls;
}

int valueOf(QWidget* w) { return w->property(qobject_cast<QAbstractButton*>(w) ? "checked" : "value").toInt(); }

// The values the driver sends to the dialogs, in signal order.
QList<QVariant> refreshValues()
{
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    const QMetaObject* meta = theDriver->metaObject();
    for (int k = 0; k < meta->methodCount(); ++k)
        if (meta->method(k).methodType() == QMetaMethod::Signal && meta->method(k).name().startsWith("setQT"))
            spies.push_back(std::make_unique<QSignalSpy>(theDriver, meta->method(k)));
    theDriver->loadQTInterface();
    QList<QVariant> values;
    for (const auto& spy : spies)
        for (const QList<QVariant>& call : *spy) values << call;
    return values;
}

// Whether the scene holds what the dialogs show: every control's value sent
// to its slot, as if the person set it, changes nothing the driver sends back.
bool dialogsAgreeWithTheScene()
{
    const QList<QVariant> before = refreshValues();
    for (QWidget* w : refreshedControls())
        if (qobject_cast<QAbstractButton*>(w))
            QMetaObject::invokeMethod(w, "toggled", Q_ARG(bool, valueOf(w)));
        else
            QMetaObject::invokeMethod(w, "valueChanged", Q_ARG(int, valueOf(w)));
    return refreshValues() == before &&
           grassDialog()->ComboBox_SizeTexture2D5->currentIndex() == theDriver->grassTextureSizeIndex();
}

// Acts on the next modal window to open (a file dialog, a message box), as a person would.
void onNextModal(std::function<void(QWidget*)> act)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        act(modal);
    });
    poll->start(20);
}

// In the next file dialog: goes to `folder`, types `name` and presses Return.
void typeInFileDialog(const QString& folder, const QString& name)
{
    onNextModal([=](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_TRUE(dialog);
        dialog->setDirectory(folder);
        QLineEdit* field = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_TRUE(field);
        QTest::keyClicks(field, name);
        QTest::keyClick(field, Qt::Key_Return);
    });
}

// The text of the next message box, which is then closed.
std::shared_ptr<QString> readNextMessageBox()
{
    auto text = std::make_shared<QString>();
    onNextModal([text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_TRUE(box);
        *text = box->text();
        box->accept();
    });
    return text;
}

class DialogsTest : public testing::Test {
protected:
    void SetUp() override
    {
        scene::resetSceneState();
        rock::resetRock();
        openProgramWindows(780, 580, 1);
        QApplication::exec();
    }
    void TearDown() override { closeWindows(); }

    // A different value that the slot can store exactly enough to come back:
    // ten steps away, or the other state of a check box.
    static void change(QWidget* w)
    {
        const int v = valueOf(w);
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            b->setChecked(!v);
        else
            w->setProperty("value", v + 10 <= w->property("maximum").toInt() ? v + 10 : v - 10);
    }
};

TEST_F(DialogsTest, EveryControlReachesItsSlotAndComesBack)
{
    const QList<QWidget*> controls = refreshedControls();
    ASSERT_EQ(controls.size(), 45);
    for (QWidget* w : controls) {
        const std::string name = w->objectName().toStdString();
        const int old = valueOf(w);
        {
            // Moved without telling the driver: the refresh puts the driver's value back.
            const QSignalBlocker quiet(w);
            change(w);
        }
        ASSERT_NE(valueOf(w), old) << name;
        theDriver->loadQTInterface();
        EXPECT_EQ(valueOf(w), old) << name << ": not refreshed from the driver";

        // Moved for real: the slot keeps the value, so the refresh sends it back unchanged.
        change(w);
        const int moved = valueOf(w);
        theDriver->loadQTInterface();
        EXPECT_EQ(valueOf(w), moved) << name << ": the driver did not take it";
    }
}

TEST_F(DialogsTest, ControlsApplyTheirScale)
{
    FormScene* s = sceneDialog();
    FormGrass* g = grassDialog();
    const GrassField& grass = scene::grassField();
    struct Case {
        QWidget* control;
        int value;
        std::function<float()> parameter;
        float expected;
    };
    const Case cases[] = {
        {s->Slider_DT, 1, [] { return scene::animation_dt; }, 0.001f},
        {s->Slider_RockSize, 250, [] { return rock::state().rockSize; }, 2.5f},
        {s->Slider_RockCrushingPropagation, 30, [] { return rock::record().crushingPropagation; }, 0.03f},
        {s->CheckBox_RockMvtAuto, 1, [] { return float(rock::state().direct); }, 0.0f},
        {g->Slider_GrassWidth, 150, [&] { return grass.getWidth(); }, 0.015f},
        {g->Slider_crushingDamping, 35, [&] { return grass.getCrushingDamping(); }, 3.5f},
        {g->Slider_AntiAliasingTexture2D5, 7, [&] { return grass.getAntialiasing2D5(); }, 0.7f},
        {groundDialog()->Slider_GroundSize, 50, [] { return groundSizeX(); }, 12.5f},
        {groundDialog()->Slider_GroundHeight, 40, [] { return groundMaxHeight(); }, 1.0f},
        {treesDialog()->SpinBox_NbPgMax, 20000, [] { return float(forestPolygonBudget()); }, 20000.0f},
        {windDialog()->Slider_BlastParam, 1, [] { return windGetBlastParam(); }, 0.001f},
    };
    for (const Case& c : cases) {
        c.control->setProperty(qobject_cast<QAbstractButton*>(c.control) ? "checked" : "value", c.value);
        EXPECT_NEAR(c.parameter(), c.expected, 1e-6f) << c.control->objectName().toStdString();
    }
    emit g->ComboBox_SizeTexture2D5->activated(7);
    EXPECT_EQ(grass.getSizeX2D5() * 1000 + grass.getSizeY2D5(), 1024064);
}

TEST_F(DialogsTest, StartButtonFollowsTheAnimation)
{
    QPushButton* start = sceneDialog()->PushButton_Start;
    const bool before = scene::animation;
    start->click();
    EXPECT_TRUE(scene::animation != before && start->isChecked() == scene::animation);

    // Return in the viewer toggles the animation and the button with it.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(theViewer, &press);
    EXPECT_TRUE(scene::animation == before && start->isChecked() == scene::animation);
}

// A person at the real windows: types over a field and presses Return, saves
// the scene into a folder of their own and loads it back, is told why a load
// and a save failed, brings a closed dialog back with D and closes the viewer.
TEST_F(DialogsTest, APersonTypesSavesAnywhereLoadsBackAndClosesTheViewer)
{
    QSpinBox* number = treesDialog()->SpinBox_TreesNumber;
    number->setValue(9);
    const std::vector<TreeRecord> nine = getTrees();
    QSignalSpy typed(number, qOverload<int>(&QSpinBox::valueChanged));
    number->setFocus();
    number->selectAll();
    QTest::keyClicks(number, "20");
    QTest::keyClick(number, Qt::Key_Return);
    // The typed 20 reaches the slot once: no pass through 2, which would keep only two trees.
    ASSERT_EQ(typed.count(), 1);
    EXPECT_EQ(typed[0][0].toInt(), 20);
    const std::vector<TreeRecord> twenty = getTrees();
    ASSERT_EQ(twenty.size(), 20u);
    for (int k = 0; k < 9; ++k)
        EXPECT_TRUE(std::memcmp(&twenty[k], &nine[k], sizeof(TreeRecord)) == 0) << "tree " << k;

    QTemporaryDir folder;
    sceneDialog()->Slider_RockSize->setValue(250);
    typeInFileDialog(folder.path(), "mine");
    QTest::mouseClick(sceneDialog()->PushButton_SaveScene, Qt::LeftButton);
    ASSERT_TRUE(QFileInfo::exists(folder.filePath("mine.xml")));
    sceneDialog()->Slider_RockSize->setValue(50);
    typeInFileDialog(folder.path(), "mine.xml");
    QTest::mouseClick(sceneDialog()->PushButton_LoadScene, Qt::LeftButton);
    EXPECT_EQ(sceneDialog()->Slider_RockSize->value(), 250) << "the scene saved outside Scene/ loads back";
    EXPECT_FLOAT_EQ(rock::state().rockSize, 2.5f);

    theDriver->failuresInWindow = true;
    QFile broken(folder.filePath("broken.xml"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("<scene>") && broken.flush());
    typeInFileDialog(folder.path(), "broken.xml");
    std::shared_ptr<QString> message = readNextMessageBox();
    QTest::mouseClick(sceneDialog()->PushButton_LoadScene, Qt::LeftButton);
    EXPECT_TRUE(message->contains("broken.xml") && message->contains("parser error")) << message->toStdString();
    // A link into a folder that is gone: the save cannot make its file there.
    ASSERT_TRUE(QFile::link(folder.filePath("gone/lost.xml"), folder.filePath("lost.xml")));
    typeInFileDialog(folder.path(), "lost.xml");
    message = readNextMessageBox();
    QTest::mouseClick(sceneDialog()->PushButton_SaveScene, Qt::LeftButton);
    EXPECT_TRUE(message->contains("lost.xml") && message->contains("No such file")) << message->toStdString();

    treesDialog()->close();
    QTest::keyClick(theViewer, Qt::Key_D);
    for (QDialog* d : dialogs()) EXPECT_TRUE(d->isVisible()) << d->windowTitle().toStdString();

    // With no window left open the program's event loop ends.
    theViewer->close();
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString() << " stays open";
}

// Return in a field applies the field and nothing else: no button is the
// dialog's default, so none is pressed (a file dialog, the tree panel).
TEST_F(DialogsTest, ReturnInAnyFieldPressesNoButton)
{
    std::vector<std::unique_ptr<QSignalSpy>> clicks;
    for (QDialog* d : dialogs())
        for (QPushButton* button : d->findChildren<QPushButton*>())
            clicks.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    int opened = 0;
    QTimer closer;  // a file dialog opened by mistake must not stop the test
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) ++opened, modal->close();
    });
    closer.start(20);
    int fields = 0;
    for (QDialog* d : dialogs())
        for (QSpinBox* box : d->findChildren<QSpinBox*>()) {
            ++fields;
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Return);
        }
    EXPECT_EQ(fields, 7);
    EXPECT_EQ(opened, 0);
    for (const auto& spy : clicks) EXPECT_EQ(spy->count(), 0) << spy->signal().constData();
    EXPECT_FALSE(treesDialog()->PushButton_ShowInterface->isChecked());
}

// Every slider, spin box and check box says what it sets and its current
// value in the scene's units, and follows the value.
TEST_F(DialogsTest, TooltipsSayWhatEachControlSetsAndItsValue)
{
    for (QDialog* d : dialogs())
        for (QWidget* w : d->findChildren<QWidget*>()) {
            const bool value = qobject_cast<QAbstractSlider*>(w) || qobject_cast<QSpinBox*>(w) || qobject_cast<QCheckBox*>(w);
            EXPECT_TRUE(!value || w->toolTip().contains(": ")) << w->objectName().toStdString();
        }
    const struct {
        QWidget* control;
        int value;
        const char* tip;
    } cases[] = {
        {sceneDialog()->Slider_RockSize, 100, "Rock size: 1.00 m"},           // 100 × 0.01 m
        {sceneDialog()->Slider_RockSize, 250, "Rock size: 2.50 m"},
        {sceneDialog()->Slider_DT, 1, "Animation step per frame: 0.001 s"},  // 1 × 0.001 s
        {groundDialog()->Slider_GroundSize, 50, "Ground side: 12.50 m"},     // 50 × 0.25 m
        {grassDialog()->Slider_GrassWidth, 150, "Blade width: 0.0150 m"},    // 150 × 0.0001 m
        {grassDialog()->SpinBox_NbMaxGrassesPerPatche, 12, "Grass density: 12 blades/m²"},
        {sceneDialog()->CheckBox_VisuSky, 1, "Draw the sky: on"},
        {sceneDialog()->CheckBox_VisuSky, 0, "Draw the sky: off"},
    };
    for (const auto& c : cases) {
        c.control->setProperty(qobject_cast<QAbstractButton*>(c.control) ? "checked" : "value", c.value);
        EXPECT_EQ(c.control->toolTip(), QString::fromUtf8(c.tip));
    }
}

TEST_F(DialogsTest, OutOfRangeValuesClampAndFlowBack)
{
    theDriver->setGrassRadius3D(150);
    theDriver->setTreesNumber(300);
    theDriver->loadQTInterface();
    EXPECT_EQ(grassDialog()->Slider_GrassDist3D->value(), 100);
    EXPECT_FLOAT_EQ(scene::grassField().getDistance3D(), 100.0f);
    EXPECT_EQ(treesDialog()->SpinBox_TreesNumber->value(), forestTreeCount());
    EXPECT_LE(forestTreeCount(), 255);
}

// Whether two attribute texts hold the same numbers to a relative `tolerance`, or else the same text.
bool sameValue(const QString& expected, const QString& actual, double tolerance)
{
    const QStringList x = expected.split(' '), y = actual.split(' ');
    bool same = x.size() == y.size();
    for (int i = 0; same && i < x.size(); ++i) {
        bool number = false;
        const double p = x[i].toDouble(&number), q = y[i].toDouble();
        same = number ? std::fabs(p - q) <= tolerance * std::fmax(1.0, std::fabs(p)) : x[i] == y[i];
    }
    return same;
}

// The file's attributes in document order, as name and value.
QList<QRegularExpressionMatch> attributes(const QString& file)
{
    QFile in(file);
    EXPECT_TRUE(in.open(QIODevice::ReadOnly)) << file.toStdString();
    QList<QRegularExpressionMatch> list;
    for (auto it = QRegularExpression("(\\w+)=\"([^\"]*)\"").globalMatch(in.readAll()); it.hasNext();)
        list << it.next();
    return list;
}

TEST_F(DialogsTest, StartSceneKeepsItsOwnValuesThroughTheControls)
{
    QTemporaryDir folder;
    const QString saved = folder.filePath("started.xml");
    ASSERT_TRUE(saveSceneFile(saved.toLocal8Bit().constData()));
    const QList<QRegularExpressionMatch> init = attributes("Scene/init.xml"), now = attributes(saved);
    ASSERT_EQ(init.size(), now.size());
    for (int k = 0; k < init.size(); ++k) {
        const QString name = init[k].captured(1);
        // The first frame has moved the rock a little.
        EXPECT_TRUE(now[k].captured(1) == name && sameValue(init[k].captured(2), now[k].captured(2),
                                                            name == "position" ? 0.1 : 1e-4))
            << name.toStdString() << ": init.xml says " << init[k].captured(2).toStdString() << ", the scene holds "
            << now[k].captured(0).toStdString();
    }
}

TEST_F(DialogsTest, DialogsStandWhereAndAsTitledAndGoCleanly)
{
    const QPoint places[] = {{20, 20}, {250, 20}, {20, 600}, {785, 20}, {485, 20}};
    const char* titles[] = {"Scene", "Grass", "Trees", "Ground", "Wind"};
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(dialogs()[k]->pos() == places[k] && dialogs()[k]->windowTitle() == titles[k] &&
                    dialogs()[k]->isVisible()) << titles[k];
    EXPECT_FALSE(sceneDialog()->CheckBox_VisuTrajectory->isEnabled());

    deleteDialogs();
    for (QDialog* d : dialogs()) EXPECT_EQ(d, nullptr);
    theDriver->loadQTInterface();  // a refresh with the dialogs gone touches nothing
}

// A scene whose camera, rock, ground, wind, grass and trees carry these attributes.
QByteArray sceneWith(const char* camera, const char* rock, const char* ground, const char* wind, const char* grass,
                     const char* trees)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE scene SYSTEM \"sceneVelmora.dtd\">\n<scene><parameters "
                          "animation=\"true\" draw_grass=\"true\" draw_trees=\"true\" draw_gust=\"true\" "
                          "draw_sky=\"true\"><camera %1/><rock %2/></parameters><velmora><ground %3/><wind %4/>"
                          "<grass %5/><forest arb=\"ForestData/arb03.arb\">%6</forest></velmora></scene>\n")
        .arg(camera, rock, ground, wind, grass, trees)
        .toUtf8();
}

// Scene files with hostile numbers, run one after another as the program
// runs them (each in a folder without the document type, as a person's own).
TEST(HostileScene, RunsFiniteFastAndTheDialogsShowWhatTheSceneHolds)
{
    scene::resetSceneState();
    rock::resetRock();
    openProgramWindows(320, 240, INT_MAX);
    drawFrames(1);

    QFile everySection(VELMORA_SOURCE_DIR "/tests/dialogs/hostile_scene.xml");
    ASSERT_TRUE(everySection.open(QIODevice::ReadOnly));
    const struct {
        const char* name;
        QByteArray text;
    } files[] = {
        {"±1e30, 1e39, nan, inf, \"\" and 0x10 in every section", everySection.readAll()},
        // Squared distances to this camera overflow a float.
        {"huge camera", sceneWith("position=\"1e38 -1e38 3.4e38\"", "", "", "", "", "")},
        {"refused camera numbers", sceneWith("position=\"nan inf -inf\" orientation=\"0 0 0 1\"", "", "", "", "", "")},
        // 32768 × 8192 took minutes to build; 1024 × 256 is the largest taken,
        // here with the sparsest blades, which need the most colour passes.
        {"huge texture", sceneWith("", "", "", "", "sizex_texture2D5=\"32768\" sizey_texture2D5=\"8192\"", "")},
        {"largest texture", sceneWith("", "", "", "", "sizex_texture2D5=\"1024\" sizey_texture2D5=\"256\" "
                                                      "number_squaremeters=\"0\"", "")},
        // 40000 wraps to −25536 in 16 bits; 100 is beyond its field's 99.
        {"density beyond 16 bits", sceneWith("", "", "", "", "number_squaremeters=\"40000\"", "")},
        {"density beyond the field", sceneWith("", "", "", "", "number_squaremeters=\"100\" patches_number=\"1000 3\"", "")},
        {"negative sizes and counts",
         sceneWith("position=\"-5 -5 -5\"", "size=\"-1\" speed=\"-2\" position=\"-10 -10\"",
                   "area=\"0 0 -50 -50\" max_height=\"-5\" quads_number=\"-400\"",
                   "area=\"0 0 -100 -100\" breeze_speed=\"-1\" gust_power=\"-5\"",
                   "patches_number=\"-5 -5\" lod_3D=\"-3 -1\" number_squaremeters=\"-10\" "
                   "sizex_texture2D5=\"-512\" sizey_texture2D5=\"-64\"",
                   "<tree position2d=\"-5 -5\" seed=\"-1\" relativeDiameter=\"-1\" relativeLength=\"-1\"/>")},
    };
    QTemporaryDir folder;
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const QString file = folder.filePath("hostile.xml");
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(f.text) == f.text.size());
        out.close();
        const qglviewer::Vec cameraBefore = theViewer->camera()->position();
        QElapsedTimer took;
        took.start();
        testing::internal::CaptureStdout();
        EXPECT_TRUE(loadSceneFile(file.toLocal8Bit().constData()));
        const std::string lines = testing::internal::GetCapturedStdout();
        theDriver->loadQTInterface();
        drawFrames(1);  // the textures are built here
        EXPECT_LT(took.elapsed(), 5000) << "to load and draw the first frame";
        if (std::strstr(f.name, "refused camera")) {
            EXPECT_EQ(theViewer->camera()->position(), cameraBefore);
        }
        if (std::strstr(f.name, "huge texture")) {
            EXPECT_NE(lines.find("refused for sizex_texture2D5:"), std::string::npos) << lines;
        }

        theDriver->addWindGust();
        theDriver->addWindBlast();
        drawFrames(200);
        ASSERT_TRUE(scene::animation);
        const god_of_gusts& d = windDirector();
        EXPECT_EQ(d.not_born().size() + d.alive().size() + d.dead().size(), 2u);
        windDirector().delete_all_primitives();

        const GrassField& grass = scene::grassField();
        bool nodes = true, patches = true, crushPoints = true;
        for (int i = 0; i <= grass.getPatchesX(); ++i)
            for (int j = 0; j <= grass.getPatchesY(); ++j) {
                const GrassNode& n = grass.node(i, j);
                nodes = nodes && finite(n.skeleton) &&
                        finite({n.windWeight, n.windX, n.windY, n.height, n.currentHeight, n.distance});
                if (i < grass.getPatchesX() && j < grass.getPatchesY())
                    patches = patches && std::isfinite(grass.patch(i, j).distance);
            }
        for (int i = 0; i < grass.crushPointsX(); ++i)
            for (int j = 0; j < grass.crushPointsY(); ++j) {
                const CrushPoint& c = grass.crushPoint(i, j);
                crushPoints = crushPoints && finite(c.skeleton) &&
                              finite({c.z, c.dirX, c.dirY, c.totalTime, c.remainingTime, c.initialAmount, c.amount});
            }
        EXPECT_TRUE(nodes && patches && crushPoints)
            << "grass nodes " << nodes << ", patches " << patches << ", crush points " << crushPoints;
        float power, dx, dy;
        windGetInfluence(5, 5, 0, 0, 0, power, dx, dy);
        EXPECT_TRUE(finite({power, dx, dy}));
        EXPECT_TRUE(treesFinite());
        const rock::RockState& r = rock::state();
        const RockRecord& record = rock::record();
        EXPECT_TRUE(finite({r.rockPosition[0], r.rockPosition[1], r.rockPosition[2], r.rockVelocity[0],
                            r.rockVelocity[1], r.rollAngle, r.verticalSpeed, float(r.autoClock), r.rockSpeed,
                            r.rockSize}));
        EXPECT_TRUE(finite({record.crushingPower, record.crushingPowerExp, record.crushingMysteryParameter,
                            record.crushingPropagation, record.previousPosition[0], record.previousPosition[1],
                            record.previousPosition[2], record.currentPosition[0], record.currentPosition[1],
                            record.currentPosition[2]}));
        EXPECT_TRUE(dialogsAgreeWithTheScene());
    }
    // The first file's huge values show as their controls' maxima, its hugely
    // negative ones as their minima: each a limit the scene now holds.
    EXPECT_EQ(grassDialog()->SpinBox_NbMaxGrassesPerPatche->value(), 0);
    EXPECT_EQ(scene::grassField().getBladesPerSquareMetre(), 0);
    closeWindows();
}

} // namespace
