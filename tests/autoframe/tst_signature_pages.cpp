// The signature finder measured on a set of synthetic form pages: the
// share whose selection holds all of the signature's ink and none of its box.

#include "SamplePages.h"
#include "SignatureFinder.h"
#include "TestRegistry.h"

#include <QTest>

class TestSignaturePages : public QObject {
    Q_OBJECT
private slots:
    void signatures();
};

void TestSignaturePages::signatures()
{
    constexpr int Pages = 40;
    int good = 0;
    for (unsigned seed = 1; seed <= Pages; ++seed) {
        const SamplePages::SignaturePage page = SamplePages::MakeSignaturePage(seed);
        const SignatureFinder::Found found = SignatureFinder::Find(page.page, 170);
        const bool holdsInk = found.selection.contains(page.ink);
        const bool clearOfBox = page.boxInside.contains(found.selection);
        good += holdsInk && clearOfBox;
        if (!(holdsInk && clearOfBox) || qEnvironmentVariableIsSet("RITRAX_MEASURE_VERBOSE"))
            qInfo() << "page" << seed << "ink" << page.ink << "box inside" << page.boxInside << "selection"
                    << found.selection << (holdsInk ? "" : "MISSES INK") << (clearOfBox ? "" : "TAKES BOX");
    }
    qInfo().noquote() << QStringLiteral("signatures: %1 of %2 framed (%3 %)").arg(good).arg(Pages).arg(100.0 * good / Pages, 0, 'f', 1);
    QVERIFY(good * 100 >= 95 * Pages);
}

RITRAX_TEST(TestSignaturePages)
#include "tst_signature_pages.moc"
