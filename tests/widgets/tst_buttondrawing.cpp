// What the button draws: the style 3 recipes pixel by pixel in every look,
// spot checks of the other styles, pictures, and the window shape.

#include "ButtonColors.h"
#include "ButtonRegion.h"
#include "TestRegistry.h"
#include "WidgetTests.h"
#include "chameleonButton.h"

#include <QMouseEvent>
#include <QTest>

namespace {

constexpr OleColor Face = MakeOleColor(100, 110, 120);
constexpr OleColor Outline = MakeOleColor(0, 60, 115);
constexpr OleColor OutlineCorner = MakeOleColor(16, 77, 123);

// Style 3's colours: the light face shifted by k, blue scaled.
OleColor L(int k, OleColor face = Face)
{
    return ShiftColor(ShiftColor(face, 48, true, false), k, true, false);
}

OleColor B(int k)
{
    return ShiftColor(L(-32), k, true, false);
}

struct Probe {
    QPoint at;
    OleColor colour;
};

void SendMouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A button inside a window of its own (window shapes are for child widgets).
struct Hosted {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    chameleonButton* button = new chameleonButton(window.get());
    chameleonButton* get() const { return button; }
    chameleonButton* operator->() const { return button; }
};

// A shown 40 x 20 button of style 3 under scheme 2, without caption.
Hosted Style3Button()
{
    Hosted h;
    h->setFocusPolicy(Qt::NoFocus);
    h->setButtonType(3);
    h->setColorScheme(2);
    h->setBackColor(Face);
    h->setBackOver(Face);
    h->resize(40, 20);
    h.window->show();
    return h;
}

} // namespace

Q_DECLARE_METATYPE(QList<Probe>)

class TestButtonDrawing : public QObject {
    Q_OBJECT
private slots:
    void style3_data();
    void style3();
    void style3FocusIsTheBlueGlow();
    void scheme2HoverDrawsBackOver();
    void otherStyles_data();
    void otherStyles();
    void disabledPictureIsGreyAndMoved();
    void pictureShadowEffect();
    void style11ShowsWhatIsUnderIt();
    void style3To13MakesTheShapeAnEllipse();
    void emptyCaptionCentresThePicture();
    void checkBoxDrawsPressedWhileValue();
    void disableRefreshHoldsTheSurface();
};

void TestButtonDrawing::style3_data()
{
    QTest::addColumn<QString>("look");
    QTest::addColumn<QList<Probe>>("probes");
    const QList<Probe> outline{{{20, 0}, Outline},        {{0, 10}, Outline},        {{39, 10}, Outline},
                               {{20, 19}, Outline},       {{1, 1}, OutlineCorner},   {{1, 18}, OutlineCorner},
                               {{38, 1}, OutlineCorner},  {{38, 18}, OutlineCorner}};
    // Gradient rows of a 20 pixel button: -round(1.25 i), halves to even.
    QTest::newRow("normal") << "normal"
                            << outline + QList<Probe>{
                                   {{20, 3}, L(-4)},   {{20, 6}, L(-8)},   {{20, 10}, L(-12)}, {{20, 14}, L(-18)},
                                   {{20, 16}, L(-20)}, {{20, 18}, L(-48)}, {{20, 17}, L(-32)}, {{38, 10}, L(-36)},
                                   {{37, 10}, L(-24)}, {{20, 1}, L(16)},   {{20, 2}, L(10)},   {{1, 10}, L(-5)},
                                   {{2, 10}, L(-10)},
                                   // End points stay unpainted, so the earlier line shows there.
                                   {{38, 2}, L(-36)},  {{2, 17}, L(-32)},  {{37, 17}, L(-32)}, {{1, 2}, L(-5)},
                                   {{2, 2}, L(10)}};
    QTest::newRow("hovered") << "hovered"
                             << outline + QList<Probe>{
                                    {{20, 10}, L(-12)},
                                    {{20, 18}, MakeOleColor(231, 150, 0)},   {{20, 1}, MakeOleColor(255, 243, 206)},
                                    {{20, 2}, MakeOleColor(255, 219, 140)},  {{1, 2}, MakeOleColor(255, 219, 140)},
                                    {{1, 10}, MakeOleColor(255, 178, 49)},   {{38, 10}, MakeOleColor(255, 178, 49)},
                                    {{20, 17}, MakeOleColor(255, 178, 49)},  {{2, 17}, MakeOleColor(255, 178, 49)},
                                    {{2, 10}, MakeOleColor(255, 203, 107)},  {{37, 10}, MakeOleColor(255, 203, 107)}};
    QTest::newRow("default button") << "default"
                                    << outline + QList<Probe>{
                                           {{20, 18}, MakeOleColor(107, 130, 239)},
                                           {{20, 1}, MakeOleColor(206, 231, 255)},
                                           {{20, 2}, MakeOleColor(189, 215, 247)},
                                           {{1, 10}, MakeOleColor(140, 174, 231)},
                                           {{2, 10}, MakeOleColor(181, 209, 240)},
                                           {{37, 10}, MakeOleColor(181, 209, 240)}};
    // Pressed: the gradient runs up from the bottom in B = L -32.
    QTest::newRow("pressed") << "pressed"
                             << outline + QList<Probe>{
                                    {{20, 10}, B(-12)}, {{20, 5}, B(-19)}, {{20, 14}, B(-8)},  {{20, 18}, B(16)},
                                    {{20, 17}, B(10)},  {{38, 10}, B(5)},  {{37, 10}, L(0)},   {{20, 1}, B(-32)},
                                    {{20, 2}, B(-24)},  {{1, 10}, B(-32)}, {{2, 10}, B(-22)}};
    QTest::newRow("disabled") << "disabled"
                              << QList<Probe>{{{20, 10}, L(-24)}, {{2, 2}, L(-24)},  {{0, 10}, L(-84)},
                                              {{20, 19}, L(-84)}, {{1, 1}, L(-72)},  {{38, 18}, L(-72)}};
}

void TestButtonDrawing::style3()
{
    QFETCH(QString, look);
    QFETCH(QList<Probe>, probes);
    const auto b = Style3Button();
    if (look == QLatin1String("hovered"))
        SendMouse(b.get(), QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::NoButton);
    else if (look == QLatin1String("default"))
        b->setDisplayAsDefault(true);
    else if (look == QLatin1String("pressed"))
        SendMouse(b.get(), QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton, Qt::LeftButton);
    else if (look == QLatin1String("disabled"))
        b->setEnabled(false);
    for (const Probe& p : probes)
        QVERIFY2(PixelAt(b->surface(), p.at.x(), p.at.y()) == p.colour,
                 qPrintable(QStringLiteral("%1,%2: %3, expected %4")
                                .arg(p.at.x())
                                .arg(p.at.y())
                                .arg(PixelAt(b->surface(), p.at.x(), p.at.y()))
                                .arg(p.colour)));
}

void TestButtonDrawing::style3FocusIsTheBlueGlow()
{
    QWidget window;
    auto* b = new chameleonButton(&window);
    b->setButtonType(3);
    b->setColorScheme(2);
    b->setBackColor(Face);
    b->resize(40, 20);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    b->setFocus();
    QCOMPARE(PixelAt(b->surface(), 20, 18), MakeOleColor(107, 130, 239));
    b->setShowFocusRect(false);
    QCOMPARE(PixelAt(b->surface(), 20, 18), L(-48));
}

void TestButtonDrawing::scheme2HoverDrawsBackOver()
{
    const OleColor yellow = MakeOleColor(255, 255, 0);
    const OleColor green = MakeOleColor(0, 128, 0);
    const auto b = Style3Button();
    b->setBackColor(yellow);
    b->setBackOver(green);
    SendMouse(b.get(), QEvent::MouseMove, {20, 10}, Qt::NoButton, Qt::NoButton);
    QVERIFY(b->mouseIsOver());
    QCOMPARE(PixelAt(b->surface(), 20, 10), L(-12, green));
    QCOMPARE(PixelAt(b->surface(), 20, 18), MakeOleColor(231, 150, 0)); // and the hover glow
    QCOMPARE(b->BackColor(), yellow);
    QCOMPARE(b->colors().FaceColor, yellow);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b.get(), &leave);
    QCOMPARE(PixelAt(b->surface(), 20, 10), L(-12, yellow));
}

void TestButtonDrawing::otherStyles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<QList<Probe>>("probes");
    // Scheme 3: face 192, shadow 128, light 223, highlight 255, dark shadow 0.
    const auto grey = [](int v) { return MakeOleColor(v, v, v); };
    QTest::newRow("1 normal: bevel inset by 1 in an outline")
        << 1 << false << false
        << QList<Probe>{{{0, 10}, grey(0)}, {{1, 10}, grey(255)}, {{38, 10}, grey(128)}, {{2, 10}, grey(255)},
                        {{37, 10}, grey(128)}, {{1, 18}, grey(128)}};
    QTest::newRow("1 pressed") << 1 << true << false << QList<Probe>{{{1, 10}, grey(128)}, {{38, 10}, grey(255)}};
    QTest::newRow("2 normal") << 2 << false << false
                              << QList<Probe>{{{0, 10}, grey(255)}, {{39, 10}, grey(0)}, {{1, 10}, grey(223)},
                                              {{38, 10}, grey(128)}, {{0, 19}, grey(0)}, {{39, 0}, grey(0)}};
    QTest::newRow("2 pressed") << 2 << true << false
                               << QList<Probe>{{{0, 10}, grey(0)}, {{39, 10}, grey(255)}, {{1, 10}, grey(128)},
                                               {{38, 10}, grey(223)}};
    QTest::newRow("2 default") << 2 << false << true
                               << QList<Probe>{{{0, 10}, grey(0)}, {{1, 10}, grey(255)}, {{38, 10}, grey(0)}};
    QTest::newRow("2 default pressed") << 2 << true << true
                                       << QList<Probe>{{{0, 10}, grey(0)}, {{1, 10}, grey(128)}, {{2, 10}, grey(192)}};
    QTest::newRow("7 single ring") << 7 << false << false
                                   << QList<Probe>{{{0, 10}, grey(255)}, {{39, 10}, grey(128)}, {{1, 10}, grey(192)}};
    QTest::newRow("8 flat until hovered") << 8 << false << false << QList<Probe>{{{0, 10}, grey(192)}};
    QTest::newRow("8 pressed") << 8 << true << false << QList<Probe>{{{0, 10}, grey(128)}, {{39, 10}, grey(255)}};
    QTest::newRow("5 flat") << 5 << false << false
                            << QList<Probe>{{{0, 10}, grey(102)}, {{1, 10}, grey(255)}, {{20, 10}, grey(204)},
                                            {{39, 10}, grey(255)}, {{38, 1}, grey(154)}};
    QTest::newRow("4 pressed: sunken") << 4 << true << false
                                       << QList<Probe>{{{0, 10}, grey(0)}, {{1, 10}, grey(64)}, {{2, 10}, grey(96)},
                                                       {{20, 10}, grey(112)}};
    QTest::newRow("14 glossy frames") << 14 << false << false
                                      << QList<Probe>{{{0, 10}, grey(78)}, {{1, 10}, grey(183)}, {{2, 10}, grey(255)}};
}

void TestButtonDrawing::otherStyles()
{
    QFETCH(int, style);
    QFETCH(bool, pressed);
    QFETCH(bool, isDefault);
    QFETCH(QList<Probe>, probes);
    const Hosted b;
    b->setFocusPolicy(Qt::NoFocus);
    b->setButtonType(style);
    b->setColorScheme(3);
    b->setDisplayAsDefault(isDefault);
    b->resize(40, 20);
    b.window->show();
    if (pressed)
        SendMouse(b.get(), QEvent::MouseButtonPress, {20, 10}, Qt::LeftButton, Qt::LeftButton);
    for (const Probe& p : probes)
        QVERIFY2(PixelAt(b->surface(), p.at.x(), p.at.y()) == p.colour,
                 qPrintable(QStringLiteral("%1,%2: %3").arg(p.at.x()).arg(p.at.y()).arg(PixelAt(b->surface(), p.at.x(), p.at.y()))));
}

void TestButtonDrawing::disabledPictureIsGreyAndMoved()
{
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const auto b = Style3Button();
    b->setPictureNormal(ButtonPicture::FromImage(red));
    // Centred without caption: 18, 8.
    QCOMPARE(PixelAt(b->surface(), 18, 8), MakeOleColor(255, 0, 0));
    b->setEnabled(false);
    QCOMPARE(PixelAt(b->surface(), 18, 8), L(-24));
    QCOMPARE(PixelAt(b->surface(), 19, 9), MakeOleColor(76, 76, 76));
    QCOMPARE(PixelAt(b->surface(), 22, 12), MakeOleColor(76, 76, 76));
}

void TestButtonDrawing::pictureShadowEffect()
{
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    const auto b = Style3Button();
    b->setPictureNormal(ButtonPicture::FromImage(red));
    b->setSpecialEffect(3);
    QCOMPARE(PixelAt(b->surface(), 21, 11), MakeOleColor(255, 0, 0));
    // The shadow copy lies 1 right and 1 down, in the light face shifted by -40.
    QCOMPARE(PixelAt(b->surface(), 22, 12), ShiftColor(L(0), -40, false, false));
}

void TestButtonDrawing::style11ShowsWhatIsUnderIt()
{
    QWidget window;
    window.resize(100, 60);
    QPalette red = window.palette();
    red.setColor(QPalette::Window, QColor(200, 10, 10));
    window.setPalette(red);
    window.setAutoFillBackground(true);
    auto* b = new chameleonButton(&window);
    b->setButtonType(11);
    b->setGeometry(10, 10, 40, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(PixelAt(b->surface(), 20, 10), MakeOleColor(200, 10, 10));
}

void TestButtonDrawing::style3To13MakesTheShapeAnEllipse()
{
    const auto b = Style3Button();
    QCOMPARE(b->mask(), MakeRegion(3, 40, 20));
    QVERIFY(!b->mask().contains(QPoint(1, 0)));
    QVERIFY(b->mask().contains(QPoint(2, 0)));
    b->setButtonType(13);
    QCOMPARE(b->mask(), QRegion(0, 0, 40, 20, QRegion::Ellipse));
    QVERIFY(!b->mask().contains(QPoint(2, 0)));
    b->setButtonType(2);
    QVERIFY(b->mask().isEmpty()); // the whole rectangle
}

void TestButtonDrawing::emptyCaptionCentresThePicture()
{
    QImage picture(10, 6, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int position = 0; position <= 3; ++position) {
        const auto b = Style3Button();
        b->setPictureNormal(ButtonPicture::FromImage(picture));
        b->setPicturePosition(position);
        b->setCaption(QStringLiteral("  "));
        QCOMPARE(QPoint(b->layout().pictureLeft, b->layout().pictureTop), QPoint(15, 7));
        b->setCaption(QStringLiteral("Ok"));
        QVERIFY(QPoint(b->layout().pictureLeft, b->layout().pictureTop) != QPoint(15, 7));
    }
}

void TestButtonDrawing::checkBoxDrawsPressedWhileValue()
{
    const auto b = Style3Button();
    b->setValue(true); // not a check box: no redraw, nothing changes
    QCOMPARE(b->lastState(), 0);
    QCOMPARE(PixelAt(b->surface(), 20, 10), L(-12));
    b->setValue(false);
    b->setCheckBoxBehaviour(true);
    QCOMPARE(b->lastState(), 0);
    b->setValue(true);
    QCOMPARE(b->lastState(), 2);
    QCOMPARE(PixelAt(b->surface(), 20, 10), B(-12));
    b->setValue(false);
    QCOMPARE(PixelAt(b->surface(), 20, 10), L(-12));
}

void TestButtonDrawing::disableRefreshHoldsTheSurface()
{
    const auto b = Style3Button();
    const QImage before = b->surface();
    b->DisableRefresh();
    b->setBackColor(MakeOleColor(10, 20, 30));
    b->setCaption(QStringLiteral("Ok"));
    QCOMPARE(b->surface(), before);
    b->Refresh();
    QCOMPARE(PixelAt(b->surface(), 5, 16), L(-20, MakeOleColor(10, 20, 30)));
}

RITRAX_TEST(TestButtonDrawing)

#include "tst_buttondrawing.moc"
