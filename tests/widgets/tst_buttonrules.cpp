// The pure rules of the button: colour arithmetic, palettes, window shapes,
// the pixel rules of the drawing primitives, picture compositing and the
// caption layout.

#include "ButtonColors.h"
#include "ButtonLayout.h"
#include "ButtonRegion.h"
#include "GdiCanvas.h"
#include "PictureBlit.h"
#include "TestRegistry.h"
#include "WidgetTests.h"

#include <QTest>

namespace {
constexpr OleColor White = MakeOleColor(255, 255, 255);
constexpr OleColor Black = 0;
constexpr OleColor Grey = MakeOleColor(100, 100, 100);
} // namespace

Q_DECLARE_METATYPE(BlitOptions)
Q_DECLARE_METATYPE(EdgeRect)

class TestButtonRules : public QObject {
    Q_OBJECT
private slots:
    void shiftColor_data();
    void shiftColor();
    void blendColor_data();
    void blendColor();
    void setColors_data();
    void setColors();
    void lightFaceIsBlueScaledForStyle3Only();
    void systemColorReferences();
    void region_data();
    void region();
    void lineEndPointIsNotPainted_data();
    void lineEndPointIsNotPainted();
    void rectangles();
    void greyLevel_data();
    void greyLevel();
    void blitPicture_data();
    void blitPicture();
    void blitClipsAtTheEdges();
    void layoutPositions_data();
    void layoutPositions();
};

void TestButtonRules::shiftColor_data()
{
    QTest::addColumn<OleColor>("colour");
    QTest::addColumn<int>("k");
    QTest::addColumn<bool>("blueScaled");
    QTest::addColumn<bool>("soft");
    QTest::addColumn<OleColor>("expected");
    QTest::newRow("soft bevel -25 is -12") << Grey << -25 << false << true << MakeOleColor(88, 88, 88);
    QTest::newRow("soft bevel +25 is +12") << Grey << 25 << false << true << MakeOleColor(112, 112, 112);
    QTest::newRow("white +16 stays white") << White << 16 << false << false << White;
    QTest::newRow("black -32 stays black") << Black << -32 << false << false << Black;
    QTest::newRow("each channel capped") << MakeOleColor(250, 10, 128) << 16 << false << false
                                         << MakeOleColor(255, 26, 144);
    QTest::newRow("blue scaled up") << MakeOleColor(0, 0, 192) << 48 << true << false << MakeOleColor(48, 48, 240);
    // -24 * 255 / 192 = -31.875, truncated toward zero: -31.
    QTest::newRow("blue scaled down truncates") << White << -24 << true << false << MakeOleColor(231, 231, 224);
    QTest::newRow("blue scaled soft") << White << -25 << true << true << MakeOleColor(243, 243, 240);
    QTest::newRow("floor at zero, blue -2.5 is -2") << MakeOleColor(10, 10, 10) << -48 << true << false
                                                   << MakeOleColor(0, 0, 8);
    QTest::newRow("zero changes nothing") << MakeOleColor(1, 2, 3) << 0 << true << true << MakeOleColor(1, 2, 3);
}

void TestButtonRules::shiftColor()
{
    QFETCH(OleColor, colour);
    QFETCH(int, k);
    QFETCH(bool, blueScaled);
    QFETCH(bool, soft);
    QFETCH(OleColor, expected);
    QCOMPARE(ShiftColor(colour, k, blueScaled, soft), expected);
}

void TestButtonRules::blendColor_data()
{
    QTest::addColumn<OleColor>("colour");
    QTest::addColumn<int>("k");
    QTest::addColumn<OleColor>("expected");
    QTest::newRow("selection blue, 176") << MakeOleColor(48, 140, 198) << 176 << MakeOleColor(190, 219, 237);
    QTest::newRow("white stays white") << White << 176 << White;
    QTest::newRow("black becomes k") << Black << 176 << MakeOleColor(176, 176, 176);
}

void TestButtonRules::blendColor()
{
    QFETCH(OleColor, colour);
    QFETCH(int, k);
    QFETCH(OleColor, expected);
    QCOMPARE(BlendColor(colour, k), expected);
}

void TestButtonRules::setColors_data()
{
    QTest::addColumn<int>("scheme");
    QTest::addColumn<bool>("soft");
    QTest::addColumn<QList<OleColor>>("expected"); // face, shadow, light, highlight, dark, selection, hover
    const OleColor back = MakeOleColor(100, 110, 120);
    SystemColors s;
    QTest::newRow("1: the desktop's") << 1 << false
                                      << QList<OleColor>{s.buttonFace, s.buttonShadow, s.light3D, s.buttonHighlight,
                                                         s.darkShadow3D, s.highlight, BlendColor(s.highlight, 176)};
    QTest::newRow("unknown scheme as 1") << 7 << false
                                         << QList<OleColor>{s.buttonFace, s.buttonShadow, s.light3D,
                                                            s.buttonHighlight, s.darkShadow3D, s.highlight,
                                                            BlendColor(s.highlight, 176)};
    QTest::newRow("2: from BackColor") << 2 << false
                                       << QList<OleColor>{back, MakeOleColor(36, 46, 56), MakeOleColor(131, 141, 151),
                                                          MakeOleColor(147, 157, 167), Black, Black, back};
    QTest::newRow("2: soft halves the shifts") << 2 << true
                                               << QList<OleColor>{back, MakeOleColor(68, 78, 88),
                                                                  MakeOleColor(115, 125, 135),
                                                                  MakeOleColor(123, 133, 143),
                                                                  MakeOleColor(4, 14, 24), MakeOleColor(36, 46, 56),
                                                                  back};
    QTest::newRow("3: fixed grey") << 3 << false
                                   << QList<OleColor>{12632256, 8421504, 14671839, 16777215, 0, 8388608, 13741485};
    QTest::newRow("4: the container's") << 4 << false
                                        << QList<OleColor>{White, MakeOleColor(191, 191, 191), White, White,
                                                           MakeOleColor(63, 63, 63), s.highlight,
                                                           BlendColor(s.highlight, 176)};
}

void TestButtonRules::setColors()
{
    QFETCH(int, scheme);
    QFETCH(bool, soft);
    QFETCH(QList<OleColor>, expected);
    ColorInputs in;
    in.colorScheme = scheme;
    in.softBevel = soft;
    in.backColor = MakeOleColor(100, 110, 120);
    in.foreColor = MakeOleColor(1, 2, 3);
    in.parentBack = White;
    in.parentText = MakeOleColor(9, 9, 9);
    const ButtonPalette p = SetColors(in);
    const QList<OleColor> got{p.FaceColor,       p.ShadowColor,    p.LightColor,    p.HighlightColor,
                              p.DarkShadowColor, p.SelectionColor, p.HoverFillColor};
    QCOMPARE(got, expected);
    QCOMPARE(p.MaskRgb, MakeOleColor(192, 192, 192));
}

void TestButtonRules::lightFaceIsBlueScaledForStyle3Only()
{
    ColorInputs in;
    in.colorScheme = 2;
    in.backColor = MakeOleColor(100, 110, 120);
    in.buttonType = 3;
    QCOMPARE(SetColors(in).LightFaceColor, MakeOleColor(148, 158, 150)); // blue 120 + 48 * 120 / 192
    in.buttonType = 2;
    QCOMPARE(SetColors(in).LightFaceColor, MakeOleColor(148, 158, 168));
}

void TestButtonRules::systemColorReferences()
{
    SystemColors s;
    s.buttonFace = MakeOleColor(1, 2, 3);
    s.buttonText = MakeOleColor(4, 5, 6);
    ColorInputs in;
    in.colorScheme = 2;
    in.system = s;
    in.backColor = 0x8000000F; // button face
    in.backOver = 0x8000000F;
    in.foreColor = 0x80000012; // button text
    in.maskColor = 0x8000000F;
    const ButtonPalette p = SetColors(in);
    QCOMPARE(p.FaceColor, s.buttonFace);
    QCOMPARE(p.TextColor, s.buttonText);
    QCOMPARE(p.MaskRgb, s.buttonFace);
}

void TestButtonRules::region_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<QPoint>>("removed");
    QTest::addColumn<QList<QPoint>>("kept");
    // A 10 x 8 button.
    QTest::newRow("3: three pixels a corner")
        << 3 << QList<QPoint>{{0, 0}, {1, 0}, {0, 1}, {9, 0}, {8, 0}, {9, 1}, {0, 7}, {1, 7}, {0, 6}, {9, 7}, {8, 7}, {9, 6}}
        << QList<QPoint>{{2, 0}, {0, 2}, {1, 1}, {8, 1}, {7, 7}, {9, 5}};
    QTest::newRow("4 like 3") << 4 << QList<QPoint>{{1, 0}, {9, 6}} << QList<QPoint>{{1, 1}};
    QTest::newRow("1: corner pixels") << 1 << QList<QPoint>{{0, 0}, {9, 0}, {0, 7}, {9, 7}}
                                      << QList<QPoint>{{1, 0}, {0, 1}};
    QTest::newRow("14 like 1") << 14 << QList<QPoint>{{9, 7}} << QList<QPoint>{{8, 7}};
    QTest::newRow("5: bottom-left and top-right") << 5 << QList<QPoint>{{0, 7}, {9, 0}}
                                                  << QList<QPoint>{{0, 0}, {9, 7}};
    QTest::newRow("2: full rectangle") << 2 << QList<QPoint>{} << QList<QPoint>{{0, 0}, {9, 7}};
}

void TestButtonRules::region()
{
    QFETCH(int, style);
    QFETCH(QList<QPoint>, removed);
    QFETCH(QList<QPoint>, kept);
    const QRegion r = MakeRegion(style, 10, 8);
    for (const QPoint& p : removed)
        QVERIFY2(!r.contains(p), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    for (const QPoint& p : kept)
        QVERIFY2(r.contains(p), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    QCOMPARE(QRegion(0, 0, 10, 8).subtracted(r).rectCount() > 0, !removed.isEmpty());
}

void TestButtonRules::lineEndPointIsNotPainted_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("painted");
    QTest::newRow("rightward") << QPoint(2, 3) << QPoint(7, 3) << 5;
    QTest::newRow("leftward") << QPoint(7, 3) << QPoint(2, 3) << 5;
    QTest::newRow("downward") << QPoint(4, 1) << QPoint(4, 8) << 7;
    QTest::newRow("upward") << QPoint(4, 8) << QPoint(4, 1) << 7;
    QTest::newRow("a point: nothing") << QPoint(4, 4) << QPoint(4, 4) << 0;
}

void TestButtonRules::lineEndPointIsNotPainted()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, painted);
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    GdiCanvas canvas(image);
    canvas.DrawLine(from.x(), from.y(), to.x(), to.y(), Black);
    int count = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            count += PixelAt(image, x, y) == Black;
    QCOMPARE(count, painted);
    if (painted > 0) {
        QCOMPARE(PixelAt(image, from.x(), from.y()), Black);
        QCOMPARE(PixelAt(image, to.x(), to.y()), White);
    }
}

void TestButtonRules::rectangles()
{
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(Qt::white);
    GdiCanvas canvas(image);
    canvas.DrawRect(1, 2, 5, 4, Black, true); // framed: 1..5 x 2..5
    QCOMPARE(PixelAt(image, 1, 2), Black);
    QCOMPARE(PixelAt(image, 5, 5), Black);
    QCOMPARE(PixelAt(image, 6, 5), White);
    QCOMPARE(PixelAt(image, 5, 6), White);
    QCOMPARE(PixelAt(image, 3, 3), White); // only the border
    canvas.DrawRect(7, 7, 2, 2, Grey, false);
    QCOMPARE(PixelAt(image, 8, 8), Grey);
    QCOMPARE(PixelAt(image, 9, 9), White);
    canvas.DrawRect(-5, -5, 100, 1, Grey, false); // clipped, no crash, row -5 only
    QCOMPARE(PixelAt(image, 0, 0), White);
}

void TestButtonRules::greyLevel_data()
{
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("grey");
    QTest::newRow("red: 76.5 rounds to 76") << QColor(255, 0, 0) << 76;
    QTest::newRow("white: 254.5 rounds to 254") << QColor(255, 255, 255) << 254;
    QTest::newRow("140.5 rounds to 140") << QColor(100, 150, 200) << 140;
    QTest::newRow("green") << QColor(0, 255, 0) << 150;
    QTest::newRow("29.5 rounds to 30") << QColor(0, 50, 0) << 30;
}

void TestButtonRules::greyLevel()
{
    QFETCH(QColor, colour);
    QFETCH(int, grey);
    QCOMPARE(GreyLevel(colour.red(), colour.green(), colour.blue()), grey);
}

void TestButtonRules::blitPicture_data()
{
    QTest::addColumn<BlitOptions>("options");
    QTest::addColumn<QList<OleColor>>("expected"); // the four picture pixels after compositing
    // Picture pixels: mask grey, red, a light colour (sum 385) and one of sum 384.
    BlitOptions plain;
    QTest::newRow("copy, mask colour transparent")
        << plain << QList<OleColor>{Grey, MakeOleColor(255, 0, 0), MakeOleColor(200, 100, 85), MakeOleColor(200, 100, 84)};
    BlitOptions noMask;
    noMask.useMaskColor = false;
    QTest::newRow("without UseMaskColor nothing is transparent")
        << noMask << QList<OleColor>{MakeOleColor(192, 192, 192), MakeOleColor(255, 0, 0), MakeOleColor(200, 100, 85),
                                     MakeOleColor(200, 100, 84)};
    BlitOptions silhouette;
    silhouette.silhouette = MakeOleColor(1, 2, 3);
    QTest::newRow("silhouette") << silhouette << QList<OleColor>{Grey, MakeOleColor(1, 2, 3), MakeOleColor(1, 2, 3),
                                                                 MakeOleColor(1, 2, 3)};
    BlitOptions dark = silhouette;
    dark.darkOnly = true;
    QTest::newRow("dark pixels only: sum above 384 left alone")
        << dark << QList<OleColor>{Grey, MakeOleColor(1, 2, 3), Grey, MakeOleColor(1, 2, 3)};
    BlitOptions grey;
    grey.greyscale = true;
    QTest::newRow("greyscale") << grey << QList<OleColor>{Grey, MakeOleColor(76, 76, 76), MakeOleColor(128, 128, 128),
                                                          MakeOleColor(128, 128, 128)};
    BlitOptions blend;
    blend.blend = true;
    // (2 * 255 + 100) / 3 = 203.33 -> 203; (2 * 0 + 100) / 3 = 33.
    QTest::newRow("blend two thirds, truncated")
        << blend << QList<OleColor>{Grey, MakeOleColor(203, 33, 33), MakeOleColor(166, 100, 90),
                                    MakeOleColor(166, 100, 89)};
}

void TestButtonRules::blitPicture()
{
    QFETCH(BlitOptions, options);
    QFETCH(QList<OleColor>, expected);
    QImage picture(4, 1, QImage::Format_RGB32);
    picture.setPixelColor(0, 0, QColor(192, 192, 192));
    picture.setPixelColor(1, 0, QColor(255, 0, 0));
    picture.setPixelColor(2, 0, QColor(200, 100, 85));
    picture.setPixelColor(3, 0, QColor(200, 100, 84));
    QImage surface(6, 3, QImage::Format_RGB32);
    surface.fill(ToQColor(Grey));
    BlitPicture(surface, 1, 1, -1, -1, picture, options);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(PixelAt(surface, 1 + i, 1), expected[i]);
    QCOMPARE(PixelAt(surface, 5, 1), Grey);
    QCOMPARE(PixelAt(surface, 2, 0), Grey);
}

void TestButtonRules::blitClipsAtTheEdges()
{
    QImage picture(3, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QImage surface(4, 4, QImage::Format_RGB32);
    surface.fill(Qt::white);
    BlitPicture(surface, -1, 2, -1, -1, picture, {});
    QCOMPARE(surface.pixelColor(0, 2), QColor(Qt::red));
    QCOMPARE(surface.pixelColor(1, 3), QColor(Qt::red));
    QCOMPARE(surface.pixelColor(2, 2), QColor(Qt::white));
    QCOMPARE(surface.pixelColor(0, 1), QColor(Qt::white));
}

void TestButtonRules::layoutPositions_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<EdgeRect>("caption");
    QTest::addColumn<QPoint>("picture");
    // 101 x 41 button, 20 x 16 picture, a 30 x 15 caption.
    // 1: start 1,1; right 31, bottom 16; dx = (101 - 31 - 20 - 4) / 2 = 23, dy = (41 - 16) / 2 = 12.
    QTest::newRow("1 right of the caption") << 1 << EdgeRect{24, 13, 54, 28} << QPoint(58, 12);
    // 3: dx = (101 - 31) / 2 = 35, dy = (41 - 16 - 16 - 4) / 2 = 2.
    QTest::newRow("3 below the caption") << 3 << EdgeRect{36, 3, 66, 18} << QPoint(40, 20);
    // 4: centred picture behind a centred caption.
    QTest::newRow("4 behind the caption") << 4 << EdgeRect{36, 13, 66, 28} << QPoint(40, 12);
    // Any other value as 4.
    QTest::newRow("9 as 4") << 9 << EdgeRect{36, 13, 66, 28} << QPoint(40, 12);
}

void TestButtonRules::layoutPositions()
{
    QFETCH(int, position);
    QFETCH(EdgeRect, caption);
    QFETCH(QPoint, picture);
    const ButtonLayout l = CalcLayout(101, 41, 20, 16, position, true, false,
                                      [](const EdgeRect&) { return QSize(30, 15); });
    QCOMPARE(l.caption, caption);
    QCOMPARE(l.pressedCaption, (EdgeRect{caption.left + 1, caption.top + 1, caption.right + 1, caption.bottom + 1}));
    QCOMPARE(QPoint(l.pictureLeft, l.pictureTop), picture);
}

RITRAX_TEST(TestButtonRules)

#include "tst_buttonrules.moc"
