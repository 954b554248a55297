// Faces and landmarks with dlib's models: the cached models give dlib's own
// landmarks, a damaged cache is replaced, a missing model is reported, and
// the search copes with turned pages, several faces, tilt and odd pictures.

#include "FaceModels.h"
#include "FaceSearch.h"
#include "LandmarkModel.h"
#include "SamplePages.h"
#include "TestEnvironment.h"
#include "TestRegistry.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <dlib/image_processing/shape_predictor.h>

#include <cmath>
#include <fstream>
#include <thread>

namespace {

using FaceLandmarks::Status;

// dlib's predictor read from its own file, evaluated on the same grey values.
struct DlibLandmarks {
    std::vector<QPoint> points;
    std::vector<quint32> leaves;
};
DlibLandmarks Reference(const dlib::shape_predictor& predictor, const QImage& picture, const QRectF& box)
{
    const GreyPicture::View view(GreyPicture::Readable(picture), false);
    dlib::array2d<unsigned char> grey(view.height(), view.width());
    for (long y = 0; y < view.height(); ++y)
        for (long x = 0; x < view.width(); ++x)
            grey[y][x] = (unsigned char)view.at(x, y);
    const FaceLandmarks::PixelBox b = FaceLandmarks::PixelsOf(box);
    std::vector<std::pair<unsigned long, int>> features;
    const dlib::full_object_detection shape =
        predictor(grey, dlib::rectangle(b.left, b.top, b.right, b.bottom), features);
    DlibLandmarks out;
    for (unsigned long i = 0; i < shape.num_parts(); ++i)
        out.points.emplace_back(int(shape.part(i).x()), int(shape.part(i).y()));
    // dlib numbers the leaves of all trees one after the other.
    for (size_t i = 0; i < features.size(); ++i)
        out.leaves.push_back(quint32(features[i].first - i * predictor.num_features() / features.size()));
    return out;
}

QImage Turned(const QImage& picture)
{
    return picture.transformed(QTransform().rotate(180));
}

double Distance(const QPointF& a, const QPointF& b)
{
    return QLineF(a, b).length();
}

} // namespace

class TestLandmarks : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cacheGivesDlibLandmarks_data();
    void cacheGivesDlibLandmarks();
    void damagedCacheIsReplaced_data();
    void damagedCacheIsReplaced();
    void missingModel();
    void pageUprightOrTurned_data();
    void pageUprightOrTurned();
    void largestOfTwoFaces_data();
    void largestOfTwoFaces();
    void rollFollowsTheEyeLine_data();
    void rollFollowsTheEyeLine();
    void pictureFormats_data();
    void pictureFormats();
    void noFace_data();
    void noFace();
    void threadsAtOnce();
    void processModels();

private:
    QTemporaryDir cacheFolder;
    QString modelPath;
    QImage astronaut;
    std::shared_ptr<const FaceModels> fromModel, fromCache;
    dlib::shape_predictor predictor; // dlib's own, read when first needed
};

void TestLandmarks::initTestCase()
{
    modelPath = LandmarkModel::ModelPath();
    if (!QFile::exists(modelPath))
        QSKIP("dlib's landmark model (libdlib-data) is not installed");
    QString why;
    const QString path = SamplePages::AstronautPath(QStringLiteral(RITRAX_TEST_CACHE), &why);
    if (path.isEmpty())
        QSKIP(qPrintable(QStringLiteral("astronaut.png not available: ") + why));
    astronaut = QImage(path);
    QVERIFY(!astronaut.isNull());
    const FaceModelFiles::Loaded first = FaceModelFiles::Load(modelPath, cacheFolder.path());
    QCOMPARE(first.source, FaceModelFiles::Source::ModelFile);
    const FaceModelFiles::Loaded second = FaceModelFiles::Load(modelPath, cacheFolder.path());
    QCOMPARE(second.source, FaceModelFiles::Source::Cache);
    fromModel = first.models;
    fromCache = second.models;
}

void TestLandmarks::cacheGivesDlibLandmarks_data()
{
    QTest::addColumn<int>("width"); // of the portrait on an A4 page, 0 for the photo alone
    QTest::newRow("photo") << 0;
    if (SanitizedRun())
        return;
    QTest::newRow("small portrait on a page") << 340;
    QTest::newRow("large portrait on a page") << 600;
}

void TestLandmarks::cacheGivesDlibLandmarks()
{
    QFETCH(int, width);
    SamplePages::Placement at;
    at.at = QPoint(900, 700);
    at.width = width;
    const QImage picture = width ? SamplePages::MakeFacePage(astronaut, at).page : astronaut;
    const FaceLandmarks::Result found = FaceLandmarks::FindWith(fromCache.get(), picture, false);
    QCOMPARE(found.status, Status::Found);

    if (predictor.num_parts() == 0)
        dlib::deserialize(modelPath.toStdString()) >> predictor;
    const DlibLandmarks dlibs = Reference(predictor, picture, found.face.box);
    std::vector<quint32> leaves;
    const std::optional<FaceLandmarks::Face> ours =
        FaceLandmarks::LandmarksWith(fromCache.get(), picture, found.face.box, &leaves);
    QVERIFY(ours);
    QCOMPARE(leaves, dlibs.leaves);
    // dlib rounds its points to whole pixels; ours keep the fraction.
    for (int i = 0; i < FaceLandmarks::PointCount; ++i) {
        const QPointF p = ours->points[size_t(i)];
        QVERIFY2(std::abs(p.x() - dlibs.points[size_t(i)].x()) <= 0.5 + 1e-3
                     && std::abs(p.y() - dlibs.points[size_t(i)].y()) <= 0.5 + 1e-3,
                 qPrintable(QStringLiteral("point %1").arg(i)));
    }
    const std::optional<FaceLandmarks::Face> slow = FaceLandmarks::LandmarksWith(fromModel.get(), picture,
                                                                                 found.face.box);
    QVERIFY(slow);
    QCOMPARE(slow->points, ours->points);
}

void TestLandmarks::damagedCacheIsReplaced_data()
{
    QTest::addColumn<qint64>("at"); // where the damage starts, < 0 from the end
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("truncate");
    QTest::newRow("cut short") << qint64(-1000) << QByteArray() << true;
    if (SanitizedRun())
        return; // each row reads dlib's own file again
    QTest::newRow("one leaf value changed") << qint64(-20000000) << QByteArray("\x01", 1) << false;
    QTest::newRow("made from another model") << qint64(24) << QByteArray("\x7f", 1) << false;
    QTest::newRow("not ours") << qint64(0) << QByteArray("\x89PNG\r\n\x1a\n") << false;
}

void TestLandmarks::damagedCacheIsReplaced()
{
    QFETCH(qint64, at);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, truncate);
    QTemporaryDir folder;
    const QString path = FaceModelFiles::CachePath(folder.path());
    QVERIFY(QFile::copy(FaceModelFiles::CachePath(cacheFolder.path()), path));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const qint64 offset = at < 0 ? file.size() + at : at;
        if (truncate) {
            QVERIFY(file.resize(offset));
        } else {
            QVERIFY(file.seek(offset));
            QByteArray old = file.read(bytes.size());
            for (qsizetype i = 0; i < bytes.size(); ++i)
                old[i] = char(old[i] ^ bytes[i]);
            QVERIFY(file.seek(offset));
            file.write(old);
        }
    }
    const FaceModelFiles::Loaded damaged = FaceModelFiles::Load(modelPath, folder.path());
    QCOMPARE(damaged.source, FaceModelFiles::Source::ModelFile);
    const FaceLandmarks::Result a = FaceLandmarks::FindWith(damaged.models.get(), astronaut, false);
    const FaceLandmarks::Result b = FaceLandmarks::FindWith(fromCache.get(), astronaut, false);
    QCOMPARE(a.status, Status::Found);
    QCOMPARE(a.face.points, b.face.points);
    QCOMPARE(FaceModelFiles::Load(modelPath, folder.path()).source, FaceModelFiles::Source::Cache);
}

void TestLandmarks::missingModel()
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("missing.dat"));
    qputenv("RITRAX_LANDMARK_MODEL", missing.toLocal8Bit());
    const QString chosen = LandmarkModel::ModelPath();
    qunsetenv("RITRAX_LANDMARK_MODEL");
    QCOMPARE(chosen, missing);
    // A cache left behind cannot stand in for a model that is gone.
    QVERIFY(QFile::copy(FaceModelFiles::CachePath(cacheFolder.path()), FaceModelFiles::CachePath(folder.path())));
    const FaceModelFiles::Loaded loaded = FaceModelFiles::Load(chosen, folder.path());
    QVERIFY(!loaded.models);
    QCOMPARE(FaceLandmarks::FindWith(loaded.models.get(), astronaut, true).status, Status::NoModel);
    QVERIFY(!FaceLandmarks::LandmarksWith(loaded.models.get(), astronaut, QRectF(100, 100, 200, 200)));
}

void TestLandmarks::pageUprightOrTurned_data()
{
    QTest::addColumn<bool>("upsideDown");
    QTest::addColumn<int>("width");
    QTest::addColumn<double>("degrees");
    QTest::newRow("upright, small portrait") << false << 340 << -2.0;
    QTest::newRow("upright, large portrait") << false << 600 << 2.0;
    QTest::newRow("upside down") << true << 420 << 1.0;
}

void TestLandmarks::pageUprightOrTurned()
{
    QFETCH(bool, upsideDown);
    QFETCH(int, width);
    QFETCH(double, degrees);
    SamplePages::Placement at;
    at.at = QPoint(1500, 500);
    at.width = width;
    at.degrees = degrees;
    const SamplePages::FacePage page = SamplePages::MakeFacePage(astronaut, at);
    const QImage picture = upsideDown ? Turned(page.page) : page.page;
    const FaceLandmarks::Result found = FaceLandmarks::FindWith(fromCache.get(), picture, true);
    QCOMPARE(found.status, Status::Found);
    QCOMPARE(found.turned, upsideDown);
    QCOMPARE(found.others, 0);
    // Turning the upside-down picture gives the page back, so its
    // coordinates are the page's either way.
    const QPointF eyes = page.eyes;
    QVERIFY2(Distance(found.face.eyeMiddle(), eyes) < 0.1 * found.face.eyeDistance(),
             qPrintable(QStringLiteral("eyes at %1,%2, expected %3,%4")
                            .arg(found.face.eyeMiddle().x()).arg(found.face.eyeMiddle().y())
                            .arg(eyes.x()).arg(eyes.y())));
    QVERIFY(found.face.box.contains(found.face.eyeMiddle()));
    if (upsideDown)
        QCOMPARE(FaceLandmarks::FindWith(fromCache.get(), picture, false).status, Status::NoFace);
}

void TestLandmarks::largestOfTwoFaces_data()
{
    QTest::addColumn<bool>("largeOnLeft");
    QTest::addColumn<int>("smallSide");
    QTest::addColumn<double>("lean");
    QTest::newRow("large on the left") << true << 380 << 0.0;
    QTest::newRow("large on the right") << false << 380 << 0.0;
    // Near enough in size for the detector to box them alike, the larger
    // leaning a little: the detector is less sure of it.
    QTest::newRow("a little larger, on the left") << true << 620 << 5.0;
    QTest::newRow("a little larger, on the right") << false << 610 << 5.0;
    // Leaning further, the larger scores under half the smaller's, and
    // the smaller's badge scores as a face.
    QTest::newRow("far less sure of the larger") << false << 380 << 10.0;
}

void TestLandmarks::largestOfTwoFaces()
{
    QFETCH(bool, largeOnLeft);
    QFETCH(int, smallSide);
    QFETCH(double, lean);
    QImage picture(1400, 800, QImage::Format_RGB32);
    picture.fill(QColor(200, 205, 210));
    const QRect large(largeOnLeft ? 40 : 720, 40, 640, 640),
        small(largeOnLeft ? 1360 - smallSide : 40, 100, smallSide, smallSide);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(small, astronaut);
        p.translate(large.center());
        p.rotate(lean);
        p.translate(-large.center());
        p.drawImage(large, astronaut);
    }
    const FaceLandmarks::Result found = FaceLandmarks::FindWith(fromCache.get(), picture, true);
    QCOMPARE(found.status, Status::Found);
    QVERIFY(large.contains(found.face.eyeMiddle().toPoint()));
    QCOMPARE(found.others, 1);
}

void TestLandmarks::rollFollowsTheEyeLine_data()
{
    QTest::addColumn<double>("degrees");
    QTest::newRow("clockwise 12") << 12.0;
    QTest::newRow("anticlockwise 12") << -12.0;
    QTest::newRow("clockwise 4") << 4.0;
}

void TestLandmarks::rollFollowsTheEyeLine()
{
    QFETCH(double, degrees);
    const FaceLandmarks::Result upright = FaceLandmarks::FindWith(fromCache.get(), astronaut, false);
    QCOMPARE(upright.status, Status::Found);
    // Turned on screen about the eyes, so that the face stays in the picture.
    const QPointF eyes = upright.face.eyeMiddle();
    QImage turned(astronaut.size(), QImage::Format_RGB32);
    turned.fill(Qt::white);
    {
        QPainter p(&turned);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(eyes);
        p.rotate(degrees);
        p.translate(-eyes);
        p.drawImage(0, 0, astronaut);
    }
    const FaceLandmarks::Result found = FaceLandmarks::FindWith(fromCache.get(), turned, false);
    QCOMPARE(found.status, Status::Found);
    const double change = found.face.rollDegrees() - upright.face.rollDegrees();
    QVERIFY2(std::abs(change - degrees) < 2.0, qPrintable(QStringLiteral("roll changed by %1").arg(change)));
}

void TestLandmarks::pictureFormats_data()
{
    QTest::addColumn<int>("format");
    QTest::newRow("grey") << int(QImage::Format_Grayscale8);
    QTest::newRow("24-bit") << int(QImage::Format_RGB888);
    QTest::newRow("palette") << int(QImage::Format_Indexed8);
    QTest::newRow("alpha") << int(QImage::Format_ARGB32);
    QTest::newRow("16-bit grey") << int(QImage::Format_Grayscale16);
}

void TestLandmarks::pictureFormats()
{
    QFETCH(int, format);
    const FaceLandmarks::Result reference = FaceLandmarks::FindWith(fromCache.get(), astronaut, false);
    const QImage picture = astronaut.convertToFormat(QImage::Format(format));
    const FaceLandmarks::Result found = FaceLandmarks::FindWith(fromCache.get(), picture, false);
    QCOMPARE(found.status, Status::Found);
    QVERIFY(Distance(found.face.leftEye(), reference.face.leftEye()) < 2.0);
    QVERIFY(Distance(found.face.chin(), reference.face.chin()) < 3.0);
}

void TestLandmarks::noFace_data()
{
    QTest::addColumn<QImage>("picture");
    QImage blank(640, 480, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QImage mono(200, 200, QImage::Format_Mono);
    mono.fill(0);
    QTest::newRow("null") << QImage();
    QTest::newRow("one pixel") << QImage(1, 1, QImage::Format_RGB32);
    QTest::newRow("a thin strip of a face") << astronaut.copy(0, 0, 512, 40);
    QTest::newRow("a tiny face") << astronaut.scaled(60, 60);
    QTest::newRow("blank") << blank;
    QTest::newRow("one bit") << mono;
}

void TestLandmarks::noFace()
{
    QFETCH(QImage, picture);
    QCOMPARE(FaceLandmarks::FindWith(fromCache.get(), picture, true).status, Status::NoFace);
}

void TestLandmarks::threadsAtOnce()
{
    SamplePages::Placement at;
    at.width = 380;
    const QImage page = SamplePages::MakeFacePage(astronaut, at).page;
    const QImage photo = astronaut;
    FaceLandmarks::Result results[4];
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] { results[i] = FaceLandmarks::FindWith(fromCache.get(), i % 2 ? photo : page, true); });
    for (std::thread& t : threads)
        t.join();
    for (int i = 0; i < 4; ++i) {
        const FaceLandmarks::Result alone = FaceLandmarks::FindWith(fromCache.get(), i % 2 ? photo : page, true);
        QCOMPARE(results[i].status, Status::Found);
        QCOMPARE(results[i].face.points, alone.face.points);
    }
}

void TestLandmarks::processModels()
{
    LandmarkModel::StartLoading();
    QVERIFY(LandmarkModel::Available());
    const FaceLandmarks::Result shared = FaceLandmarks::Find(astronaut);
    QCOMPARE(shared.status, Status::Found);
    QCOMPARE(shared.face.points, FaceLandmarks::FindWith(fromCache.get(), astronaut, true).face.points);
    const std::optional<FaceLandmarks::Face> again = FaceLandmarks::LandmarksIn(astronaut, shared.face.box);
    QVERIFY(again);
    QCOMPARE(again->points, shared.face.points);
    QVERIFY(!FaceLandmarks::LandmarksIn(astronaut, QRectF(5000, 5000, 100, 100)));
}

RITRAX_TEST(TestLandmarks)
#include "tst_landmarks.moc"
