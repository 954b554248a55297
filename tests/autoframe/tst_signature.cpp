// The signature finder on pictures made here: the ink rule against
// FreeImage's own threshold, and what the finder must leave alone.

#include "SamplePages.h"
#include "SignatureFinder.h"
#include "TestRegistry.h"

#include <FreeImage.h>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QTest>

namespace {

QImage Paper(int width, int height)
{
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(QColor(246, 245, 240));
    return page;
}

// Rows of a form's print, from the top given down.
void PrintRows(QPainter& p, int top, int rows)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(34);
    p.setFont(font);
    p.setPen(QColor(30, 30, 30));
    for (int row = 0; row < rows; ++row)
        p.drawText(200, top + row * 90, QStringLiteral("Il sottoscritto dichiara di essere nato a Esempio il 01/01/1980"));
}

// A printed label of the form, its baseline starting at `at`.
void Label(QPainter& p, const QString& family, int pixels, const QColor& colour, QPointF at, const QString& text)
{
    QFont font(family);
    font.setPixelSize(pixels);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(at, text);
}

// A clear A4 layer at 300 DPI for the hand's ink, drawn over the form.
QImage Layer()
{
    QImage layer(2480, 3508, QImage::Format_ARGB32);
    layer.fill(Qt::transparent);
    return layer;
}

// The box of the hand's pixels more opaque than `alpha` within `area`.
QRect DrawnInk(const QImage& hand, const QRect& area, int alpha)
{
    QRect ink;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(hand.pixel(x, y)) > alpha)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Two words of arch-shaped letters standing on row 2985 from x = 900,
// the first `firstWord` of them before a word's gap; their tops at `top`
// and up to two `step`s below it.
void Arches(QPainter& p, int count, int firstWord, double top, double step)
{
    for (int l = 0; l < count; ++l) {
        const double x = 900 + l * 95 + (l >= firstWord ? 80 : 0);
        QPainterPath letter(QPointF(x, 2985));
        letter.cubicTo(QPointF(x + 20, top + step * (l % 3)), QPointF(x + 60, top), QPointF(x + 80, 2985));
        p.drawPath(letter);
    }
}

} // namespace

class TestSignature : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { FreeImage_Initialise(FALSE); }
    void inkIsFreeImagesBlack_data();
    void inkIsFreeImagesBlack();
    void noSignature_data();
    void noSignature();
    void loneSignature();
    void heavyHand();
    void neatHand_data();
    void neatHand();
    void inkOnRules_data();
    void inkOnRules();
    void printNearTheWriting_data();
    void feetShortOfARule_data();
    void feetShortOfARule();
    void printNearTheWriting();
    void dotOnARule_data();
    void dotOnARule();
    void ruledUnderline_data();
    void ruledUnderline();
};

void TestSignature::inkIsFreeImagesBlack_data()
{
    QTest::addColumn<int>("threshold");
    QTest::newRow("170, the default") << 170;
    QTest::newRow("1") << 1;
    QTest::newRow("128") << 128;
    QTest::newRow("255") << 255;
}

// Every grey level and a spread of colours, through FreeImage_Threshold:
// the finder's ink is exactly what the black-and-white file makes black.
void TestSignature::inkIsFreeImagesBlack()
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

void TestSignature::noSignature_data()
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
        PrintRows(p, 300, 30);
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

void TestSignature::noSignature()
{
    QFETCH(QImage, picture);
    const SignatureFinder::Found found = SignatureFinder::Find(picture, 170);
    QCOMPARE(found.selection, QRect());
}

// A signature photographed alone, larger than on a page: no form to help,
// all of it found, the margin inside the picture.
void TestSignature::loneSignature()
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

// A bold hand's strokes are as solid as a picture, but narrow or open:
// they are writing, and a photo on the same page is still a picture.
void TestSignature::heavyHand()
{
    QImage page = Paper(2480, 3508);
    {
        QPainter p(&page);
        PrintRows(p, 400, 8);
        p.fillRect(1500, 1400, 420, 520, QColor(35, 30, 30));
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(20, 20, 20), 12, Qt::SolidLine, Qt::RoundCap));
        QPainterPath name(QPointF(800, 3000));
        name.cubicTo(QPointF(850, 2840), QPointF(950, 2840), QPointF(1000, 2990));
        name.cubicTo(QPointF(1050, 2880), QPointF(1150, 2880), QPointF(1200, 2990));
        p.drawPath(name);
        p.setPen(QPen(QColor(20, 20, 20), 18, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(1260, 2830, 1262, 2995);
        p.drawLine(1310, 2820, 1312, 2995);
        // A broad capital drawn as heavily, its counter a slot of paper.
        p.setPen(QPen(QColor(20, 20, 20), 16, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        p.drawRect(712, 2915, 40, 64);
    }
    const SignatureFinder::Found found = SignatureFinder::Find(page, 170);
    QVERIFY2(found.ink.contains(QRect(704, 2830, 616, 160)),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(found.ink.x()).arg(found.ink.y()).arg(found.ink.width()).arg(found.ink.height())));
    QVERIFY(!found.selection.intersects(QRect(1500, 1400, 420, 520)));
}

// A name written in letters as regular as type (all of one height, sharing
// top and foot), far larger than the form's print: it is found, not taken
// for print, nor passed over for the brackets of a label above it.
void TestSignature::neatHand_data()
{
    QTest::addColumn<bool>("label");
    QTest::newRow("alone") << false;
    QTest::newRow("under a label with brackets") << true;
}

void TestSignature::neatHand()
{
    QFETCH(bool, label);
    QImage page = Paper(2480, 3508);
    QRect ink;
    {
        QPainter p(&page);
        PrintRows(p, 400, 8);
        p.setPen(QPen(QColor(40, 40, 40), 3));
        p.drawLine(600, 3000, 2000, 3000);
        if (label)
            Label(p, QStringLiteral("Liberation Sans"), 60, QColor(30, 30, 30), QPointF(620, 2660), QStringLiteral("Il richiedente (firma)"));
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(180);
        font.setItalic(true);
        p.setFont(font);
        p.setPen(QColor(20, 30, 110));
        p.drawText(QPointF(700, 2990), QStringLiteral("mario rossi"));
        ink = QFontMetrics(font).tightBoundingRect(QStringLiteral("mario rossi")).translated(700, 2990);
    }
    const SignatureFinder::Found found = SignatureFinder::Find(page, 170);
    QVERIFY2(found.ink.adjusted(-4, -4, 4, 4).contains(ink.adjusted(4, 4, -4, -4)),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(found.ink.x()).arg(found.ink.y()).arg(found.ink.width()).arg(found.ink.height())));
}

void TestSignature::inkOnRules_data()
{
    QTest::addColumn<bool>("dashed");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("loop");
    QTest::addColumn<bool>("swash");
    QTest::addColumn<int>("ruleY");
    QTest::addColumn<int>("ruleFrom");
    QTest::addColumn<int>("ruleTo");
    QTest::addColumn<int>("underlineTo");
    QTest::addColumn<bool>("straight");
    QTest::addColumn<bool>("black");
    QTest::addColumn<bool>("blueRule");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<int>("secondWord");
    QTest::addColumn<bool>("feet");
    // A hand underline that starts on a dashed rule, before the name.
    QTest::newRow("underline along a dashed rule") << true << true << false << false << 3000 << 300 << 2200 << 1640 << false << false << false << 0.0 << 1280 << false;
    // A rule through the tops of the tall letters: their tips stand above it.
    QTest::newRow("ascenders through a rule") << false << false << false << false << 2852 << 300 << 2200 << 1640 << false << false << false << 0.0 << 1280 << false;
    // A flourish's loop that hangs from the rule the name sits on.
    QTest::newRow("loop under the rule") << false << false << true << false << 2988 << 300 << 2200 << 1640 << false << false << false << 0.0 << 1280 << false;
    // An underline drawn just above a rule, all along the name; the rule
    // starts a little before the underline and runs on far past it.
    QTest::newRow("underline just above a rule") << false << true << false << false << 3014 << 800 << 2200 << 1640 << false << false << false << 0.0 << 1280 << false;
    // A swash from the last letter back under the whole name, clear of the
    // rule below: its flat bottom runs like a line, but it bows.
    QTest::newRow("long flat swash") << false << false << false << true << 3110 << 300 << 2200 << 1640 << false << false << false << 0.0 << 1280 << false;
    // A blue underline that runs on flat along the grey rule well past the
    // name: the pen's, however straight, where the rule's ends are not.
    QTest::newRow("underline past the name along a rule") << false << true << false << false << 3014 << 300 << 2200 << 1950 << false << false << false << 0.0 << 1280 << false;
    // Drawn with a ruler over the rule: as straight as the rule and merged
    // with it, the pen's to its end by its colour.
    QTest::newRow("ruled underline over the rule, past the name") << false << true << false << false << 3014 << 300 << 2200 << 1850 << true << false << false << 0.0 << 1280 << false;
    // A black underline, clear of the rule, that runs on past the name
    // and rises at its end: flat as a rule's bare end, but a rule is level.
    QTest::newRow("black underline rising past the name") << false << true << false << false << 3110 << 300 << 2200 << 1760 << false << true << false << 0.0 << 1280 << false;
    // A rule printed in the pen's own blue, the name sitting on it: of the
    // same colour as the writing, but it runs on across the field.
    QTest::newRow("rule in the pen's colour") << false << false << false << false << 2988 << 300 << 2200 << 1640 << false << false << true << 0.0 << 1280 << false;
    // Black writing on a rule that the box's sides cut a little past the
    // name: as straight as print, it is no underline of the hand's.
    QTest::newRow("rule cut short past the name") << false << false << false << false << 2988 << 830 << 1660 << 1640 << false << true << false << -1.4 << 1280 << false;
    // The same rule through the middle of the letters: the strokes cut it
    // into pieces, none of which reaches past both ends alone.
    // A black underline close along the rule, merged with it; a loop
    // hanging from the rule cuts it, and the rest runs on bare.
    QTest::newRow("underline merged with a rule, past the name") << false << true << false << false << 3000 << 600 << 1700 << 1640 << true << true << false << 0.0 << 1280 << false;
    QTest::newRow("underline merged with a rule") << false << true << true << false << 3000 << 600 << 2100 << 1560 << true << true << false << 0.0 << 1280 << false;
    // A rule through the middle of the letters halves them: the gap
    // between the words is measured by the whole letters, not the halves.
    QTest::newRow("rule through the letters, words far apart") << false << false << false << false << 2900 << 300 << 2200 << 1640 << false << true << false << 0.0 << 1500 << false;
    QTest::newRow("rule through the name, cut short past it") << false << false << false << false << 2990 << 830 << 1820 << 1640 << false << true << false << 0.8 << 1440 << true;
}

// Handwriting that meets the form's rules keeps all of its ink: the
// rule is taken out, what the hand drew on and across it is not.
void TestSignature::inkOnRules()
{
    QFETCH(bool, dashed);
    QFETCH(bool, underline);
    QFETCH(bool, loop);
    QFETCH(bool, swash);
    QFETCH(int, ruleY);
    QFETCH(int, ruleFrom);
    QFETCH(int, ruleTo);
    QFETCH(int, underlineTo);
    QFETCH(bool, straight);
    QFETCH(bool, black);
    QFETCH(bool, blueRule);
    QFETCH(double, degrees);
    QFETCH(int, secondWord);
    QFETCH(bool, feet);
    const QColor pen = black ? QColor(25, 25, 25) : QColor(20, 30, 110);
    QImage hand = Layer();
    {
        QPainter p(&hand);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(pen, 10, Qt::SolidLine, Qt::RoundCap));
        // Letters of several heights; the tallest tops near 2840.
        const double tops[2][3] = {{2790, 2880, 2820}, {2800, 2880, 2850}};
        for (int word = 0; word < 2; ++word) {
            const double x = word == 0 ? 900 : secondWord;
            QPainterPath letters(QPointF(x, 2985));
            letters.cubicTo(QPointF(x + 20, tops[word][0]), QPointF(x + 80, tops[word][0]), QPointF(x + 90, 2985));
            letters.cubicTo(QPointF(x + 130, tops[word][1]), QPointF(x + 200, tops[word][1]), QPointF(x + 220, 2985));
            letters.cubicTo(QPointF(x + 250, tops[word][2]), QPointF(x + 290, tops[word][2]), QPointF(x + 300, 2985));
            p.drawPath(letters);
            // Letters joined along the line they stand on.
            if (feet)
                p.drawLine(QPointF(x + 90, 2985), QPointF(x + 220, 2985));
        }
        if (loop) {
            p.setPen(QPen(pen, 6));
            p.drawEllipse(QRectF(1600, ruleY, 90, 28));
        }
        if (swash) {
            p.setPen(QPen(pen, 6, Qt::SolidLine, Qt::RoundCap));
            QPainterPath flourish(QPointF(1580, 2985));
            flourish.quadTo(QPointF(1560, 3040), QPointF(1480, 3048));
            flourish.quadTo(QPointF(1180, 3064), QPointF(880, 3040));
            p.drawPath(flourish);
        }
        if (underline) {
            p.setPen(QPen(pen, 7, Qt::SolidLine, Qt::RoundCap));
            // From the rule, a little before the name, rising off it; or
            // bowed, meeting the rule at its end.
            if (dashed)
                p.drawLine(QPointF(850, ruleY), QPointF(1640, ruleY - 14));
            else if (black && straight) {
                // Along under the rule, then into it for the last stretch.
                p.setPen(QPen(pen, 4, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(880, ruleY + 4), QPointF(underlineTo, ruleY + 4));
            } else if (black) {
                QPainterPath rising(QPointF(880, 3010));
                rising.quadTo(QPointF(1300, 3030), QPointF(underlineTo, 2990));
                p.drawPath(rising);
            } else if (straight) {
                p.setPen(QPen(pen, 5, Qt::SolidLine, Qt::RoundCap));
                p.drawLine(QPointF(850, ruleY - 2), QPointF(underlineTo, ruleY - 2));
            } else {
                QPainterPath along(QPointF(850, ruleY - 6));
                along.quadTo(QPointF((850 + underlineTo) / 2.0, ruleY - 14), QPointF(underlineTo, ruleY - 4));
                p.drawPath(along);
            }
        }
    }
    QImage page = Paper(2480, 3508);
    {
        QPainter p(&page);
        PrintRows(p, 400, 8);
        p.setPen(QPen(blueRule ? pen : QColor(40, 40, 40), 3, dashed ? Qt::DashLine : Qt::SolidLine, Qt::FlatCap));
        p.drawLine(ruleFrom, ruleY, ruleTo, ruleY);
        p.drawImage(0, 0, hand);
    }
    if (degrees != 0) {
        // Turned about the field, as a page scanned askew.
        QTransform turn;
        turn.translate(1250, 2950).rotate(degrees).translate(-1250, -2950);
        const auto turned = [&](const QImage& image, QColor fill) {
            QImage out(image.size(), image.format());
            out.fill(fill);
            QPainter p(&out);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.setTransform(turn);
            p.drawImage(0, 0, image);
            return out;
        };
        hand = turned(hand, Qt::transparent);
        page = turned(page, Qt::white);
    }
    const QRect ink = DrawnInk(hand, QRect(700, 2600, 1400, 600), 200);
    const SignatureFinder::Found found = SignatureFinder::Find(page, 170);
    QVERIFY(found.selection.contains(found.ink));
    // All of the hand's ink, and not the rule's ends far beyond it.
    QVERIFY2(found.ink.adjusted(-2, -2, 2, 2).contains(ink),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(found.ink.x()).arg(found.ink.y()).arg(found.ink.width()).arg(found.ink.height())));
    QVERIFY(found.selection.left() > ink.left() - 40 && found.selection.right() < ink.right() + 40);
    // A rule that ends just past the name leaves none of its ends behind.
    if (ruleTo < ink.right() + 100)
        QVERIFY2(found.ink.left() >= ink.left() - 8 && found.ink.right() <= ink.right() + 8,
                 qPrintable(QStringLiteral("%1 to %2, ink %3 to %4").arg(found.ink.left()).arg(found.ink.right()).arg(ink.left()).arg(ink.right())));
}

void TestSignature::printNearTheWriting_data()
{
    QTest::addColumn<int>("labelGap");
    QTest::addColumn<bool>("upsideDown");
    QTest::addColumn<bool>("onRule");
    // Print a few pixels under the writing stays out of the margin.
    QTest::newRow("label just under the name") << 7 << false << false;
    QTest::newRow("label just under the name, page upside down") << 7 << true << false;
    // A grey label the blue writing runs into is print all the same: the
    // crop stops at the writing's own ink.
    QTest::newRow("label touching the name") << -10 << false << false;
    QTest::newRow("label touching the name, page upside down") << -10 << true << false;
    // Handwriting upside down shares the line of its tops, as capitals
    // do; it is still handwriting.
    QTest::newRow("page upside down") << 60 << true << false;
    // Black writing on a rule, the label large print just under the rule:
    // the rule parts the label from the writing.
    QTest::newRow("label under the rule the name sits on") << 14 << false << true;
    QTest::newRow("label under the rule the name sits on, page upside down") << 14 << true << true;
}

void TestSignature::printNearTheWriting()
{
    QFETCH(int, labelGap);
    QFETCH(bool, upsideDown);
    QFETCH(bool, onRule);
    QImage page = Paper(2480, 3508);
    QRect ink, label;
    {
        QPainter p(&page);
        PrintRows(p, 400, 8);
        if (onRule) {
            p.setPen(QPen(QColor(40, 40, 40), 3));
            p.drawLine(300, 2990, 2200, 2990);
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(onRule ? QColor(25, 25, 25) : QColor(20, 30, 110), 9, Qt::SolidLine, Qt::RoundCap));
        // Two words of separate letters of several heights on one baseline.
        const double tops[2][4] = {{2790, 2880, 2830, 2870}, {2810, 2875, 2800, 2880}};
        for (int word = 0; word < 2; ++word)
            for (int l = 0; l < 4; ++l) {
                const double x = 900 + word * 460 + l * 95;
                QPainterPath letter(QPointF(x, 2985));
                letter.cubicTo(QPointF(x + 20, tops[word][l]), QPointF(x + 60, tops[word][l]), QPointF(x + 80, 2985));
                p.drawPath(letter);
            }
        ink = QRect(QPoint(895, 2840), QPoint(1730, 2990));
        QFont font(onRule ? QStringLiteral("Liberation Serif") : QStringLiteral("Liberation Sans"));
        font.setPixelSize(onRule ? 60 : 30);
        font.setItalic(onRule);
        p.setFont(font);
        p.setPen(QColor(30, 30, 30));
        const QRect text(1100, 2990 + labelGap, onRule ? 900 : 600, onRule ? 90 : 40);
        p.drawText(text, Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Firma leggibile del titolare"), &label);
        // The letters start below the text's box; of letters the writing
        // runs into, what lies below it.
        label.adjust(0, 8, 0, 0);
        if (labelGap < 0)
            label.setTop(ink.bottom() + 1);
    }
    if (upsideDown) {
        page = page.mirrored(true, true);
        const auto turn = [&](const QRect& r) {
            return QRect(page.width() - 1 - r.right(), page.height() - 1 - r.bottom(), r.width(), r.height());
        };
        ink = turn(ink);
        label = turn(label);
    }
    const SignatureFinder::Found found = SignatureFinder::Find(page, 170);
    QVERIFY2(found.selection.contains(ink.adjusted(6, 6, -6, -6)),
             qPrintable(QStringLiteral("%1,%2 %3x%4").arg(found.selection.x()).arg(found.selection.y()).arg(found.selection.width()).arg(found.selection.height())));
    QVERIFY(!found.selection.intersects(label));
}

void TestSignature::feetShortOfARule_data()
{
    QTest::addColumn<int>("ruleY");
    // Black letters whose feet stop a pixel or two short of the rule.
    QTest::newRow("feet just above the rule") << 2988;
    QTest::newRow("feet a little above the rule") << 2989;
}

void TestSignature::feetShortOfARule()
{
    QFETCH(int, ruleY);
    QImage hand = Layer();
    {
        QPainter p(&hand);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(25, 25, 25), 9, Qt::SolidLine, Qt::FlatCap));
        Arches(p, 8, 4, 2800, 20);
    }
    QImage page = Paper(2480, 3508);
    {
        QPainter p(&page);
        PrintRows(p, 400, 8);
        p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(300, ruleY, 2200, ruleY);
        p.drawImage(0, 0, hand);
    }
    const QRect ink = DrawnInk(hand, QRect(800, 2700, 1100, 400), 128);
    const SignatureFinder::Found found = SignatureFinder::Find(page, 170);
    const QString got = QStringLiteral("ink %1,%2 %3x%4, drawn %5,%6 %7x%8")
                            .arg(found.ink.x()).arg(found.ink.y()).arg(found.ink.width()).arg(found.ink.height())
                            .arg(ink.x()).arg(ink.y()).arg(ink.width()).arg(ink.height());
    QVERIFY2(found.ink.adjusted(-1, -1, 1, 1).contains(ink) && ink.adjusted(-1, -1, 1, 1).contains(found.ink),
             qPrintable(got));
    QVERIFY2(found.selection.bottom() < ruleY - 1, qPrintable(got));
}

// The full stop after a name, standing on a rule: its foot in line with
// the dashes of a heavy dashed rule that lines up like print, or cut in two
// by a thin rule that runs on past the name on both sides.
void TestSignature::dotOnARule_data()
{
    QTest::addColumn<bool>("dashed");
    QTest::addColumn<int>("letters");
    QTest::addColumn<double>("dotX");
    QTest::newRow("heavy dashed rule") << true << 7 << 1660.0;
    QTest::newRow("thin rule, the dot a gap after the name") << false << 4 << 1415.0;
}

void TestSignature::dotOnARule()
{
    QFETCH(bool, dashed);
    QFETCH(int, letters);
    QFETCH(double, dotX);
    QImage hand = Layer();
    {
        QPainter p(&hand);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor pen = dashed ? QColor(20, 30, 110) : QColor(20, 20, 20);
        p.setPen(QPen(pen, 9, Qt::SolidLine, Qt::RoundCap));
        Arches(p, letters, 3, 2820, 25);
        // The last letter's stroke runs out along the rule.
        const double end = 900 + (letters - 1) * 95 + 80 + 80;
        if (!dashed)
            p.drawLine(QPointF(end, 2985), QPointF(end + 35, 2988));
        p.setPen(Qt::NoPen);
        p.setBrush(pen);
        p.drawEllipse(QPointF(dotX, dashed ? 2985 : 2987), dashed ? 8 : 7, dashed ? 8 : 7);
    }
    QImage page = Paper(2480, 3508);
    {
        QPainter p(&page);
        PrintRows(p, 400, 8);
        if (dashed) {
            p.setPen(QPen(QColor(40, 40, 40), 6, Qt::DashLine, Qt::FlatCap));
            p.drawLine(860, 2990, 1760, 2990);
        } else {
            p.setPen(QPen(QColor(40, 40, 40), 4, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(300, 2990, 2200, 2990);
        }
        p.drawImage(0, 0, hand);
    }
    const QRect ink = DrawnInk(hand, QRect(800, 2700, 1100, 400), 128);
    const SignatureFinder::Found found = SignatureFinder::Find(page, 170);
    QVERIFY2(found.ink.adjusted(-2, -2, 2, 2).contains(ink),
             qPrintable(QStringLiteral("ink %1,%2 %3x%4").arg(found.ink.x()).arg(found.ink.y()).arg(found.ink.width()).arg(found.ink.height())));
}

// A hand's underline drawn as straight as a ruler: level as a rule's bare
// end, but the pen's own line to where the pen lifted. One runs on into
// the label under the box, the feet of whose letters lie in line with
// it: the label is print, and the crop ends where the underline does.
void TestSignature::ruledUnderline_data()
{
    QTest::addColumn<bool>("label");
    QTest::addColumn<int>("letters");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("upsideDown");
    QTest::addColumn<double>("rule"); // a rule's width, just over the underline; 0 for none
    QTest::addColumn<double>("rise"); // over the rule's length of 1900
    QTest::newRow("into a label") << true << 7 << 860 << 1560 << 6 << false << 0.0 << 0.0;
    QTest::newRow("well past the name, clear of any rule") << false << 6 << 940 << 1615 << 4 << false << 0.0 << 0.0;
    QTest::newRow("past the name, page upside down") << false << 6 << 940 << 1615 << 4 << true << 0.0 << 0.0;
    // Merged with a rule a little aslant, which alone steps between two
    // thicknesses: along the underline it is thicker than either.
    QTest::newRow("merged with a thin rule") << false << 7 << 880 << 1700 << 3 << false << 3.0 << 6.0;
    QTest::newRow("merged with a heavy rule") << false << 7 << 880 << 1700 << 3 << false << 4.6 << 12.0;
    QTest::newRow("heavy pen on a heavy rule") << false << 7 << 880 << 1700 << 4 << false << 4.6 << 6.0;
}

void TestSignature::ruledUnderline()
{
    QFETCH(bool, label);
    QFETCH(int, letters);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, width);
    QFETCH(bool, upsideDown);
    QFETCH(double, rule);
    QFETCH(double, rise);
    const auto ruleY = [&](double x) { return 3026 + rise * (x - 300) / 1900; };
    QImage hand = Layer();
    {
        QPainter p(&hand);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(20, 20, 20), 9, Qt::SolidLine, Qt::RoundCap));
        Arches(p, letters, 3, 2820, 25);
        p.setPen(QPen(QColor(20, 20, 20), width, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(from, ruleY(from) + 4), QPointF(to, ruleY(to) + 4));
    }
    QImage page = Paper(2480, 3508);
    {
        QPainter p(&page);
        p.setRenderHint(QPainter::Antialiasing);
        PrintRows(p, 400, 8);
        if (rule > 0) {
            p.setPen(QPen(QColor(40, 40, 40), rule, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(300, ruleY(300)), QPointF(2200, ruleY(2200)));
        }
        if (label)
            Label(p, QStringLiteral("Liberation Serif"), 30, QColor(40, 40, 40), QPointF(1480, 3032), QStringLiteral("Firma del richiedente"));
        p.drawImage(0, 0, hand);
    }
    QRect area(800, 2700, 1100, 400);
    if (upsideDown) {
        hand = hand.mirrored(true, true);
        page = page.mirrored(true, true);
        area.moveTopLeft(QPoint(hand.width(), hand.height()) - area.bottomRight() - QPoint(1, 1));
    }
    const QRect ink = DrawnInk(hand, area, 128);
    const SignatureFinder::Found found = SignatureFinder::Find(page, 170);
    const QString got = QStringLiteral("selection %1,%2 %3x%4")
                            .arg(found.selection.x()).arg(found.selection.y()).arg(found.selection.width()).arg(found.selection.height());
    QVERIFY2(found.selection.contains(ink), qPrintable(got));
    // The underline's end, on the right or, upside down, on the left.
    QVERIFY2(upsideDown ? found.selection.left() >= ink.left() - 12 : found.selection.right() <= ink.right() + 12, qPrintable(got));
}

RITRAX_TEST(TestSignature)
#include "tst_signature.moc"
