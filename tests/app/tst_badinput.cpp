// Pictures an operator might bring in that are broken, hostile or merely
// unusual: each one is either shown correctly or refused with a clear
// message, by the intake, by both editors and by the command line alike,
// and nothing that was there before changes.

#include "AnalizzaFirma.h"
#include "AnalizzaFoto.h"
#include "CliCommands.h"
#include "FormMain.h"
#include "ImageControl.h"
#include "ModalScript.h"
#include "PictureView.h"
#include "TestEnvironment.h"
#include "TestJpegs.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

const QString Unknown = QStringLiteral("Formato immagine non riconosciuto");
const QString Unreadable = QStringLiteral("Impossibile leggere l'immagine");
const QString TooLarge
    = QStringLiteral("Immagine troppo grande: larghezza e altezza non possono superare 32767 pixel");

// The first frame header (SOF) of a JPEG made to declare another size.
QByteArray WithDeclaredSize(QByteArray jpeg, quint16 width, quint16 height)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        if (uchar(jpeg[i]) == 0xFF && (uchar(jpeg[i + 1]) == 0xC0 || uchar(jpeg[i + 1]) == 0xC2)) {
            qToBigEndian(height, jpeg.data() + i + 5);
            qToBigEndian(width, jpeg.data() + i + 7);
            return jpeg;
        }
    }
    return {};
}

bool SaveAnimatedGif(const QString& path)
{
    FIMULTIBITMAP* gif = FreeImage_OpenMultiBitmap(FIF_GIF, QFile::encodeName(path).constData(), TRUE, FALSE);
    if (!gif)
        return false;
    for (int grey : {60, 200}) {
        FIBITMAP* frame = TestPictures::MakeBitmap(40, 30, 8, QColor(grey, grey, grey));
        FreeImage_AppendPage(gif, frame);
        FreeImage_Unload(frame);
    }
    return FreeImage_CloseMultiBitmap(gif) != FALSE;
}

} // namespace

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void intake_data();
    void intake();
    void editors_data() { intake_data(); }
    void editors();
    void commandLine_data() { intake_data(); }
    void commandLine();

private:
    QString corpus(const QString& name) const { return corpus_.filePath(name); }
    QTemporaryDir corpus_;
    QString startDir_;
    std::unique_ptr<TestEnvironment> env_;
};

void TestBadInput::initTestCase()
{
    using namespace TestPictures;
    startDir_ = QDir::currentPath();
    QVERIFY(SavePicture(corpus("good.jpg"), FIF_JPEG, 300, 400, Qt::darkCyan));
    QVERIFY(WriteBytes(corpus("zero.jpg"), QByteArray()));
    const QByteArray jpeg = ReadBytes(corpus("good.jpg"));
    QVERIFY(WriteBytes(corpus("truncated.jpg"), jpeg.left(jpeg.size() / 2)));
    const QByteArray huge = WithDeclaredSize(jpeg, 60000, 60000);
    QVERIFY(!huge.isEmpty());
    QVERIFY(WriteBytes(corpus("60000x60000.jpg"), huge));

    // A top-down BMP: a negative height is legal and must show upright.
    QVERIFY(SavePicture(corpus("plain.bmp"), FIF_BMP, 50, 40, Qt::red));
    QByteArray bmp = ReadBytes(corpus("plain.bmp"));
    qToLittleEndian<qint32>(-40, bmp.data() + 22);
    QVERIFY(WriteBytes(corpus("negative-height.bmp"), bmp));
    qToLittleEndian<qint32>(0x7fffffff, bmp.data() + 22);
    QVERIFY(WriteBytes(corpus("absurd-height.bmp"), bmp));

    QVERIFY(SavePicture(corpus("plain.gif"), FIF_GIF, 40, 30, Qt::gray, 8));
    QByteArray gif = ReadBytes(corpus("plain.gif"));
    qToLittleEndian<quint16>(65535, gif.data() + 6);
    qToLittleEndian<quint16>(65535, gif.data() + 8);
    QVERIFY(WriteBytes(corpus("huge-screen.gif"), gif));
    QVERIFY(SaveAnimatedGif(corpus("animated.gif")));

    const QImage detailed = DetailedPicture(64, 48, 7);
    JpegKind grey;
    grey.grey = true;
    QVERIFY(WriteJpeg(corpus("grey.jpg"), detailed, grey));
    JpegKind cmyk;
    cmyk.cmyk = true;
    QVERIFY(WriteJpeg(corpus("cmyk.jpg"), detailed, cmyk));
    QVERIFY(SaveTiff16(corpus("16bit.tif"), 64, 48, Qt::darkYellow));
    QVERIFY(SavePicture(corpus("1bit.bmp"), FIF_BMP, 64, 48, Qt::white, 1));
    QVERIFY(WriteBytes(corpus("text.jpg"), "Questo file contiene solo testo, non un'immagine.\n"));
}

void TestBadInput::init()
{
    env_ = std::make_unique<TestEnvironment>();
}

void TestBadInput::cleanup()
{
    env_.reset();
    QDir::setCurrent(startDir_);
}

void TestBadInput::intake_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");   // of the picture shown, when it is taken in
    QTest::addColumn<QString>("message"); // when it is refused
    QTest::newRow("zero bytes") << "zero.jpg" << QSize() << Unknown;
    QTest::newRow("truncated JPEG") << "truncated.jpg" << QSize() << Unreadable;
    QTest::newRow("JPEG declaring 60000 x 60000") << "60000x60000.jpg" << QSize() << TooLarge;
    QTest::newRow("BMP with a negative height") << "negative-height.bmp" << QSize(50, 40) << QString();
    QTest::newRow("BMP with an absurd height") << "absurd-height.bmp" << QSize() << TooLarge;
    QTest::newRow("GIF with a huge logical screen") << "huge-screen.gif" << QSize() << TooLarge;
    QTest::newRow("animated GIF") << "animated.gif" << QSize(40, 30) << QString();
    QTest::newRow("grey JPEG") << "grey.jpg" << QSize(64, 48) << QString();
    QTest::newRow("CMYK JPEG") << "cmyk.jpg" << QSize(64, 48) << QString();
    QTest::newRow("16-bit TIFF") << "16bit.tif" << QSize(64, 48) << QString();
    QTest::newRow("1-bit BMP") << "1bit.bmp" << QSize(64, 48) << QString();
    QTest::newRow("text named .jpg") << "text.jpg" << QSize() << Unknown;
}

void TestBadInput::intake()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QString, message);
    FormMain form(env_->services());
    env_->dialogs().queueOpen(corpus("good.jpg"));
    form.ScannerP_Click(1);
    const QRect goodBox = form.Img->geometry();

    env_->dialogs().queueOpen(corpus(name));
    form.ScannerP_Click(1);
    if (message.isEmpty()) {
        QVERIFY(env_->dialogs().messages.isEmpty());
        QCOMPARE(form.SourceFile, corpus(name));
        QVERIFY(form.Img->isShownFlag());
        // Fitted into the box with the picture's own proportions.
        const double shown = form.Img->width() / double(form.Img->height());
        QVERIFY(qAbs(shown - size.width() / double(size.height())) < 0.01);
    } else {
        QCOMPARE(env_->dialogs().messages.size(), 1);
        QCOMPARE(env_->dialogs().messages.first().text, message);
        QCOMPARE(env_->dialogs().messages.first().icon, MessageIcon::Critical);
        QCOMPARE(form.SourceFile, corpus("good.jpg"));
        QCOMPARE(env_->settings().read(QStringLiteral("InitDirFile")), corpus("good.jpg"));
        QCOMPARE(form.Img->geometry(), goodBox);
        QVERIFY(form.Img->isShownFlag());
    }
    QVERIFY(form.FotoP->Enabled() && form.ScannerP[1]->Enabled());
}

void TestBadInput::editors()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(QString, message);
    for (bool photo : {true, false}) {
        env_->dialogs().messages.clear();
        std::unique_ptr<FramingEditor> editor;
        if (photo)
            editor = std::make_unique<AnalizzaFoto>(env_->services());
        else
            editor = std::make_unique<AnalizzaFirma>(env_->services());
        QSize loaded;
        ModalScript script("FramingEditor", [&](QWidget* window) {
            auto* open = static_cast<FramingEditor*>(window);
            loaded = open->Pbi->picture().size();
            QTest::mouseClick(open->EsciP, Qt::LeftButton);
        });
        QVERIFY(editor->Go(corpus(name), nullptr) == nullptr);
        if (message.isEmpty()) {
            QVERIFY(script.acted());
            QCOMPARE(loaded, size);
            QVERIFY(env_->dialogs().messages.isEmpty());
        } else {
            QVERIFY(!script.acted());
            QCOMPARE(env_->dialogs().messages.size(), 1);
            QCOMPARE(env_->dialogs().messages.first().text, message);
        }
    }
}

void TestBadInput::commandLine()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir out;
    const QString photo = out.filePath(QStringLiteral("foto.jpg"));
    Cli::Streams streams;
    const int code = Cli::Run({QStringLiteral("foto"), corpus(name), QStringLiteral("--ritaglio"),
                               QStringLiteral("0,0,20,24"), QStringLiteral("-o"), photo},
                              streams);
    if (message.isEmpty()) {
        QCOMPARE(code, int(Cli::Done));
        QVERIFY(QFile::exists(photo));
    } else {
        QCOMPARE(code, int(Cli::SourceUnreadable));
        QVERIFY2(streams.err.contains(message), qPrintable(streams.err));
        QVERIFY(QDir(out.path()).isEmpty());
    }
}

RITRAX_TEST(TestBadInput)
#include "tst_badinput.moc"
