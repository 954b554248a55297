#include "TestRegistry.h"
#include "WindowAside.h"

#include <QDialog>
#include <QTest>
#include <QWidget>

using Screens = QList<QRect>;

// When the main window counts as out of the way: only when no pixel of its
// frame is left on any screen.
class TestWindowAside : public QObject {
    Q_OBJECT
private slots:
    void whollyOffScreen_data();
    void whollyOffScreen();
    void putBackWhereItWas();
    void dialogLeftAsItIs();
};

void TestWindowAside::whollyOffScreen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<Screens>("screens");
    QTest::addColumn<bool>("off");
    const QRect one(0, 0, 1280, 800);
    const Screens two{one, QRect(1280, 0, 1920, 1080)};
    QTest::newRow("beyond the right edge") << QRect(1347, 40, 1020, 700) << Screens{one} << true;
    QTest::newRow("openbox leaves 101 pixels") << QRect(1179, 40, 1020, 700) << Screens{one} << false;
    QTest::newRow("touching the edge") << QRect(1280, 40, 1020, 700) << Screens{one} << true;
    QTest::newRow("below the screen") << QRect(100, 800, 1020, 700) << Screens{one} << true;
    QTest::newRow("on the second screen") << QRect(1347, 40, 1020, 700) << two << false;
    QTest::newRow("beyond both screens") << QRect(3267, 40, 1020, 700) << two << true;
}

void TestWindowAside::whollyOffScreen()
{
    QFETCH(QRect, frame);
    QFETCH(Screens, screens);
    QFETCH(bool, off);
    QCOMPARE(WhollyOffScreen(frame, screens), off);
}

namespace {

// The window at a known place on the screen, shown and drawn.
bool ShownAt(QWidget& window)
{
    window.setGeometry(120, 70, 400, 300);
    window.show();
    return QTest::qWaitForWindowExposed(&window);
}

} // namespace

void TestWindowAside::putBackWhereItWas()
{
    QWidget window;
    QVERIFY(ShownAt(window));
    const QRect before = window.geometry();
    {
        const WindowAside aside(&window);
        QVERIFY(aside.hidden() || window.frameGeometry().left() > window.screen()->virtualGeometry().right());
        QVERIFY(aside.hidden() != window.isVisible());
    }
    QVERIFY(window.isVisible());
    QCOMPARE(window.geometry(), before);
}

void TestWindowAside::dialogLeftAsItIs()
{
    // Hidden, a dialog in its modal loop would end it.
    QDialog dialog;
    QVERIFY(ShownAt(dialog));
    const QRect before = dialog.geometry();
    const WindowAside aside(&dialog);
    QVERIFY(!aside.hidden());
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.geometry(), before);
}

RITRAX_TEST(TestWindowAside)
#include "tst_windowaside.moc"
