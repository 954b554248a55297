#include "AccessKey.h"
#include "ButtonLayout.h"
#include "Fonts.h"
#include "ImageControl.h"
#include "chameleonButton.h"
#include "TestRegistry.h"
#include "WidgetTests.h"

#include <QSignalSpy>
#include <QTest>

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    void accessKey_data();
    void accessKey();
    void pointsToPixels();
    void layoutPictureLeft();
    void layoutPictureAbove();
    void layoutBlankCaptionCentresPicture();
    void imageNaturalSizeAndStretch();
    void imageClick_data();
    void imageClick();
    void buttonClicks_data();
    void buttonClicks();
    void buttonSpaceClicksOnRelease();
    void buttonAccessKeyClicks();
    void buttonEnabledIsItsOwnFlag();
};

void TestWidgets::accessKey_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("leading blanks") << "  &Esci" << "e";
    QTest::newRow("first letter") << "&Anteprima patente" << "a";
    QTest::newRow("inside, upper case lowered") << "Fo&To" << "t";
    QTest::newRow("after a line break") << "\rFir&ma" << "m";
    QTest::newRow("lone doubled pair") << "Rossi && Figli" << "";
    QTest::newRow("doubled pair then single") << "R&&F &Salva" << "s";
    QTest::newRow("doubled pair then another pair") << "a&&b&&c" << "";
    QTest::newRow("ampersand last") << "Salva&" << "";
    QTest::newRow("doubled pair then ampersand last") << "a&&b&" << "";
    QTest::newRow("no ampersand") << "Test" << "";
    QTest::newRow("too short") << "&" << "";
    QTest::newRow("two characters") << "&x" << "x";
}

void TestWidgets::accessKey()
{
    QFETCH(QString, caption);
    QFETCH(QString, key);
    const QChar found = AccessKeyOf(caption);
    QCOMPARE(found.isNull() ? QString() : QString(found), key);
}

void TestWidgets::pointsToPixels()
{
    QCOMPARE(PointsToPixels(12), 16);
    QCOMPARE(PointsToPixels(27.75), 37);
    QCOMPARE(UiFont(12, true).pixelSize(), 16);
    QVERIFY(UiFont(12, true).bold());
}

namespace {
auto FixedText(int w, int h)
{
    return [w, h](const EdgeRect&) { return QSize(w, h); };
}
} // namespace

void TestWidgets::layoutPictureLeft()
{
    // 129 x 41 button, 32 x 32 picture left of a 90 x 18 caption.
    const ButtonLayout l = CalcLayout(129, 41, 32, 32, 0, true, false, FixedText(90, 18));
    // Caption starts at 33, ends at 123; moved by (129 - 123) / 2 = 3 and (41 - 19) / 2 = 11.
    QCOMPARE(l.caption, (EdgeRect{36, 12, 126, 30}));
    QCOMPARE(l.pressedCaption, (EdgeRect{37, 13, 127, 31}));
    QCOMPARE(l.pictureLeft, 36 - 32 - 4);
    QCOMPARE(l.pictureTop, (41 - 32) / 2);
}

void TestWidgets::layoutPictureAbove()
{
    const ButtonLayout l = CalcLayout(209, 209, 160, 150, 2, true, false, FixedText(40, 36));
    // Caption from 151 to 187; moved by (209 - 41) / 2 = 84 and (209 - 187) / 2 = 11.
    QCOMPARE(l.caption, (EdgeRect{85, 162, 125, 198}));
    QCOMPARE(l.pictureLeft, (209 - 160) / 2);
    QCOMPARE(l.pictureTop, 162 - 150 - 2);
}

void TestWidgets::layoutBlankCaptionCentresPicture()
{
    for (int position = 0; position <= 4; ++position) {
        const ButtonLayout l = CalcLayout(65, 41, 33, 31, position, true, true, FixedText(0, 0));
        QCOMPARE(l.pictureLeft, 16);
        QCOMPARE(l.pictureTop, 5);
    }
}

void TestWidgets::imageNaturalSizeAndStretch()
{
    ImageControl image;
    image.setGeometry(8, 80, 433, 585);
    image.setPicture(QImage(100, 50, QImage::Format_RGB32));
    QCOMPARE(image.size(), QSize(100, 50)); // not stretched: the picture's size
    QCOMPARE(image.pos(), QPoint(8, 80));

    image.setStretch(true);
    image.resize(433, 217);
    image.setPicture(QImage(10, 10, QImage::Format_RGB32));
    QCOMPARE(image.size(), QSize(433, 217)); // stretched: keeps its own size
    image.setStretch(false);
    QCOMPARE(image.size(), QSize(10, 10));
}

void TestWidgets::imageClick_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left inside") << int(Qt::LeftButton) << QPoint(5, 5) << 1;
    QTest::newRow("right") << int(Qt::RightButton) << QPoint(5, 5) << 0;
    QTest::newRow("released outside") << int(Qt::LeftButton) << QPoint(50, 50) << 0;
}

void TestWidgets::imageClick()
{
    QFETCH(int, button);
    QFETCH(QPoint, releaseAt);
    QFETCH(int, clicks);
    ImageControl image;
    image.setStretch(true);
    image.resize(20, 20);
    image.show();
    QSignalSpy spy(&image, &ImageControl::clicked);
    QTest::mousePress(&image, Qt::MouseButton(button), {}, QPoint(5, 5));
    QTest::mouseRelease(&image, Qt::MouseButton(button), {}, releaseAt);
    QCOMPARE(spy.count(), clicks);
}

void TestWidgets::buttonClicks_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");
    QTest::newRow("left") << int(Qt::LeftButton) << true << 1;
    QTest::newRow("right never clicks") << int(Qt::RightButton) << true << 0;
    QTest::newRow("middle") << int(Qt::MiddleButton) << true << 0;
    QTest::newRow("disabled") << int(Qt::LeftButton) << false << 0;
}

void TestWidgets::buttonClicks()
{
    QFETCH(int, button);
    QFETCH(bool, enabled);
    QFETCH(int, clicks);
    chameleonButton b;
    b.setCaption(QStringLiteral("  &Salva"));
    b.resize(100, 40);
    b.setEnabled(enabled);
    b.show();
    QSignalSpy spy(&b, &chameleonButton::Click);
    QTest::mouseClick(&b, Qt::MouseButton(button), {}, QPoint(10, 10));
    QCOMPARE(spy.count(), clicks);

    // A press dragged off the button and released there does not click.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(300, 10));
    QCOMPARE(spy.count(), clicks);
}

void TestWidgets::buttonSpaceClicksOnRelease()
{
    chameleonButton b;
    b.resize(100, 40);
    b.show();
    b.setFocus();
    QSignalSpy spy(&b, &chameleonButton::Click);
    QTest::keyPress(&b, Qt::Key_Space);
    QCOMPARE(spy.count(), 0);
    QTest::keyRelease(&b, Qt::Key_Space);
    QCOMPARE(spy.count(), 1);
    // A release without its press (focus came in with the key held) does nothing.
    QTest::keyRelease(&b, Qt::Key_Space);
    QCOMPARE(spy.count(), 1);
}

void TestWidgets::buttonAccessKeyClicks()
{
    QWidget window;
    auto* esci = new chameleonButton(&window);
    esci->setCaption(QStringLiteral("  &Esci"));
    auto* other = new chameleonButton(&window);
    other->setCaption(QStringLiteral("&Configurazione"));
    other->move(0, 50);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy esciSpy(esci, &chameleonButton::Click);
    QSignalSpy otherSpy(other, &chameleonButton::Click);
    QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
    QCOMPARE(esciSpy.count(), 1);
    QCOMPARE(otherSpy.count(), 0);

    // A caption without access key gives up the old one.
    esci->setCaption(QStringLiteral("Esci"));
    QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
    QCOMPARE(esciSpy.count(), 1);
}

void TestWidgets::buttonEnabledIsItsOwnFlag()
{
    QWidget window;
    auto* b = new chameleonButton(&window);
    window.setEnabled(false);
    QVERIFY(b->Enabled());
    b->setEnabled(false);
    window.setEnabled(true);
    QVERIFY(!b->Enabled());
    QVERIFY(b->Visible());
    b->hide();
    QVERIFY(!b->Visible());
}

RITRAX_TEST(TestWidgets)

#include "tst_widgets.moc"
