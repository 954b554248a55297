#include "ImageControl.h"
#include "Libreria.h"
#include "TestRegistry.h"
#include <QTest>

using Libreria::PlacedBox;
Q_DECLARE_METATYPE(Libreria::PlacedBox)

class TestLibreria : public QObject {
    Q_OBJECT
private slots:
    void boxTagText_data();
    void boxTagText();
    void fitInBox_data();
    void fitInBox();
    void pictureInRecordedBox();
    void pictureInCurrentRectangle();
    void unusableTagOrPictureLeavesControlHidden();
};

void TestLibreria::boxTagText_data()
{
    QTest::addColumn<QRect>("box");
    QTest::addColumn<QString>("tag");
    QTest::newRow("Img") << QRect(8, 80, 433, 585) << "224.5 372.5 433 585";
    QTest::newRow("even sizes") << QRect(10, 20, 100, 50) << "60 45 100 50";
    QTest::newRow("left of the window") << QRect(-10, 0, 5, 5) << "-7.5 2.5 5 5";
}

void TestLibreria::boxTagText()
{
    QFETCH(QRect, box);
    QFETCH(QString, tag);
    QCOMPARE(Libreria::BoxTagText(box.x(), box.y(), box.width(), box.height()), tag);
}

void TestLibreria::fitInBox_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<PlacedBox>("placed");
    // The box of Img: centre 224, 372 (224.5 and 372.5 rounded to even), 433 x 585.
    QTest::newRow("same proportion, twice the size") << QSize(866, 1170) << PlacedBox{8, 80, 433, 585};
    QTest::newRow("wide: height 216.5 rounded up") << QSize(1000, 500) << PlacedBox{8, 264, 433, 217};
    QTest::newRow("small and wide, enlarged") << QSize(100, 50) << PlacedBox{8, 264, 433, 217};
    QTest::newRow("small and tall, enlarged: width 292.5 up") << QSize(50, 100) << PlacedBox{78, 80, 293, 585};
    QTest::newRow("A4 at 300 DPI") << QSize(2480, 3508) << PlacedBox{17, 80, 414, 585};
    QTest::newRow("exactly the box") << QSize(433, 585) << PlacedBox{8, 80, 433, 585};
    // 585 / (1170 / 585) and the like must not gain a pixel from rounding.
    QTest::newRow("whole quotient") << QSize(1299, 1755) << PlacedBox{8, 80, 433, 585};
}

void TestLibreria::fitInBox()
{
    QFETCH(QSize, picture);
    QFETCH(PlacedBox, placed);
    const auto box = Libreria::FitInBox(picture.width(), picture.height(), 224, 372, 433, 585);
    QVERIFY(box);
    QCOMPARE(*box, placed);
}

void TestLibreria::pictureInRecordedBox()
{
    ImageControl control;
    control.setGeometry(8, 80, 433, 585);
    Libreria::StoreBoxInTag(control);
    qint16 cx = -1, cy = 0, w = 0, h = 0;
    QImage picture(1000, 500, QImage::Format_RGB32);
    picture.fill(Qt::green);
    Libreria::LoadPictureInBox(picture, control, cx, cy, w, h, true);
    QCOMPARE(cx, qint16(224)); // 224.5 to even
    QCOMPARE(cy, qint16(372)); // 372.5 to even
    QCOMPARE(w, qint16(433));
    QCOMPARE(h, qint16(585));
    QCOMPARE(control.geometry(), QRect(8, 264, 433, 217));
    QVERIFY(control.stretch());
    QVERIFY(control.isShownFlag());
    // It keeps a copy of the size it shows, not the whole picture.
    QCOMPARE(control.picture().size(), QSize(433, 217));

    // show = false: placed, but left hidden.
    ImageControl quiet;
    quiet.setTag(control.tag());
    cx = -1;
    Libreria::LoadPictureInBox(picture, quiet, cx, cy, w, h, false);
    QCOMPARE(quiet.geometry(), QRect(8, 264, 433, 217));
    QVERIFY(!quiet.isShownFlag());
}

void TestLibreria::pictureInCurrentRectangle()
{
    ImageControl control;
    control.setGeometry(0, 0, 100, 100);
    qint16 cx = 0, cy = 0, w = 0, h = 0;
    Libreria::LoadPictureInBox(QImage(50, 25, QImage::Format_RGB32), control, cx, cy, w, h, true);
    QCOMPARE(cx, qint16(50));
    QCOMPARE(cy, qint16(50));
    QCOMPARE(control.geometry(), QRect(0, 25, 100, 50));
}

void TestLibreria::unusableTagOrPictureLeavesControlHidden()
{
    ImageControl control;
    control.setTag(QStringLiteral("not a box"));
    control.show();
    qint16 cx = -1, cy = 0, w = 0, h = 0;
    Libreria::LoadPictureInBox(QImage(10, 10, QImage::Format_RGB32), control, cx, cy, w, h, true);
    QVERIFY(!control.isShownFlag());

    control.setTag(QStringLiteral("224.5 372.5 433 585"));
    control.show();
    cx = -1;
    Libreria::LoadPictureInBox(QStringLiteral("/nowhere/at/all.jpg"), control, cx, cy, w, h, true);
    QVERIFY(!control.isShownFlag());
}

RITRAX_TEST(TestLibreria)
#include "tst_libreria.moc"
