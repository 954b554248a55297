#include "CaptureWindow.h"
#include "FormWebCam.h"
#include "ImageControl.h"
#include "ModalScript.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "VideoFormatDialog.h"
#include "modWebCam.h"

#include <FreeImage.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(VideoFormat)

namespace {

const QString NoWebCamText
    = QStringLiteral("Sembra non esserci alcuna WebCam installata.\r\nControllare la configurazione");

struct Still {
    int width = 0;
    int height = 0;
    int bpp = 0;
    QImage pixels;
};

// The still as written, read back with FreeImage.
Still ReadStill(const QString& path)
{
    Still still;
    FIBITMAP* bitmap = FreeImage_Load(FIF_BMP, QFile::encodeName(path).constData(), 0);
    if (!bitmap)
        return still;
    still.width = static_cast<int>(FreeImage_GetWidth(bitmap));
    still.height = static_cast<int>(FreeImage_GetHeight(bitmap));
    still.bpp = static_cast<int>(FreeImage_GetBPP(bitmap));
    still.pixels = QImage(still.width, still.height, QImage::Format_RGB32);
    for (int y = 0; y < still.height; ++y) {
        for (int x = 0; x < still.width; ++x) {
            RGBQUAD q{};
            FreeImage_GetPixelColor(bitmap, x, still.height - 1 - y, &q);
            still.pixels.setPixel(x, y, qRgb(q.rgbRed, q.rgbGreen, q.rgbBlue));
        }
    }
    FreeImage_Unload(bitmap);
    return still;
}

QImage PatternFrame(int width, int height)
{
    QImage frame(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            frame.setPixel(x, y, TestPictures::PatternColor(x, y).rgb());
    return frame;
}

} // namespace

class TestFormWebCam : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void choosingTheInput_data();
    void choosingTheInput();
    void noWebCam();
    void previewSettlesThenConnects();
    void stillStretchesTheFrame_data();
    void stillStretchesTheFrame();
    void stillKeepsEveryPixel();
    void noStill_data();
    void noStill();
    void okBeforeTheFirstFrame();
    void stillThatCannotBeWritten();
    void formatDialog_data();
    void formatDialog();
    void formatText_data();
    void formatText();

private:
    QString workFile() const { return env_->file(QStringLiteral("FILE.BMP")); }

    std::unique_ptr<TestEnvironment> env_;
    int settle_ = 0;
};

void TestFormWebCam::initTestCase()
{
    settle_ = modWebCam::SettleMilliseconds;
    modWebCam::SettleMilliseconds = 0;
}

void TestFormWebCam::cleanupTestCase()
{
    modWebCam::SettleMilliseconds = settle_;
}

void TestFormWebCam::init()
{
    env_ = std::make_unique<TestEnvironment>();
    env_->camera().inputs = QStringList{QStringLiteral("Integrated Camera")};
}

void TestFormWebCam::cleanup()
{
    env_.reset();
}

void TestFormWebCam::choosingTheInput_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::newRow("one input, no setting, blanks trimmed")
        << QStringList{"  Integrated Camera  "} << "" << 0 << "Integrated Camera";
    QTest::newRow("setting matches the second")
        << QStringList{"Cam A", "Cam B"} << "Cam B" << 1 << "Cam B";
    QTest::newRow("setting differs only in letter case")
        << QStringList{"Cam A", "Cam B"} << "cam b" << 0 << "Cam A";
    QTest::newRow("setting matches the trimmed description")
        << QStringList{"Cam A", " Cam B "} << "Cam B" << 1 << "Cam B";
    QTest::newRow("setting names no installed input")
        << QStringList{"Cam A", "Cam B"} << "Cam C" << 0 << "Cam A";
    QTest::newRow("two inputs with the same description")
        << QStringList{"Other", "USB Camera", "USB Camera"} << "USB Camera" << 1 << "USB Camera";
}

void TestFormWebCam::choosingTheInput()
{
    QFETCH(QStringList, inputs);
    QFETCH(QString, setting);
    QFETCH(int, index);
    QFETCH(QString, caption);
    env_->camera().inputs = inputs;
    if (!setting.isEmpty())
        env_->settings().write(QStringLiteral("WebCam"), setting);

    FormWebCam window(env_->services());
    QVERIFY(env_->dialogs().messages.isEmpty());
    QVERIFY(!window.NoCam);
    QCOMPARE(window.windowTitle(), caption);
    QCOMPARE(env_->camera().startedIndexes, QList<int>{index});
    QCOMPARE(modWebCam::CamIndex, index);
    QCOMPARE(window.List1->count(), inputs.size());
    QCOMPARE(window.List1->item(index)->text(), caption);
    // Choosing reads the setting and never writes it.
    QCOMPARE(env_->settings().read(QStringLiteral("WebCam")), setting);
}

void TestFormWebCam::noWebCam()
{
    env_->camera().inputs.clear();
    FormWebCam window(env_->services());
    QCOMPARE(env_->dialogs().messages.size(), 1);
    const RecordedMessage& m = env_->dialogs().messages.first();
    QCOMPARE(m.text, NoWebCamText);
    QCOMPARE(m.icon, MessageIcon::Information);
    QCOMPARE(m.title, QStringLiteral("Ritrax"));
    QVERIFY(window.NoCam);
    QVERIFY(env_->camera().startedIndexes.isEmpty());

    // The window does not stay on screen, whichever way it is shown.
    QVERIFY(!window.Run());
    window.show();
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(!QFile::exists(workFile()));
}

void TestFormWebCam::previewSettlesThenConnects()
{
    modWebCam::SettleMilliseconds = 30;
    bool eventsFlowed = false;
    bool started = false;
    QTimer::singleShot(5, [&] { eventsFlowed = !started; });
    QRect windowAtStart;
    QElapsedTimer clock;
    env_->camera().onStart = [&](int) {
        started = true;
        if (modWebCam::hHwnd)
            windowAtStart = modWebCam::hHwnd->geometry();
    };
    clock.start();
    FormWebCam window(env_->services());
    modWebCam::SettleMilliseconds = 0;

    QVERIFY(clock.elapsed() >= 30);
    QVERIFY(eventsFlowed);
    // The capture window was made first, at its first size, then fitted to
    // the preview area once connected.
    QCOMPARE(windowAtStart, QRect(0, 0, 320, 240));
    QVERIFY(modWebCam::hHwnd);
    QCOMPARE(modWebCam::hHwnd->parentWidget(), window.Picture1);
    QCOMPARE(modWebCam::hHwnd->geometry(), QRect(0, 0, 640, 480));
    QVERIFY(modWebCam::hHwnd->scale());
    QCOMPARE(env_->camera().lastFrameInterval, 66);
}

void TestFormWebCam::stillStretchesTheFrame_data()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::newRow("quarter size") << QSize(320, 240);
    QTest::newRow("wide, 16:9") << QSize(1280, 720);
    QTest::newRow("tall, odd size") << QSize(101, 301);
    QTest::newRow("small") << QSize(16, 12);
}

void TestFormWebCam::stillStretchesTheFrame()
{
    QFETCH(QSize, frameSize);
    env_->camera().frame = ScriptedCamera::QuadrantFrame(frameSize.width(), frameSize.height());
    FormWebCam window(env_->services());
    window.OkP_Click();
    QVERIFY(window.StillTaken());
    QCOMPARE(window.result(), int(QDialog::Accepted));
    QVERIFY(env_->dialogs().messages.isEmpty());

    const Still still = ReadStill(workFile());
    QCOMPARE(still.width, 640);
    QCOMPARE(still.height, 480);
    QCOMPARE(still.bpp, 24);
    // Each quadrant of the frame covers a quadrant of the still: stretched,
    // neither cropped nor bordered. The frame's halves end where the
    // frame's own size puts them once stretched.
    const double splitX = (frameSize.width() / 2) * 640.0 / frameSize.width();
    const double splitY = (frameSize.height() / 2) * 480.0 / frameSize.height();
    // Beside a split the smoothing blends over about one frame pixel.
    const int marginX = 2 + 640 / frameSize.width();
    const int marginY = 2 + 480 / frameSize.height();
    const QList<QPair<QPoint, QColor>> samples{
        {{2, 2}, ScriptedCamera::QuadrantColor(false, false)},
        {{637, 2}, ScriptedCamera::QuadrantColor(true, false)},
        {{2, 477}, ScriptedCamera::QuadrantColor(false, true)},
        {{637, 477}, ScriptedCamera::QuadrantColor(true, true)},
        {{int(splitX) - marginX, int(splitY) - marginY}, ScriptedCamera::QuadrantColor(false, false)},
        {{int(splitX) + marginX, int(splitY) + marginY}, ScriptedCamera::QuadrantColor(true, true)},
    };
    for (const auto& [point, colour] : samples)
        QCOMPARE(QColor(still.pixels.pixel(point)), colour);
    QCOMPARE(window.Image1->picture().size(), QSize(640, 480));
}

void TestFormWebCam::stillKeepsEveryPixel()
{
    // A frame of the preview's own size comes out pixel for pixel: no row
    // turned over, no channel swapped, nothing shifted.
    const QImage frame = PatternFrame(640, 480);
    env_->camera().frame = frame;
    FormWebCam window(env_->services());
    window.OkP_Click();
    const Still still = ReadStill(workFile());
    QCOMPARE(still.pixels.size(), QSize(640, 480));
    QCOMPARE(still.pixels, frame);
}

void TestFormWebCam::noStill_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("EsciP") << "esci" << QStringList();
    QTest::newRow("close box") << "close" << QStringList();
    QTest::newRow("OkP after a failed start") << "failed" << QStringList{"Errore su WM_CAP_DRIVER_CONNECT"};
    QTest::newRow("OkP after the webcam was lost") << "lost" << QStringList();
}

void TestFormWebCam::noStill()
{
    QFETCH(QString, way);
    QFETCH(QStringList, messages);
    const QByteArray before("an older source picture");
    QVERIFY(TestPictures::WriteBytes(workFile(), before));
    env_->camera().failStart = way == QLatin1String("failed");

    FormWebCam window(env_->services());
    window.show();
    if (way == QLatin1String("failed")) {
        // The window stays open on an empty preview area.
        QVERIFY(!modWebCam::hHwnd);
        QVERIFY(window.isVisible());
    }
    if (way == QLatin1String("lost"))
        env_->camera().lose();
    if (way == QLatin1String("esci"))
        window.EsciP_Click();
    else if (way == QLatin1String("close"))
        window.close();
    else
        window.OkP_Click();

    QVERIFY(!window.isVisible());
    QVERIFY(!window.StillTaken());
    QCOMPARE(TestPictures::ReadBytes(workFile()), before);
    QVERIFY(!env_->camera().isRunning());
    QVERIFY(!modWebCam::hHwnd);
    QStringList shown;
    for (const RecordedMessage& m : env_->dialogs().messages) {
        shown << m.text;
        QCOMPARE(m.icon, MessageIcon::None);
    }
    QCOMPARE(shown, messages);
}

void TestFormWebCam::okBeforeTheFirstFrame()
{
    env_->camera().frame = QImage();
    FormWebCam window(env_->services());
    window.show();
    window.OkP_Click();
    QCOMPARE(env_->dialogs().messages.size(), 1);
    QCOMPARE(env_->dialogs().messages.first().icon, MessageIcon::Information);
    QVERIFY(window.isVisible());
    QVERIFY(!QFile::exists(workFile()));

    env_->camera().sendFrame(ScriptedCamera::QuadrantFrame(320, 240));
    window.OkP_Click();
    QVERIFY(window.StillTaken());
    QCOMPARE(ReadStill(workFile()).width, 640);
}

void TestFormWebCam::stillThatCannotBeWritten()
{
    QVERIFY(QDir(env_->programFolder()).mkdir(QStringLiteral("FILE.BMP")));
    FormWebCam window(env_->services());
    window.show();
    window.OkP_Click();
    QCOMPARE(env_->dialogs().messages.size(), 1);
    const RecordedMessage& m = env_->dialogs().messages.first();
    QCOMPARE(m.icon, MessageIcon::Critical);
    QCOMPARE(m.text, QStringLiteral("Impossibile salvare l'immagine acquisita:\r\n") + workFile());
    // The operator may try again or leave; the preview goes on.
    QVERIFY(window.isVisible());
    QVERIFY(!window.StillTaken());
    QVERIFY(env_->camera().isRunning());
}

void TestFormWebCam::formatDialog_data()
{
    QTest::addColumn<int>("formats");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<QList<int>>("applied");
    QTest::addColumn<QString>("message");
    QTest::newRow("another format chosen") << 3 << false << QList<int>{2} << "";
    QTest::newRow("format refused") << 3 << true << QList<int>{2}
                                    << "La WebCam non accetta il formato video scelto.";
    QTest::newRow("no formats offered") << 0 << false << QList<int>()
                                        << "La WebCam non offre formati video da scegliere.";
}

void TestFormWebCam::formatDialog()
{
    QFETCH(int, formats);
    QFETCH(bool, refuse);
    QFETCH(QList<int>, applied);
    QFETCH(QString, message);
    ScriptedCamera& camera = env_->camera();
    for (int i = 0; i < formats; ++i)
        camera.formats << VideoFormat{320 * (i + 1), 240 * (i + 1), 30.0, 30.0, QStringLiteral("YUYV")};
    camera.currentFormat = formats > 0 ? 0 : -1;
    camera.refuseFormat = refuse;

    FormWebCam window(env_->services());
    window.show();
    int preselected = -2;
    QWidget* owner = nullptr;
    ModalScript script("VideoFormatDialog", [&](QWidget* w) {
        owner = w->parentWidget();
        auto* dialog = static_cast<VideoFormatDialog*>(w);
        preselected = dialog->chosenIndex();
        dialog->list()->setCurrentRow(2);
        dialog->accept();
    });
    window.CfgP_Click();

    QCOMPARE(script.acted(), formats > 0);
    if (formats > 0) {
        QCOMPARE(preselected, 0);
        QCOMPARE(owner, &window);
    }
    QCOMPARE(camera.appliedFormats, applied);
    QStringList shown;
    for (const RecordedMessage& m : env_->dialogs().messages)
        shown << m.text;
    QCOMPARE(shown, message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(camera.isRunning());
}

void TestFormWebCam::formatText_data()
{
    QTest::addColumn<VideoFormat>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("one rate") << VideoFormat{640, 480, 30.0, 30.0, "YUYV"} << "640 × 480, 30 fotogrammi/s, YUYV";
    QTest::newRow("range of rates") << VideoFormat{1280, 720, 5.0, 30.0, "Jpeg"}
                                    << "1280 × 720, 5-30 fotogrammi/s, Jpeg";
    QTest::newRow("fractional rate, no encoding")
        << VideoFormat{640, 480, 29.97, 29.97, ""} << "640 × 480, 29,97 fotogrammi/s";
    QTest::newRow("rate not known") << VideoFormat{320, 240, 0.0, 0.0, "NV12"} << "320 × 240, NV12";
}

void TestFormWebCam::formatText()
{
    QFETCH(VideoFormat, format);
    QFETCH(QString, text);
    QCOMPARE(VideoFormatDialog::FormatText(format), text);
}

RITRAX_TEST(TestFormWebCam)
#include "tst_formwebcam.moc"
