// The offline photo check's verdicts on photos spoilt on purpose.

#include "FaceFinder.h"
#include "PhotoCheck.h"
#include "PortraitGeometry.h"
#include "SamplePages.h"
#include "TestRegistry.h"

#include <QPainter>
#include <QTest>

namespace {

// The astronaut's framed photo, 265 x 320, as the editor's check sees it.
QImage FramedPhoto(const QImage& astronaut, double degrees = 0)
{
    SamplePages::Placement at;
    at.at = QPoint(1000, 1000);
    at.degrees = degrees;
    const SamplePages::FacePage page = SamplePages::MakeFacePage(astronaut, at);
    const FaceFinder::Result found = FaceFinder::Find(page.page);
    if (found.status != FaceFinder::Status::Found)
        return {};
    const QRect s = PortraitGeometry::PhotoSelection(PortraitGeometry::HeadOf(found.face), page.page.size(), page.page.size());
    return page.page.copy(s).scaled(265, 320, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

const PhotoCheck::Value& ValueOf(const PhotoCheck::Report& report, PhotoCheck::Item item)
{
    for (const PhotoCheck::Value& v : report.values)
        if (v.item == item)
            return v;
    qFatal("item missing");
}

} // namespace

class TestCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString path = SamplePages::AstronautPath(QStringLiteral(RITRAX_TEST_CACHE));
        if (!path.isEmpty())
            astronaut_.load(path);
    }
    void checkVerdicts();

private:
    QImage astronaut_;
};

void TestCheck::checkVerdicts()
{
    if (astronaut_.isNull())
        QSKIP("astronaut.png not available (apt-get download python3-skimage failed)");
    const QImage photo = FramedPhoto(astronaut_);
    QVERIFY(!photo.isNull());
    const PhotoCheck::Report good = PhotoCheck::Check(photo);
    QVERIFY2(good.allPass(), qPrintable(PhotoCheck::PlainText(good)));
    QVERIFY(!PhotoCheck::PlainText(good).contains(QStringLiteral(" NO")));

    // Blurred: only the sharpness fails.
    const QImage blurred = photo.scaled(66, 80, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .scaled(265, 320, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const PhotoCheck::Report soft = PhotoCheck::Check(blurred);
    QVERIFY(!ValueOf(soft, PhotoCheck::Item::Sharpness).pass());
    QVERIFY(ValueOf(soft, PhotoCheck::Item::EyeLine).pass());

    // Taken a fifth of its width to the right: off centre, and the face's
    // side now shows in a top corner.
    QImage shifted = photo;
    shifted.fill(QColor(220, 220, 225));
    QPainter(&shifted).drawImage(-53, 0, photo);
    const PhotoCheck::Report aside = PhotoCheck::Check(shifted);
    QVERIFY(!ValueOf(aside, PhotoCheck::Item::Centring).pass());
    QVERIFY(ValueOf(aside, PhotoCheck::Item::Centring).value < -5);

    // Under-exposed by two thirds.
    QImage dark = photo;
    for (int y = 0; y < dark.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(dark.scanLine(y));
        for (int x = 0; x < dark.width(); ++x)
            line[x] = qRgb(qRed(line[x]) / 3, qGreen(line[x]) / 3, qBlue(line[x]) / 3);
    }
    QVERIFY(!ValueOf(PhotoCheck::Check(dark), PhotoCheck::Item::Brightness).pass());

    // A loose framing: the head too small in the photo.
    const QImage loose = photo.scaled(177, 213, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage wide(265, 320, QImage::Format_RGB32);
    wide.fill(photo.pixel(5, 5));
    QPainter(&wide).drawImage(44, 54, loose);
    QVERIFY(!ValueOf(PhotoCheck::Check(wide), PhotoCheck::Item::HeadHeight).pass());
}

RITRAX_TEST(TestCheck)
#include "tst_check.moc"
