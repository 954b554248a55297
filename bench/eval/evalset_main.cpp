// bench_evalset: makes the labelled evaluation set of scanned forms from the
// source photographs that fetch-sources put in the cache, and their labels.
//
//   bench_evalset [OUTPUT] [--sources CACHE/src] [--labels sources.tsv]
//                 [--seed N] [--only tuning|held-out] [--other-names]
//
// --seed and --only make further pages of one part with other random draws
// (signatures, tilt, paper, noise): more pages to tune on without touching
// the held-out people. --other-names signs each page with a name drawn from
// a list instead of the person's own: signatures the finder was never tuned
// on, with the same photographs.

#include "EvalPage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTextStream>

#include <cstdio>
#include <map>

namespace {

struct Person {
    QString id;
    QString part; // "tuning" or "held-out"
    QString signsAs;
    EvalPage::Source source;
    QString package, member;
};

QPointF Point(const QStringList& f, int at) { return {f[at].toDouble(), f[at + 1].toDouble()}; }

// sources.tsv: one row a photograph, tab-separated, '#' starts a comment.
QList<Person> ReadSources(const QString& tsv, const QString& folder, QString* problem)
{
    QFile file(tsv);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *problem = QStringLiteral("cannot read ") + tsv;
        return {};
    }
    QList<Person> people;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u'\t');
        if (f.size() < 18) {
            *problem = QStringLiteral("short row in %1: %2").arg(tsv, line);
            return {};
        }
        Person p;
        p.id = f[0];
        p.part = f[1];
        p.signsAs = f[2];
        p.package = f[3];
        p.member = f[4];
        EvalPage::Source& s = p.source;
        s.id = f[0];
        s.person = f[0];
        s.file = QDir(folder).filePath(f[0] + u'.' + QFileInfo(f[4]).suffix());
        s.crown = Point(f, 6);
        s.chin = Point(f, 8);
        s.leftEye = Point(f, 10);
        s.rightEye = Point(f, 12);
        s.photo = QRectF(f[14].toDouble(), f[15].toDouble(), f[16].toDouble(), f[17].toDouble());
        s.picture = QImage(s.file).convertToFormat(QImage::Format_RGB32);
        if (s.picture.isNull()) {
            *problem = QStringLiteral("cannot read %1 (run bench/eval/fetch-sources first)").arg(s.file);
            return {};
        }
        people.append(p);
    }
    return people;
}

QStringList LoadScriptFonts(QString* problem)
{
    // Debian packages: fonts-dancingscript, fonts-kristi, fonts-dkg-handwriting,
    // fonts-breip, fonts-femkeklaver, fonts-kaushanscript.
    const QStringList files{QStringLiteral("/usr/share/fonts/opentype/dancingscript/DancingScript-Regular.otf"),
                            QStringLiteral("/usr/share/fonts/truetype/kristi/Kristi.ttf"),
                            QStringLiteral("/usr/share/fonts/truetype/fifthhorseman/dkgIt.ttf"),
                            QStringLiteral("/usr/share/fonts/truetype/breip/Breip.ttf"),
                            QStringLiteral("/usr/share/fonts/truetype/femkeklaver/femkeklaver.ttf"),
                            QStringLiteral("/usr/share/fonts/opentype/kaushanscript/KaushanScript-Regular.otf")};
    QStringList families;
    for (const QString& f : files) {
        const int id = QFontDatabase::addApplicationFont(f);
        if (id < 0) {
            *problem = QStringLiteral("cannot load the font ") + f;
            return {};
        }
        families.append(QFontDatabase::applicationFontFamilies(id).first());
    }
    return families;
}

// Six pages a person: plain, cut tight around the head, with a second
// smaller photo of someone of the same part, and upside down for every
// other person.
// Names and surnames for --other-names: of every length, with and without
// letters that rise or hang, none of them a person's of the set.
const QStringList OtherFirst{
    QStringLiteral("Luca"),     QStringLiteral("Sara"),     QStringLiteral("Alessandro"), QStringLiteral("Chiara"),
    QStringLiteral("Matteo"),   QStringLiteral("Ilaria"),   QStringLiteral("Gianfranco"), QStringLiteral("Beatrice"),
    QStringLiteral("Ugo"),      QStringLiteral("Federica"), QStringLiteral("Massimiliano"), QStringLiteral("Rita"),
    QStringLiteral("Stefano"),  QStringLiteral("Giulia"),   QStringLiteral("Nicola"),     QStringLiteral("Vittoria")};
const QStringList OtherLast{
    QStringLiteral("Rossi"),    QStringLiteral("Bianchi"),  QStringLiteral("Esposito"),   QStringLiteral("Ferrari"),
    QStringLiteral("Romano"),   QStringLiteral("Gallo"),    QStringLiteral("Costa"),      QStringLiteral("Fontana"),
    QStringLiteral("Caputo"),   QStringLiteral("Moretti"),  QStringLiteral("Lombardi"),   QStringLiteral("Villa"),
    QStringLiteral("De Luca"),  QStringLiteral("Bruno"),    QStringLiteral("Giordano"),   QStringLiteral("Zappa")};

QString OtherName(quint32 seed)
{
    QRandomGenerator r(seed ^ 0x5157u);
    const QString first = OtherFirst[r.bounded(int(OtherFirst.size()))];
    const QString last = OtherLast[r.bounded(int(OtherLast.size()))];
    switch (r.bounded(4)) {
    case 0:
        return first.left(1) + QStringLiteral(". ") + last;
    case 1:
        return last;
    default:
        return first + u' ' + last;
    }
}

QList<EvalPage::Plan> Plans(const QList<Person>& people, quint32 seedBase)
{
    QList<EvalPage::Plan> plans;
    for (int i = 0; i < people.size(); ++i) {
        const Person& p = people[i];
        const Person* other = nullptr;
        for (int k = 1; k < people.size() && !other; ++k)
            if (people[(i + k) % people.size()].part == p.part)
                other = &people[(i + k) % people.size()];
        for (int k = 0; k < 6; ++k) {
            EvalPage::Plan plan;
            plan.index = int(plans.size()) + 1;
            plan.main = &p.source;
            plan.name = p.signsAs;
            plan.tight = k == 1 || (k == 4 && i % 2 == 1);
            plan.upsideDown = k == 4 && i % 2 == 0;
            plan.second = k == 3 && other ? &other->source : nullptr;
            plan.seed = seedBase + quint32(plan.index) * 7919u;
            plans.append(plan);
        }
    }
    return plans;
}

void WriteReadme(const QString& folder, const QList<Person>& people)
{
    QStringList tuning, heldOut;
    for (const Person& p : people)
        (p.part == QStringLiteral("tuning") ? tuning : heldOut).append(p.id);
    QFile file(QDir(folder).filePath(QStringLiteral("README.md")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&file);
    out << "# Evaluation set of scanned forms\n\n"
        << "Made by `bench_evalset` from bench/eval/sources.tsv; do not edit by hand.\n\n"
        << "- tuning people: " << tuning.join(QStringLiteral(", ")) << "\n"
        << "- held-out people: " << heldOut.join(QStringLiteral(", "))
        << " (never tune on them; look at their results only to report them)\n\n"
        << "`labels.json` has one entry a page, in the page's pixels (x right, y down): "
           "`photo` the pasted photograph's four corners, `crown`, `chin`, `left_eye`, `right_eye`, "
           "`second_photo`/`second_face` when a smaller photo of someone else is on the page, "
           "`ink` the signature's ink box [x, y, w, h] from the ink pixels, `signature_box` its box's "
           "corners, `label` the printed label's box, `lines` the printed box sides and rules with "
           "`touched_by_ink`, `upside_down`, `tight` (cut close around the head), `tilt` in degrees.\n";
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString output = QStringLiteral("build/evalset");
    QString sources = QStringLiteral(RITRAX_EVAL_CACHE "/src");
    QString tsv = QStringLiteral(RITRAX_EVAL_DIR "/sources.tsv");
    quint32 seedBase = 1000;
    QString only;
    bool otherNames = false;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--seed") && i + 1 < args.size())
            seedBase = args[++i].toUInt();
        else if (args[i] == QStringLiteral("--only") && i + 1 < args.size())
            only = args[++i];
        else if (args[i] == QStringLiteral("--other-names"))
            otherNames = true;
        else if (args[i] == QStringLiteral("--sources") && i + 1 < args.size())
            sources = args[++i];
        else if (args[i] == QStringLiteral("--labels") && i + 1 < args.size())
            tsv = args[++i];
        else if (args[i].startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr,
                         "usage: bench_evalset [OUTPUT] [--sources CACHE/src] [--labels sources.tsv]\n"
                         "                     [--seed N] [--only tuning|held-out] [--other-names]\n");
            return args[i] == QStringLiteral("--help") ? 0 : 2;
        } else
            output = args[i];
    }
    QString problem;
    QList<Person> people = ReadSources(tsv, sources, &problem);
    if (!only.isEmpty())
        people.removeIf([&](const Person& p) { return p.part != only; });
    const QStringList fonts = problem.isEmpty() ? LoadScriptFonts(&problem) : QStringList();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "bench_evalset: %s\n", qPrintable(problem));
        return 1;
    }
    QDir().mkpath(output);
    std::map<QString, const Person*> byId;
    for (const Person& p : people)
        byId[p.id] = &p;
    QJsonArray pages;
    QList<EvalPage::Plan> plans = Plans(people, seedBase);
    if (otherNames)
        for (EvalPage::Plan& plan : plans)
            plan.name = OtherName(plan.seed);
    for (const EvalPage::Plan& plan : plans) {
        const EvalPage::Made made = EvalPage::Make(plan, fonts);
        const QString name = QStringLiteral("page-%1.jpg").arg(plan.index, 3, 10, QLatin1Char('0'));
        QImage page = made.page;
        page.setDotsPerMeterX(11811);
        page.setDotsPerMeterY(11811);
        if (!page.save(QDir(output).filePath(name), "JPG", made.truth.quality)) {
            std::fprintf(stderr, "bench_evalset: cannot write %s\n", qPrintable(name));
            return 1;
        }
        QJsonObject o = made.truth.toJson();
        o[QStringLiteral("page")] = name;
        o[QStringLiteral("person")] = plan.main->id;
        o[QStringLiteral("part")] = byId[plan.main->id]->part;
        o[QStringLiteral("upside_down")] = plan.upsideDown;
        o[QStringLiteral("tight")] = plan.tight;
        if (plan.second)
            o[QStringLiteral("second_person")] = plan.second->id;
        pages.append(o);
        std::printf("%s %s%s\n", qPrintable(name), qPrintable(plan.main->id), plan.upsideDown ? " (upside down)" : "");
        std::fflush(stdout);
    }
    QFile labels(QDir(output).filePath(QStringLiteral("labels.json")));
    if (!labels.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "bench_evalset: cannot write labels.json\n");
        return 1;
    }
    labels.write(QJsonDocument(pages).toJson(QJsonDocument::Indented));
    WriteReadme(output, people);
    return 0;
}
