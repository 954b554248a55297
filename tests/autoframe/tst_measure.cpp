// The automatic framing measured on a set of synthetic scans: the share of
// portrait pages whose framed photo has its eye line and head height in
// the accepted ranges, and of signature pages whose selection holds all of
// the signature's ink and none of its box.

#include "FaceFinder.h"
#include "PortraitGeometry.h"
#include "SamplePages.h"
#include "TestRegistry.h"

#include <QTest>

namespace {

// The placements: four sizes, three places, three tilts, two grains and two
// qualities, combined so that each value meets each other one.
QList<SamplePages::Placement> Placements()
{
    const int widths[] = {340, 420, 500, 600};
    const QPoint places[] = {{1760, 640}, {1000, 1400}, {250, 2500}};
    const double tilts[] = {-4, 0, 4};
    const int noises[] = {3, 8};
    const int qualities[] = {60, 88};
    QList<SamplePages::Placement> list;
    for (int i = 0; i < 36; ++i)
        list.append({places[i % 3], widths[(i / 3) % 4], tilts[(i + i / 3) % 3], noises[(i / 2) % 2],
                     qualities[(i / 6) % 2]});
    return list;
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
    const QList<SamplePages::Placement> placements = Placements();
    for (const SamplePages::Placement& at : placements) {
        const SamplePages::FacePage page = SamplePages::MakeFacePage(astronaut, at);
        const FaceFinder::Result result = FaceFinder::Find(page.page);
        QString line = QStringLiteral("width %1 at %2,%3 tilt %4 noise %5 q %6: ")
                           .arg(at.width).arg(at.at.x()).arg(at.at.y()).arg(at.degrees).arg(at.noise).arg(at.quality);
        if (result.status != FaceFinder::Status::Found) {
            qInfo().noquote() << line + QStringLiteral("no face");
            continue;
        }
        ++found;
        const QRect selection = PortraitGeometry::PhotoSelection(PortraitGeometry::HeadOf(result.face),
                                                                 page.page.size(), page.page.size());
        const SamplePages::Framed m = SamplePages::Measure(page, selection);
        const bool good = m.eyeLine >= 50 && m.eyeLine <= 70 && m.headHeight >= 70 && m.headHeight <= 80;
        framed += good;
        if (!good || qEnvironmentVariableIsSet("RITRAX_MEASURE_VERBOSE"))
            qInfo().noquote() << line + QStringLiteral("eye line %1 %, head %2 % %3")
                                            .arg(m.eyeLine, 0, 'f', 1).arg(m.headHeight, 0, 'f', 1)
                                            .arg(good ? "" : "OUT");
    }
    qInfo().noquote() << QStringLiteral("portraits: %1 of %2 framed in range (%3 %), faces found %4")
                             .arg(framed).arg(placements.size()).arg(100.0 * framed / placements.size(), 0, 'f', 1)
                             .arg(found);
    QVERIFY(framed * 100 >= 95 * placements.size());
}

RITRAX_TEST(TestMeasure)
#include "tst_measure.moc"
