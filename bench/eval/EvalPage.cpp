#include "EvalPage.h"

#include "EvalSignature.h"

#include <QJsonArray>
#include <QPainter>
#include <QTransform>

#include <cmath>

namespace EvalPage {

namespace {

double Uniform(QRandomGenerator& r, double low, double high)
{
    return low + (high - low) * r.generateDouble();
}

QColor PaperTint(QRandomGenerator& r)
{
    static const QColor tints[] = {{250, 249, 244}, {246, 240, 222}, {236, 242, 248}, {238, 246, 234},
                                   {250, 238, 238}, {240, 240, 240}, {248, 244, 230}, {232, 238, 246}};
    const QColor base = tints[r.bounded(int(std::size(tints)))];
    const int d = r.bounded(-4, 5);
    return QColor(qBound(0, base.red() + d, 255), qBound(0, base.green() + d, 255), qBound(0, base.blue() + d, 255));
}

QFont PrintFont(int pixels, bool bold, bool serif)
{
    QFont font(serif ? QStringLiteral("Liberation Serif") : QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

const QStringList Titles{QStringLiteral("DOMANDA DI RILASCIO DELLA PATENTE DI GUIDA"),
                         QStringLiteral("RICHIESTA DI DUPLICATO PATENTE"),
                         QStringLiteral("MODULO DI RINNOVO DELLA PATENTE"),
                         QStringLiteral("DOMANDA DI CONVERSIONE PATENTE ESTERA")};
const QStringList Fields{QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Nato/a a"),
                         QStringLiteral("il"), QStringLiteral("Codice fiscale"), QStringLiteral("Residente in"),
                         QStringLiteral("Via / piazza"), QStringLiteral("CAP"), QStringLiteral("Telefono"),
                         QStringLiteral("Documento n.")};
const QStringList Captions{QStringLiteral("FOTO"), QStringLiteral("FOTOGRAFIA"),
                           QStringLiteral("Incollare qui la fotografia"), QStringLiteral("Foto formato tessera")};

// Title, fields with ruled lines and a paragraph, in the column left free.
void DrawForm(QPainter& p, QRandomGenerator& r, const QColor& print, const QRect& column, bool serif)
{
    p.setPen(print);
    p.setFont(PrintFont(r.bounded(52, 68), true, serif));
    p.drawText(QRect(120, 140, PageWidth - 240, 110), Qt::AlignHCenter | Qt::AlignVCenter,
               Titles[r.bounded(int(Titles.size()))]);
    p.setPen(QPen(print, r.bounded(2, 6)));
    p.drawLine(180, 280, PageWidth - 180, 280);
    p.setFont(PrintFont(r.bounded(32, 40), false, serif));
    int y = column.top() + 40;
    const int step = r.bounded(120, 165);
    for (int i = 0; i < Fields.size() && y < column.bottom(); ++i, y += step) {
        p.setPen(print);
        p.drawText(column.left(), y, Fields[i] + QStringLiteral(":"));
        const Qt::PenStyle style = r.bounded(3) == 0 ? Qt::DotLine : Qt::SolidLine;
        p.setPen(QPen(print.lighter(130), 2, style));
        p.drawLine(column.left(), y + 24, column.right(), y + 24);
    }
    p.setPen(print);
    p.setFont(PrintFont(28, false, serif));
    const int textTop = qMax(y, 1900);
    for (int row = 0; row < 6; ++row)
        p.drawText(180, textTop + row * 52,
                   QStringLiteral("Il/la sottoscritto/a dichiara, sotto la propria responsabilità, che i dati "
                                  "riportati nel presente modulo sono veritieri (art. %1).")
                       .arg(row + 46));
}

QPolygonF Mapped(const QTransform& t, const QRectF& rect)
{
    return t.map(QPolygonF(rect).mid(0, 4));
}

// The photograph pasted at target (page pixels) showing cut (source pixels).
void Paste(QPainter& p, const Source& s, const QRectF& cut, const QRectF& target)
{
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, s.picture, cut);
    p.restore();
}

struct PhotoPlace {
    QRectF cut;    // of the source
    QRectF target; // on the unturned page
    QTransform toPage;
};

// The cut and the scale that bring the head to a size between 250 and 600 px.
PhotoPlace PlacePhoto(const Source& s, bool tight, QRandomGenerator& r, QPointF topLeft, double headLow,
                      double headHigh)
{
    const double head = QLineF(s.crown, s.chin).length();
    QRectF cut = s.photo;
    if (tight) {
        const double cx = (s.leftEye.x() + s.rightEye.x()) / 2;
        const double top = s.crown.y() - head * Uniform(r, 0.03, 0.09);
        const double bottom = s.chin.y() + head * Uniform(r, 0.08, 0.2);
        const double half = head * Uniform(r, 0.42, 0.55);
        cut = QRectF(QPointF(cx - half, top), QPointF(cx + half, bottom)) & s.photo;
    }
    const double upscaleLimit = std::max(1.8, 260.0 / head);
    const double wanted = Uniform(r, headLow, std::min(headHigh, std::max(headLow, head * upscaleLimit)));
    const double scale = wanted / head;
    PhotoPlace place;
    place.cut = cut;
    place.target = QRectF(topLeft, cut.size() * scale);
    place.toPage.translate(topLeft.x(), topLeft.y());
    place.toPage.scale(scale, scale);
    place.toPage.translate(-cut.left(), -cut.top());
    return place;
}

// The photograph made smaller about its top left corner.
void Shrink(PhotoPlace& place, double factor)
{
    const QPointF at = place.target.topLeft();
    QTransform scale;
    scale.translate(at.x(), at.y());
    scale.scale(factor, factor);
    scale.translate(-at.x(), -at.y());
    place.toPage = place.toPage * scale;
    place.target = QRectF(at, place.target.size() * factor);
}

// The printed box with its caption, and the photograph pasted in it.
void DrawPhotoBox(QPainter& p, QRandomGenerator& r, const QColor& print, const PhotoPlace& place, bool serif)
{
    const int style = r.bounded(3);
    const double pad = style == 2 ? 0 : Uniform(r, 25, 90);
    const QRectF box = place.target.adjusted(-pad, -pad, pad, pad + (style == 0 ? Uniform(r, 40, 90) : 0));
    p.setPen(QPen(print, r.bounded(2, 5)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(box);
    p.setFont(PrintFont(r.bounded(30, 44), r.bounded(2) == 0, serif));
    p.setPen(print);
    const QString caption = Captions[r.bounded(int(Captions.size()))];
    if (style == 0)
        p.drawText(QRectF(box.left(), place.target.bottom() + 4, box.width(), box.bottom() - place.target.bottom() - 4),
                   Qt::AlignCenter, caption);
    else
        p.drawText(box.adjusted(0, -60, 0, 0).topLeft() + QPointF(0, 40), caption);
}

} // namespace

QJsonObject Truth::toJson() const
{
    auto point = [](QPointF p) { return QJsonArray{std::round(p.x() * 10) / 10, std::round(p.y() * 10) / 10}; };
    auto polygon = [&](const QPolygonF& q) {
        QJsonArray a;
        for (const QPointF& c : q)
            a.append(point(c));
        return a;
    };
    auto rect = [](const QRectF& b) {
        return QJsonArray{std::round(b.x()), std::round(b.y()), std::round(b.width()), std::round(b.height())};
    };
    QJsonObject o;
    o[QStringLiteral("photo")] = polygon(photo);
    o[QStringLiteral("crown")] = point(crown);
    o[QStringLiteral("chin")] = point(chin);
    o[QStringLiteral("left_eye")] = point(leftEye);
    o[QStringLiteral("right_eye")] = point(rightEye);
    if (!secondPhoto.isEmpty()) {
        o[QStringLiteral("second_photo")] = polygon(secondPhoto);
        o[QStringLiteral("second_face")] = point(secondFace);
    }
    o[QStringLiteral("ink")] = rect(ink);
    o[QStringLiteral("signature_box")] = polygon(signatureBox);
    o[QStringLiteral("label")] = rect(label);
    QJsonArray lineArray;
    for (const Line& l : lines)
        lineArray.append(QJsonObject{{QStringLiteral("from"), point(l.line.p1())},
                                     {QStringLiteral("to"), point(l.line.p2())},
                                     {QStringLiteral("touched_by_ink"), l.touchedByInk}});
    o[QStringLiteral("lines")] = lineArray;
    o[QStringLiteral("tilt")] = std::round(tilt * 100) / 100;
    o[QStringLiteral("jpeg_quality")] = quality;
    o[QStringLiteral("head_px")] = std::round(headPixels);
    o[QStringLiteral("font")] = font;
    return o;
}

namespace {

// A smaller photograph of someone else, right of the paragraph and above the
// signature field; its corners and the middle of its eyes go to truth.
void PasteSecond(QPainter& p, QRandomGenerator& r, const QColor& print, const Source& o, Truth& truth)
{
    const QPointF at(Uniform(r, 1780, 1950), Uniform(r, 1900, 2000));
    PhotoPlace small = PlacePhoto(o, false, r, at, 120, 170);
    Shrink(small, std::min(1.0, std::min(420 / small.target.height(), (PageWidth - 140 - at.x()) / small.target.width())));
    p.setPen(QPen(print, 2));
    p.drawRect(small.target.adjusted(-20, -20, 20, 20));
    Paste(p, o, small.cut, small.target);
    truth.secondPhoto = QPolygonF(small.target).mid(0, 4);
    truth.secondFace = small.toPage.map((o.leftEye + o.rightEye) / 2);
}

// The scanner: a slight turn (or a page fed upside down), grain, JPEG
// quality; the labels, drawn in the flat page, follow the same turn.
Made Scan(const QImage& flat, Truth truth, const EvalSignature::Field& field, bool upsideDown, QRandomGenerator& r)
{
    const double tilt = Uniform(r, -2, 2);
    QTransform turn;
    turn.translate(PageWidth / 2.0, PageHeight / 2.0);
    turn.rotate(tilt + (upsideDown ? 180 : 0));
    turn.translate(-PageWidth / 2.0, -PageHeight / 2.0);
    QImage page(PageWidth, PageHeight, QImage::Format_RGB32);
    page.fill(QColor(252, 252, 250));
    {
        QPainter scan(&page);
        scan.setRenderHint(QPainter::SmoothPixmapTransform);
        scan.setTransform(turn);
        scan.drawImage(0, 0, flat);
    }
    truth.photo = turn.map(truth.photo);
    truth.crown = turn.map(truth.crown);
    truth.chin = turn.map(truth.chin);
    truth.leftEye = turn.map(truth.leftEye);
    truth.rightEye = turn.map(truth.rightEye);
    truth.secondPhoto = turn.map(truth.secondPhoto);
    truth.secondFace = turn.map(truth.secondFace);
    truth.ink = EvalSignature::InkBox(field.ink, turn);
    truth.signatureBox = Mapped(turn, field.box);
    truth.label = Mapped(turn, field.label).boundingRect();
    for (const EvalSignature::Rule& rule : field.rules)
        truth.lines.append({turn.map(rule.line), rule.touchedByInk});
    truth.tilt = tilt;
    truth.quality = r.bounded(75, 93);
    truth.font = field.font;
    EvalSignature::AddGrain(page, r);
    return {page, truth};
}

} // namespace

Made Make(const Plan& plan, const QStringList& scriptFonts)
{
    QRandomGenerator r(plan.seed);
    const Source& s = *plan.main;
    const bool serif = r.bounded(3) == 0;
    const QColor print = QColor::fromHsv(r.bounded(360), r.bounded(0, 60), r.bounded(20, 70));

    QImage flat(PageWidth, PageHeight, QImage::Format_RGB32);
    flat.fill(PaperTint(r));
    QPainter p(&flat);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // The photo on the right or on the left; the fields take the other side.
    const bool photoRight = r.bounded(4) != 0;
    const double headLow = plan.tight ? 300 : 250, headHigh = plan.tight ? 600 : 520;
    const QPointF photoAt(photoRight ? Uniform(r, 1500, 1700) : Uniform(r, 200, 330), Uniform(r, 400, 640));
    PhotoPlace place = PlacePhoto(s, plan.tight, r, photoAt, headLow, headHigh);
    // Keep the photograph on the page and out of the signature area.
    const double fit = std::min({1.0, (PageWidth - 120 - photoAt.x()) / place.target.width(),
                                 (1750 - photoAt.y()) / place.target.height(),
                                 (photoRight ? 1.0 : 1050.0 / place.target.width())});
    if (fit < 1.0)
        Shrink(place, fit);
    const QRect column = photoRight ? QRect(180, 420, int(place.target.left()) - 300, 1400)
                                    : QRect(int(place.target.right()) + 160, 420,
                                            PageWidth - 180 - int(place.target.right()) - 160, 1400);
    DrawForm(p, r, print, column, serif);
    DrawPhotoBox(p, r, print, place, serif);
    Paste(p, s, place.cut, place.target);
    if (r.bounded(3) == 0) { // a thin dark edge of the print itself
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.drawRect(place.target.adjusted(1, 1, -1, -1));
    }

    Truth truth;
    truth.photo = QPolygonF(place.target).mid(0, 4);
    truth.crown = place.toPage.map(s.crown);
    truth.chin = place.toPage.map(s.chin);
    truth.leftEye = place.toPage.map(s.leftEye);
    truth.rightEye = place.toPage.map(s.rightEye);
    truth.headPixels = QLineF(truth.crown, truth.chin).length();
    if (plan.second)
        PasteSecond(p, r, print, *plan.second, truth);
    const EvalSignature::Field field = EvalSignature::Draw(p, r, print, plan.name, scriptFonts, serif);
    p.end();
    return Scan(flat, truth, field, plan.upsideDown, r);
}

} // namespace EvalPage
