#include "EvalSignature.h"

#include "EvalPage.h"

#include <QFontMetricsF>
#include <QPainterPath>

#include <cmath>

namespace EvalSignature {

namespace {

double Uniform(QRandomGenerator& r, double low, double high)
{
    return low + (high - low) * r.generateDouble();
}

const QStringList Labels{QStringLiteral("Firma del richiedente"), QStringLiteral("Firma"),
                         QStringLiteral("Firma leggibile del titolare"), QStringLiteral("Il richiedente (firma)"),
                         QStringLiteral("Firma dell'interessato")};

// A hand does not follow the font: a smooth wander of every point.
void Wobble(QPainterPath& path, QRandomGenerator& r, double amplitude)
{
    const double f1 = Uniform(r, 0.02, 0.06), f2 = Uniform(r, 0.015, 0.05);
    const double a1 = Uniform(r, 0, 6.3), a2 = Uniform(r, 0, 6.3);
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPointF e = path.elementAt(i);
        path.setElementPositionAt(i, e.x() + amplitude * std::sin(e.y() * f1 + a1),
                                  e.y() + amplitude * std::sin(e.x() * f2 + a2));
    }
}

// The name as written: one or two words, sometimes an initial with a dot,
// sometimes a wider gap between the words.
QString Written(const QString& name, QRandomGenerator& r)
{
    const QStringList words = name.split(u' ');
    switch (r.bounded(4)) {
    case 0:
        return words.first().left(1) + QStringLiteral(". ") + words.last();
    case 1:
        return words.first() + QStringLiteral("   ") + words.last();
    default:
        return name;
    }
}

// The ink: the name along the baseline, and perhaps an underline or a
// flourish, and a full stop.
QString WriteName(QPainter& ink, QRandomGenerator& r, const QString& name, const QStringList& fonts, QPointF baseline,
                  double maxWidth, const QColor& colour)
{
    const QString family = fonts[r.bounded(int(fonts.size()))];
    QFont font(family);
    font.setPixelSize(r.bounded(95, 165));
    const QString text = Written(name, r);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const double width = path.boundingRect().width();
    if (width > maxWidth) {
        font.setPixelSize(int(font.pixelSize() * maxWidth / width));
        path = QPainterPath();
        path.addText(0, 0, font, text);
    }
    QTransform hand;
    hand.translate(baseline.x(), baseline.y());
    hand.rotate(Uniform(r, -4, 3));
    hand.shear(Uniform(r, -0.25, 0.1), 0);
    path = hand.map(path);
    Wobble(path, r, Uniform(r, 0.8, 3));
    ink.setPen(QPen(colour, Uniform(r, 1.2, 3.5), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    ink.setBrush(colour);
    ink.drawPath(path);

    const QRectF written = path.boundingRect();
    ink.setBrush(Qt::NoBrush);
    ink.setPen(QPen(colour, Uniform(r, 2.5, 5), Qt::SolidLine, Qt::RoundCap));
    const int extra = r.bounded(4);
    if (extra == 0) { // an underline that overshoots the name
        const double y = written.bottom() + Uniform(r, -10, 18);
        QPainterPath line(QPointF(written.left() + Uniform(r, -30, 40), y + Uniform(r, -6, 6)));
        line.cubicTo(QPointF(written.center().x(), y + Uniform(r, -20, 20)),
                     QPointF(written.center().x() + 100, y + Uniform(r, -20, 20)),
                     QPointF(written.right() + Uniform(r, -20, 60), y + Uniform(r, -15, 5)));
        ink.drawPath(line);
    } else if (extra == 1) { // a flourish back under the name from its last letter
        QPainterPath loop(QPointF(written.right() - 10, written.center().y() + 10));
        loop.cubicTo(QPointF(written.right() + 60, written.bottom() + 30),
                     QPointF(written.left() + written.width() * 0.5, written.bottom() + 40),
                     QPointF(written.left() + Uniform(r, 20, 120), written.bottom() + Uniform(r, -5, 15)));
        ink.drawPath(loop);
    }
    if (r.bounded(3) == 0) { // a full stop at the end
        ink.setBrush(colour);
        const double d = Uniform(r, 7, 12);
        ink.drawEllipse(QPointF(written.right() + Uniform(r, 15, 35), baseline.y() - Uniform(r, 0, 8)), d / 2, d / 2);
    }
    return family;
}

double DistanceToSegment(QPointF p, const QLineF& l)
{
    const QPointF d = l.p2() - l.p1();
    const double len2 = d.x() * d.x() + d.y() * d.y();
    const double t = len2 > 0 ? std::clamp(QPointF::dotProduct(p - l.p1(), d) / len2, 0.0, 1.0) : 0.0;
    return QLineF(p, l.p1() + t * d).length();
}

bool Touches(const Ink& ink, const QLineF& line)
{
    for (int y = 0; y < ink.layer.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(ink.layer.constScanLine(y));
        for (int x = 0; x < ink.layer.width(); ++x)
            if (qAlpha(row[x]) > 96
                && DistanceToSegment(QPointF(ink.origin.x() + x + 0.5, ink.origin.y() + y + 0.5), line) <= 3)
                return true;
    }
    return false;
}

// The printed label inside the box at its top left, under it or above it.
QRectF DrawLabel(QPainter& p, QRandomGenerator& r, const QColor& print, const QRectF& box, bool serif)
{
    QFont labelFont(serif ? QStringLiteral("Liberation Serif") : QStringLiteral("Liberation Sans"));
    labelFont.setPixelSize(r.bounded(30, 42));
    labelFont.setItalic(r.bounded(3) == 0);
    p.setFont(labelFont);
    const QString label = Labels[r.bounded(int(Labels.size()))];
    const QRectF labelRect = QFontMetricsF(labelFont).boundingRect(label);
    const int labelPlace = r.bounded(3);
    QPointF labelAt;
    if (labelPlace == 0)
        labelAt = box.topLeft() + QPointF(18, 16 - labelRect.top());
    else if (labelPlace == 1)
        labelAt = QPointF(box.center().x() - labelRect.width() / 2, box.bottom() + 14 - labelRect.top());
    else
        labelAt = QPointF(box.left(), box.top() - 14 - labelRect.bottom());
    p.setPen(print);
    p.drawText(labelAt, label);
    return labelRect.translated(labelAt);
}

} // namespace

Field Draw(QPainter& p, QRandomGenerator& r, const QColor& print, const QString& name, const QStringList& fonts,
           bool serif)
{
    using EvalPage::PageHeight;
    using EvalPage::PageWidth;
    Field field;
    const double width = Uniform(r, 1000, 1500), height = Uniform(r, 260, 420);
    const int across = r.bounded(3);
    const double left = across == 0 ? Uniform(r, 160, 360)
                      : across == 1 ? PageWidth - 160 - width - Uniform(r, 0, 200)
                                    : (PageWidth - width) / 2;
    field.box = QRectF(left, Uniform(r, 2450, PageHeight - 260 - height), width, height);

    field.label = DrawLabel(p, r, print, field.box, serif);

    const bool framed = r.bounded(4) != 0;
    const double lineWidth = r.bounded(2, 5);
    p.setPen(QPen(print, lineWidth));
    QList<QLineF> lines;
    if (framed) {
        p.drawRect(field.box);
        const QRectF b = field.box;
        lines = {QLineF(b.topLeft(), b.topRight()), QLineF(b.topRight(), b.bottomRight()),
                 QLineF(b.bottomRight(), b.bottomLeft()), QLineF(b.bottomLeft(), b.topLeft())};
    }
    const bool ruled = !framed || r.bounded(3) != 0;
    const double ruleY = ruled ? field.box.top() + field.box.height() * Uniform(r, 0.66, 0.8) : field.box.bottom();
    if (ruled) {
        const QLineF rule(field.box.left() + (framed ? 30 : 0), ruleY, field.box.right() - (framed ? 30 : 0), ruleY);
        p.setPen(QPen(print, r.bounded(2) == 0 ? lineWidth : 2, r.bounded(4) == 0 ? Qt::DotLine : Qt::SolidLine));
        p.drawLine(rule);
        lines.append(rule);
    }

    // The ink on its own layer, so that its box comes from its pixels.
    const QRect layerRect = field.box.adjusted(-150, -150, 150, 150).toAlignedRect() & QRect(0, 0, PageWidth, PageHeight);
    field.ink.origin = layerRect.topLeft();
    field.ink.layer = QImage(layerRect.size(), QImage::Format_ARGB32_Premultiplied);
    field.ink.layer.fill(Qt::transparent);
    {
        QPainter ink(&field.ink.layer);
        ink.setRenderHint(QPainter::Antialiasing);
        ink.translate(-field.ink.origin);
        const QColor colour = r.bounded(2) == 0 ? QColor(20, 20, 28) : QColor(r.bounded(20, 45), r.bounded(35, 70), r.bounded(120, 175));
        const QPointF baseline(field.box.left() + Uniform(r, 30, 220), ruleY + Uniform(r, -18, 10));
        field.font = WriteName(ink, r, name, fonts, baseline, field.box.right() - baseline.x() - 90, colour);
    }
    p.drawImage(field.ink.origin, field.ink.layer);
    for (const QLineF& l : lines)
        field.rules.append({l, Touches(field.ink, l)});
    return field;
}

QRectF InkBox(const Ink& ink, const QTransform& turn)
{
    double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9;
    for (int y = 0; y < ink.layer.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(ink.layer.constScanLine(y));
        for (int x = 0; x < ink.layer.width(); ++x) {
            if (qAlpha(row[x]) <= 96)
                continue;
            const QPointF c = turn.map(QPointF(ink.origin.x() + x + 0.5, ink.origin.y() + y + 0.5));
            x0 = std::min(x0, c.x());
            y0 = std::min(y0, c.y());
            x1 = std::max(x1, c.x());
            y1 = std::max(y1, c.y());
        }
    }
    if (x1 < x0)
        return {};
    return QRectF(QPointF(x0 - 0.5, y0 - 0.5), QPointF(x1 + 0.5, y1 + 0.5));
}

void AddGrain(QImage& page, QRandomGenerator& r)
{
    const double sigma = Uniform(r, 1.5, 5);
    quint32 state = r.generate() | 1u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return (state & 0xffff) / 32768.0 - 1.0;
    };
    // Three uniforms make a bell; their sum has a deviation of one.
    for (int y = 0; y < page.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            const int d = int(std::lround(sigma * (next() + next() + next())));
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + d, 255), qBound(0, qGreen(c) + d, 255), qBound(0, qBlue(c) + d, 255));
        }
    }
}

} // namespace EvalSignature
