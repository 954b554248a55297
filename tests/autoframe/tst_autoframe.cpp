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
    void headEstimatedOnTheAstronaut();
    void missingCascades();

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


RITRAX_TEST(TestAutoframe)
#include "tst_autoframe.moc"
