// The program run headless as a user starts it: its last picture against the
// reference, videos and picture sequences checked with ffmpeg's own tools,
// their failures; and the record key in the viewer.
#include "app/recorder.h"
#include "tests/app/built_in_scene.h"
#include "tests/support/frames.h"
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <climits>
#include <csignal>
#include <functional>
#include <map>

namespace {

struct ProgramRun {
    int status = -1;
    bool crashed = true;
    QStringList messages;  // the program's own lines on standard error
};

// The program in the run folder, as a user starts it; `during` runs while it goes.
ProgramRun runProgram(const QStringList& args,
                      const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                      const std::function<void(QProcess&)>& during = {})
{
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(VELMORA_PROGRAM, args);
    ProgramRun run;
    if (!program.waitForStarted()) return run;
    if (during) during(program);
    program.waitForFinished(900000);
    run.status = program.exitCode();
    run.crashed = program.exitStatus() != QProcess::NormalExit;
    for (const QString& line : QString::fromLocal8Bit(program.readAllStandardError()).split('\n'))
        if (line.startsWith("velmora:")) run.messages << line;
    return run;
}

// A run that went to its end but reports failure, with one message holding each of `expected`.
void expectFailureMessages(const ProgramRun& run, const QStringList& expected)
{
    const std::string all = run.messages.join('\n').toStdString();
    ASSERT_FALSE(run.crashed);
    EXPECT_EQ(run.status, 1) << all;
    ASSERT_EQ(run.messages.size(), expected.size()) << all;
    for (const QString& text : expected) EXPECT_EQ(run.messages.filter(text).size(), 1) << text.toStdString() << all;
}

// What ffprobe says of the video stream, after decoding every frame.
std::map<QString, QString> probe(const QString& video)
{
    QProcess ffprobe;
    ffprobe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                              "stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames:format=duration",
                              "-of", "default=noprint_wrappers=1", video});
    ffprobe.waitForFinished(120000);
    std::map<QString, QString> fields;
    for (const QString& line : QString(ffprobe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        fields[line.section('=', 0, 0)] = line.section('=', 1);
    return fields;
}

// Pixels of `a` and `b` (same size) inside `area` whose colours lie further
// apart than a fifth of the range.
int differingPixels(const QImage& a, const QImage& b, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int r = qRed(p) - qRed(q), g = qGreen(p) - qGreen(q), bl = qBlue(p) - qBlue(q);
            count += r * r + g * g + bl * bl > 51 * 51;
        }
    return count;
}

// Pixels of the program's `picture` that differ by more than 8 % from the
// reference picture `reference` (its drawing before it was made faster), as
// ImageMagick counts them; -1 when it cannot compare.
long differingFromReference(const QString& picture, const char* reference)
{
    QProcess compare;
    compare.start("compare", {"-metric", "AE", "-fuzz", "8%",
                              QString(VELMORA_SOURCE_DIR "/tests/app/pictures/") + reference, picture, "null:"});
    compare.waitForFinished(120000);
    bool read = false;
    const long pixels = QString(compare.readAllStandardError()).trimmed().toLong(&read);
    // compare exits with 1 when the pictures differ at all, 2 on an error.
    return read && compare.exitStatus() == QProcess::NormalExit && compare.exitCode() <= 1 ? pixels : -1;
}

// The default scene, the camera turning about it and the dense meadow: each
// last picture matches its reference (speed-ups must not show). The first run
// also gives a video and the picture sequence, which hold the same frames.
TEST(ProgramRun, HeadlessRunGivesTheReferencePictureAVideoAndTheSamePictures)
{
    QTemporaryDir out;
    const QString video = out.filePath("meadow.mp4"), pictures = out.filePath("made/on/the/way");
    const QString snapshot = out.filePath("last.png");
    for (const auto& [options, reference] :
         {std::pair(QStringList{"--video", video, "--record", pictures}, "default_60_frames.png"),
          {QStringList{"--orbit"}, "orbit_60_frames.png"},
          {QStringList{"--scene", "Scene/denseMeadow.xml"}, "dense_60_frames.png"}}) {
        const ProgramRun run = runProgram(QStringList{"--frames", "60", "--snapshot", snapshot} + options);
        ASSERT_FALSE(run.crashed) << reference;
        EXPECT_EQ(run.status, 0) << reference << run.messages.join('\n').toStdString();
        const long pixels = differingFromReference(snapshot, reference);
        EXPECT_GE(pixels, 0) << reference;
        EXPECT_LT(pixels, 780 * 580 / 100) << reference;
    }

    std::map<QString, QString> info = probe(video);
    EXPECT_EQ(info["codec_name"] + " " + info["pix_fmt"], "h264 yuv420p");
    EXPECT_EQ(info["width"] + "x" + info["height"], "780x580");
    EXPECT_EQ(info["r_frame_rate"], "20/1") << "one frame is animation_dt = 0.05 s";
    EXPECT_EQ(info["nb_read_frames"], "60");

    QStringList expected;
    for (int i = 0; i < 60; ++i) expected << QString::asprintf("frame-%05d.png", i);
    EXPECT_EQ(QDir(pictures).entryList(QDir::Files, QDir::Name), expected);

    ASSERT_EQ(QProcess::execute("ffmpeg", {"-v", "error", "-i", video, out.filePath("decoded-%02d.png")}), 0);
    const QImage first(pictures + "/frame-00000.png"), last(pictures + "/frame-00059.png");
    const QImage decoded(out.filePath("decoded-60.png"));
    ASSERT_EQ(last.size(), decoded.size());
    // The encoding loses little in the grass, which moves far more from the first frame to the last.
    const QRect grass(0, 300, 780, 280);
    const int grassPixels = grass.width() * grass.height();
    EXPECT_LT(differingPixels(decoded, last, grass), grassPixels / 400);
    EXPECT_GT(differingPixels(first, last, grass), grassPixels * 3 / 100) << "the grass bends";
}

TEST(ProgramRun, RecordingFailuresSaySoAndTheRunGoesOn)
{
    QTemporaryDir out;
    const QString snapshot = out.filePath("last.png");
    // A folder under a plain file cannot be made, whoever runs the test.
    ASSERT_TRUE(QFile(out.filePath("plain")).open(QIODevice::WriteOnly));
    QProcessEnvironment noFfmpeg = QProcessEnvironment::systemEnvironment();
    noFfmpeg.insert("PATH", out.filePath("empty"));
    const QString video = out.filePath("v.mp4");
    expectFailureMessages(runProgram({"--frames", "3", "--video", video, "--snapshot", snapshot}, noFfmpeg),
                          {"ffmpeg program is missing (install it with \"sudo apt-get install ffmpeg\")"});
    EXPECT_FALSE(QFile::exists(video));
    EXPECT_TRUE(QFile::remove(snapshot)) << "the run went on to its last frame";

    // Alone, so that no other failure makes the run's status.
    expectFailureMessages(runProgram({"--frames", "3", "--record", out.filePath("plain/pictures")}),
                          {"cannot make the picture folder"});

    expectFailureMessages(runProgram({"--frames", "3", "--video", out.filePath("plain/v.mp4"), "--snapshot", snapshot}),
                          {"cannot write the video"});
    EXPECT_TRUE(QFile::remove(snapshot)) << "the run went on to its last frame";
}

TEST(ProgramRun, FfmpegKilledMidRunLeavesAPlayableVideoAndSaysSo)
{
    QTemporaryDir out;
    const QString video = out.filePath("cut.mp4"), snapshot = out.filePath("last.png");
    bool killed = false;
    // ffmpeg killed once it has written its first second of video.
    const ProgramRun cut = runProgram({"--frames", "100", "--video", video, "--snapshot", snapshot},
                                      QProcessEnvironment::systemEnvironment(), [&](QProcess& program) {
        const QString children = QString("/proc/%1/task/%1/children").arg(program.processId());
        QElapsedTimer waited;
        waited.start();
        while (!killed && program.state() == QProcess::Running && waited.elapsed() < 600000) {
            QFile list(children);
            const qint64 ffmpeg = list.open(QIODevice::ReadOnly) ? list.readAll().trimmed().toLongLong() : 0;
            if (ffmpeg > 0 && QFileInfo(video).size() > 30000) killed = ::kill(pid_t(ffmpeg), SIGKILL) == 0;
            QThread::msleep(20);
        }
    });
    ASSERT_TRUE(killed) << "the run ended before ffmpeg wrote a fragment";
    expectFailureMessages(cut, {"ffmpeg stopped (killed by signal 9)"});
    EXPECT_TRUE(QFile::exists(snapshot));
    std::map<QString, QString> info = probe(video);
    EXPECT_GE(info["nb_read_frames"].toInt(), 20) << "the fragments written before the kill play";
}

// Pixels of the REC mark's red in the picture's top right corner.
int redMarkPixels(const QImage& picture)
{
    int count = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = picture.width() - 80; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y);
            count += qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90;
        }
    return count;
}

// The built-in scene in a window; R starts a clip with the next frame and
// stops it. The clip has the frames drawn in between, without the REC mark.
TEST(Recording, RecordKeyStartsAndStopsAClip)
{
    BuiltInScene built;
    Viewer& viewer = built.viewer;
    viewer.stopAfterFrames(INT_MAX, QString());
    viewer.resize(321, 241);  // the clip takes the even sides
    viewer.show();
    const auto pressR = [&] { QTest::keyClick(&viewer, Qt::Key_R); };
    // The names of the coming minute are taken: each clip must find the next free one.
    QDir().mkpath("Recordings");
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s <= 60; ++s)
        QFile(now.addSecs(s).toString("'Recordings/velmora-'yyyy-MM-dd-HHmmss'.mp4'")).open(QIODevice::WriteOnly);
    drawFrames(viewer, 1);
    pressR();
    const int started = viewer.frameStats().framesDrawn();
    drawFrames(viewer, 7);
    EXPECT_GT(redMarkPixels(viewer.grabFramebuffer()), 10) << "the REC mark shows in the window";  // one more frame
    pressR();
    const int clipFrames = viewer.frameStats().framesDrawn() - started;
    // A second clip in the same second keeps the first.
    pressR();
    drawFrames(viewer, 2);
    pressR();
    drawFrames(viewer, 1);

    QStringList clips;
    for (const QFileInfo& file : QDir("Recordings").entryInfoList({"velmora-*.mp4"}, QDir::Files, QDir::Name))
        if (file.size() > 0) clips << file.fileName();
    ASSERT_EQ(clips.size(), 2) << clips.join(' ').toStdString();
    EXPECT_TRUE(clips[0].endsWith("-2.mp4")) << clips.join(' ').toStdString();
    EXPECT_TRUE(clips[1].endsWith("-2.mp4") || clips[1].endsWith("-3.mp4")) << clips.join(' ').toStdString();
    const QString clip = built.filePath("Recordings/" + clips[0]);
    std::map<QString, QString> info = probe(clip);
    EXPECT_EQ(info["width"] + "x" + info["height"], "320x240");
    EXPECT_EQ(info["nb_read_frames"].toInt(), clipFrames);
    EXPECT_DOUBLE_EQ(info["duration"].toDouble(), clipFrames * 0.05) << "the file is complete";
    const QString still = built.filePath("clip.png");
    ASSERT_EQ(QProcess::execute("ffmpeg", {"-v", "error", "-i", clip, "-frames:v", "1", still}), 0);
    EXPECT_EQ(redMarkPixels(QImage(still)), 0) << "the mark is not recorded";
}

TEST(Recording, ProgressLineGivesTheRateAndTheTimeLeft)
{
    EXPECT_EQ(recordingProgress(1, 40, 0), "recording: 1 of 40 frames");
    EXPECT_EQ(recordingProgress(7, 8, 2), "recording: 7 of 8 frames, 3.5 frames/s, 1 s left");
    EXPECT_EQ(recordingProgress(20, 80, 20), "recording: 20 of 80 frames, 1.0 frames/s, 1 min 00 s left");
}

} // namespace
