#include "SignatureForms.h"

#include "SamplePages.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <vector>

namespace SignatureForms {

namespace {

constexpr int Width = 2480;
constexpr int Height = 3508;

struct Stroke {
    QPainterPath path;
    double pen = 4;
};

struct Hand {
    std::vector<Stroke> strokes;
    std::vector<QRectF> dots;
};

double Between(QRandomGenerator& r, double low, double high)
{
    return low + r.generateDouble() * (high - low);
}

QFont Sans(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// One word: perhaps a tall capital loop, then humps of lowercase letters,
// some with ascenders or descenders, the pen lifted now and then.
double Word(QRandomGenerator& r, Hand& hand, double at, double x)
{
    const double pen = std::clamp(x * Between(r, 0.08, 0.18), 3.0, 9.0);
    QPainterPath path(QPointF(at, 0));
    if (r.bounded(5) != 0) {
        const double top = -x * Between(r, 2.0, 3.0);
        path.cubicTo(QPointF(at - 0.1 * x, top * 0.7), QPointF(at + 0.5 * x, top * 1.1), QPointF(at + 0.45 * x, 0.15 * x));
        path.cubicTo(QPointF(at + 0.4 * x, -0.8 * x), QPointF(at + 0.9 * x, -1.0 * x), QPointF(at + 0.9 * x, 0));
        at += 0.9 * x;
    }
    const int humps = int(r.bounded(3, 9));
    for (int i = 0; i < humps; ++i) {
        const double w = x * Between(r, 0.45, 0.9);
        const int shape = int(r.bounded(10));
        const double up = shape == 0 ? x * Between(r, 1.8, 2.5) : x * Between(r, 0.6, 1.1);
        const double base = x * Between(r, -0.12, 0.12);
        if (r.bounded(7) == 0) {
            hand.strokes.push_back({path, pen});
            at += x * Between(r, 0.12, 0.4);
            path = QPainterPath(QPointF(at, base));
        }
        path.cubicTo(QPointF(at + w * 0.2, -up), QPointF(at + w * 0.7, -up), QPointF(at + w, base));
        if (shape == 1) { // a descender loop
            path.cubicTo(QPointF(at + w * 1.1, x * 1.6), QPointF(at + w * 0.5, x * 1.6), QPointF(at + w, base));
        }
        if (shape == 2 || (i == humps / 2 && r.bounded(2) == 0)) {
            const double radius = pen * Between(r, 0.6, 0.9);
            hand.dots.push_back(QRectF(at + w * 0.5 - radius, -x * Between(r, 1.4, 1.9) - radius, 2 * radius, 2 * radius));
        }
        at += w;
    }
    hand.strokes.push_back({path, pen});
    return at;
}

// A name of two or three words with gaps between them, and an underline
// or a flourish under it more often than not.
Hand Handwriting(QRandomGenerator& r, double x)
{
    Hand hand;
    double at = 0;
    const int words = r.bounded(3) == 0 ? 3 : 2;
    for (int i = 0; i < words; ++i) {
        at = Word(r, hand, at, x);
        if (i + 1 < words)
            at += x * Between(r, 0.7, 2.0);
    }
    const int tail = int(r.bounded(3));
    const double pen = std::clamp(x * Between(r, 0.07, 0.14), 3.0, 8.0);
    if (tail == 0) {
        QPainterPath under(QPointF(-0.3 * x, x * Between(r, 0.5, 0.9)));
        under.cubicTo(QPointF(at * 0.3, x * 1.1), QPointF(at * 0.7, x * 0.4), QPointF(at + 0.4 * x, x * 0.6));
        hand.strokes.push_back({under, pen});
    } else if (tail == 1) {
        QPainterPath flourish(QPointF(at, 0));
        flourish.cubicTo(QPointF(at + 1.2 * x, x * 1.5), QPointF(at * 0.5, x * 2.2), QPointF(at * 0.2, x * 0.9));
        flourish.cubicTo(QPointF(at * 0.1, x * 0.5), QPointF(at * 0.3, x * 0.2), QPointF(at * 0.45, x * 0.5));
        hand.strokes.push_back({flourish, pen});
    }
    // Handwriting leans.
    QTransform lean;
    lean.shear(-Between(r, 0.05, 0.35), 0);
    for (Stroke& s : hand.strokes)
        s.path = lean.map(s.path);
    for (QRectF& d : hand.dots)
        d.moveCenter(lean.map(d.center()));
    return hand;
}

QRectF Bounds(const Hand& hand)
{
    QRectF all;
    for (const Stroke& s : hand.strokes)
        all |= s.path.boundingRect().adjusted(-s.pen, -s.pen, s.pen, s.pen);
    for (const QRectF& d : hand.dots)
        all |= d;
    return all;
}

// A pasted face photograph: mid-grey background, dark hair and clothes.
void Photo(QPainter& p, const QRect& at)
{
    p.fillRect(at, QColor(150, 160, 170));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(45, 35, 30));
    p.drawEllipse(QRectF(at.left() + at.width() * 0.22, at.top() + at.height() * 0.08, at.width() * 0.56, at.height() * 0.5));
    p.setBrush(QColor(205, 170, 150));
    p.drawEllipse(QRectF(at.left() + at.width() * 0.3, at.top() + at.height() * 0.2, at.width() * 0.4, at.height() * 0.45));
    p.setBrush(QColor(30, 30, 50));
    p.drawRect(QRectF(at.left(), at.top() + at.height() * 0.72, at.width(), at.height() * 0.28));
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(at.adjusted(-6, -6, 6, 6));
}

// The form around the field: a title, filled-in fields, a paragraph, the
// photograph's place, an office box.
void Form(QPainter& p, QRandomGenerator& r, const QColor& print, bool photo)
{
    p.setPen(print);
    p.setFont(Sans(int(r.bounded(52, 70)), true));
    p.drawText(QRect(0, 150, Width, 100), Qt::AlignHCenter, QStringLiteral("DOMANDA DI RILASCIO DELLA PATENTE"));
    p.setPen(QPen(print, 4));
    p.drawLine(200, 300, Width - 200, 300);
    const int size = int(r.bounded(28, 38));
    p.setFont(Sans(size));
    const QStringList labels{QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Data di nascita"),
                             QStringLiteral("Luogo di nascita"), QStringLiteral("Codice fiscale"),
                             QStringLiteral("Residente nel comune di")};
    int y = 430;
    for (const QString& label : labels) {
        p.setPen(print);
        p.drawText(220, y, label + QStringLiteral(": ") + QString(int(r.bounded(6, 16)), u'X'));
        p.setPen(QPen(print, 2, Qt::DotLine));
        p.drawLine(220, y + 18, 1500, y + 18);
        y += 140;
    }
    p.setPen(print);
    for (int row = 0; row < 8; ++row)
        p.drawText(220, 1450 + row * int(size * 1.7),
                   QStringLiteral("Il/la sottoscritto/a dichiara sotto la propria responsabilità che i dati sono esatti (%1).").arg(row));
    if (photo)
        Photo(p, QRect(1760, 450, 472, 570));
    p.setPen(QPen(print, 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(1500, 3260, 800, 160);
    p.setFont(Sans(26));
    p.drawText(1515, 3295, QStringLiteral("Spazio riservato all'ufficio"));
}

struct Placed {
    QTransform hand; // from the handwriting's own frame to the sheet
    QRect field;
};

// Draws the field's lines and label, and says where the handwriting goes.
Placed DrawField(QPainter& p, QRandomGenerator& r, const Options& o, const QRectF& hand, const QColor& print)
{
    const int w = int(r.bounded(850, 1350));
    const int h = int(r.bounded(210, 360));
    const QRect box(int(r.bounded(150, Width - w - 150)), int(r.bounded(2300, 3150 - h)), w, h);
    p.setPen(QPen(print, r.bounded(2, 5)));
    p.setBrush(Qt::NoBrush);
    const int label = int(r.bounded(28, 38));
    p.setFont(Sans(label));
    QRectF room; // where the handwriting may lie
    double bottomLine = box.bottom();
    switch (o.field) {
    case Field::BoxLabelAbove:
        p.drawRect(box);
        p.drawText(box.left(), box.top() - 18, QStringLiteral("Firma del richiedente (non uscire dal riquadro)"));
        room = QRectF(box).adjusted(25, 25, -25, -25);
        break;
    case Field::BoxLabelInside:
        p.drawRect(box);
        p.drawText(box.left() + 14, box.top() + 14 + label, QStringLiteral("Firma"));
        room = QRectF(box).adjusted(25, 30 + label, -25, -25);
        break;
    case Field::RuleLabelBelow:
        p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
        p.drawText(QRect(box.left(), box.bottom() + 12, box.width(), label * 2), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("(firma del richiedente)"));
        room = QRectF(box).adjusted(0, 0, 0, -12);
        break;
    case Field::RuleLabelLeft: {
        const QString text = QStringLiteral("Firma:");
        p.drawText(box.left() - 10 - p.fontMetrics().horizontalAdvance(text), box.bottom() - 4, text);
        p.drawLine(box.left(), box.bottom(), box.right(), box.bottom());
        room = QRectF(box).adjusted(10, 0, -10, -12);
        break;
    }
    case Field::Blank:
        room = QRectF(box);
        bottomLine = -1;
        break;
    }
    // The handwriting's height fits the room, its width too.
    const double fit = std::min({room.width() * Between(r, 0.55, 0.95) / hand.width(),
                                 room.height() * Between(r, 0.6, 0.95) / hand.height(), 1.0});
    const QSizeF size = hand.size() * fit;
    QPointF topLeft(room.left() + r.generateDouble() * (room.width() - size.width()),
                    room.top() + r.generateDouble() * (room.height() - size.height()));
    if (o.crossing && bottomLine > 0) // the lowest strokes go through the field's lower line
        topLeft.setY(bottomLine - size.height() * Between(r, 0.65, 0.85));
    Placed placed;
    placed.hand.translate(topLeft.x(), topLeft.y());
    placed.hand.scale(fit, fit);
    placed.hand.translate(-hand.left(), -hand.top());
    placed.field = box;
    return placed;
}

// Grain of the scanner and specks of dust, then the scanner's JPEG.
QImage Scanned(QImage page, QRandomGenerator& r)
{
    {
        QPainter p(&page);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        for (int i = 0; i < 60; ++i) {
            const double radius = Between(r, 0.8, 2.8) * page.width() / Width;
            p.drawEllipse(QPointF(r.bounded(page.width()), r.bounded(page.height())), radius, radius);
        }
    }
    const int noise = int(r.bounded(2, 9));
    const quint32 grain = r.generate();
    return SamplePages::Scanned(page, noise, int(r.bounded(60, 92)), grain);
}

QRect Opaque(const QImage& layer)
{
    int left = layer.width(), right = -1, top = layer.height(), bottom = -1;
    for (int y = 0; y < layer.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = 0; x < layer.width(); ++x)
            if (qAlpha(line[x]) > 128) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

Options Varied(unsigned seed)
{
    QRandomGenerator r(seed * 7919u + 17u);
    Options o;
    o.field = Field(seed % 5);
    o.degrees = Between(r, -3.0, 3.0);
    o.blueInk = r.bounded(2) == 0;
    o.crossing = o.field != Field::Blank && r.bounded(3) == 0;
    return o;
}

Page Make(unsigned seed, const Options& o)
{
    QRandomGenerator r(seed);
    static const QColor Papers[] = {{246, 245, 240}, {240, 234, 214}, {226, 235, 244}, {244, 230, 230}, {232, 242, 226}, {226, 226, 224}};
    static const QColor Prints[] = {{34, 34, 34}, {20, 20, 20}, {30, 50, 110}, {60, 60, 60}};
    static const QColor Inks[] = {{29, 43, 110}, {40, 60, 170}, {20, 20, 28}, {45, 40, 45}};
    const QColor paper = Papers[r.bounded(6)];
    const QColor print = Prints[r.bounded(4)];
    const QColor ink = Inks[(o.blueInk ? 0 : 2) + r.bounded(2)];
    const QSize size(Width * o.scale, Height * o.scale);
    Page result;
    result.page = QImage(size, QImage::Format_RGB32);
    result.page.fill(paper);
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QImage printLayer(size, QImage::Format_ARGB32_Premultiplied);
    printLayer.fill(Qt::transparent);
    QTransform sheet;
    sheet.scale(o.scale, o.scale);
    sheet.translate(Width / 2.0, Height / 2.0);
    sheet.rotate(o.degrees);
    sheet.translate(-Width / 2.0, -Height / 2.0);
    const Hand hand = Handwriting(r, Between(r, 28, 50));
    Placed placed;
    for (QImage* target : {&result.page, &printLayer}) {
        QPainter p(target);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(sheet);
        QRandomGenerator form(seed + 1000u);
        Form(p, form, target == &printLayer ? QColor(Qt::black) : print, target != &printLayer);
        QRandomGenerator field(seed + 2000u);
        placed = DrawField(p, field, o, Bounds(hand), target == &printLayer ? QColor(Qt::black) : print);
    }
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(placed.hand * sheet);
        const double scale = std::sqrt(std::abs(placed.hand.determinant()));
        for (const Stroke& s : hand.strokes) {
            p.setPen(QPen(ink, s.pen / scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(s.path);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        for (const QRectF& d : hand.dots)
            p.drawEllipse(d);
    }
    {
        QPainter p(&result.page);
        p.drawImage(0, 0, layer);
    }
    result.ink = Opaque(layer);
    result.print = QImage(size, QImage::Format_Grayscale8);
    for (int y = 0; y < size.height(); ++y) {
        const QRgb* from = reinterpret_cast<const QRgb*>(printLayer.constScanLine(y));
        uchar* to = result.print.scanLine(y);
        for (int x = 0; x < size.width(); ++x)
            to[x] = qAlpha(from[x]) > 128 ? 255 : 0;
    }
    result.page = Scanned(result.page, r);
    return result;
}

Verdict Judge(const Page& page, const QRect& selection)
{
    Verdict v;
    v.allInk = !page.ink.isEmpty() && selection.contains(page.ink);
    const int scale = page.page.width() / Width;
    const int margin = MaxMargin * std::max(1, scale);
    if (!v.allInk || !page.ink.adjusted(-margin, -margin, margin, margin).contains(selection))
        return v;
    const QRect s = selection & page.print.rect();
    for (int y = s.top(); y <= s.bottom(); ++y) {
        const uchar* line = page.print.constScanLine(y);
        for (int x = s.left(); x <= s.right(); ++x)
            if (line[x] != 0 && !page.ink.contains(x, y))
                return v;
    }
    v.tight = true;
    return v;
}

} // namespace SignatureForms
