// The finders and the photo check on pictures made here: the portrait
// geometry by the numbers, the ink rule against FreeImage's own threshold,
// what the signature finder must leave alone, and the check's verdicts on
// photos spoilt on purpose.

#include "FaceFinder.h"
#include "PhotoCheck.h"
#include "PortraitGeometry.h"
#include "SamplePages.h"
#include "SignatureFinder.h"
#include "TestRegistry.h"

#include <FreeImage.h>

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QTemporaryDir>
#include <QTest>

namespace {

FaceFinder::Face FaceAt(QRectF box, std::optional<QPointF> left = {}, std::optional<QPointF> right = {})
{
    FaceFinder::Face face;
    face.box = box;
    face.leftEye = left;
    face.rightEye = right;
    return face;
}

QImage Paper(int width, int height)
{
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(QColor(246, 245, 240));
    return page;
}

// The astronaut's framed photo, 265 x 320, as the editor's check sees it.
QImage FramedPhoto(const QImage& astronaut, double degrees = 0)
{
    SamplePages::Placement at;
    at.at = QPoint(1000, 1000);
    at.degrees = degrees;
    const SamplePages::FacePage page = SamplePages::MakeFacePage(astronaut, at);
    const FaceFinder::Result found = FaceFinder::Find(page.page);
    if (found.status != FaceFinder::Status::Found)
        return {};
    const QRect s = PortraitGeometry::PhotoSelection(PortraitGeometry::HeadOf(found.face), page.page.size(), page.page.size());
    return page.page.copy(s).scaled(265, 320, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

const PhotoCheck::Value& ValueOf(const PhotoCheck::Report& report, PhotoCheck::Item item)
{
    for (const PhotoCheck::Value& v : report.values)
        if (v.item == item)
            return v;
    qFatal("item missing");
}

} // namespace

Q_DECLARE_METATYPE(FaceFinder::Face)

class TestAutoframe : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void headOfFace_data();
    void headOfFace();
    void photoSelection_data();
    void photoSelection();
    void inkIsFreeImagesBlack_data();
    void inkIsFreeImagesBlack();
    void noSignature_data();
    void noSignature();
    void loneSignature();
    void headEstimatedOnTheAstronaut();
    void missingCascades();
    void checkVerdicts();

private:
    QImage astronaut_;
};

void TestAutoframe::initTestCase()
{
    FreeImage_Initialise(FALSE);
    const QString path = SamplePages::AstronautPath(QStringLiteral(RITRAX_TEST_CACHE));
    if (!path.isEmpty())
        astronaut_.load(path);
}

void TestAutoframe::headOfFace_data()
{
    QTest::addColumn<FaceFinder::Face>("face");
    QTest::addColumn<double>("crown");
    QTest::addColumn<double>("chin");
    QTest::addColumn<double>("eyeLine");
    QTest::addColumn<double>("centreX");
    // Box 100 from y 200: crown 48 above its top, chin 112 below it.
    QTest::newRow("eyes found") << FaceAt({300, 200, 100, 100}, QPointF(320, 236), QPointF(384, 240)) << 152.0
                                << 312.0 << 238.0 << 352.0;
    QTest::newRow("one eye: the box stands in") << FaceAt({300, 200, 100, 100}, QPointF(320, 236)) << 152.0 << 312.0
                                               << 236.0 << 350.0;
    QTest::newRow("no eyes") << FaceAt({10, 20, 50, 50}) << -4.0 << 76.0 << 38.0 << 35.0;
}

void TestAutoframe::headOfFace()
{
    QFETCH(FaceFinder::Face, face);
    QFETCH(double, crown);
    QFETCH(double, chin);
    QFETCH(double, eyeLine);
    QFETCH(double, centreX);
    const PortraitGeometry::Head head = PortraitGeometry::HeadOf(face);
    QCOMPARE(head.crown, crown);
    QCOMPARE(head.chin, chin);
    QCOMPARE(head.eyeLine, eyeLine);
    QCOMPARE(head.centreX, centreX);
}

void TestAutoframe::photoSelection_data()
{
    QTest::addColumn<double>("crown");
    QTest::addColumn<double>("chin");
    QTest::addColumn<double>("eyeLine");
    QTest::addColumn<double>("centreX");
    QTest::addColumn<QSize>("bounds");
    QTest::addColumn<QSize>("largest");
    QTest::addColumn<QRect>("expected");
    const QSize page(2480, 3508);
    // Head 300: photo 400 high, 331 wide (400 x 0.828 = 331.2); the eye
    // line 160 below the top, 60 % of 400 above the bottom; the left edge
    // 1000 - 165.5 = 834.5 goes to the even 834.
    QTest::newRow("free") << 500.0 << 800.0 << 660.0 << 1000.0 << page << page << QRect(834, 500, 331, 400);
    // 331.5 rounds to the even 332 width: 401 x 0.828 = 332.03.
    QTest::newRow("width rounded as the editor does") << 500.0 << 800.75 << 660.0 << 1000.0 << page << page
                                                      << QRect(834, 500, 332, 401);
    QTest::newRow("kept inside at the top left") << 10.0 << 310.0 << 100.0 << 50.0 << page << page
                                                 << QRect(0, 0, 331, 400);
    QTest::newRow("kept inside at the bottom right") << 3300.0 << 3600.0 << 3450.0 << 2470.0 << page << page
                                                     << QRect(2149, 3108, 331, 400);
    // The view allows 300 high: the eye line keeps its place, 40 % down.
    QTest::newRow("shrunk to the view") << 500.0 << 800.0 << 660.0 << 1000.0 << page << QSize(670, 300)
                                        << QRect(876, 540, 248, 300);
    // 200 wide allows at most 242 high (242 x 0.828 = 200.4 -> 200; 243
    // would give 201).
    QTest::newRow("shrunk to a narrow picture") << 0.0 << 300.0 << 150.0 << 100.0 << QSize(200, 800) << QSize(200, 800)
                                                << QRect(0, 53, 200, 242);
    QTest::newRow("picture too small") << 0.0 << 300.0 << 150.0 << 10.0 << QSize(16, 800) << QSize(16, 800) << QRect();
}

void TestAutoframe::photoSelection()
{
    QFETCH(double, crown);
    QFETCH(double, chin);
    QFETCH(double, eyeLine);
    QFETCH(double, centreX);
    QFETCH(QSize, bounds);
    QFETCH(QSize, largest);
    QFETCH(QRect, expected);
    QCOMPARE(PortraitGeometry::PhotoSelection({crown, chin, eyeLine, centreX}, bounds, largest), expected);
}

void TestAutoframe::inkIsFreeImagesBlack_data()
{
    QTest::addColumn<int>("threshold");
    QTest::newRow("170, the default") << 170;
    QTest::newRow("1") << 1;
    QTest::newRow("128") << 128;
    QTest::newRow("255") << 255;
}

// Every grey level and a spread of colours, through FreeImage_Threshold:
// the finder's ink is exactly what the black-and-white file makes black.
void TestAutoframe::inkIsFreeImagesBlack()
{
    QFETCH(int, threshold);
    constexpr int Width = 256;
    constexpr int Height = 40;
    FIBITMAP* colours = FreeImage_Allocate(Width, Height, 24);
    QVERIFY(colours);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            RGBQUAD c{BYTE(y == 0 ? x : (x * 7 + y * 31) % 256), BYTE(y == 0 ? x : (x * 13 + y * 5) % 256),
                      BYTE(y == 0 ? x : (x * 3 + y * 71) % 256), 0};
            FreeImage_SetPixelColor(colours, unsigned(x), unsigned(y), &c);
        }
    FIBITMAP* bw = FreeImage_Threshold(colours, BYTE(threshold));
    QVERIFY(bw);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            RGBQUAD c;
            BYTE index = 0;
            FreeImage_GetPixelColor(colours, unsigned(x), unsigned(y), &c);
            FreeImage_GetPixelIndex(bw, unsigned(x), unsigned(y), &index);
            const bool black = FreeImage_GetPalette(bw)[index].rgbRed == 0;
            QVERIFY2(SignatureFinder::IsInk(qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue), threshold) == black,
                     qPrintable(QStringLiteral("%1,%2,%3").arg(c.rgbRed).arg(c.rgbGreen).arg(c.rgbBlue)));
        }
    FreeImage_Unload(bw);
    FreeImage_Unload(colours);
}

void TestAutoframe::noSignature_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::newRow("blank paper") << Paper(2480, 3508);
    QImage dark(1200, 900, QImage::Format_RGB32);
    dark.fill(QColor(90, 90, 90));
    QTest::newRow("dark picture") << dark;
    // Printed lines, a form's rules and a box, specks: print, never a hand.
    QImage form = Paper(2480, 3508);
    {
        QPainter p(&form);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(34);
        p.setFont(font);
        p.setPen(QColor(30, 30, 30));
        for (int row = 0; row < 30; ++row)
            p.drawText(200, 300 + row * 90, QStringLiteral("Il sottoscritto dichiara di essere nato a Esempio il 01/01/1980"));
        p.setPen(QPen(QColor(40, 40, 40), 3));
        p.drawRect(300, 3000, 1100, 260);
        p.drawLine(200, 3350, 2280, 3350);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        for (int i = 0; i < 80; ++i)
            p.drawEllipse(QPointF((i * 397) % 2480, (i * 1009) % 3508), 2, 2);
    }
    QTest::newRow("printed form, empty box") << form;
}

void TestAutoframe::noSignature()
{
    QFETCH(QImage, picture);
    const SignatureFinder::Found found = SignatureFinder::Find(picture, 170);
    QCOMPARE(found.selection, QRect());
}

// A signature photographed alone, larger than on a page: no form to help,
// all of it found, the margin inside the picture.
void TestAutoframe::loneSignature()
{
    QImage picture = Paper(900, 260);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(20, 30, 110), 9, Qt::SolidLine, Qt::RoundCap));
        QPainterPath name(QPointF(60, 190));
        name.cubicTo(QPointF(100, 20), QPointF(200, 20), QPointF(230, 170));
        name.cubicTo(QPointF(300, 60), QPointF(420, 60), QPointF(480, 160));
        name.cubicTo(QPointF(560, 80), QPointF(700, 80), QPointF(860, 150));
        p.drawPath(name);
        p.drawPoint(QPointF(880, 40));
    }
    const SignatureFinder::Found found = SignatureFinder::Find(picture, 170);
    QVERIFY(found.ink.contains(QRect(60, 70, 800, 110)));
    QVERIFY(found.selection.contains(found.ink));
    QVERIFY(picture.rect().contains(found.selection));
    QVERIFY(found.selection.top() < found.ink.top() && found.selection.bottom() > found.ink.bottom());
}

// The estimate against the portrait's own crown (y 16), chin (177) and eyes
// (101 and 103, at x 201 and 246), measured on astronaut.png.
void TestAutoframe::headEstimatedOnTheAstronaut()
{
    if (astronaut_.isNull())
        QSKIP("astronaut.png not available (apt-get download python3-skimage failed)");
    const FaceFinder::Result found = FaceFinder::Find(astronaut_);
    QCOMPARE(found.status, FaceFinder::Status::Found);
    QVERIFY(found.face.leftEye && found.face.rightEye);
    const PortraitGeometry::Head head = PortraitGeometry::HeadOf(found.face);
    QVERIFY2(qAbs(head.crown - 16) <= 6, qPrintable(QString::number(head.crown)));
    QVERIFY2(qAbs(head.chin - 177) <= 6, qPrintable(QString::number(head.chin)));
    QVERIFY2(qAbs(head.eyeLine - 102) <= 4, qPrintable(QString::number(head.eyeLine)));
    QVERIFY2(qAbs(head.centreX - 223.5) <= 4, qPrintable(QString::number(head.centreX)));
    QVERIFY(found.face.leftEye->x() < found.face.rightEye->x());
}

void TestAutoframe::missingCascades()
{
    QTemporaryDir empty;
    Cascades none(empty.path());
    QVERIFY(!none.loaded());
    QImage photo = Paper(265, 320);
    QCOMPARE(FaceFinder::Find(photo, none).status, FaceFinder::Status::NoCascades);
    const PhotoCheck::Report report = PhotoCheck::Check(photo, none);
    QVERIFY(report.cascadesMissing && !report.faceFound && !report.allPass());
    QVERIFY(PhotoCheck::Note(report).contains(QStringLiteral("opencv-data")));
    // What needs no face is still measured.
    QVERIFY(ValueOf(report, PhotoCheck::Item::Background).pass());
    QVERIFY(!ValueOf(report, PhotoCheck::Item::HeadHeight).measured);
    QVERIFY(PhotoCheck::PlainText(report).contains(QStringLiteral("Altezza della testa")));
}

void TestAutoframe::checkVerdicts()
{
    if (astronaut_.isNull())
        QSKIP("astronaut.png not available (apt-get download python3-skimage failed)");
    const QImage photo = FramedPhoto(astronaut_);
    QVERIFY(!photo.isNull());
    const PhotoCheck::Report good = PhotoCheck::Check(photo);
    QVERIFY2(good.allPass(), qPrintable(PhotoCheck::PlainText(good)));
    QVERIFY(!PhotoCheck::PlainText(good).contains(QStringLiteral(" NO")));

    // Blurred: only the sharpness fails.
    const QImage blurred = photo.scaled(66, 80, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .scaled(265, 320, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const PhotoCheck::Report soft = PhotoCheck::Check(blurred);
    QVERIFY(!ValueOf(soft, PhotoCheck::Item::Sharpness).pass());
    QVERIFY(ValueOf(soft, PhotoCheck::Item::EyeLine).pass());

    // Taken a fifth of its width to the right: off centre, and the face's
    // side now shows in a top corner.
    QImage shifted = photo;
    shifted.fill(QColor(220, 220, 225));
    QPainter(&shifted).drawImage(-53, 0, photo);
    const PhotoCheck::Report aside = PhotoCheck::Check(shifted);
    QVERIFY(!ValueOf(aside, PhotoCheck::Item::Centring).pass());
    QVERIFY(ValueOf(aside, PhotoCheck::Item::Centring).value < -5);

    // Under-exposed by two thirds.
    QImage dark = photo;
    for (int y = 0; y < dark.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(dark.scanLine(y));
        for (int x = 0; x < dark.width(); ++x)
            line[x] = qRgb(qRed(line[x]) / 3, qGreen(line[x]) / 3, qBlue(line[x]) / 3);
    }
    QVERIFY(!ValueOf(PhotoCheck::Check(dark), PhotoCheck::Item::Brightness).pass());

    // A loose framing: the head too small in the photo.
    const QImage loose = photo.scaled(177, 213, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage wide(265, 320, QImage::Format_RGB32);
    wide.fill(photo.pixel(5, 5));
    QPainter(&wide).drawImage(44, 54, loose);
    QVERIFY(!ValueOf(PhotoCheck::Check(wide), PhotoCheck::Item::HeadHeight).pass());
}

RITRAX_TEST(TestAutoframe)
#include "tst_autoframe.moc"
