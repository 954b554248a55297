#include "FramingRules.h"
#include "TestRegistry.h"

#include <QTest>

using namespace Framing;
Q_DECLARE_METATYPE(Framing::Selection)

namespace {
const EditorKind& KindOf(bool photo)
{
    return photo ? EditorKind::Photo() : EditorKind::Signature();
}
} // namespace

class TestFramingRules : public QObject {
    Q_OBJECT
private slots:
    void scrollSetup_data();
    void scrollSetup();
    void initialSelection_data();
    void initialSelection();
    void builtInPresets_data();
    void builtInPresets();
    void press_data();
    void press();
    void hoverPointer_data();
    void hoverPointer();
    void proportion_data();
    void proportion();
    void resizeBottomRight_data();
    void resizeBottomRight();
    void resizeTopLeft_data();
    void resizeTopLeft();
    void move_data();
    void move();
    void signaturePreview_data();
    void signaturePreview();
};

void TestFramingRules::scrollSetup_data()
{
    QTest::addColumn<int>("viewport");
    QTest::addColumn<int>("picture");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("smallStep");
    QTest::addColumn<int>("largeStep");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("view");
    // 671 / 20 = 33.55, 671 / 2 = 335.5 to even; 633 / 20 = 31.65, 316.5 to even.
    QTest::newRow("photo, across") << 671 << 2480 << true << 34 << 336 << 1809 << 671;
    QTest::newRow("photo, down") << 633 << 3508 << true << 32 << 316 << 2875 << 633;
    // 977 / 20 = 48.85, 488.5 to even; 425 / 20 = 21.25, 212.5 to even.
    QTest::newRow("signature, across") << 977 << 2480 << true << 49 << 488 << 1503 << 977;
    QTest::newRow("signature, down") << 425 << 3508 << true << 21 << 212 << 3083 << 425;
    QTest::newRow("picture as wide as the viewport") << 671 << 671 << false << 1 << 1 << 32767 << 671;
    QTest::newRow("smaller picture") << 671 << 300 << false << 1 << 1 << 32767 << 300;
}

void TestFramingRules::scrollSetup()
{
    QFETCH(int, viewport);
    QFETCH(int, picture);
    QFETCH(bool, enabled);
    QFETCH(int, smallStep);
    QFETCH(int, largeStep);
    QFETCH(int, maximum);
    QFETCH(int, view);
    const ScrollSetup s = SetUpScroll(viewport, picture);
    QCOMPARE(s.enabled, enabled);
    QCOMPARE(s.smallStep, smallStep);
    QCOMPARE(s.largeStep, largeStep);
    QCOMPARE(s.maximum, maximum);
    QCOMPARE(int(s.view), view);
}

void TestFramingRules::initialSelection_data()
{
    QTest::addColumn<bool>("photo");
    QTest::addColumn<int>("viewWidth");
    QTest::addColumn<int>("viewHeight");
    QTest::addColumn<Selection>("expected");
    // 671 x 633: 604 x 570, width from 570 x 0.828 = 471.96, left 99.5 and top 31.5 to even.
    QTest::newRow("photo viewport") << true << 671 << 633 << Selection{100, 32, 472, 570};
    // 977 x 425: 879 x 382 (382.5 to even), height 879 / 5 = 175.8, top 124.5 to even.
    QTest::newRow("signature viewport") << false << 977 << 425 << Selection{49, 124, 879, 176};
    // A small picture: 90 % of it, with the proportion, centred.
    QTest::newRow("small photo picture, left 75.5 to even") << true << 300 << 200 << Selection{76, 10, 149, 180};
    QTest::newRow("small signature picture") << false << 300 << 200 << Selection{15, 73, 270, 54};
    QTest::newRow("tall photo picture, width kept") << true << 200 << 600 << Selection{10, 192, 180, 217};
}

void TestFramingRules::initialSelection()
{
    QFETCH(bool, photo);
    QFETCH(int, viewWidth);
    QFETCH(int, viewHeight);
    QFETCH(Selection, expected);
    QCOMPARE(InitialSelection(qint16(viewWidth), qint16(viewHeight), KindOf(photo)), expected);
}

void TestFramingRules::builtInPresets_data()
{
    QTest::addColumn<bool>("photo");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QList<int>>("assignments"); // bar (0 across, 1 down), value, ...
    QTest::newRow("exactly 2100 wide is not wide") << true << QSize(2100, 1000) << QList<int>{};
    QTest::newRow("2101 wide") << true << QSize(2101, 1000) << QList<int>{0, 210};
    QTest::newRow("exactly 2700 high is not tall") << false << QSize(1000, 2700) << QList<int>{};
    QTest::newRow("2701 high") << false << QSize(1000, 2701) << QList<int>{1, 874};
    QTest::newRow("middle, lower corner") << true << QSize(2350, 1464) << QList<int>{0, 210, 0, 315, 1, 100};
    QTest::newRow("middle, upper corner") << true << QSize(2750, 1864) << QList<int>{0, 210, 0, 315, 1, 100};
    QTest::newRow("just outside the middle") << true << QSize(2751, 1864) << QList<int>{0, 210};
    QTest::newRow("signature 2400 x 3000") << false << QSize(2400, 3000) << QList<int>{0, 244, 1, 874};
    QTest::newRow("signature middle") << false << QSize(2400, 1500) << QList<int>{0, 244, 0, 166, 1, 710};
}

void TestFramingRules::builtInPresets()
{
    QFETCH(bool, photo);
    QFETCH(QSize, picture);
    QFETCH(QList<int>, assignments);
    QList<int> got;
    for (const ScrollAssignment& a : BuiltInPresets(picture.width(), picture.height(), KindOf(photo)))
        got << (a.bar == ScrollAssignment::Horizontal ? 0 : 1) << a.value;
    QCOMPARE(got, assignments);
}

void TestFramingRules::press_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<Selection>("selection");
    QTest::addColumn<int>("mode");
    const Selection s{100, 50, 200, 100}; // with scroll 10, 20: L 110, T 70, R 310, B 170
    QTest::newRow("inside") << 1 << QPointF(200, 120) << s << int(Moving);
    QTest::newRow("on R - 8, bottom rows") << 1 << QPointF(302, 165) << s << int(ResizingBottomRight);
    QTest::newRow("just left of R - 8") << 1 << QPointF(301.9, 165) << s << int(Moving);
    QTest::newRow("on the bottom-right corner") << 1 << QPointF(310, 170) << s << int(ResizingBottomRight);
    QTest::newRow("on the top-left corner") << 1 << QPointF(110, 70) << s << int(ResizingTopLeft);
    QTest::newRow("on L + 8, T + 8") << 1 << QPointF(118, 78) << s << int(ResizingTopLeft);
    QTest::newRow("outside") << 1 << QPointF(50, 50) << s << int(Idle);
    QTest::newRow("right button") << 2 << QPointF(200, 120) << s << int(Idle);
    QTest::newRow("left with right held") << 3 << QPointF(200, 120) << s << int(Idle);
    const Selection tiny{100, 50, 8, 8};
    QTest::newRow("8 x 8: the top-left grip wins the overlap") << 1 << QPointF(114, 74) << tiny
                                                               << int(ResizingTopLeft);
}

void TestFramingRules::press()
{
    QFETCH(int, buttons);
    QFETCH(QPointF, at);
    QFETCH(Selection, selection);
    QFETCH(int, mode);
    const Press p = PressAt(buttons, float(at.x()), float(at.y()), selection, 10, 20);
    QCOMPARE(int(p.dragMode), mode);
    if (buttons == 1) {
        // The viewport-relative corner is taken from the picture-relative pointer.
        QCOMPARE(int(p.grabDX), qRound(at.x()) - selection.left);
        QCOMPARE(int(p.grabDY), qRound(at.y()) - selection.top);
    }
}

void TestFramingRules::hoverPointer_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<int>("pointer");
    QTest::newRow("outside") << QPointF(10, 10) << int(PointerDefault);
    QTest::newRow("inside") << QPointF(200, 100) << int(PointerFourWay);
    QTest::newRow("bottom-right grip") << QPointF(300, 150) << int(PointerDiagonal);
    QTest::newRow("top-left grip") << QPointF(100, 50) << int(PointerDiagonal);
}

void TestFramingRules::hoverPointer()
{
    QFETCH(QPointF, at);
    QFETCH(int, pointer);
    QCOMPARE(HoverPointer(Selection{100, 50, 200, 100}, 0, 0, float(at.x()), float(at.y())), pointer);
}

void TestFramingRules::proportion_data()
{
    QTest::addColumn<QSize>("dragged");
    QTest::addColumn<QSize>("corrected");
    QTest::addColumn<int>("pointer");
    QTest::newRow("too wide: height from width") << QSize(200, 200) << QSize(200, 242) << 9;
    QTest::newRow("too tall: width from height") << QSize(100, 200) << QSize(166, 200) << 7;
    QTest::newRow("exactly 0.828") << QSize(207, 250) << QSize(207, 250) << 8;
}

void TestFramingRules::proportion()
{
    QFETCH(QSize, dragged);
    QFETCH(QSize, corrected);
    QFETCH(int, pointer);
    const Proportioned p = CorrectProportion(dragged.width(), dragged.height());
    QCOMPARE(QSize(p.width, p.height), corrected);
    QCOMPARE(p.pointer, pointer);
}

void TestFramingRules::resizeBottomRight_data()
{
    QTest::addColumn<bool>("photo");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<Selection>("expected");
    QTest::addColumn<int>("pointer");
    // Selection at 100, 50 in a 671 x 633 view, no scroll.
    QTest::newRow("photo 200 x 200 -> 200 x 242") << true << QPointF(300, 250) << Selection{100, 50, 200, 242} << 9;
    QTest::newRow("photo 100 x 200 -> 166 x 200") << true << QPointF(200, 250) << Selection{100, 50, 166, 200} << 7;
    QTest::newRow("photo 207 x 250 kept") << true << QPointF(307, 300) << Selection{100, 50, 207, 250} << 8;
    QTest::newRow("left of the top-left corner: 20 wide") << false << QPointF(20, 300)
                                                          << Selection{100, 50, 20, 250} << 8;
    QTest::newRow("past the right edge") << false << QPointF(5000, 300) << Selection{100, 50, 570, 250} << 8;
    QTest::newRow("photo past the bottom edge") << true << QPointF(600, 5000) << Selection{100, 50, 482, 582} << 7;
    QTest::newRow("beyond the 16-bit range") << true << QPointF(1e9, 1e9) << Selection{100, 50, 482, 582} << 9;
}

void TestFramingRules::resizeBottomRight()
{
    QFETCH(bool, photo);
    QFETCH(QPointF, to);
    QFETCH(Selection, expected);
    QFETCH(int, pointer);
    const Step step = ResizeBottomRightStep(Selection{100, 50, 150, 150}, float(to.x()), float(to.y()), 0, 0,
                                            View{671, 633}, KindOf(photo));
    QCOMPARE(step.selection, expected);
    QCOMPARE(step.pointer, pointer);
}

void TestFramingRules::resizeTopLeft_data()
{
    QTest::addColumn<bool>("photo");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<Selection>("expected");
    // Selection 100, 50, 200 x 100: right and bottom stay at 300, 150.
    QTest::newRow("up and left") << false << QPointF(50, 20) << Selection{50, 20, 250, 130};
    QTest::newRow("past the bottom-right corner: 20 x 20") << false << QPointF(400, 400) << Selection{280, 130, 20, 20};
    QTest::newRow("beyond the top-left of the view") << false << QPointF(-500, -500) << Selection{0, 0, 300, 150};
    QTest::newRow("photo keeps the proportion") << true << QPointF(50, 20) << Selection{50, -1, 250, 302};
}

void TestFramingRules::resizeTopLeft()
{
    QFETCH(bool, photo);
    QFETCH(QPointF, to);
    QFETCH(Selection, expected);
    if (expected.top < 0) {
        // Photo: 250 x 130 is too wide, height from width: 250 / 0.828 = 301.9 -> 302,
        // more than the 150 above the bottom edge: height 150, width 150 x 0.828 = 124.2 -> 124.
        expected = Selection{176, 0, 124, 150};
    }
    const Step step = ResizeTopLeftStep(Selection{100, 50, 200, 100}, float(to.x()), float(to.y()), 0, 0,
                                        View{671, 633}, KindOf(photo));
    QCOMPARE(step.selection, expected);
}

void TestFramingRules::move_data()
{
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<Selection>("expected");
    // Grabbed 10, 10 inside a 200 x 100 selection in a 671 x 633 view.
    QTest::newRow("plain move") << QPointF(210, 110) << Selection{200, 100, 200, 100};
    QTest::newRow("far right stops at ViewWidth - 1") << QPointF(5000, 110) << Selection{470, 100, 200, 100};
    QTest::newRow("far up-left stops at 0, 0") << QPointF(-5000, -5000) << Selection{0, 0, 200, 100};
    QTest::newRow("far down") << QPointF(210, 1e9) << Selection{200, 532, 200, 100};
}

void TestFramingRules::move()
{
    QFETCH(QPointF, to);
    QFETCH(Selection, expected);
    const Step step = MoveStep(Selection{100, 50, 200, 100}, float(to.x()), float(to.y()), 10, 10, View{671, 633});
    QCOMPARE(step.selection, expected);
    QCOMPARE(step.pointer, -1);
}

void TestFramingRules::signaturePreview_data()
{
    QTest::addColumn<QSize>("crop");
    QTest::addColumn<QRect>("shown");
    QTest::newRow("900 x 150") << QSize(900, 150) << QRect(7, 536, 706, 117);
    QTest::newRow("300 x 150") << QSize(300, 150) << QRect(222, 526, 276, 138);
    QTest::newRow("706 x 138 fills the area") << QSize(706, 138) << QRect(7, 526, 706, 138);
}

void TestFramingRules::signaturePreview()
{
    QFETCH(QSize, crop);
    QFETCH(QRect, shown);
    QCOMPARE(SignaturePreview(crop.width(), crop.height(), QPoint(6, 525)), shown);
}

RITRAX_TEST(TestFramingRules)
#include "tst_framingrules.moc"
