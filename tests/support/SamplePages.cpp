#include "SamplePages.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace SamplePages {

namespace {

const QString Member = QStringLiteral("./usr/lib/python3/dist-packages/skimage/data/astronaut.png");

// The part of astronaut.png glued on the pages, and where its crown, chin
// and eyes are (measured on the file: hair top, chin's lower edge, pupils).
const QRect PortraitCrop(103, 0, 244, 295);
const QPointF Crown(224, 16);
const QPointF Chin(224, 177);
const QPointF Eyes(223.5, 102);

const QColor Paper(246, 245, 240);
const QColor Print(34, 34, 34);
const QColor Ink(29, 43, 110);

bool Run(const QString& program, const QStringList& arguments, const QString& folder, QString* why,
         const QString& pipeTo = {}, const QStringList& pipeArguments = {})
{
    QProcess first, second;
    first.setWorkingDirectory(folder);
    second.setWorkingDirectory(folder);
    if (!pipeTo.isEmpty())
        first.setStandardOutputProcess(&second);
    first.start(program, arguments);
    if (!pipeTo.isEmpty())
        second.start(pipeTo, pipeArguments);
    const bool ok = first.waitForFinished(120000) && first.exitStatus() == QProcess::NormalExit && first.exitCode() == 0
        && (pipeTo.isEmpty()
            || (second.waitForFinished(60000) && second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0));
    if (!ok && why)
        *why = QStringLiteral("%1 %2 failed: %3").arg(program, arguments.join(u' '),
                                                      QString::fromLocal8Bit(first.readAllStandardError()).trimmed());
    return ok;
}

QFont Font(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// Some lines of a form, so that the page is not blank around the picture.
void DrawForm(QPainter& p, QRandomGenerator& random)
{
    p.setPen(Print);
    p.setFont(Font(64, true));
    p.drawText(QRect(0, 150, PageWidth, 100), Qt::AlignHCenter, QStringLiteral("DOMANDA DI RILASCIO DELLA PATENTE"));
    p.setPen(QPen(Print, 4));
    p.drawLine(200, 300, PageWidth - 200, 300);
    p.setFont(Font(34));
    const QStringList labels{QStringLiteral("Cognome"), QStringLiteral("Nome"), QStringLiteral("Data di nascita"),
                             QStringLiteral("Luogo di nascita"), QStringLiteral("Codice fiscale"),
                             QStringLiteral("Residente nel comune di"), QStringLiteral("Via / piazza")};
    int y = 420;
    for (const QString& label : labels) {
        p.setPen(Print);
        p.drawText(220, y, label + QStringLiteral(": ") + QString(int(random.bounded(8, 18)), u'X'));
        p.setPen(QPen(QColor(85, 85, 85), 2, Qt::DotLine));
        p.drawLine(220, y + 20, 1500, y + 20);
        y += 150;
    }
    p.setPen(Print);
    p.setFont(Font(30));
    for (int row = 0; row < 6; ++row)
        p.drawText(220, 1700 + row * 60, QStringLiteral("Il/la sottoscritto/a dichiara che i dati riportati sono esatti %1.").arg(row));
}

QPointF Mapped(const QPointF& inPortrait, const Placement& at, double scale, QSizeF size)
{
    const QPointF local = (inPortrait - QPointF(PortraitCrop.topLeft())) * scale;
    const QPointF centre(size.width() / 2, size.height() / 2);
    QTransform turn;
    turn.rotate(at.degrees);
    return QPointF(at.at) + centre + turn.map(local - centre);
}

// One handwritten-looking stroke: a wave along the baseline with loops.
QPainterPath Wave(QRandomGenerator& r, QPointF start, double length, double height)
{
    QPainterPath path(start);
    const int humps = int(r.bounded(5, 11));
    const double step = length / humps;
    QPointF at = start;
    for (int i = 0; i < humps; ++i) {
        const double up = height * (0.4 + r.generateDouble() * 0.6);
        const double lean = step * (0.2 + r.generateDouble() * 0.3);
        const QPointF end(at.x() + step, start.y() + height * (r.generateDouble() - 0.5) * 0.2);
        path.cubicTo(QPointF(at.x() + lean, at.y() - up), QPointF(end.x() - lean * 2, end.y() - up * 0.8), end);
        at = end;
    }
    return path;
}

} // namespace

QImage Scanned(QImage page, int noise, int quality, quint32 seed)
{
    quint32 state = seed * 2654435761u + 1;
    for (int y = 0; y < page.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(page.scanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int d = int((state >> 24) % unsigned(2 * noise + 1)) - noise;
            const QRgb c = line[x];
            line[x] = qRgb(qBound(0, qRed(c) + d, 255), qBound(0, qGreen(c) + d, 255), qBound(0, qBlue(c) + d, 255));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    page.save(&buffer, "JPG", quality);
    // A 600 DPI page is larger than Qt reads by default.
    QImageReader::setAllocationLimit(std::max(QImageReader::allocationLimit(), 512));
    QImage decoded;
    decoded.loadFromData(bytes, "JPG");
    return decoded.convertToFormat(QImage::Format_RGB32);
}


QString AstronautPath(const QString& cacheFolder, QString* why)
{
    const QString cached = QDir(cacheFolder).filePath(QStringLiteral("astronaut.png"));
    if (QFile::exists(cached))
        return cached;
    if (QStandardPaths::findExecutable(QStringLiteral("apt-get")).isEmpty()) {
        if (why)
            *why = QStringLiteral("apt-get is not available");
        return {};
    }
    QTemporaryDir work;
    if (!work.isValid() || !QDir().mkpath(cacheFolder)) {
        if (why)
            *why = QStringLiteral("no folder to download into");
        return {};
    }
    if (!Run(QStringLiteral("apt-get"), {QStringLiteral("download"), QStringLiteral("python3-skimage")}, work.path(), why))
        return {};
    const QStringList debs = QDir(work.path()).entryList({QStringLiteral("python3-skimage_*.deb")});
    if (debs.isEmpty()) {
        if (why)
            *why = QStringLiteral("apt-get download gave no python3-skimage package");
        return {};
    }
    if (!Run(QStringLiteral("dpkg-deb"), {QStringLiteral("--fsys-tarfile"), debs.first()}, work.path(), why,
             QStringLiteral("tar"), {QStringLiteral("-x"), Member}))
        return {};
    const QString extracted = QDir(work.path()).filePath(Member);
    if (!QFile::copy(extracted, cached)) {
        if (why)
            *why = QStringLiteral("astronaut.png is not in the package");
        return {};
    }
    return cached;
}

FacePage MakeFacePage(const QImage& astronaut, const Placement& at)
{
    QRandomGenerator random(quint32(at.at.x() * 31 + at.at.y() * 17 + at.width));
    QImage page(PageWidth, PageHeight, QImage::Format_RGB32);
    page.fill(Paper);
    const double scale = at.width / double(PortraitCrop.width());
    const QSizeF size(at.width, PortraitCrop.height() * scale);
    {
        QPainter p(&page);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        DrawForm(p, random);
        p.translate(QPointF(at.at) + QPointF(size.width() / 2, size.height() / 2));
        p.rotate(at.degrees);
        p.translate(-size.width() / 2, -size.height() / 2);
        p.drawImage(QRectF(QPointF(0, 0), size), astronaut.convertToFormat(QImage::Format_RGB32), PortraitCrop);
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.drawRect(QRectF(QPointF(-6, -6), size + QSizeF(12, 12)));
    }
    FacePage face;
    face.page = Scanned(page, at.noise, at.quality, quint32(at.width + at.at.y()));
    face.crown = Mapped(Crown, at, scale, size);
    face.chin = Mapped(Chin, at, scale, size);
    face.eyes = Mapped(Eyes, at, scale, size);
    return face;
}

Framed Measure(const FacePage& page, const QRect& s)
{
    const double height = s.height();
    const double bottom = s.top() + height;
    const QPointF head = page.chin - page.crown;
    return {100.0 * (bottom - page.eyes.y()) / height, 100.0 * std::hypot(head.x(), head.y()) / height};
}

SignaturePage MakeSignaturePage(unsigned seed)
{
    QRandomGenerator r(seed);
    QImage page(PageWidth, PageHeight, QImage::Format_RGB32);
    page.fill(Paper);
    const int boxWidth = int(r.bounded(900, 1300));
    const int boxHeight = int(r.bounded(220, 340));
    const QRect box(int(r.bounded(150, PageWidth - boxWidth - 150)), int(r.bounded(2350, 3150 - boxHeight)),
                    boxWidth, boxHeight);
    QImage layer(page.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter p(&layer);
        p.setRenderHint(QPainter::Antialiasing);
        const double width = boxWidth * (0.5 + r.generateDouble() * 0.3);
        const double height = boxHeight * (0.35 + r.generateDouble() * 0.25);
        const QPointF start(box.left() + 40 + r.generateDouble() * (boxWidth - 80 - width),
                            box.top() + 30 + height + r.generateDouble() * (boxHeight - 60 - height * 1.3));
        const double pen = 3 + r.generateDouble() * 4;
        p.setPen(QPen(Ink, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        // A capital: a tall loop at the start.
        QPainterPath capital(start);
        capital.cubicTo(start + QPointF(width * 0.02, -height), start + QPointF(width * 0.14, -height * 1.1),
                        start + QPointF(width * 0.12, 0));
        capital.lineTo(start + QPointF(width * 0.02, -height * 0.4));
        p.drawPath(capital);
        // The name, joined, and a flourish under it.
        p.drawPath(Wave(r, start + QPointF(width * 0.18, 0), width * 0.82, height * 0.6));
        QPainterPath flourish(start + QPointF(width * 0.9, height * 0.15));
        flourish.cubicTo(start + QPointF(width * 0.6, height * 0.3), start + QPointF(width * 0.3, height * 0.25),
                         start + QPointF(width * 0.1, height * 0.1));
        p.drawPath(flourish);
        // A dot over an i.
        p.setBrush(Ink);
        p.drawEllipse(start + QPointF(width * (0.4 + r.generateDouble() * 0.3), -height * 0.75), pen * 0.7, pen * 0.7);
    }
    SignaturePage result;
    for (int y = 0; y < layer.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
        for (int x = 0; x < layer.width(); ++x)
            if (qAlpha(line[x]) > 128)
                result.ink |= QRect(x, y, 1, 1);
    }
    {
        QPainter p(&page);
        p.setRenderHint(QPainter::Antialiasing);
        DrawForm(p, r);
        p.setPen(QPen(Print, 3));
        p.drawRect(box);
        p.setFont(Font(30));
        p.drawText(box.left(), box.top() - 20, QStringLiteral("Firma del richiedente (senza uscire dal riquadro)"));
        p.setPen(QPen(QColor(85, 85, 85), 2));
        p.drawLine(200, box.bottom() + 120, PageWidth - 200, box.bottom() + 120);
        p.drawImage(0, 0, layer);
        // Specks of dust and toner over the whole page, a few in the box.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        for (int i = 0; i < 60; ++i) {
            const QPointF at = i < 6 ? QPointF(box.left() + 10 + r.bounded(box.width() - 20), box.top() + 10 + r.bounded(box.height() - 20))
                                     : QPointF(r.bounded(PageWidth), r.bounded(PageHeight));
            const double radius = 0.8 + r.generateDouble() * 2.2;
            p.drawEllipse(at, radius, radius);
        }
    }
    result.page = Scanned(page, int(r.bounded(2, 8)), int(r.bounded(55, 92)), seed);
    result.boxInside = box.adjusted(3, 3, -3, -3);
    return result;
}

} // namespace SamplePages
