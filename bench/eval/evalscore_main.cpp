// bench_evalscore: runs ritrax-cli on every page of the evaluation set, as an
// operator would from the command line, and scores what it gives against the
// hand-marked labels, for the tuning and the held-out people apart.
//
//   bench_evalscore [--build DIR] [--set DIR] [--out DIR] [--pages N]
//
// With --framings yes it judges the check instead on framings made from the
// labels, good and bad (head 60 to 92 % of the height, eye line at 60 %),
// cut from the pages inside their photographs, whatever the framing would
// propose.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineF>
#include <QPolygonF>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

namespace {

constexpr double PageW = 2480, PageH = 3508;

struct Run {
    int code = -1;
    QString out, err;
    double seconds = 0;
};

Run Start(const QString& program, const QStringList& args, bool discardOutput = false)
{
    Run run;
    QProcess p;
    if (discardOutput)
        p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    p.waitForFinished(120000);
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

std::optional<QRectF> CropOf(const Run& run)
{
    static const QRegularExpression line(QStringLiteral("Ritaglio automatico: (-?\\d+),(-?\\d+),(\\d+),(\\d+)"));
    const QRegularExpressionMatch m = line.match(run.out);
    if (run.code != 0 || !m.hasMatch())
        return std::nullopt;
    return QRectF(m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(), m.captured(4).toDouble());
}

QPointF Point(const QJsonValue& v) { return {v[0].toDouble(), v[1].toDouble()}; }

QPolygonF Polygon(const QJsonValue& v)
{
    QPolygonF q;
    for (const QJsonValue& c : v.toArray())
        q << Point(c);
    return q;
}

QRectF Rect(const QJsonValue& v) { return {v[0].toDouble(), v[1].toDouble(), v[2].toDouble(), v[3].toDouble()}; }

double Area(const QPolygonF& q)
{
    double a = 0;
    for (int i = 0; i < q.size(); ++i)
        a += q[i].x() * q[(i + 1) % q.size()].y() - q[(i + 1) % q.size()].x() * q[i].y();
    return std::abs(a) / 2;
}

// The share of the rectangle that lies inside the polygon.
double ShareInside(const QRectF& r, const QPolygonF& q)
{
    if (r.isEmpty())
        return 0;
    QPolygonF closed = q;
    if (closed.first() != closed.last())
        closed << closed.first();
    return Area(QPolygonF(r).intersected(closed)) / (r.width() * r.height());
}

// The labels of a page turned by 180°, for a program that reports its crop
// in the turned page.
QPointF Turned(QPointF p) { return {PageW - p.x(), PageH - p.y()}; }
QPolygonF Turned(const QPolygonF& q)
{
    QPolygonF t;
    for (const QPointF& p : q)
        t << Turned(p);
    return t;
}
QRectF Turned(const QRectF& r) { return QRectF(Turned(r.bottomRight()), Turned(r.topLeft())); }

struct Face {
    QPointF crown, chin, eyes;
    QPolygonF photo;
};

Face FaceOf(const QJsonObject& o, bool turned)
{
    Face f{Point(o[QStringLiteral("crown")]), Point(o[QStringLiteral("chin")]),
           (Point(o[QStringLiteral("left_eye")]) + Point(o[QStringLiteral("right_eye")])) / 2,
           Polygon(o[QStringLiteral("photo")])};
    if (turned)
        f = {Turned(f.crown), Turned(f.chin), Turned(f.eyes), Turned(f.photo)};
    return f;
}

// Where the eye line is in the crop, in % from the chin's side.
double EyeFromBottom(const Face& f, const QRectF& crop)
{
    const bool upright = f.crown.y() < f.chin.y();
    return 100 * (upright ? crop.bottom() - f.eyes.y() : f.eyes.y() - crop.top()) / crop.height();
}

// The crop of head 75 %, eye line 60 % and 0.828 wide, centred on the eyes.
QRectF IdealCrop(const Face& f)
{
    const double h = QLineF(f.crown, f.chin).length() / 0.75, w = h * 265.0 / 320.0;
    const bool upright = f.crown.y() < f.chin.y();
    const double top = upright ? f.eyes.y() - 0.4 * h : f.eyes.y() - 0.6 * h;
    return QRectF(f.eyes.x() - w / 2, top, w, h);
}

// Length of the part of a segment inside a rectangle (sampled every pixel).
// The length of the line inside r but not inside except.
double LengthInside(const QLineF& l, const QRectF& r, const QRectF& except)
{
    const int steps = std::max(1, int(l.length()));
    int inside = 0;
    for (int i = 0; i <= steps; ++i) {
        const QPointF p = l.pointAt(double(i) / steps);
        inside += r.contains(p) && !except.contains(p);
    }
    return l.length() * inside / (steps + 1);
}

struct Row {
    QString page, person, part;
    bool upsideDown = false, room = false, found = false, checked = false;
    double head = NAN, eye = NAN, inside = NAN;
    QString verdict, truth;
    bool signatureFound = false, inkInside = false, clean = false;
    double margin = NAN;
    QString why;
    QString fotoCrop, firmaCrop, note;
};

Row ScoreFace(const QJsonObject& o, const std::optional<QRectF>& crop, Row row)
{
    const bool upside = row.upsideDown;
    Face f = FaceOf(o, false);
    row.room = ShareInside(IdealCrop(f), f.photo) >= 0.97;
    if (!crop)
        return row;
    row.found = true;
    // A program that turned the page may answer in the turned page.
    if (upside && !crop->contains(f.eyes) && crop->contains(Turned(f.eyes)))
        f = FaceOf(o, true);
    row.head = 100 * QLineF(f.crown, f.chin).length() / crop->height();
    row.eye = EyeFromBottom(f, *crop);
    row.inside = 100 * ShareInside(*crop, f.photo);
    return row;
}

Row ScoreSignature(const QJsonObject& o, const std::optional<QRectF>& crop, Row row)
{
    if (!crop)
        return row;
    row.signatureFound = true;
    QRectF ink = Rect(o[QStringLiteral("ink")]), label = Rect(o[QStringLiteral("label")]);
    bool turned = row.upsideDown && !crop->intersects(ink) && crop->intersects(Turned(ink));
    if (turned)
        ink = Turned(ink), label = Turned(label);
    const QRectF& c = *crop;
    // One pixel for the rounding of the labels' box and of the crop.
    const double left = ink.left() - c.left(), right = c.right() - ink.right();
    const double top = ink.top() - c.top(), bottom = c.bottom() - ink.bottom();
    row.inkInside = std::min({left, right, top, bottom}) >= -1;
    row.margin = std::max({left, right, top, bottom});
    // Only the label's part outside the ink's own box counts: where the
    // writing runs over the label, no crop holding all the ink leaves it out.
    const QRectF labelInCrop = c & label.adjusted(2, 2, -2, -2);
    bool printed = !labelInCrop.isEmpty() && !ink.adjusted(-1, -1, 1, 1).contains(labelInCrop);
    if (printed)
        row.why = QStringLiteral("label");
    for (const QJsonValue& l : o[QStringLiteral("lines")].toArray()) {
        if (l[QStringLiteral("touched_by_ink")].toBool())
            continue;
        QLineF line(Point(l[QStringLiteral("from")]), Point(l[QStringLiteral("to")]));
        if (turned)
            line = QLineF(Turned(line.p1()), Turned(line.p2()));
        // As with the label, only the part outside the ink's own box: on a
        // tilted page a rule under the writing may cross a corner of it.
        if (LengthInside(line, c.adjusted(2, 2, -2, -2), ink.adjusted(-1, -1, 1, 1)) > 6) {
            printed = true;
            row.why += (row.why.isEmpty() ? QString() : QStringLiteral("+")) + QStringLiteral("line");
        }
    }
    row.clean = row.inkInside && row.margin <= 40 && !printed;
    return row;
}

// "Altezza della testa   74 %  (70–80 %)  OK": the verdict, OK or NO.
QString HeadVerdict(const QString& text)
{
    for (const QString& line : text.split(u'\n'))
        if (line.startsWith(QStringLiteral("Altezza della testa"))) {
            const QString last = line.trimmed().section(u' ', -1);
            return last == QStringLiteral("OK") || last == QStringLiteral("NO") ? last : QStringLiteral("?");
        }
    return QStringLiteral("-");
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

QString Count(int n, int of) { return QStringLiteral("%1 / %2").arg(n).arg(of); }

void PrintTable(const QList<Row>& rows, const QString& part)
{
    int upright = 0, found = 0, upsideFound = 0, upside = 0, room = 0, headOk = 0, eyeOk = 0, found2 = 0, inside = 0;
    int checked = 0, agree = 0, inkOk = 0, clean = 0;
    std::vector<double> heads;
    for (const Row& r : rows) {
        if (r.part != part)
            continue;
        (r.upsideDown ? upside : upright) += 1;
        if (r.found)
            (r.upsideDown ? upsideFound : found) += 1;
        if (r.found) {
            ++found2;
            heads.push_back(r.head);
            eyeOk += r.eye >= 55 && r.eye <= 65;
            inside += r.inside >= 97;
        }
        if (r.room) {
            ++room;
            headOk += r.found && r.head >= 70 && r.head <= 80 && r.inside >= 97;
        }
        if (r.checked) {
            ++checked;
            agree += r.verdict == r.truth;
        }
        inkOk += r.inkInside;
        clean += r.clean;
    }
    const int all = upright + upside;
    std::printf("\n== %s people: %d pages (%d upside down)\n", qPrintable(part), all, upside);
    std::printf("| measure | result |\n|---|---|\n");
    std::printf("| face found (upright pages) | %s |\n", qPrintable(Count(found, upright)));
    std::printf("| face found (upside-down pages) | %s |\n", qPrintable(Count(upsideFound, upside)));
    std::printf("| head 70–80 %% and crop inside the photograph, pages with room | %s (median head %.0f %%) |\n",
                qPrintable(Count(headOk, room)), Median(heads));
    std::printf("| eye line 55–65 %% from the bottom | %s |\n", qPrintable(Count(eyeOk, found2)));
    std::printf("| crop inside the pasted photograph (≤ 3 %% outside) | %s |\n", qPrintable(Count(inside, found2)));
    std::printf("| check's \"Altezza della testa\" agrees with the truth | %s |\n", qPrintable(Count(agree, checked)));
    std::printf("| all of the signature's ink inside the crop | %s |\n", qPrintable(Count(inkOk, all)));
    std::printf("| all ink, margin ≤ 40 px, no label or box line | %s |\n", qPrintable(Count(clean, all)));
}

QString CropText(const std::optional<QRectF>& c)
{
    return c ? QStringLiteral("%1,%2,%3,%4").arg(c->x()).arg(c->y()).arg(c->width()).arg(c->height()) : QStringLiteral("-");
}

QString Num(double v) { return std::isnan(v) ? QStringLiteral("-") : QString::number(v, 'f', 0); }

struct Times {
    std::vector<double> foto, firma, check, djpeg;
};

// Runs the three commands and djpeg on one page and scores what they gave.
Row ScorePage(const QString& cli, const QJsonObject& o, const QString& set, const QString& out, Times& times)
{
    const QString page = QDir(set).filePath(o[QStringLiteral("page")].toString());
    const QString stem = QDir(out).filePath(QFileInfo(page).completeBaseName());
    Row row;
    row.page = o[QStringLiteral("page")].toString();
    row.person = o[QStringLiteral("person")].toString();
    row.part = o[QStringLiteral("part")].toString();
    row.upsideDown = o[QStringLiteral("upside_down")].toBool();
    const QString photo = stem + QStringLiteral("-foto.jpg");
    const Run foto = Start(cli, {QStringLiteral("foto"), QStringLiteral("--auto"), page, QStringLiteral("-o"), photo});
    const Run firma = Start(cli, {QStringLiteral("firma"), QStringLiteral("--auto"), page, QStringLiteral("-o"),
                                  stem + QStringLiteral("-firma.jpg")});
    const Run djpeg = Start(QStringLiteral("djpeg"), {page}, true);
    times.foto.push_back(foto.seconds);
    times.firma.push_back(firma.seconds);
    times.djpeg.push_back(djpeg.seconds);
    const std::optional<QRectF> fotoCrop = CropOf(foto), firmaCrop = CropOf(firma);
    row = ScoreFace(o, fotoCrop, row);
    row = ScoreSignature(o, firmaCrop, row);
    if (row.found) {
        const Run check = Start(cli, {QStringLiteral("controlla"), photo});
        times.check.push_back(check.seconds);
        row.checked = true;
        row.verdict = HeadVerdict(check.out);
        row.truth = row.head >= 70 && row.head <= 80 ? QStringLiteral("OK") : QStringLiteral("NO");
    }
    row.fotoCrop = CropText(fotoCrop);
    row.firmaCrop = CropText(firmaCrop);
    row.note = foto.err.trimmed().section(u'\n', 0, 0);
    if (!row.why.isEmpty())
        row.note = row.why + QStringLiteral(" in signature crop; ") + row.note;
    return row;
}

void PrintRow(const Row& row)
{
    const QString dash = QStringLiteral("-");
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", qPrintable(row.page),
                qPrintable(row.person), qPrintable(row.part), row.room ? "yes" : "no", row.found ? "yes" : "no",
                qPrintable(Num(row.head)), qPrintable(Num(row.eye)), qPrintable(Num(row.inside)),
                qPrintable(row.verdict.isEmpty() ? dash : row.verdict), qPrintable(row.truth.isEmpty() ? dash : row.truth),
                row.signatureFound ? (row.inkInside ? "yes" : "no") : "none", qPrintable(Num(row.margin)),
                row.clean ? "yes" : "no", qPrintable(row.fotoCrop), qPrintable(row.firmaCrop), qPrintable(row.note));
    std::fflush(stdout);
}

// The check on framings cut from the labels: each head height, for every
// upright page whose photograph holds that crop (97 % of it inside), cut
// straight from the page and brought to 265 x 320.
void ScoreFramings(const QString& cli, const QJsonArray& pages, const QString& set, const QString& out, int limit)
{
    const double heads[] = {60, 66, 69, 72, 75, 78, 81, 85, 92};
    std::map<QString, std::map<double, std::pair<int, int>>> agree; // part, head: agreeing, judged
    std::printf("page\tpart\thead%%\ttruth\tcheck\treading\n");
    for (int i = 0; i < pages.size() && i < limit; ++i) {
        const QJsonObject o = pages[i].toObject();
        if (o[QStringLiteral("upside_down")].toBool())
            continue;
        const QString name = o[QStringLiteral("page")].toString();
        const QImage page(QDir(set).filePath(name));
        const Face f = FaceOf(o, false);
        const QString part = o[QStringLiteral("part")].toString();
        for (const double head : heads) {
            const double h = QLineF(f.crown, f.chin).length() / (head / 100), w = h * 265.0 / 320.0;
            const QRectF crop(f.eyes.x() - w / 2, f.eyes.y() - 0.4 * h, w, h);
            if (ShareInside(crop, f.photo) < 0.97)
                continue;
            const QString photo =
                QDir(out).filePath(QStringLiteral("%1-head%2.jpg").arg(QFileInfo(name).completeBaseName()).arg(head));
            page.copy(crop.toRect()).scaled(265, 320, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(photo, nullptr, 92);
            const Run check = Start(cli, {QStringLiteral("controlla"), photo});
            const QString verdict = HeadVerdict(check.out);
            const QString truth = head >= 70 && head <= 80 ? QStringLiteral("OK") : QStringLiteral("NO");
            auto& [same, judged] = agree[part][head];
            same += verdict == truth;
            ++judged;
            const QString reading = check.out.section(u'\n', 0, 0).section(QStringLiteral("testa"), 1).simplified();
            std::printf("%s\t%s\t%.0f\t%s\t%s\t%s\n", qPrintable(name), qPrintable(part), head, qPrintable(truth),
                        qPrintable(verdict), qPrintable(reading));
            std::fflush(stdout);
        }
    }
    for (const auto& [part, byHead] : agree) {
        std::printf("\n== %s people: the check's \"Altezza della testa\" on framings inside the photograph\n", qPrintable(part));
        std::printf("| head %% | agrees with the truth |\n|---|---|\n");
        int same = 0, judged = 0;
        for (const auto& [head, counts] : byHead) {
            std::printf("| %.0f | %s |\n", head, qPrintable(Count(counts.first, counts.second)));
            same += counts.first;
            judged += counts.second;
        }
        std::printf("| all | %s |\n", qPrintable(Count(same, judged)));
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QString build = QStringLiteral("build"), set = QStringLiteral("build/evalset");
    QString out;
    int limit = 1 << 30;
    bool framings = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--build"))
            build = args[i + 1];
        else if (args[i] == QStringLiteral("--set"))
            set = args[i + 1];
        else if (args[i] == QStringLiteral("--out"))
            out = args[i + 1];
        else if (args[i] == QStringLiteral("--pages"))
            limit = args[i + 1].toInt();
        else if (args[i] == QStringLiteral("--framings"))
            framings = args[i + 1] == QStringLiteral("yes");
    }
    // Without --out, a folder of this run's own: two scorers run side by
    // side must not write their crops over each other's.
    if (out.isEmpty())
        out = QDir::temp().filePath(QStringLiteral("ritrax-evalscore-%1").arg(QCoreApplication::applicationPid()));
    QString cli = QDir(build).filePath(QStringLiteral("ritrax-cli"));
    if (!QFile::exists(cli))
        cli = QDir(build).filePath(QStringLiteral("cli/ritrax-cli"));
    QFile labels(QDir(set).filePath(QStringLiteral("labels.json")));
    if (!QFile::exists(cli) || !labels.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_evalscore: need %s and %s\n", qPrintable(cli), qPrintable(labels.fileName()));
        return 1;
    }
    QDir().mkpath(out);
    const QJsonArray pages = QJsonDocument::fromJson(labels.readAll()).array();
    if (framings) {
        ScoreFramings(cli, pages, set, out, limit);
        return 0;
    }
    QList<Row> rows;
    Times times;
    std::printf("page\tperson\tpart\troom\tfound\thead%%\teye%%\tinside%%\tcheck\ttruth\tink_ok\tmargin\tclean\tfoto_crop\tfirma_crop\tnote\n");
    for (int i = 0; i < pages.size() && i < limit; ++i) {
        rows.append(ScorePage(cli, pages[i].toObject(), set, out, times));
        PrintRow(rows.last());
    }
    PrintTable(rows, QStringLiteral("tuning"));
    PrintTable(rows, QStringLiteral("held-out"));
    std::printf("\n== whole processes, median over %zu pages (same run)\n", times.foto.size());
    std::printf("| foto --auto | firma --auto | controlla | djpeg of the page |\n|---|---|---|---|\n");
    std::printf("| %.3f s | %.3f s | %.3f s | %.3f s |\n", Median(times.foto), Median(times.firma), Median(times.check),
                Median(times.djpeg));
    return 0;
}
