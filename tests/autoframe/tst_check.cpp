// The offline photo check's verdicts on a real portrait framed well and
// spoilt on purpose: nothing tells the check how the photo was framed.

#include "CheckBackground.h"
#include "FaceLandmarks.h"
#include "PhotoCheck.h"
#include "SamplePages.h"
#include "TestRegistry.h"

#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <opencv2/imgproc.hpp>

using PhotoCheck::Item;

namespace {

// Where astronaut.png shows the crown, the chin and the eyes' middle.
constexpr double CrownY = 16, ChinY = 177, EyesX = 223.5, EyesY = 102;

enum class Spoil { None, Blur, Dark, Gradient, Object, HairToCorners };

struct Framing {
    double head = 75;  // chin to crown, % of the height
    double eyes = 57;  // eye line, % from the bottom
    double shift = 0;  // the face's middle right of the photo's, % of the width
    double degrees = 0;
};

// astronaut.png with its top row and side columns stretched outwards, so
// that a loose crop finds wall where the file ends.
QImage Padded(const QImage& astronaut, int pad)
{
    const QImage a = astronaut.convertToFormat(QImage::Format_RGB32);
    QImage padded(a.width() + 2 * pad, a.height() + pad, QImage::Format_RGB32);
    QPainter p(&padded);
    p.drawImage(pad, pad, a);
    p.drawImage(QRect(pad, 0, a.width(), pad), a, QRect(0, 0, a.width(), 1));
    const QImage left = padded.copy(pad, 0, 1, padded.height());
    const QImage right = padded.copy(pad + a.width() - 1, 0, 1, padded.height());
    p.drawImage(QRect(0, 0, pad, padded.height()), left);
    p.drawImage(QRect(pad + a.width(), 0, pad, padded.height()), right);
    return padded;
}

// The 265 x 320 photo of a framing, drawn straight from the portrait.
QImage Photo(const QImage& padded, int pad, const Framing& f)
{
    const double height = (ChinY - CrownY) / (f.head / 100.0);
    const double width = height * 265.0 / 320.0;
    const double top = EyesY - (1 - f.eyes / 100.0) * height;
    const double left = EyesX - width / 2 - f.shift / 100.0 * width;
    const double scale = 320.0 / height;
    const QPointF eyes((EyesX - left) * scale, (EyesY - top) * scale);
    QImage photo(265, 320, QImage::Format_RGB32);
    QPainter p(&photo);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.translate(eyes);
    p.rotate(f.degrees);
    p.translate(-eyes);
    p.scale(scale, scale);
    p.translate(-left - pad, -top - pad);
    p.drawImage(0, 0, padded);
    return photo;
}

void Spoilt(QImage& photo, Spoil spoil)
{
    QPainter p(&photo);
    switch (spoil) {
    case Spoil::None:
        break;
    case Spoil::Blur:
        p.end();
        photo = photo.scaled(66, 80, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .scaled(265, 320, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        break;
    case Spoil::Dark:
        p.fillRect(photo.rect(), QColor(0, 0, 0, 170));
        break;
    case Spoil::Gradient: {
        QLinearGradient shade(0, 0, 265, 0);
        shade.setColorAt(0, QColor(0, 0, 0, 0));
        shade.setColorAt(1, QColor(0, 0, 0, 150));
        p.fillRect(photo.rect(), shade);
        break;
    }
    case Spoil::Object:
        p.fillRect(QRect(4, 4, 30, 36), QColor(40, 60, 120));
        break;
    case Spoil::HairToCorners: {
        // Hair of the portrait's own colour, falling from the temples to
        // the top corners.
        const QImage hair = photo.copy(120, 40, 24, 24);
        QPainterPath wings;
        wings.addPolygon(QPolygonF({QPointF(0, 0), QPointF(55, 0), QPointF(80, 120), QPointF(0, 60)}));
        wings.addPolygon(QPolygonF({QPointF(265, 0), QPointF(210, 0), QPointF(185, 120), QPointF(265, 60)}));
        p.setClipPath(wings);
        for (int y = 0; y < 130; y += 24)
            for (int x = 0; x < 265; x += 24)
                p.drawImage(x, y, hair);
        break;
    }
    }
}

// A head drawn on a wall, its face in the middle of a 265 x 320 photo: the
// check's wall model, the person's mask and the head's columns for it.
struct DrawnHead {
    CheckBackground::Model model;
    cv::Mat person;
    CheckBackground::HeadColumns columns;

    DrawnHead(const cv::Mat& rgb, int sidesDownTo, double halfWidth, double top)
    {
        cv::Mat seed = cv::Mat::zeros(rgb.size(), CV_8UC1);
        cv::ellipse(seed, cv::Point(132, 170), cv::Size(60, 60), 0, 0, 360, cv::Scalar(255), cv::FILLED);
        model = CheckBackground::FitModel(rgb, sidesDownTo);
        person = CheckBackground::Person(CheckBackground::NotWall(rgb, model), seed);
        columns.through = QPointF(132, 150);
        columns.halfWidth = halfWidth;
        columns.top = top;
    }
};

QString Failing(const PhotoCheck::Report& report)
{
    QString text;
    for (const PhotoCheck::Value& v : report.values)
        if (!v.pass())
            text += PhotoCheck::NameOf(v.item) + u' ';
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Spoil)
Q_DECLARE_METATYPE(PhotoCheck::Item)
Q_DECLARE_METATYPE(PhotoCheck::Reading)

class TestCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        const QString path = SamplePages::AstronautPath(QStringLiteral(RITRAX_TEST_CACHE));
        if (!path.isEmpty())
            padded_ = Padded(QImage(path), Pad);
    }
    void verdicts_data();
    void verdicts();
    void crownHiddenInTheWall();
    void crownAboveTheEdge_data();
    void crownAboveTheEdge();
    void crownAtTheEdge_data();
    void crownOnWallOfTwoTones_data();
    void crownOnWallOfTwoTones();
    void crownAtTheEdge();
    void photographInsideThePaper();
    void twoFaces();
    void faceKnownBeforehand();
    void withoutFace();
    void texts_data();
    void texts();

private:
    static constexpr int Pad = 200;
    QImage padded_;
};

void TestCheck::verdicts_data()
{
    QTest::addColumn<double>("head");
    QTest::addColumn<double>("eyes");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<Spoil>("spoil");
    QTest::addColumn<QList<Item>>("failing");
    QTest::addColumn<QList<Item>>("passing");
    const QList<Item> geometry{Item::HeadHeight, Item::EyeLine, Item::Centring, Item::Roll};
    QTest::newRow("framed well") << 75.0 << 57.0 << 0.0 << Spoil::None << QList<Item>{}
                                 << (geometry + QList<Item>{Item::Background, Item::Brightness, Item::Clipped, Item::Sharpness});
    QTest::newRow("loose: head 60 %") << 60.0 << 55.0 << 0.0 << Spoil::None << QList<Item>{Item::HeadHeight}
                                      << QList<Item>{Item::Background, Item::Centring};
    QTest::newRow("tight: head 90 %") << 90.0 << 55.0 << 0.0 << Spoil::None << QList<Item>{Item::HeadHeight}
                                      << QList<Item>{Item::Centring};
    QTest::newRow("head 85 %, crown inside") << 85.0 << 52.0 << 0.0 << Spoil::None << QList<Item>{Item::HeadHeight} << QList<Item>{};
    QTest::newRow("head 72 %") << 72.0 << 57.0 << 0.0 << Spoil::None << QList<Item>{} << geometry;
    QTest::newRow("rolled 12°") << 75.0 << 57.0 << 12.0 << Spoil::None << QList<Item>{Item::Roll} << QList<Item>{Item::EyeLine};
    QTest::newRow("rolled 6°") << 75.0 << 57.0 << -6.0 << Spoil::None << QList<Item>{} << geometry;
    QTest::newRow("wall shaded across") << 75.0 << 57.0 << 0.0 << Spoil::Gradient << QList<Item>{Item::Background}
                                        << QList<Item>{Item::HeadHeight};
    QTest::newRow("object on the wall") << 75.0 << 57.0 << 0.0 << Spoil::Object << QList<Item>{Item::Background}
                                        << QList<Item>{Item::HeadHeight};
    QTest::newRow("hair to the corners") << 75.0 << 57.0 << 0.0 << Spoil::HairToCorners << QList<Item>{}
                                         << QList<Item>{Item::HeadHeight};
    QTest::newRow("blurred") << 75.0 << 57.0 << 0.0 << Spoil::Blur << QList<Item>{Item::Sharpness}
                             << QList<Item>{Item::EyeLine, Item::HeadHeight};
    QTest::newRow("dark") << 75.0 << 57.0 << 0.0 << Spoil::Dark << QList<Item>{Item::Brightness} << QList<Item>{Item::EyeLine};
}

void TestCheck::verdicts()
{
    if (padded_.isNull())
        QSKIP("astronaut.png not available (apt-get download python3-skimage failed)");
    QFETCH(double, head);
    QFETCH(double, eyes);
    QFETCH(double, degrees);
    QFETCH(Spoil, spoil);
    QFETCH(QList<Item>, failing);
    QFETCH(QList<Item>, passing);
    QImage photo = Photo(padded_, Pad, {head, eyes, 0, degrees});
    Spoilt(photo, spoil);
    const PhotoCheck::Report report = PhotoCheck::Check(photo);
    const QByteArray text = PhotoCheck::PlainText(report).toUtf8();
    QVERIFY2(report.faceFound, text);
    for (Item item : failing)
        QVERIFY2(!report[item].pass(), text);
    for (Item item : passing)
        QVERIFY2(report[item].pass(), text);
    if (failing.isEmpty() && passing.size() == 8)
        QVERIFY2(report.allPass(), qPrintable(Failing(report)));
    // Measured heads are read within 4 points wherever the crown is inside.
    const PhotoCheck::Value& measured = report[Item::HeadHeight];
    if (degrees == 0 && spoil != Spoil::Blur && measured.reading == PhotoCheck::Reading::Measured)
        QVERIFY2(qAbs(measured.value - head) <= 4, text);
    if (head == 90)
        QCOMPARE(measured.reading, PhotoCheck::Reading::AtLeast);
    // Hair over the corners is not wall: the wall reads as it did without.
    if (spoil == Spoil::HairToCorners) {
        const PhotoCheck::Report plain = PhotoCheck::Check(Photo(padded_, Pad, {head, eyes, 0, degrees}));
        QVERIFY2(qAbs(report[Item::Background].value - plain[Item::Background].value) <= 2, text);
    }
}

// Dark hair on a wall just as dark: the crown cannot be found, the head is
// estimated from the landmarks and said to be.
void TestCheck::crownHiddenInTheWall()
{
    if (padded_.isNull())
        QSKIP("astronaut.png not available");
    QImage photo = Photo(padded_, Pad, {75, 57, 0, 0});
    const FaceLandmarks::Result found = FaceLandmarks::Find(photo);
    QCOMPARE(found.status, FaceLandmarks::Status::Found);
    const FaceLandmarks::Face& face = found.face;
    const double span = face.chin().y() - face.browTop();
    QImage hair = photo.copy(120, 40, 24, 24);
    for (int y = 0; y < hair.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(hair.scanLine(y));
        for (int x = 0; x < hair.width(); ++x)
            line[x] = qRgb(qRed(line[x]) / 5, qGreen(line[x]) / 5, qBlue(line[x]) / 5);
    }
    {
        QPainter p(&photo);
        QPainterPath wall;
        wall.addRect(0, 0, 265, face.eyeMiddle().y());
        QPainterPath forehead;
        const double width = face.points[16].x() - face.points[0].x();
        forehead.addEllipse(QRectF(face.points[0].x(), face.browTop() - 0.35 * span, width, 2 * span));
        p.setClipPath(wall.subtracted(forehead));
        for (int y = 0; y < 320; y += 24)
            for (int x = 0; x < 265; x += 24)
                p.drawImage(x, y, hair);
    }
    const PhotoCheck::Report report = PhotoCheck::Check(photo);
    const PhotoCheck::Value& head = report[Item::HeadHeight];
    QCOMPARE(head.reading, PhotoCheck::Reading::Estimated);
    QVERIFY(PhotoCheck::ValueText(head).endsWith(QStringLiteral(" (stimata)")));
    QVERIFY(PhotoCheck::Note(report).contains(QStringLiteral("stimata")));
    QVERIFY2(qAbs(head.value - 75) <= 8, qPrintable(PhotoCheck::PlainText(report)));
}

// A head cut by the top edge: its crown is put where the outline of the
// hair below the edge leads, not where the landmarks' proportions would.
void TestCheck::crownAboveTheEdge_data()
{
    QTest::addColumn<double>("crown"); // row of the ellipse's top, above the edge when negative
    QTest::addColumn<double>("halfAxis"); // vertical half-axis of the head's top
    QTest::addColumn<bool>("wallJoined"); // the person runs into a wall of its colour
    QTest::addColumn<bool>("known");
    QTest::newRow("just above") << -6.0 << 120.0 << false << true;
    QTest::newRow("far above") << -40.0 << 120.0 << false << true;
    QTest::newRow("tall hair far above") << -60.0 << 170.0 << false << true;
    QTest::newRow("cut at its widest") << -120.0 << 120.0 << false << false;
    QTest::newRow("wall of the hair's colour") << -20.0 << 120.0 << true << false;
}

void TestCheck::crownAboveTheEdge()
{
    QFETCH(double, crown);
    QFETCH(double, halfAxis);
    QFETCH(bool, wallJoined);
    QFETCH(bool, known);
    cv::Mat person = cv::Mat::zeros(320, 265, CV_8UC1);
    const cv::Point centre(132, int(std::lround(crown + halfAxis)));
    cv::ellipse(person, centre, cv::Size(95, int(halfAxis)), 0, 0, 360, cv::Scalar(255), cv::FILLED);
    if (wallJoined)
        person.rowRange(0, 40).setTo(255);
    CheckBackground::HeadColumns head;
    head.through = QPointF(132, 150);
    head.halfWidth = 40;
    head.top = 100;
    const std::optional<double> found = CheckBackground::CrownAboveTop(person, head, 140);
    QCOMPARE(found.has_value(), known);
    if (known)
        QVERIFY2(qAbs(*found - crown) <= 0.1 * halfAxis, qPrintable(QString::number(*found)));
}

// A soft photo's head: the crown is put where the head's edge is, not
// where its blur first stands out of the wall, however bright the head's
// top, and wherever along the top the head is highest.
void TestCheck::crownAtTheEdge_data()
{
    QTest::addColumn<QColor>("wall");
    QTest::addColumn<QColor>("head");
    QTest::addColumn<QColor>("top"); // the head's top: a shine, a bun
    QTest::addColumn<int>("topAt");  // the bun's middle right of the axis, 0 for none
    QTest::newRow("soft edge") << QColor(150, 140, 130) << QColor(60, 45, 40) << QColor(60, 45, 40) << 0;
    QTest::newRow("bald head's shine") << QColor(150, 140, 130) << QColor(215, 165, 145) << QColor(255, 245, 235) << 0;
    QTest::newRow("bun beside the parting") << QColor(205, 205, 200) << QColor(40, 32, 28) << QColor(40, 32, 28) << 40;
}

void TestCheck::crownAtTheEdge()
{
    QFETCH(QColor, wall);
    QFETCH(QColor, head);
    QFETCH(QColor, top);
    QFETCH(int, topAt);
    constexpr int Crown = 30;
    const auto bgr = [](const QColor& c) { return cv::Scalar(c.red(), c.green(), c.blue()); };
    cv::Mat rgb(320, 265, CV_8UC3, bgr(wall));
    // A bun stands out of a dome a little lower; a shine covers the top.
    const int dome = topAt == 0 ? Crown : Crown + 12;
    cv::ellipse(rgb, cv::Point(132, 150), cv::Size(90, 150 - dome), 0, 0, 360, bgr(head), cv::FILLED);
    if (topAt == 0)
        cv::ellipse(rgb, cv::Point(132, 80), cv::Size(60, 50), 0, 180, 360, bgr(top), cv::FILLED);
    else
        cv::circle(rgb, cv::Point(132 + topAt, Crown + 22), 22, bgr(top), cv::FILLED);
    cv::GaussianBlur(rgb, rgb, {0, 0}, 3.0);
    const DrawnHead d(rgb, 170, 50, 110);
    const CheckBackground::Crown found = CheckBackground::HalfwayCrown(
        rgb, d.model, d.columns, CheckBackground::FindCrown(d.person, d.columns), 12);
    QVERIFY2(qAbs(found.row - Crown) <= 1.5, qPrintable(QString::number(found.row)));
}

// A wall of two tones meeting beside the head (a lit panel, a shadow's
// edge), which the wall's plane cannot follow: the wall over the head is
// wall where it has the colour of the wall beside it, and a head cut by the
// top edge stays cut.
void TestCheck::crownOnWallOfTwoTones_data()
{
    QTest::addColumn<int>("crown"); // the head's top row, above the edge when negative
    QTest::addColumn<QColor>("hair");
    QTest::newRow("grey hair, crown inside") << 14 << QColor(120, 112, 108);
    QTest::newRow("dark hair, crown inside") << 24 << QColor(50, 35, 30);
    QTest::newRow("grey hair cut by the edge") << -20 << QColor(120, 112, 108);
}

void TestCheck::crownOnWallOfTwoTones()
{
    QFETCH(int, crown);
    QFETCH(QColor, hair);
    const auto bgr = [](const QColor& c) { return cv::Scalar(c.red(), c.green(), c.blue()); };
    cv::Mat rgb(320, 265, CV_8UC3, bgr(QColor(140, 20, 12)));
    rgb.colRange(175, 265).setTo(bgr(QColor(166, 40, 35)));
    cv::ellipse(rgb, cv::Point(132, 150), cv::Size(90, 150 - crown), 0, 0, 360, bgr(hair), cv::FILLED);
    cv::ellipse(rgb, cv::Point(132, 170), cv::Size(75, 110), 0, 0, 360, bgr(QColor(215, 170, 150)), cv::FILLED);
    cv::GaussianBlur(rgb, rgb, {0, 0}, 1.5);
    const DrawnHead d(rgb, 250, 45, 100);
    const CheckBackground::Crown found = CheckBackground::WallAboveHead(
        rgb, d.model, d.columns,
        CheckBackground::ExtendCrown(rgb, d.model, d.columns, CheckBackground::FindCrown(d.person, d.columns)));
    QCOMPARE(found.atTop, crown < 0);
    if (crown >= 0)
        QVERIFY2(qAbs(found.row - crown) <= 3, qPrintable(QString::number(found.row)));
}

// A crop too loose around a pasted photograph: paper on three sides, the
// photograph's own wall inside. The photograph's top edge is no crown:
// the head reads small, as it is, not as far as that edge.
void TestCheck::photographInsideThePaper()
{
    if (padded_.isNull())
        QSKIP("astronaut.png not available");
    const QImage inner = Photo(padded_, Pad, {75, 57, 0, 0});
    QImage photo(265, 320, QImage::Format_RGB32);
    photo.fill(QColor(244, 242, 236));
    const QRect pasted(20, 24, 225, 296);
    QPainter(&photo).drawImage(pasted, inner);
    const double head = 75.0 * pasted.height() / 320.0;
    const PhotoCheck::Report report = PhotoCheck::Check(photo);
    const QByteArray text = PhotoCheck::PlainText(report).toUtf8();
    QVERIFY2(!report[Item::HeadHeight].pass(), text);
    QVERIFY2(qAbs(report[Item::HeadHeight].value - head) <= 5, text);
}

// Two people side by side: the larger one is measured, the other noted.
void TestCheck::twoFaces()
{
    if (padded_.isNull())
        QSKIP("astronaut.png not available");
    const QImage one = Photo(padded_, Pad, {75, 57, 0, 0});
    QImage both(530, 320, QImage::Format_RGB32);
    both.fill(one.pixel(4, 4));
    QPainter(&both).drawImage(0, 0, one);
    QPainter(&both).drawImage(QRect(290, 60, 212, 256), one);
    const PhotoCheck::Report report = PhotoCheck::Check(both);
    QVERIFY(report.otherFaces >= 1);
    QVERIFY(PhotoCheck::Note(report).contains(QStringLiteral("altri visi")));
    QVERIFY2(report[Item::Centring].value < -20, qPrintable(PhotoCheck::PlainText(report)));
}

// The editor's road: the face found once in the source, mapped into the
// photo, gives the verdicts of a search in the photo itself.
void TestCheck::faceKnownBeforehand()
{
    if (padded_.isNull())
        QSKIP("astronaut.png not available");
    // The head and shoulders, above the suit's round badge that the detector
    // may take for a larger face.
    const QPoint origin(Pad + 60, 0);
    const FaceLandmarks::Result inSource = FaceLandmarks::Find(padded_.copy(QRect(origin, QSize(330, Pad + 300))));
    QCOMPARE(inSource.status, FaceLandmarks::Status::Found);
    for (const double head : {62.0, 75.0, 90.0}) {
        const QImage photo = Photo(padded_, Pad, {head, 55, 0, 0});
        const double height = (ChinY - CrownY) / (head / 100.0);
        const QPointF corner(EyesX - height * 265.0 / 640.0 + Pad, EyesY - 0.45 * height + Pad);
        const PhotoCheck::Report known =
            PhotoCheck::CheckWithFace(photo, inSource.face.mapped(corner - origin, 320.0 / height));
        const PhotoCheck::Report searched = PhotoCheck::Check(photo);
        const QByteArray both = (PhotoCheck::PlainText(known) + PhotoCheck::PlainText(searched)).toUtf8();
        for (int i = 0; i < known.values.size(); ++i) {
            QVERIFY2(known.values[i].pass() == searched.values[i].pass(), both);
            if (known.values[i].item == Item::HeadHeight || known.values[i].item == Item::EyeLine)
                QVERIFY2(qAbs(known.values[i].value - searched.values[i].value) <= 2, both);
        }
    }
}

void TestCheck::withoutFace()
{
    QImage wall(265, 320, QImage::Format_RGB32);
    wall.fill(QColor(236, 236, 232));
    const PhotoCheck::Report report = PhotoCheck::Check(wall);
    QVERIFY(!report.faceFound && !report.allPass());
    QVERIFY(report[Item::Background].pass());
    QVERIFY(!report[Item::HeadHeight].measured && !report[Item::Roll].measured);
    QCOMPARE(PhotoCheck::Note(report), QStringLiteral("nessun viso trovato."));
    QVERIFY(PhotoCheck::PlainText(report).contains(QStringLiteral("Altezza della testa")));
}

void TestCheck::texts_data()
{
    QTest::addColumn<Item>("item");
    QTest::addColumn<double>("value");
    QTest::addColumn<PhotoCheck::Reading>("reading");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("range");
    QTest::addColumn<bool>("pass");
    using R = PhotoCheck::Reading;
    QTest::newRow("head") << Item::HeadHeight << 74.4 << R::Measured << QString("74 %") << QString("70–80 %") << true;
    QTest::newRow("head at the top") << Item::HeadHeight << 81.6 << R::AtLeast << QString("≥ 82 %") << QString("70–80 %") << false;
    QTest::newRow("head estimated") << Item::HeadHeight << 69.5 << R::Estimated << QString("70 % (stimata)") << QString("70–80 %") << false;
    QTest::newRow("roll left") << Item::Roll << -8.04 << R::Measured << QString("-8,0°") << QString("±8°") << false;
    QTest::newRow("roll right") << Item::Roll << 7.96 << R::Measured << QString("+8,0°") << QString("±8°") << true;
    QTest::newRow("centred") << Item::Centring << 0.01 << R::Measured << QString("0,0 %") << QString("±5 %") << true;
    QTest::newRow("eye line") << Item::EyeLine << 70.2 << R::Measured << QString("70 %") << QString("50–70 %") << false;
}

void TestCheck::texts()
{
    QFETCH(Item, item);
    QFETCH(double, value);
    QFETCH(PhotoCheck::Reading, reading);
    QFETCH(QString, shown);
    QFETCH(QString, range);
    QFETCH(bool, pass);
    PhotoCheck::Value v = PhotoCheck::CheckWithFace(QImage(), {})[item];
    v.measured = true;
    v.value = v.judged = value;
    v.reading = reading;
    QCOMPARE(PhotoCheck::ValueText(v), shown);
    QCOMPARE(PhotoCheck::RangeText(v), range);
    QCOMPARE(v.pass(), pass);
}

RITRAX_TEST(TestCheck)
#include "tst_check.moc"
