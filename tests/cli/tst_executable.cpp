#include "OutputChecks.h"
#include "TestJpegs.h"
#include "RunCli.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <FreeImage.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// Prepares an entry of the output folder: a name ending in "/" is a folder,
// "|" a FIFO, "!" a device node (the null device's numbers);
// anything else a file holding "old".
bool Prepare(const QString& folder, const QString& entry)
{
    const QString path = QDir(folder).filePath(entry.chopped(1));
    const QByteArray name = QFile::encodeName(path);
    switch (entry.back().unicode()) {
    case u'/':
        return QDir(folder).mkdir(entry.chopped(1));
    case u'|':
        return ::mkfifo(name.constData(), 0644) == 0;
    case u'!':
        return ::mknod(name.constData(), S_IFCHR | 0644, makedev(1, 3)) == 0;
    default:
        return TestPictures::WriteBytes(QDir(folder).filePath(entry), "old");
    }
}

bool IsSpecial(const QString& entry)
{
    return QStringLiteral("/|!").contains(entry.back());
}

QStringList Listing(const QString& folder)
{
    QStringList names
        = QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden);
    names.sort();
    return names;
}

} // namespace

class TestExecutable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void help_data();
    void help();
    void refusesAndWritesNothing_data();
    void refusesAndWritesNothing();
    void writesTheNamedFiles();
    void throughAShell_data();
    void throughAShell();
    void quickProgramLoadsLittle();
    void installedLayout();

private:
    QString source(const QString& name) const { return sources_.filePath(name); }
    QTemporaryDir sources_;
};

void TestExecutable::initTestCase()
{
    const QByteArray jpeg = EncodeJpeg(DetailedPicture(300, 200, 2), JpegKind{});
    QVERIFY(TestPictures::WriteBytes(source("page.jpg"), jpeg));
    QVERIFY(TestPictures::WriteBytes(source("cut.jpg"), jpeg.left(jpeg.size() / 2)));
    QVERIFY(TestPictures::WriteBytes(source("notes.txt"), "not a picture, only words"));
    QVERIFY(TestPictures::SavePicture(source("page.png"), FIF_PNG, 300, 200, Qt::gray));
    QVERIFY(TestPictures::SavePicture(source("page.bmp"), FIF_BMP, 300, 200, Qt::gray));
    // The header of a 24-bit BMP of 30000 x 30000 pixels, and no pixels.
    QVERIFY(TestPictures::WriteBytes(source("huge.bmp"),
                                     QByteArray::fromHex("424d00000000000000003600000028000000307500003075000001001800")
                                         + QByteArray(24, '\0')));
}

void TestExecutable::help_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("general") << QStringList{"--help"}
                             << QStringList{"Uso: ritrax-cli COMANDO", "foto SORGENTE", "firma SORGENTE",
                                            "--soglia N", "Codici di uscita:", "5  impossibile scrivere"};
    QTest::newRow("short") << QStringList{"-h"} << QStringList{"Uso: ritrax-cli COMANDO"};
    QTest::newRow("photo") << QStringList{"foto", "--help"}
                           << QStringList{"Uso: ritrax-cli foto SORGENTE --ritaglio X,Y,L,A -o FILE.jpg",
                                          "265 x 320", "Codici di uscita:"};
    QTest::newRow("check") << QStringList{"verifica", "--help"}
                           << QStringList{"2  riga di comando errata", "7  verifica: il portale respinge",
                                          "8  verifica: nessuna risposta"};
    QTest::newRow("signature") << QStringList{"firma", "-h"}
                               << QStringList{"Uso: ritrax-cli firma", "--200dpi", "--bn", "Predefinita 170"};
    QTest::newRow("forms") << QStringList{"modulo", "--help"}
                           << QStringList{"Uso: ritrax-cli modulo SORGENTE… --foto CARTELLA --firma CARTELLA",
                                          "--lavori N", "9  modulo: qualche modulo da rivedere"};
}

void TestExecutable::help()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, expected);
    const CliRun ran = RunCli(arguments, sources_.path());
    QCOMPARE(ran.code, 0);
    QCOMPARE(ran.err, QString());
    for (const QString& text : expected)
        QVERIFY2(ran.out.contains(text), qPrintable(text));
}

void TestExecutable::refusesAndWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("prepared"); // in the output folder, made by Prepare
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QString page = source("page.jpg");
    const QStringList photo{"foto", page, "--ritaglio", "10,10,100,120", "-o", "out.jpg"};
    const QStringList signature{"firma", page, "--ritaglio", "10,10,200,60", "-o", "out.jpg"};

    QTest::newRow("no command") << QStringList{} << QStringList{} << 2 << "ritrax-cli: Manca il comando";
    QTest::newRow("unknown command") << QStringList{"stampa", page} << QStringList{} << 2
                                     << "ritrax-cli: Comando sconosciuto: stampa\nPer l'aiuto: ritrax-cli --help";
    QTest::newRow("no source") << QStringList{"foto", "--ritaglio", "1,1,1,1", "-o", "out.jpg"} << QStringList{} << 2
                               << "Manca l'immagine sorgente";
    QTest::newRow("two sources") << photo + QStringList{page} << QStringList{} << 2 << "Una sola immagine sorgente";
    QTest::newRow("no crop") << QStringList{"foto", page, "-o", "out.jpg"} << QStringList{} << 2
                             << "Manca l'opzione --ritaglio X,Y,L,A";
    QTest::newRow("crop of three numbers") << QStringList{"foto", page, "--ritaglio", "1,2,3", "-o", "out.jpg"}
                                           << QStringList{} << 2 << "Ritaglio non valido: \"1,2,3\"";
    QTest::newRow("no output") << QStringList{"foto", page, "--ritaglio", "1,1,1,1"} << QStringList{} << 2
                               << "Manca l'opzione -o FILE";
    QTest::newRow("signature option for the photo") << photo + QStringList{"--bn"} << QStringList{} << 2
                                                    << "Opzione sconosciuta per il comando foto: --bn";
    QTest::newRow("threshold without black and white") << signature + QStringList{"--soglia", "100"}
                                                       << QStringList{} << 2 << "--soglia vale solo insieme a --bn";
    QTest::newRow("threshold not a number") << signature + QStringList{"--bn", "--soglia", "alta"} << QStringList{}
                                            << 2 << "Soglia non valida: \"alta\"";
    QTest::newRow("BMP would replace the JPEG")
        << QStringList{"firma", page, "--ritaglio", "10,10,200,60", "-o", "out.bmp", "--bn"} << QStringList{} << 2
        << "il file BMP avrebbe lo stesso nome del file JPEG";
    QTest::newRow("source missing") << QStringList{"foto", source("absent.jpg"), "--ritaglio", "1,1,9,9", "-o", "out.jpg"}
                                    << QStringList{} << 3 << "File sorgente non trovato o non leggibile: " + source("absent.jpg");
    QTest::newRow("source a folder") << QStringList{"foto", sources_.path(), "--ritaglio", "1,1,9,9", "-o", "out.jpg"}
                                     << QStringList{} << 3 << "File sorgente non trovato";
    QTest::newRow("source not a picture")
        << QStringList{"foto", source("notes.txt"), "--ritaglio", "1,1,9,9", "-o", "out.jpg"} << QStringList{} << 3
        << "Formato immagine non riconosciuto: " + source("notes.txt");
    QTest::newRow("source cut short") << QStringList{"foto", source("cut.jpg"), "--ritaglio", "1,1,9,9", "-o", "out.jpg"}
                                      << QStringList{} << 3 << "Impossibile leggere l'immagine";
    QTest::newRow("crop beyond the right edge")
        << QStringList{"foto", page, "--ritaglio", "201,0,100,100", "-o", "out.jpg"} << QStringList{} << 4
        << "Il ritaglio 201,0,100,100 esce dall'immagine, che misura 300 x 200 pixel";
    QTest::newRow("crop above the picture") << QStringList{"foto", page, "--ritaglio", "0,-1,10,10", "-o", "out.jpg"}
                                            << QStringList{} << 4 << "esce dall'immagine";
    QTest::newRow("empty crop") << QStringList{"foto", page, "--ritaglio", "5,5,0,10", "-o", "out.jpg"}
                                << QStringList{} << 4 << "Il ritaglio è vuoto";
    QTest::newRow("signature too thin for the canvas")
        << QStringList{"firma", page, "--ritaglio", "0,0,1,199", "-o", "out.jpg"} << QStringList{} << 4
        << "troppo sottile per la firma";
    QTest::newRow("output folder is a file") << QStringList{"foto", page, "--ritaglio", "1,1,9,9", "-o", "plain/out.jpg"}
                                             << QStringList{"plain"} << 5
                                             << "Impossibile scrivere il file plain/out.jpg";
    const QString special = "out.jpg non è un file normale";
    QTest::newRow("output is a folder") << photo << QStringList{"out.jpg/"} << 5 << special;
    QTest::newRow("output is a FIFO") << photo << QStringList{"out.jpg|"} << 5 << special;
    QTest::newRow("output is a device") << signature << QStringList{"out.jpg!"} << 5 << special;
    QTest::newRow("BMP is a FIFO") << signature + QStringList{"--bn"} << QStringList{"out.bmp|"} << 5
                                   << "out.bmp non è un file normale";
    QTest::newRow("source is a FIFO") << QStringList{"foto", "in.jpg", "--ritaglio", "1,1,9,9", "-o", "out.jpg"}
                                      << QStringList{"in.jpg|"} << 3 << "File sorgente non trovato o non leggibile";
    QTest::newRow("source is a PNG")
        << QStringList{"foto", source("page.png"), "--ritaglio", "1,1,9,9", "-o", "out.jpg"} << QStringList{} << 3
        << "Formato immagine non riconosciuto: " + source("page.png");
    QTest::newRow("automatic crop of a PNG")
        << QStringList{"firma", source("page.png"), "--auto", "-o", "out.jpg"} << QStringList{} << 3
        << "Formato immagine non riconosciuto: " + source("page.png");
    QTest::newRow("BMP cannot be written, so neither is the JPEG")
        << signature + QStringList{"--bn"} << QStringList{"out.bmp/"} << 5 << "out.bmp non è un file normale";
}

// A refusal says why in Italian, exits with its own code and leaves the
// output folder as it was.
void TestExecutable::refusesAndWritesNothing()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, prepared);
    QFETCH(int, code);
    QFETCH(QString, message);
    QTemporaryDir out;
    for (const QString& name : prepared)
        QVERIFY2(Prepare(out.path(), name), qPrintable(name));
    const QStringList before = Listing(out.path());
    const CliRun ran = RunCli(arguments, out.path());
    QCOMPARE(ran.code, code);
    QVERIFY2(ran.err.startsWith(QStringLiteral("ritrax-cli: ")) && ran.err.contains(message), qPrintable(ran.err));
    QCOMPARE(ran.out, QString());
    QCOMPARE(Listing(out.path()), before);
    for (const QString& name : prepared) {
        if (!IsSpecial(name))
            QCOMPARE(TestPictures::ReadBytes(out.filePath(name)), QByteArray("old"));
        else // still what it was, not a file put in its place
            QVERIFY(!QFileInfo(out.filePath(name.chopped(1))).isFile());
    }
}

// -o is the name as typed; the BMP goes beside it; an existing file is replaced.
void TestExecutable::writesTheNamedFiles()
{
    QTemporaryDir out;
    QVERIFY(TestPictures::WriteBytes(out.filePath("foto.jpeg"), "old"));
    const QString page = source("page.jpg");
    CliRun ran = RunCli({"foto", page, "--ritaglio", "20,0,166,200", "-o", "foto.jpeg"}, out.path());
    QCOMPARE(ran.code, 0);
    QCOMPARE(ran.err, QString());
    ran = RunCli({"firma", page, "--ritaglio=0,100,300,100", "-o", "firma.JPG", "--bn", "--soglia", "300"}, out.path());
    QCOMPARE(ran.code, 0);
    QCOMPARE(Listing(out.path()), (QStringList{"firma.JPG", "firma.bmp", "foto.jpeg"}));

    const WrittenPicture photo = ReadBack(out.filePath("foto.jpeg"));
    QCOMPARE(photo.format, FIF_JPEG);
    QCOMPARE(QSize(photo.width, photo.height), QSize(265, 320));
    QCOMPARE(photo.dotsPerMetreY, 7874);
    const WrittenPicture signature = ReadBack(out.filePath("firma.JPG"));
    QCOMPARE(QSize(signature.width, signature.height), QSize(710, 142));
    QCOMPARE(signature.dotsPerMetreY, 23622);
    const WrittenPicture bmp = ReadBack(out.filePath("firma.bmp"));
    QCOMPARE(bmp.format, FIF_BMP);
    QCOMPARE(bmp.bpp, 1);
    QCOMPARE(QSize(bmp.width, bmp.height), QSize(710, 142));
}

namespace {

// The shared libraries a program or module needs, as the dynamic loader
// lists them.
QString Needed(const QString& path)
{
    QProcess ldd;
    ldd.start(QStringLiteral("ldd"), {path});
    if (!ldd.waitForFinished(60000))
        return {};
    return QString::fromUtf8(ldd.readAllStandardOutput());
}

} // namespace

// The program a script starts loads nothing of the program's own but the
// JPEG decoder: the quick road is a module with Qt Core and FreeImage, and
// neither has a GUI, scanner, network or vision library behind it.
void TestExecutable::quickProgramLoadsLittle()
{
    const QString launcher = Needed(QStringLiteral(RITRAX_CLI_PATH));
    QVERIFY2(launcher.contains(u"libjpeg"), qPrintable(launcher));
    for (const char* library : {"libQt6", "libfreeimage"})
        QVERIFY2(!launcher.contains(QLatin1String(library)), library);
    const QString module = Needed(QStringLiteral(RITRAX_CLI_MODULE_PATH));
    QVERIFY2(module.contains(u"libfreeimage") && module.contains(u"libQt6Core"), qPrintable(module));
    for (const char* library : {"libQt6Gui", "libQt6Widgets", "libQt6Network", "libsane", "libgumbo", "libopencv"})
        QVERIFY2(!module.contains(QLatin1String(library)), library);
}

// Installed, the launcher finds the quick road's module and the full
// program in libexec; with either missing the other does the work, and
// with both missing the operator is told what is missing.
void TestExecutable::installedLayout()
{
    QTemporaryDir installed;
    QVERIFY(QDir(installed.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(QDir(installed.path()).mkpath(QStringLiteral("libexec/ritrax")));
    const QString launcher = installed.filePath(QStringLiteral("bin/ritrax-cli"));
    const QString full = installed.filePath(QStringLiteral("libexec/ritrax/ritrax-cli-full"));
    const QString module = installed.filePath(QStringLiteral("libexec/ritrax/ritrax-cli-fast.so"));
    QVERIFY(QFile::copy(QStringLiteral(RITRAX_CLI_PATH), launcher));
    QVERIFY(QFile::copy(QStringLiteral(RITRAX_CLI_FULL_PATH), full));
    QVERIFY(QFile::copy(QStringLiteral(RITRAX_CLI_MODULE_PATH), module));

    QTemporaryDir out;
    const QString output = out.filePath(QStringLiteral("foto.jpg"));
    const QStringList photo{"foto", source("page.jpg"), "--ritaglio", "20,0,166,200", "-o", output};
    const auto run = [&launcher](const QStringList& arguments) {
        QProcess process;
        process.start(launcher, arguments);
        process.waitForFinished(60000);
        return std::make_pair(process.exitCode(), QString::fromUtf8(process.readAllStandardError()));
    };
    QCOMPARE(run({QStringLiteral("--help")}).first, 0);
    QCOMPARE(run(photo).first, 0);
    const QByteArray expected = TestPictures::ReadBytes(output);
    QVERIFY(!expected.isEmpty());

    // Without the full program the quick road still does the common case.
    QVERIFY(QFile::rename(full, full + QStringLiteral(".away")));
    QVERIFY(QFile::remove(output));
    QCOMPARE(run(photo).first, 0);
    QCOMPARE(TestPictures::ReadBytes(output), expected);
    const auto help = run({QStringLiteral("--help")});
    QCOMPARE(help.first, 1);
    QVERIFY2(help.second.contains(u"programma non trovato"), qPrintable(help.second));

    // Without the module the full program does everything, alike.
    QVERIFY(QFile::rename(full + QStringLiteral(".away"), full));
    QVERIFY(QFile::remove(module));
    QVERIFY(QFile::remove(output));
    QCOMPARE(run(photo).first, 0);
    QCOMPARE(TestPictures::ReadBytes(output), expected);
}

void TestExecutable::throughAShell_data()
{
    QTest::addColumn<QString>("script"); // "$0" is ritrax-cli
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("err");
    // A name in Latin-1, invalid as UTF-8: no QString can spell it, and
    // QProcess would encode it, so a shell hands it over.
    // The shell removes it again: QTemporaryDir cannot spell its name either.
    const QString latin1 = QStringLiteral("n=$(printf 'caf\\351.img') && cp %1 \"$n\" && \"$0\" foto \"$n\" "
                                          "--ritaglio 1,1,9,9 -o out.jpg; r=$?; rm -f \"$n\"; exit $r");
    QTest::newRow("name not UTF-8, quick road") << latin1.arg(source("page.jpg")) << 0 << QString();
    QTest::newRow("name not UTF-8, full program") << latin1.arg(source("page.bmp")) << 0 << QString();
    // 54 bytes claiming 30000 x 30000 pixels, under a limit the process was
    // given: too large for memory (exit 1), not an unreadable file.
    const QString memory = QStringLiteral("ritrax-cli: Memoria insufficiente per aprire l'immagine");
    QTest::newRow("address space limit") << "ulimit -v 1500000 && exec \"$0\" foto " + source("huge.bmp")
            + " --ritaglio 0,0,90,90 -o out.jpg" << 1 << memory;
    QTest::newRow("data limit") << "ulimit -d 1500000 && exec \"$0\" controlla " + source("huge.bmp") << 1 << memory;
}

void TestExecutable::throughAShell()
{
    QFETCH(QString, script);
    QFETCH(int, code);
    QFETCH(QString, err);
    if (SanitizedRun() && script.startsWith(QStringLiteral("ulimit")))
        QSKIP("AddressSanitizer reserves more address space than such a limit leaves");
    QTemporaryDir out;
    QProcess shell;
    shell.setWorkingDirectory(out.path());
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script, QStringLiteral(RITRAX_CLI_PATH)});
    QVERIFY(shell.waitForFinished(60000));
    QVERIFY(QString::fromUtf8(shell.readAllStandardError()).startsWith(err));
    QCOMPARE(shell.exitCode(), code);
    QCOMPARE(QFile::exists(out.filePath(QStringLiteral("out.jpg"))), code == 0);
}

RITRAX_TEST(TestExecutable)
#include "tst_executable.moc"
