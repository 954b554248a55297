// ritrax-cli foto/firma --auto and controlla, run as the executable: the
// found crop written byte for byte as the same crop given by hand, the
// check's exit codes, refusals.

#include "RunCli.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sample = QStringLiteral(RITRAX_SAMPLES_DIR "/modulo-300dpi.jpg");

// "Ritaglio automatico: X,Y,L,A" as the --ritaglio argument.
QString CropPrinted(const QString& out)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Ritaglio automatico: (-?\\d+,-?\\d+,\\d+,\\d+)$"),
                           QRegularExpression::MultilineOption)
            .match(out);
    return m.hasMatch() ? m.captured(1) : QString();
}

} // namespace

class TestAutoCommands : public QObject {
    Q_OBJECT
private slots:
    void autoIsTheSameAsTheCropGiven_data();
    void autoIsTheSameAsTheCropGiven();
    void checkExitCodes();
    void refusals_data();
    void refusals();

private:
    QTemporaryDir dir_;
};

void TestAutoCommands::autoIsTheSameAsTheCropGiven_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::newRow("photo") << QStringList{"foto"};
    QTest::newRow("signature, black and white") << QStringList{"firma", "--bn", "--soglia", "150"};
}

void TestAutoCommands::autoIsTheSameAsTheCropGiven()
{
    QFETCH(QStringList, command);
    const CliRun found = RunCli(QStringList{command.first(), Sample, "--auto", "-o", "auto.jpg"} + command.mid(1), dir_.path());
    QCOMPARE(found.code, 0);
    QCOMPARE(found.err, QString());
    const QString crop = CropPrinted(found.out);
    QVERIFY2(!crop.isEmpty(), qPrintable(found.out));
    const CliRun given = RunCli(QStringList{command.first(), Sample, "--ritaglio", crop, "-o", "given.jpg"} + command.mid(1),
                              dir_.path());
    QCOMPARE(given.code, 0);
    QCOMPARE(TestPictures::ReadBytes(dir_.filePath("auto.jpg")), TestPictures::ReadBytes(dir_.filePath("given.jpg")));
    QVERIFY(!TestPictures::ReadBytes(dir_.filePath("auto.jpg")).isEmpty());
}

void TestAutoCommands::checkExitCodes()
{
    const CliRun made = RunCli({"foto", Sample, "--auto", "-o", "checked.jpg"}, dir_.path());
    QCOMPARE(made.code, 0);
    const CliRun good = RunCli({"controlla", dir_.filePath("checked.jpg")}, dir_.path());
    QCOMPARE(good.code, 0);
    QCOMPARE(good.out.count(QStringLiteral("  OK\n")), 8);
    QVERIFY(good.out.contains(QStringLiteral("Linea degli occhi")));

    // A grey photo: no face, so the geometry fails, and says why.
    QVERIFY(TestPictures::SavePicture(dir_.filePath("grey.jpg"), FIF_JPEG, 265, 320, QColor(128, 128, 128)));
    const CliRun grey = RunCli({"controlla", dir_.filePath("grey.jpg")}, dir_.path());
    QCOMPARE(grey.code, 1);
    QVERIFY(grey.out.contains(QStringLiteral("Altezza della testa")) && grey.out.contains(QStringLiteral("NO")));
    QVERIFY(grey.out.contains(QStringLiteral("Nota: nessun viso trovato")));
}

void TestAutoCommands::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("auto and a crop") << QStringList{"foto", Sample, "--auto", "--ritaglio", "1,1,9,9", "-o", "x.jpg"} << 2
                                     << "Le opzioni --ritaglio e --auto si escludono";
    QTest::newRow("no face") << QStringList{"foto", "blank.jpg", "--auto", "-o", "x.jpg"} << 6 << "Nessun viso trovato";
    QTest::newRow("no signature") << QStringList{"firma", "blank.jpg", "--auto", "-o", "x.jpg"} << 6
                                  << "Nessuna firma trovata";
    QTest::newRow("auto on a missing source") << QStringList{"firma", "absent.jpg", "--auto", "-o", "x.jpg"} << 3
                                              << "File sorgente non trovato o non leggibile";
    QTest::newRow("check of a missing photo") << QStringList{"controlla", "absent.jpg"} << 3 << "File non trovato";
    QTest::newRow("check of two photos") << QStringList{"controlla", "a.jpg", "b.jpg"} << 2 << "Una sola foto";
}

void TestAutoCommands::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, message);
    QVERIFY(TestPictures::SavePicture(dir_.filePath("blank.jpg"), FIF_JPEG, 800, 600, QColor(250, 250, 250)));
    const CliRun r = RunCli(arguments, dir_.path());
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(dir_.filePath("x.jpg")));
}

RITRAX_TEST(TestAutoCommands)
#include "tst_autocommands.moc"
