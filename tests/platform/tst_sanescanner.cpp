// The scanner layer against SANE's own "test" device, reached through a
// private SANE_CONFIG_DIR that each test fills: dll.conf naming the test
// backend (or nothing, for a machine without scanners) and a copy of the
// system's test.conf with the settings the case needs. SANE reads the
// folder's name once per process, its files at every start, so every case
// writes the files first and then makes a new SaneScanner.
// The modal dialogs are driven from timers that wait, through the event
// loop, for the dialog to be on screen.

#include "TestRegistry.h"
#include "SaneScanDialog.h"
#include "SaneScanner.h"
#include "SaneSourceDialog.h"
#include "ScriptedDialogs.h"
#include "SettingsStore.h"

#include <FreeImage.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMap>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>
#include <QTimer>

#include <cstring>
#include <functional>
#include <memory>

using Overrides = QMap<QString, QString>;

class TestSaneScanner : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void scanWritesBitmap_data();
    void scanWritesBitmap();
    void frameFormats_data();
    void frameFormats();
    void sameAsScanimage();
    void cancelBeforeScanning();
    void cancelWhileReading_data();
    void cancelWhileReading();
    void deviceBusy();
    void unwritableTarget();
    void noDevice();
    void rememberedSource();

private:
    void useTestDevice(const Overrides& overrides = {});
    void useNoDevice();
    // Opens the scan dialog of a new SaneScanner, lets prepare set it up,
    // presses "Acquisisci" and returns the result of the acquisition.
    int scan(const QString& path, const std::function<void(SaneScanDialog*)>& prepare = {});

    QTemporaryDir saneConfig_;
    std::unique_ptr<QTemporaryDir> work_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<ScriptedDialogs> dialogs_;
    bool driverTimedOut_ = false;
};

namespace {

// Waits, through the event loop, until the active modal widget is a D for
// which ready() holds, then runs action on it. After timeoutMs the dialog on
// screen is rejected so that a broken case fails instead of hanging. The
// returned timer is the watch; deleting it stops waiting.
template <class D>
QPointer<QTimer> WhenModal(const std::function<bool(D*)>& ready, const std::function<void(D*)>& action,
                           bool* timedOut, int timeoutMs = 20000)
{
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (dialog && (!ready || ready(dialog))) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
            return;
        }
        *waited += timer->interval();
        if (*waited >= timeoutMs) {
            timer->stop();
            timer->deleteLater();
            *timedOut = true;
            if (auto* any = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                any->reject();
        }
    });
    timer->start();
    return timer;
}

template <class W>
W* Child(QWidget* parent, const char* name)
{
    return parent->findChild<W*>(QString::fromLatin1(name));
}

void Choose(QComboBox* combo, const QVariant& data)
{
    const int index = combo->findData(data);
    QVERIFY2(index >= 0, qPrintable(data.toString()));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

void WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct BitmapDeleter {
    void operator()(FIBITMAP* b) const { FreeImage_Unload(b); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

Bitmap LoadBitmap(const QString& path)
{
    return Bitmap(FreeImage_Load(FIF_BMP, QFile::encodeName(path).constData(), 0));
}

// Same size, depth and pixels.
bool SamePixels(FIBITMAP* a, FIBITMAP* b)
{
    if (FreeImage_GetWidth(a) != FreeImage_GetWidth(b) || FreeImage_GetHeight(a) != FreeImage_GetHeight(b)
        || FreeImage_GetBPP(a) != FreeImage_GetBPP(b))
        return false;
    const unsigned rowBytes = FreeImage_GetLine(a);
    for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y)
        if (std::memcmp(FreeImage_GetScanLine(a, int(y)), FreeImage_GetScanLine(b, int(y)), rowBytes) != 0)
            return false;
    return true;
}

// Number of different byte values in the picture: a pattern has many, a
// page that was never filled has one.
int DistinctBytes(FIBITMAP* bitmap)
{
    bool seen[256] = {};
    int distinct = 0;
    const unsigned rowBytes = FreeImage_GetLine(bitmap);
    for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); ++y) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, int(y));
        for (unsigned x = 0; x < rowBytes; ++x)
            if (!seen[row[x]]) {
                seen[row[x]] = true;
                ++distinct;
            }
    }
    return distinct;
}

} // namespace

void TestSaneScanner::initTestCase()
{
    if (!QFile::exists(QStringLiteral("/etc/sane.d/test.conf")))
        QSKIP("SANE's test backend configuration /etc/sane.d/test.conf is missing (package libsane1)");
    QVERIFY(saneConfig_.isValid());
    // No trailing colon: the system's folder is not searched after ours.
    qputenv("SANE_CONFIG_DIR", QFile::encodeName(saneConfig_.path()));
    // SANE unloads its backends when it ends; kept loaded, whatever the test
    // device's own threads leave behind is reported under its name.
    dlopen(RITRAX_SANE_BACKEND_DIR "/libsane-test.so.1", RTLD_NOW | RTLD_NODELETE);
}

void TestSaneScanner::init()
{
    work_ = std::make_unique<QTemporaryDir>();
    settings_ = std::make_unique<SettingsStore>(work_->filePath(QStringLiteral("Kelm.ini")));
    dialogs_ = std::make_unique<ScriptedDialogs>();
    driverTimedOut_ = false;
}

void TestSaneScanner::cleanup()
{
    QVERIFY2(!driverTimedOut_, "a dialog did not reach the state the test waited for");
}

void TestSaneScanner::useTestDevice(const Overrides& overrides)
{
    WriteText(saneConfig_.filePath(QStringLiteral("dll.conf")), "test\n");
    QByteArray conf;
    const QList<QByteArray> lines = ReadAll(QStringLiteral("/etc/sane.d/test.conf")).split('\n');
    for (const QByteArray& line : lines) {
        const QString key = QString::fromUtf8(line.split(' ').first().trimmed());
        if (overrides.contains(key))
            continue;
        conf += line + '\n';
    }
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        conf += (it.key() + u' ' + it.value()).toUtf8() + '\n';
    WriteText(saneConfig_.filePath(QStringLiteral("test.conf")), conf);
}

void TestSaneScanner::useNoDevice()
{
    WriteText(saneConfig_.filePath(QStringLiteral("dll.conf")), "");
}

int TestSaneScanner::scan(const QString& path, const std::function<void(SaneScanDialog*)>& prepare)
{
    SaneScanner scanner(*settings_, *dialogs_);
    WhenModal<SaneScanDialog>({}, [prepare](SaneScanDialog* dialog) {
        if (prepare)
            prepare(dialog);
        Child<QPushButton>(dialog, "scan")->click();
    }, &driverTimedOut_);
    return scanner.TWAIN_AcquireToFilename(nullptr, path);
}

void TestSaneScanner::scanWritesBitmap_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<double>("dpi");   // 0: as preselected
    QTest::addColumn<double>("right"); // br-x in mm; 0: as the device starts
    QTest::addColumn<unsigned>("width");
    QTest::addColumn<unsigned>("height");
    QTest::addColumn<unsigned>("bpp");
    QTest::addColumn<unsigned>("dotsPerMetre");
    // The test device scans 80 x 100 mm unless told otherwise.
    QTest::newRow("colour, 300 DPI preselected") << "Color" << 0.0 << 0.0 << 944u << 1181u << 24u << 11811u;
    QTest::newRow("grey, 300 DPI") << "Gray" << 0.0 << 0.0 << 944u << 1181u << 8u << 11811u;
    QTest::newRow("colour, 100 DPI") << "Color" << 100.0 << 0.0 << 314u << 393u << 24u << 3937u;
    QTest::newRow("grey, narrower area") << "Gray" << 0.0 << 50.0 << 590u << 1181u << 8u << 11811u;
}

void TestSaneScanner::scanWritesBitmap()
{
    QFETCH(QString, mode);
    QFETCH(double, dpi);
    QFETCH(double, right);
    QFETCH(unsigned, width);
    QFETCH(unsigned, height);
    QFETCH(unsigned, bpp);
    QFETCH(unsigned, dotsPerMetre);
    // The device starts in grey at 50 DPI; the dialog must offer colour and
    // 300 DPI first.
    useTestDevice({{"mode", "Gray"}, {"resolution", "50.0"}, {"test-picture", "\"Solid white\""}});
    const QString path = work_->filePath(QStringLiteral("FILE.BMP"));
    QVariant preselectedMode;
    QVariant preselectedDpi;
    const int result = scan(path, [&](SaneScanDialog* dialog) {
        auto* modes = Child<QComboBox>(dialog, "mode");
        auto* resolutions = Child<QComboBox>(dialog, "resolution");
        preselectedMode = modes->currentData();
        preselectedDpi = resolutions->currentData();
        Choose(modes, mode);
        if (dpi > 0)
            Choose(resolutions, dpi);
        if (right > 0)
            Child<QDoubleSpinBox>(dialog, "br-x")->setValue(right);
    });
    QCOMPARE(preselectedMode.toString(), QStringLiteral("Color"));
    QCOMPARE(preselectedDpi.toDouble(), 300.0);
    QCOMPARE(result, 0);
    QCOMPARE(dialogs_->messages.size(), 0);

    QCOMPARE(FreeImage_GetFileType(QFile::encodeName(path).constData(), 0), FIF_BMP);
    const Bitmap bitmap = LoadBitmap(path);
    QVERIFY(bitmap);
    QCOMPARE(FreeImage_GetWidth(bitmap.get()), width);
    QCOMPARE(FreeImage_GetHeight(bitmap.get()), height);
    QCOMPARE(FreeImage_GetBPP(bitmap.get()), bpp);
    QCOMPARE(FreeImage_GetDotsPerMeterX(bitmap.get()), dotsPerMetre);
    QCOMPARE(FreeImage_GetDotsPerMeterY(bitmap.get()), dotsPerMetre);
    if (bpp == 8)
        QCOMPARE(FreeImage_GetColorType(bitmap.get()), FIC_MINISBLACK);
    // The white page arrived: no byte of it is left as allocated.
    const BYTE* row = FreeImage_GetScanLine(bitmap.get(), int(height / 2));
    for (unsigned x = 0; x < width * bpp / 8; ++x)
        QCOMPARE(int(row[x]), 255);
}

void TestSaneScanner::frameFormats_data()
{
    QTest::addColumn<Overrides>("variant");
    QTest::addColumn<Overrides>("reference");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<unsigned>("width");
    QTest::addColumn<unsigned>("height");
    const QString pattern = QStringLiteral("\"Color pattern\"");
    // At 75 DPI the standard area gives 236 x 295 pixels, the hand
    // scanner's fixed 110 x 170 mm 324 x 501. The device draws its colour
    // pattern differently at 16 bits, its grid the same at every depth.
    QTest::newRow("16-bit colour") << Overrides{{"depth", "16"}, {"test-picture", "Grid"}}
                                   << Overrides{{"test-picture", "Grid"}} << "Color" << 236u << 295u;
    QTest::newRow("16-bit grey") << Overrides{{"depth", "16"}, {"test-picture", "Grid"}}
                                 << Overrides{{"test-picture", "Grid"}} << "Gray" << 236u << 295u;
    QTest::newRow("1-bit lineart") << Overrides{{"depth", "1"}, {"test-picture", "Grid"}}
                                   << Overrides{{"test-picture", "Grid"}} << "Gray" << 236u << 295u;
    QTest::newRow("three passes")
        << Overrides{{"three-pass", "true"}, {"three-pass-order", "GBR"}, {"test-picture", pattern}}
        << Overrides{{"test-picture", pattern}} << "Color" << 236u << 295u;
    QTest::newRow("unknown height")
        << Overrides{{"hand-scanner", "true"}, {"test-picture", pattern}}
        << Overrides{{"br_x", "110.0"}, {"br_y", "170.0"}, {"test-picture", pattern}} << "Color" << 324u << 501u;
}

void TestSaneScanner::frameFormats()
{
    QFETCH(Overrides, variant);
    QFETCH(Overrides, reference);
    QFETCH(QString, mode);
    QFETCH(unsigned, width);
    QFETCH(unsigned, height);
    const auto prepare = [mode](SaneScanDialog* dialog) {
        Choose(Child<QComboBox>(dialog, "mode"), mode);
        Choose(Child<QComboBox>(dialog, "resolution"), 75.0);
    };
    // The same page read the plain way, 8 bits in one pass, is the measure.
    const QString plain = work_->filePath(QStringLiteral("plain.bmp"));
    useTestDevice(reference);
    QCOMPARE(scan(plain, prepare), 0);
    const QString path = work_->filePath(QStringLiteral("FILE.BMP"));
    useTestDevice(variant);
    QCOMPARE(scan(path, prepare), 0);

    const Bitmap expected = LoadBitmap(plain);
    const Bitmap bitmap = LoadBitmap(path);
    QVERIFY(expected && bitmap);
    QCOMPARE(FreeImage_GetWidth(bitmap.get()), width);
    QCOMPARE(FreeImage_GetHeight(bitmap.get()), height);
    QCOMPARE(FreeImage_GetBPP(bitmap.get()), mode == u"Color" ? 24u : 8u);
    QVERIFY(DistinctBytes(bitmap.get()) >= 2);
    QVERIFY(SamePixels(bitmap.get(), expected.get()));
}

void TestSaneScanner::sameAsScanimage()
{
    // SANE's own command-line front end reads the same page: the bitmap must
    // hold its pixels exactly, same rows up and same colours.
    const QString scanimage = QStandardPaths::findExecutable(QStringLiteral("scanimage"));
    if (scanimage.isEmpty())
        QSKIP("scanimage (Debian package sane-utils) is not installed");
    useTestDevice({{"test-picture", "\"Color pattern\""}});
    QProcess process;
    process.start(scanimage, {"--device-name=test:0", "--mode=Color", "--resolution=75", "--format=pnm"});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    const QString reference = work_->filePath(QStringLiteral("scanimage.ppm"));
    WriteText(reference, process.readAllStandardOutput());

    const QString path = work_->filePath(QStringLiteral("FILE.BMP"));
    QCOMPARE(scan(path, [](SaneScanDialog* d) { Choose(Child<QComboBox>(d, "resolution"), 75.0); }), 0);
    const Bitmap expected(FreeImage_Load(FIF_PPM, QFile::encodeName(reference).constData(), 0));
    const Bitmap bitmap = LoadBitmap(path);
    QVERIFY(expected && bitmap);
    QVERIFY(DistinctBytes(bitmap.get()) > 2);
    QVERIFY(SamePixels(bitmap.get(), expected.get()));
}

void TestSaneScanner::cancelBeforeScanning()
{
    useTestDevice();
    const QString path = work_->filePath(QStringLiteral("FILE.BMP"));
    WriteText(path, "the previous scan");
    SaneScanner scanner(*settings_, *dialogs_);
    WhenModal<SaneScanDialog>({}, [](SaneScanDialog* dialog) {
        Child<QPushButton>(dialog, "cancel")->click();
    }, &driverTimedOut_);
    QCOMPARE(scanner.TWAIN_AcquireToFilename(nullptr, path), int(SaneScanner::Cancelled));
    QCOMPARE(ReadAll(path), QByteArray("the previous scan"));
    QCOMPARE(QDir(work_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"FILE.BMP"});
    QCOMPARE(dialogs_->messages.size(), 0);
}

void TestSaneScanner::cancelWhileReading_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Annulla") << "button";
    QTest::newRow("Esc key") << "escape";
    QTest::newRow("window closed") << "close";
}

void TestSaneScanner::cancelWhileReading()
{
    QFETCH(QString, how);
    // A slow device: small reads with a pause after each.
    useTestDevice({{"read-limit", "true"}, {"read-limit-size", "2048"},
                   {"read-delay", "true"}, {"read-delay-duration", "5000"}});
    const QString path = work_->filePath(QStringLiteral("FILE.BMP"));
    WriteText(path, "the previous scan");
    bool wasLocked = false;
    bool stillOpenAfterRequest = false;
    SaneScanner scanner(*settings_, *dialogs_);
    WhenModal<SaneScanDialog>({}, [&](SaneScanDialog* dialog) {
        Child<QPushButton>(dialog, "scan")->click();
        // Once the progress bar moves, the page is being read.
        WhenModal<SaneScanDialog>(
            [](SaneScanDialog* d) { return Child<QProgressBar>(d, "progress")->value() > 0; },
            [&](SaneScanDialog* d) {
                wasLocked = d->isScanning() && !Child<QPushButton>(d, "scan")->isEnabled()
                    && !Child<QComboBox>(d, "mode")->isEnabled()
                    && Child<QPushButton>(d, "cancel")->isEnabled();
                if (how == u"button")
                    Child<QPushButton>(d, "cancel")->click();
                else if (how == u"escape")
                    QTest::keyClick(d, Qt::Key_Escape);
                else
                    d->close();
                // The dialog waits for the device to stop before it closes.
                stillOpenAfterRequest = d->isVisible();
            },
            &driverTimedOut_);
    }, &driverTimedOut_);
    QCOMPARE(scanner.TWAIN_AcquireToFilename(nullptr, path), int(SaneScanner::Cancelled));
    QVERIFY(wasLocked);
    QVERIFY(stillOpenAfterRequest);
    QCOMPARE(ReadAll(path), QByteArray("the previous scan"));
    QCOMPARE(QDir(work_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"FILE.BMP"});
}

void TestSaneScanner::deviceBusy()
{
    // Another program holds the device. (The test device's read errors are
    // not used: its reader thread can hang when a scan is cancelled right
    // after sane_start, whoever cancels it.)
    useTestDevice();
    const QString path = work_->filePath(QStringLiteral("FILE.BMP"));
    WriteText(path, "the previous scan");
    SaneScanner scanner(*settings_, *dialogs_);
    QCOMPARE(scanner.devices().size(), 2);
    SaneDevice otherProgram;
    QCOMPARE(otherProgram.open(QStringLiteral("test:0")), SANE_STATUS_GOOD);
    dialogs_->onPrompt = [] { QVERIFY(!QApplication::activeModalWidget()); };
    QCOMPARE(scanner.TWAIN_AcquireToFilename(nullptr, path), int(SaneScanner::Failed));
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0].text,
             QStringLiteral("Impossibile usare lo scanner Noname frontend-tester (test:0): lo scanner è occupato."));
    QCOMPARE(dialogs_->messages[0].icon, MessageIcon::Warning);
    QCOMPARE(dialogs_->messages[0].title, QStringLiteral("Ritrax"));
    QCOMPARE(ReadAll(path), QByteArray("the previous scan"));
}

void TestSaneScanner::unwritableTarget()
{
    useTestDevice({{"resolution", "50.0"}});
    const QString path = work_->filePath(QStringLiteral("missing/FILE.BMP"));
    QCOMPARE(scan(path), int(SaneScanner::Failed));
    QCOMPARE(dialogs_->messages.size(), 1);
    QCOMPARE(dialogs_->messages[0].icon, MessageIcon::Critical);
    QVERIFY(dialogs_->messages[0].text.startsWith(QStringLiteral("Impossibile scrivere")));
    QVERIFY(!QFile::exists(path));
}

void TestSaneScanner::noDevice()
{
    useNoDevice();
    const QString path = work_->filePath(QStringLiteral("FILE.BMP"));
    bool dialogShown = false;
    SaneScanner scanner(*settings_, *dialogs_);
    // Nothing should open; should something do, it is closed and noted.
    const QPointer<QTimer> watch = WhenModal<QDialog>({}, [&](QDialog* d) {
        dialogShown = true;
        d->reject();
    }, &driverTimedOut_);
    dialogs_->onPrompt = [] { QVERIFY(!QApplication::activeModalWidget()); };
    QCOMPARE(scanner.TWAIN_AcquireToFilename(nullptr, path), int(SaneScanner::NoDevice));
    scanner.TWAIN_SelectImageSource(nullptr);
    delete watch.data();
    QVERIFY(!dialogShown);
    QCOMPARE(dialogs_->messages.size(), 2);
    for (const RecordedMessage& message : dialogs_->messages) {
        QCOMPARE(message.text, SaneScanner::NoDeviceText);
        QCOMPARE(message.icon, MessageIcon::Warning);
    }
    QVERIFY(!QFile::exists(path));
    QCOMPARE(settings_->read(SaneScanner::SettingsKey, QStringLiteral("none")), QStringLiteral("none"));
}

void TestSaneScanner::rememberedSource()
{
    useTestDevice({{"number_of_devices", "2"}});
    QStringList captions;
    int preselected = -1;
    {
        SaneScanner scanner(*settings_, *dialogs_);
        WhenModal<SaneSourceDialog>({}, [&](SaneSourceDialog* dialog) {
            auto* list = Child<QListWidget>(dialog, "devices");
            for (int i = 0; i < list->count(); ++i)
                captions << list->item(i)->text();
            preselected = list->currentRow();
            list->setCurrentRow(1);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        }, &driverTimedOut_);
        scanner.TWAIN_SelectImageSource(nullptr);
    }
    QCOMPARE(captions, (QStringList{"Noname frontend-tester (test:0)", "Noname frontend-tester (test:1)"}));
    QCOMPARE(preselected, 0);
    QCOMPARE(settings_->read(SaneScanner::SettingsKey), QStringLiteral("test:1"));

    // A new scanner object, as at the next start of the program.
    {
        SaneScanner scanner(*settings_, *dialogs_);
        QString shownDevice;
        WhenModal<SaneScanDialog>({}, [&](SaneScanDialog* dialog) {
            shownDevice = Child<QLabel>(dialog, "device")->text();
            dialog->reject();
        }, &driverTimedOut_);
        QCOMPARE(scanner.TWAIN_AcquireToFilename(nullptr, work_->filePath(QStringLiteral("FILE.BMP"))),
                 int(SaneScanner::Cancelled));
        QVERIFY2(shownDevice.endsWith(QStringLiteral("(test:1)")), qPrintable(shownDevice));

        // Reopened, the selection shows the remembered device; cancelling
        // keeps it.
        WhenModal<SaneSourceDialog>({}, [&](SaneSourceDialog* dialog) {
            preselected = Child<QListWidget>(dialog, "devices")->currentRow();
            Child<QListWidget>(dialog, "devices")->setCurrentRow(0);
            dialog->reject();
        }, &driverTimedOut_);
        scanner.TWAIN_SelectImageSource(nullptr);
        QCOMPARE(preselected, 1);
        QCOMPARE(settings_->read(SaneScanner::SettingsKey), QStringLiteral("test:1"));
    }

    // A remembered device that is gone gives way to the first one.
    settings_->write(SaneScanner::SettingsKey, QStringLiteral("test:7"));
    SaneScanner scanner(*settings_, *dialogs_);
    const std::optional<SaneDeviceEntry> source = scanner.currentSource();
    QVERIFY(source);
    QCOMPARE(source->name, QStringLiteral("test:0"));
}

RITRAX_TEST(TestSaneScanner)
#include "tst_sanescanner.moc"
