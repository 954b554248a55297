// The button's input handling: which events it raises, in which order, and
// how it reacts (pressed look, click, check box, focus, hover).

#include "TestRegistry.h"
#include "WidgetTests.h"
#include "chameleonButton.h"

#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Leave(QWidget* w)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(w, &e);
}

// Every public event of a button, as text, in the order raised.
struct EventLog {
    QStringList lines;
    explicit EventLog(chameleonButton* b)
    {
        const auto mouse = [this](const char* name) {
            return [this, name](qint16& button, qint16&, float& x, float& y) {
                lines << QStringLiteral("%1 %2 %3,%4").arg(QLatin1String(name)).arg(button).arg(x).arg(y);
            };
        };
        QObject::connect(b, &chameleonButton::MouseDown, b, mouse("MouseDown"));
        QObject::connect(b, &chameleonButton::MouseUp, b, mouse("MouseUp"));
        QObject::connect(b, &chameleonButton::MouseMove, b, [this](qint16& button, qint16&, float&, float&) {
            lines << QStringLiteral("MouseMove %1").arg(button);
        });
        QObject::connect(b, &chameleonButton::Click, b, [this] { lines << QStringLiteral("Click"); });
        QObject::connect(b, &chameleonButton::MouseOver, b, [this] { lines << QStringLiteral("MouseOver"); });
        QObject::connect(b, &chameleonButton::MouseOut, b, [this] { lines << QStringLiteral("MouseOut"); });
        QObject::connect(b, &chameleonButton::KeyDown, b,
                         [this](qint16& code, qint16&) { lines << QStringLiteral("KeyDown %1").arg(code); });
        QObject::connect(b, &chameleonButton::KeyUp, b,
                         [this](qint16& code, qint16&) { lines << QStringLiteral("KeyUp %1").arg(code); });
        QObject::connect(b, &chameleonButton::KeyPress, b,
                         [this](qint16& ascii) { lines << QStringLiteral("KeyPress %1").arg(ascii); });
    }
};

// A button inside a window of its own (window shapes are for child widgets).
struct Hosted {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    chameleonButton* button = new chameleonButton(window.get());
    chameleonButton* get() const { return button; }
    chameleonButton* operator->() const { return button; }
};

Hosted ShownButton()
{
    Hosted h;
    h->setButtonType(3);
    h->setCaption(QStringLiteral("&Salva"));
    h->resize(80, 30);
    h.window->resize(200, 100);
    h.window->show();
    return h;
}

using Setter = std::function<void(chameleonButton&)>;

} // namespace

Q_DECLARE_METATYPE(Setter)

class TestButtonInput : public QObject {
    Q_OBJECT
private slots:
    void mouseButtons_data();
    void mouseButtons();
    void handlersMayChangeTheArguments();
    void dragOffLooksReleased();
    void hoverOncePerVisit();
    void coveredPartIsNotOver();
    void doubleClickClicksTwice();
    void spaceClicksOnRelease();
    void anotherKeyBetweenCancelsTheSpace();
    void hiddenButtonTakesNoKeys_data();
    void hiddenButtonTakesNoKeys();
    void arrowKeysMoveTheFocus_data();
    void arrowKeysMoveTheFocus();
    void accessKeyWithoutAlt();
    void checkBoxToggles();
    void designModeLinksTheHoverColours();
    void propertyChangedNames_data();
    void propertyChangedNames();
    void enabledRedrawsAtOnce();
    void handPointer();
};

void TestButtonInput::mouseButtons_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("drawnPressed");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("left") << int(Qt::LeftButton) << true
                          << QStringList{"MouseDown 1 10,12", "MouseUp 1 10,12", "Click"};
    QTest::newRow("right: never pressed, never a click")
        << int(Qt::RightButton) << false << QStringList{"MouseDown 2 10,12", "MouseUp 2 10,12"};
    QTest::newRow("middle: pressed, no click") << int(Qt::MiddleButton) << true
                                               << QStringList{"MouseDown 4 10,12", "MouseUp 4 10,12"};
}

void TestButtonInput::mouseButtons()
{
    QFETCH(int, button);
    QFETCH(bool, drawnPressed);
    QFETCH(QStringList, events);
    const auto b = ShownButton();
    EventLog log(b.get());
    const auto mb = Qt::MouseButton(button);
    SendMouse(b.get(), QEvent::MouseButtonPress, {10, 12}, mb, mb);
    QCOMPARE(b->lastState(), drawnPressed ? 2 : 0);
    SendMouse(b.get(), QEvent::MouseButtonRelease, {10, 12}, mb, Qt::NoButton);
    QCOMPARE(b->lastState(), 0);
    QCOMPARE(log.lines, events);
}

void TestButtonInput::handlersMayChangeTheArguments()
{
    const auto b = ShownButton();
    QSignalSpy clicks(b.get(), &chameleonButton::Click);
    // A MouseDown handler that turns the left button into the right one.
    const auto c1 = connect(b.get(), &chameleonButton::MouseDown, this,
                            [](qint16& button, qint16&, float&, float&) { button = 2; });
    SendMouse(b.get(), QEvent::MouseButtonPress, {10, 12}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(b->lastState(), 0);
    SendMouse(b.get(), QEvent::MouseButtonRelease, {10, 12}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(clicks.count(), 0);
    disconnect(c1);
    // A KeyDown handler that swallows the space bar.
    connect(b.get(), &chameleonButton::KeyDown, this, [](qint16& code, qint16&) { code = 0; });
    QTest::keyPress(b.get(), Qt::Key_Space);
    QCOMPARE(b->lastState(), 0);
    QTest::keyRelease(b.get(), Qt::Key_Space);
    QCOMPARE(clicks.count(), 0);
}

void TestButtonInput::dragOffLooksReleased()
{
    const auto b = ShownButton();
    EventLog log(b.get());
    SendMouse(b.get(), QEvent::MouseMove, {10, 12}, Qt::NoButton, Qt::NoButton); // hover
    SendMouse(b.get(), QEvent::MouseButtonPress, {10, 12}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(b.get(), QEvent::MouseMove, {300, 12}, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(b->lastState(), 0);
    QVERIFY(!b->mouseIsOver());
    SendMouse(b.get(), QEvent::MouseMove, {20, 12}, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(b->lastState(), 2); // back over it: pressed again
    QVERIFY(!b->mouseIsOver());  // but no new visit while the button is held
    SendMouse(b.get(), QEvent::MouseMove, {300, 12}, Qt::NoButton, Qt::LeftButton);
    SendMouse(b.get(), QEvent::MouseButtonRelease, {300, 12}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(log.lines, (QStringList{"MouseMove 0", "MouseOver", "MouseDown 1 10,12", "MouseMove 1", "MouseOut",
                                     "MouseMove 1", "MouseMove 1", "MouseUp 1 300,12"}));
}

void TestButtonInput::hoverOncePerVisit()
{
    const auto b = ShownButton();
    EventLog log(b.get());
    SendMouse(b.get(), QEvent::MouseMove, {10, 12}, Qt::NoButton, Qt::NoButton);
    SendMouse(b.get(), QEvent::MouseMove, {11, 12}, Qt::NoButton, Qt::NoButton);
    QVERIFY(b->mouseIsOver());
    Leave(b.get());
    Leave(b.get());
    QVERIFY(!b->mouseIsOver());
    SendMouse(b.get(), QEvent::MouseMove, {12, 12}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(log.lines, (QStringList{"MouseMove 0", "MouseOver", "MouseMove 0", "MouseOut", "MouseMove 0",
                                     "MouseOver"}));
}

void TestButtonInput::coveredPartIsNotOver()
{
    QWidget window;
    window.resize(200, 100);
    auto* b = new chameleonButton(&window);
    b->setGeometry(0, 0, 100, 40);
    auto* cover = new QWidget(&window);
    cover->setGeometry(50, 0, 100, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy over(b, &chameleonButton::MouseOver);
    SendMouse(b, QEvent::MouseMove, {60, 10}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(over.count(), 0);
    SendMouse(b, QEvent::MouseMove, {10, 10}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(over.count(), 1);
}

void TestButtonInput::doubleClickClicksTwice()
{
    const auto b = ShownButton();
    EventLog log(b.get());
    SendMouse(b.get(), QEvent::MouseButtonPress, {10, 12}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(b.get(), QEvent::MouseButtonRelease, {10, 12}, Qt::LeftButton, Qt::NoButton);
    SendMouse(b.get(), QEvent::MouseButtonDblClick, {10, 12}, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(b->lastState(), 2);
    SendMouse(b.get(), QEvent::MouseButtonRelease, {10, 12}, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(log.lines, (QStringList{"MouseDown 1 10,12", "MouseUp 1 10,12", "Click", "MouseDown 1 0,0",
                                     "MouseUp 1 10,12", "Click"}));
}

void TestButtonInput::spaceClicksOnRelease()
{
    const auto b = ShownButton();
    EventLog log(b.get());
    QTest::keyPress(b.get(), Qt::Key_Space);
    QCOMPARE(b->lastState(), 2);
    QTest::keyRelease(b.get(), Qt::Key_Space);
    QCOMPARE(b->lastState(), 0);
    QCOMPARE(log.lines, (QStringList{"KeyDown 32", "KeyPress 32", "KeyUp 32", "Click"}));
}

void TestButtonInput::anotherKeyBetweenCancelsTheSpace()
{
    const auto b = ShownButton();
    QSignalSpy clicks(b.get(), &chameleonButton::Click);
    QTest::keyPress(b.get(), Qt::Key_Space);
    QTest::keyClick(b.get(), Qt::Key_X);
    QTest::keyRelease(b.get(), Qt::Key_Space);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(b->lastState(), 0); // not left looking pressed
}

void TestButtonInput::hiddenButtonTakesNoKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("space") << int(Qt::Key_Space);
    QTest::newRow("its own access key") << int(Qt::Key_S);
}

void TestButtonInput::hiddenButtonTakesNoKeys()
{
    // Hidden while it had the focus, with no other control to take it.
    QFETCH(int, key);
    const auto b = ShownButton();
    b->setFocus();
    b->hide();
    EventLog log(b.get());
    QTest::keyClick(b.get(), Qt::Key(key));
    QCOMPARE(log.lines, QStringList());
}

void TestButtonInput::arrowKeysMoveTheFocus_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("focused");
    QTest::newRow("right: next") << int(Qt::Key_Right) << 2;
    QTest::newRow("down: next") << int(Qt::Key_Down) << 2;
    QTest::newRow("left: previous") << int(Qt::Key_Left) << 0;
    QTest::newRow("up: previous") << int(Qt::Key_Up) << 0;
}

void TestButtonInput::arrowKeysMoveTheFocus()
{
    QFETCH(int, key);
    QFETCH(int, focused);
    QWidget window;
    QList<chameleonButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons << new chameleonButton(&window);
        buttons.last()->setGeometry(0, 40 * i, 80, 30);
    }
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    buttons[1]->setFocus();
    QVERIFY(buttons[1]->hasFocus());
    QTest::keyClick(buttons[1], Qt::Key(key));
    QVERIFY(buttons[focused]->hasFocus());
}

void TestButtonInput::accessKeyWithoutAlt()
{
    QWidget window;
    auto* uno = new chameleonButton(&window);
    uno->setCaption(QStringLiteral("&Uno"));
    auto* due = new chameleonButton(&window);
    due->setCaption(QStringLiteral("&Due"));
    due->move(0, 40);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    uno->setFocus();
    QSignalSpy dueClicks(due, &chameleonButton::Click);
    QTest::keyClick(uno, Qt::Key_D, Qt::NoModifier, 0);
    QCOMPARE(dueClicks.count(), 1);
    due->setEnabled(false);
    QTest::keyClick(uno, Qt::Key_D);
    QCOMPARE(dueClicks.count(), 1);
}

void TestButtonInput::checkBoxToggles()
{
    const auto b = ShownButton();
    b->setCheckBoxBehaviour(true);
    QSignalSpy clicks(b.get(), &chameleonButton::Click);
    bool valueAtClick = false;
    connect(b.get(), &chameleonButton::Click, this, [&] { valueAtClick = b->Value(); });
    QTest::mouseClick(b.get(), Qt::LeftButton, {}, QPoint(10, 10));
    QVERIFY(b->Value());
    QVERIFY(valueAtClick); // inverted before Click is raised
    QCOMPARE(b->lastState(), 2); // stays drawn pressed
    QTest::keyClick(b.get(), Qt::Key_Space);
    QVERIFY(!b->Value());
    QCOMPARE(b->lastState(), 0);
    QTest::mouseClick(b.get(), Qt::RightButton, {}, QPoint(10, 10));
    QVERIFY(!b->Value());
    QCOMPARE(clicks.count(), 2);
}

void TestButtonInput::designModeLinksTheHoverColours()
{
    chameleonButton b;
    const OleColor before = b.BackOver();
    b.setBackColor(MakeOleColor(1, 2, 3));
    b.setForeColor(MakeOleColor(4, 5, 6));
    QCOMPARE(b.BackOver(), before);
    QCOMPARE(b.ForeOver(), b.colors().TextColor);
    b.setDesignMode(true);
    b.setBackColor(MakeOleColor(7, 8, 9));
    b.setForeColor(MakeOleColor(10, 11, 12));
    QCOMPARE(b.BackOver(), MakeOleColor(7, 8, 9));
    QCOMPARE(b.ForeOver(), MakeOleColor(10, 11, 12));
    QVERIFY(!b.FontBold());
    b.setButtonType(5);
    QVERIFY(b.FontBold());
}

void TestButtonInput::propertyChangedNames_data()
{
    QTest::addColumn<Setter>("set");
    QTest::addColumn<QString>("name");
    QTest::newRow("BackColor") << Setter([](chameleonButton& b) { b.setBackColor(1); }) << "BCOL";
    QTest::newRow("BackOver") << Setter([](chameleonButton& b) { b.setBackOver(1); }) << "BCOLO";
    QTest::newRow("ForeColor") << Setter([](chameleonButton& b) { b.setForeColor(1); }) << "FCOL";
    QTest::newRow("ForeOver") << Setter([](chameleonButton& b) { b.setForeOver(1); }) << "FCOLO";
    QTest::newRow("MaskColor") << Setter([](chameleonButton& b) { b.setMaskColor(1); }) << "MCOL";
    QTest::newRow("ButtonType") << Setter([](chameleonButton& b) { b.setButtonType(4); }) << "BTYPE";
    QTest::newRow("Caption") << Setter([](chameleonButton& b) { b.setCaption("x"); }) << "TX";
    QTest::newRow("Enabled") << Setter([](chameleonButton& b) { b.setEnabled(false); }) << "ENAB";
    QTest::newRow("Font") << Setter([](chameleonButton& b) { b.setFont(QFont("Arial", 20)); }) << "FONT";
    QTest::newRow("ColorScheme") << Setter([](chameleonButton& b) { b.setColorScheme(3); }) << "COLTYPE";
    QTest::newRow("ShowFocusRect") << Setter([](chameleonButton& b) { b.setShowFocusRect(false); }) << "FOCUSR";
    QTest::newRow("MousePointer") << Setter([](chameleonButton& b) { b.setMousePointer(2); }) << "MPTR";
    QTest::newRow("MouseIcon") << Setter([](chameleonButton& b) { b.setMouseIcon({}); }) << "MICON";
    QTest::newRow("HandPointer") << Setter([](chameleonButton& b) { b.setHandPointer(true); }) << "HAND";
    QTest::newRow("SoftBevel") << Setter([](chameleonButton& b) { b.setSoftBevel(true); }) << "SOFT";
    QTest::newRow("PictureNormal") << Setter([](chameleonButton& b) { b.setPictureNormal({}); }) << "PICN";
    QTest::newRow("PictureOver is PICO") << Setter([](chameleonButton& b) { b.setPictureOver({}); }) << "PICO";
    QTest::newRow("PicturePosition") << Setter([](chameleonButton& b) { b.setPicturePosition(2); }) << "PICPOS";
    QTest::newRow("UseMaskColor") << Setter([](chameleonButton& b) { b.setUseMaskColor(false); }) << "UMCOL";
    QTest::newRow("UseGreyscale") << Setter([](chameleonButton& b) { b.setUseGreyscale(true); }) << "NGREY";
    QTest::newRow("SpecialEffect") << Setter([](chameleonButton& b) { b.setSpecialEffect(1); }) << "FX";
    QTest::newRow("CheckBoxBehaviour") << Setter([](chameleonButton& b) { b.setCheckBoxBehaviour(true); }) << "CHECK";
    QTest::newRow("Value") << Setter([](chameleonButton& b) { b.setValue(true); }) << "VALUE";
    QTest::newRow("FontBold: none") << Setter([](chameleonButton& b) { b.setFontBold(true); }) << "";
    QTest::newRow("FontSize: none") << Setter([](chameleonButton& b) { b.setFontSize(20); }) << "";
}

void TestButtonInput::propertyChangedNames()
{
    QFETCH(Setter, set);
    QFETCH(QString, name);
    chameleonButton b;
    QSignalSpy changed(&b, &chameleonButton::PropertyChanged);
    set(b);
    QStringList names;
    for (const QList<QVariant>& args : changed)
        names << args.first().toString();
    QCOMPARE(names, name.isEmpty() ? QStringList() : QStringList{name});
}

void TestButtonInput::enabledRedrawsAtOnce()
{
    const auto b = ShownButton();
    const QImage before = b->surface();
    b->setEnabled(false);
    QVERIFY(b->surface() != before);
    QVERIFY(!b->Enabled());
    QSignalSpy clicks(b.get(), &chameleonButton::Click);
    QTest::mouseClick(b.get(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(clicks.count(), 0);
    b->setEnabled(true);
    QCOMPARE(b->surface(), before);
}

void TestButtonInput::handPointer()
{
    chameleonButton b;
    b.setHandPointer(true);
    QCOMPARE(b.MousePointer(), qint16(99));
    QCOMPARE(b.cursor().shape(), Qt::PointingHandCursor);
    b.setHandPointer(false);
    QCOMPARE(b.MousePointer(), qint16(1));
    QCOMPARE(b.cursor().shape(), Qt::ArrowCursor);
    b.setMousePointer(11);
    QCOMPARE(b.cursor().shape(), Qt::WaitCursor);
}

RITRAX_TEST(TestButtonInput)

#include "tst_buttoninput.moc"
