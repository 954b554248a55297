// The automatic framing measured on a set of synthetic scans of the
// astronaut's portrait pasted on a form: the share of pages whose crop
// holds the head at 70-80 % and the eye line at 55-65 % of its height and
// stays inside the pasted photograph.

#include "PortraitFraming.h"
#include "SamplePages.h"
#include "TestEnvironment.h"
#include "TestRegistry.h"

#include <QTest>
#include <QTransform>

namespace {

// The placements: four sizes, three places, three tilts, two grains and two
// qualities, combined so that each value meets each other one.
QList<SamplePages::Placement> Placements()
{
    const int widths[] = {340, 420, 500, 600};
    const QPoint places[] = {{1760, 640}, {1000, 1400}, {250, 2500}};
    const double tilts[] = {-2.5, 0, 2.5};
    const int noises[] = {3, 8};
    const int qualities[] = {60, 88};
    QList<SamplePages::Placement> list;
    for (int i = 0; i < 36; ++i)
        list.append({places[i % 3], widths[(i / 3) % 4], tilts[(i + i / 3) % 3], noises[(i / 2) % 2],
                     qualities[(i / 6) % 2]});
    return list;
}

// The pasted portrait on the page (SamplePages glues 244 x 295 of it).
QPolygonF PastedPhotograph(const SamplePages::Placement& at)
{
    const QSizeF size(at.width, 295.0 * at.width / 244.0);
    QTransform place;
    place.translate(at.at.x() + size.width() / 2, at.at.y() + size.height() / 2);
    place.rotate(at.degrees);
    place.translate(-size.width() / 2, -size.height() / 2);
    return place.map(QPolygonF(QRectF(QPointF(0, 0), size)));
}

} // namespace

class TestMeasure : public QObject {
    Q_OBJECT
private slots:
    void portraits();
};

void TestMeasure::portraits()
{
    QString why;
    const QString path = SamplePages::AstronautPath(QStringLiteral(RITRAX_TEST_CACHE), &why);
    if (path.isEmpty())
        QSKIP(qPrintable(QStringLiteral("astronaut.png not available: ") + why));
    const QImage astronaut(path);
    QVERIFY(!astronaut.isNull());
    int framed = 0, found = 0;
    QList<SamplePages::Placement> placements = Placements();
    if (SanitizedRun())
        placements.resize(4);
    for (const SamplePages::Placement& at : placements) {
        const SamplePages::FacePage page = SamplePages::MakeFacePage(astronaut, at);
        const PortraitFraming::Proposal p = PortraitFraming::Propose(page.page, page.page.size());
        if (p.status == FaceLandmarks::Status::NoModel)
            QSKIP("the landmark model is not installed (libdlib-data)");
        QString line = QStringLiteral("width %1 at %2,%3 tilt %4 noise %5 q %6: ")
                           .arg(at.width).arg(at.at.x()).arg(at.at.y()).arg(at.degrees).arg(at.noise).arg(at.quality);
        if (p.status != FaceLandmarks::Status::Found) {
            qInfo().noquote() << line + QStringLiteral("no face");
            continue;
        }
        ++found;
        const SamplePages::Framed m = SamplePages::Measure(page, p.selection);
        const QPolygonF photograph = PastedPhotograph(at);
        const QRectF s = p.selection;
        const bool inside = photograph.containsPoint(s.topLeft(), Qt::OddEvenFill)
            && photograph.containsPoint(s.topRight(), Qt::OddEvenFill)
            && photograph.containsPoint(s.bottomLeft(), Qt::OddEvenFill)
            && photograph.containsPoint(s.bottomRight(), Qt::OddEvenFill);
        const bool good = m.eyeLine >= 55 && m.eyeLine <= 65 && m.headHeight >= 70 && m.headHeight <= 80 && inside;
        framed += good;
        if (!good || qEnvironmentVariableIsSet("RITRAX_MEASURE_VERBOSE"))
            qInfo().noquote() << line + QStringLiteral("eye line %1 %, head %2 %%3 %4")
                                            .arg(m.eyeLine, 0, 'f', 1).arg(m.headHeight, 0, 'f', 1)
                                            .arg(inside ? "" : ", out of the photograph").arg(good ? "" : "OUT");
    }
    qInfo().noquote() << QStringLiteral("portraits: %1 of %2 framed in range (%3 %), faces found %4")
                             .arg(framed).arg(placements.size()).arg(100.0 * framed / placements.size(), 0, 'f', 1)
                             .arg(found);
    if (SanitizedRun())
        QSKIP("the share is measured in the normal build");
    QVERIFY(framed * 100 >= 95 * placements.size());
}

RITRAX_TEST(TestMeasure)
#include "tst_measure.moc"
