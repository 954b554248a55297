// The signature finder measured on generated form pages: the share whose
// selection holds all of the signature's ink, and the share that also keeps
// within 40 px of it (at 300 DPI) and takes in no label or line of the form.
// RITRAX_SIGNATURE_PAGES=<folder> writes every page there, the selection
// drawn on it, to look at the failures.

#include "SamplePages.h"
#include "SignatureFinder.h"
#include "SignatureForms.h"
#include "TestEnvironment.h"
#include "TestRegistry.h"

#include <QDir>
#include <QPainter>
#include <QTest>

namespace {

const char* FieldName(SignatureForms::Field field)
{
    switch (field) {
    case SignatureForms::Field::BoxLabelAbove:
        return "box, label above";
    case SignatureForms::Field::BoxLabelInside:
        return "box, label inside";
    case SignatureForms::Field::RuleLabelBelow:
        return "rule, label below";
    case SignatureForms::Field::RuleLabelLeft:
        return "rule, label left";
    case SignatureForms::Field::Blank:
        return "blank sheet";
    }
    return "";
}

void Keep(const QImage& page, const QRect& ink, const QRect& selection, const QString& name)
{
    const QString folder = qEnvironmentVariable("RITRAX_SIGNATURE_PAGES");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QImage shown = page.convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&shown);
        p.setPen(QPen(Qt::green, 2));
        p.drawRect(ink);
        p.setPen(QPen(Qt::red, 2));
        p.drawRect(selection);
    }
    const QRect around = (ink | selection).adjusted(-300, -300, 300, 300) & shown.rect();
    shown.copy(around.isEmpty() ? shown.rect() : around).save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

} // namespace

class TestSignaturePages : public QObject {
    Q_OBJECT
private slots:
    void generatedForms_data();
    void generatedForms();
    void sharedSamplePages();
};

void TestSignaturePages::generatedForms_data()
{
    QTest::addColumn<int>("scale");
    QTest::addColumn<unsigned>("first");
    QTest::addColumn<int>("pages");
    // The least shares, in %, of pages with all of the ink and of pages
    // also clear of print: what the finder reaches on these harder pages
    // (tilts to 3 degrees, five kinds of field), kept from falling back.
    QTest::addColumn<int>("allInkShare");
    QTest::addColumn<int>("tightShare");
    QTest::newRow("300 DPI") << 1 << 1u << 80 << 80 << 35;
    QTest::newRow("600 DPI") << 2 << 501u << 10 << 60 << 10;
}

// Every field kind, tilts of up to 3 degrees, black and blue ink, tinted
// paper, lines crossed by the handwriting.
void TestSignaturePages::generatedForms()
{
    QFETCH(int, scale);
    QFETCH(unsigned, first);
    QFETCH(int, pages);
    QFETCH(int, allInkShare);
    QFETCH(int, tightShare);
    if (SanitizedRun())
        pages = qMin(pages, 3);
    int allInk = 0;
    int tight = 0;
    for (unsigned seed = first; seed < first + unsigned(pages); ++seed) {
        SignatureForms::Options options = SignatureForms::Varied(seed);
        options.scale = scale;
        const SignatureForms::Page page = SignatureForms::Make(seed, options);
        const SignatureFinder::Found found = SignatureFinder::Find(page.page, 170);
        const SignatureForms::Verdict verdict = SignatureForms::Judge(page, found.selection);
        allInk += verdict.allInk;
        tight += verdict.tight;
        if (!verdict.tight || qEnvironmentVariableIsSet("RITRAX_MEASURE_VERBOSE"))
            qInfo().noquote() << QStringLiteral("page %1 (%2, %3 deg%4): ink").arg(seed).arg(QLatin1String(FieldName(options.field)))
                                     .arg(options.degrees, 0, 'f', 1).arg(options.crossing ? QStringLiteral(", crossed") : QString())
                              << page.ink << "selection" << found.selection
                              << (verdict.allInk ? "" : "MISSES INK") << (verdict.tight || !verdict.allInk ? "" : "NOT TIGHT");
        Keep(page.page, page.ink, found.selection, QStringLiteral("form-%1").arg(seed));
    }
    qInfo().noquote() << QStringLiteral("all ink: %1 of %2 (%3 %); all ink, margin <= 40 px, no print: %4 (%5 %)")
                             .arg(allInk).arg(pages).arg(100.0 * allInk / pages, 0, 'f', 1)
                             .arg(tight).arg(100.0 * tight / pages, 0, 'f', 1);
    if (SanitizedRun())
        QSKIP("the shares are measured in the normal build");
    QVERIFY(allInk * 100 >= allInkShare * pages);
    QVERIFY(tight * 100 >= tightShare * pages);
}

// The shared sample pages: a box, specks and print around a drawn name;
// the share kept from falling back.
void TestSignaturePages::sharedSamplePages()
{
    const int pages = SanitizedRun() ? 4 : 40;
    int good = 0;
    for (int seed = 1; seed <= pages; ++seed) {
        const SamplePages::SignaturePage page = SamplePages::MakeSignaturePage(unsigned(seed));
        const SignatureFinder::Found found = SignatureFinder::Find(page.page, 170);
        const bool holdsInk = found.selection.contains(page.ink);
        const bool clearOfBox = page.boxInside.contains(found.selection);
        good += holdsInk && clearOfBox;
        if (!(holdsInk && clearOfBox))
            qInfo() << "page" << seed << "ink" << page.ink << "box inside" << page.boxInside << "selection"
                    << found.selection << (holdsInk ? "" : "MISSES INK") << (clearOfBox ? "" : "TAKES BOX");
        Keep(page.page, page.ink, found.selection, QStringLiteral("sample-%1").arg(seed));
    }
    if (SanitizedRun())
        QSKIP("the share is measured in the normal build");
    QVERIFY(good * 100 >= 45 * pages);
}

RITRAX_TEST(TestSignaturePages)
#include "tst_signature_pages.moc"
