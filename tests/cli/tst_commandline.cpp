#include "CommandLine.h"
#include "FastPrefetch.h"
#include "PictureCommands.h"
#include "TestRegistry.h"

#include <QTest>

using CommandLine::Option;

namespace {

const QList<Option> Options{
    {QStringLiteral("--ritaglio"), QStringLiteral("X,Y,L,A"), QString()},
    {QStringLiteral("-o"), QStringLiteral("FILE"), QString()},
    {QStringLiteral("--bn"), QString(), QString()},
};

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void parses_data();
    void parses();
    void refuses_data();
    void refuses();
    void crop_data();
    void crop();
    void blackAndWhiteName_data();
    void blackAndWhiteName();
    void threshold_data();
    void threshold();
    void guessAgreesWithTheReading_data();
    void guessAgreesWithTheReading();
};

void TestCommandLine::parses_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QStringList>("positional");
    QTest::addColumn<QString>("crop");
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<bool>("help");
    QTest::newRow("separate values") << QStringList{"a.jpg", "--ritaglio", "1,2,3,4", "-o", "b.jpg"}
                                     << QStringList{"a.jpg"} << "1,2,3,4" << "b.jpg" << false << false;
    QTest::newRow("value after =, flag, any order")
        << QStringList{"--bn", "-o", "b", "--ritaglio=1,2,3,4", "a.jpg"} << QStringList{"a.jpg"} << "1,2,3,4" << "b"
        << true << false;
    QTest::newRow("a value may begin with a minus") << QStringList{"--ritaglio", "-5,0,1,1", "-o", "-x.jpg"}
                                                    << QStringList{} << "-5,0,1,1" << "-x.jpg" << false << false;
    QTest::newRow("after --, words are positional")
        << QStringList{"--", "-a.jpg", "--bn"} << QStringList{"-a.jpg", "--bn"} << QString() << QString() << false
        << false;
    QTest::newRow("a lone minus is positional") << QStringList{"-"} << QStringList{"-"} << QString() << QString()
                                                << false << false;
    QTest::newRow("help anywhere") << QStringList{"a.jpg", "-h"} << QStringList{"a.jpg"} << QString() << QString()
                                   << false << true;
    QTest::newRow("an empty value") << QStringList{"-o", ""} << QStringList{} << QString() << QString() << false
                                    << false;
}

void TestCommandLine::parses()
{
    QFETCH(QStringList, words);
    QFETCH(QStringList, positional);
    QFETCH(QString, crop);
    QFETCH(QString, output);
    QFETCH(bool, flag);
    QFETCH(bool, help);
    const CommandLine::Outcome outcome = CommandLine::Parse(words, Options, QStringLiteral("foto"));
    QVERIFY2(outcome.parsed, qPrintable(outcome.error));
    QCOMPARE(outcome.parsed->positional, positional);
    QCOMPARE(outcome.parsed->value("--ritaglio"), crop);
    QCOMPARE(outcome.parsed->value("-o"), output);
    QCOMPARE(outcome.parsed->has("-o"), words.contains("-o"));
    QCOMPARE(outcome.parsed->has("--bn"), flag);
    QCOMPARE(outcome.parsed->help, help);
}

void TestCommandLine::refuses_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown option") << QStringList{"a.jpg", "--200dpi"}
                                    << "Opzione sconosciuta per il comando foto: --200dpi";
    QTest::newRow("unknown option with a value") << QStringList{"--soglia=3"}
                                                 << "Opzione sconosciuta per il comando foto: --soglia";
    QTest::newRow("a short option is not a prefix") << QStringList{"-ob.jpg"}
                                                    << "Opzione sconosciuta per il comando foto: -ob.jpg";
    QTest::newRow("missing value") << QStringList{"a.jpg", "-o"} << "Manca il valore dell'opzione -o";
    QTest::newRow("repeated") << QStringList{"-o", "a", "-o", "b"} << "L'opzione -o è ripetuta";
    QTest::newRow("repeated flag") << QStringList{"--bn", "--bn"} << "L'opzione --bn è ripetuta";
    QTest::newRow("value for a flag") << QStringList{"--bn=1"} << "L'opzione --bn non vuole un valore";
}

void TestCommandLine::refuses()
{
    QFETCH(QStringList, words);
    QFETCH(QString, error);
    const CommandLine::Outcome outcome = CommandLine::Parse(words, Options, QStringLiteral("foto"));
    QVERIFY(!outcome.parsed);
    QCOMPARE(outcome.error, error);
}

void TestCommandLine::crop_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QList<long long>>("numbers");
    QTest::newRow("plain") << "10,20,300,400" << true << QList<long long>{10, 20, 300, 400};
    QTest::newRow("blanks and signs") << " 1, +2 ,-3,4 " << true << QList<long long>{1, 2, -3, 4};
    QTest::newRow("largest int") << "2147483647,0,1,1" << true << QList<long long>{2147483647, 0, 1, 1};
    QTest::newRow("beyond int") << "2147483648,0,1,1" << false << QList<long long>{};
    QTest::newRow("three numbers") << "1,2,3" << false << QList<long long>{};
    QTest::newRow("five numbers") << "1,2,3,4,5" << false << QList<long long>{};
    QTest::newRow("fraction") << "1.5,2,3,4" << false << QList<long long>{};
    QTest::newRow("empty part") << "1,,3,4" << false << QList<long long>{};
    QTest::newRow("x for times") << "1,2,3x4" << false << QList<long long>{};
    QTest::newRow("empty") << "" << false << QList<long long>{};
}

void TestCommandLine::crop()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QList<long long>, numbers);
    const std::optional<SourceCrop::Box> box = CommandLine::ParseCrop(text);
    QCOMPARE(bool(box), valid);
    if (box)
        QCOMPARE((QList<long long>{box->x, box->y, box->width, box->height}), numbers);
}

void TestCommandLine::blackAndWhiteName_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("bmp");
    QTest::newRow("four-letter extension") << "x.jpeg" << "x.bmp";
    QTest::newRow("no extension") << "firma" << "firma.bmp";
    QTest::newRow("dot in a folder only") << "lavori.2024/firma" << "lavori.2024/firma.bmp";
    QTest::newRow("dots in both") << "lavori.2024/firma.v2.jpg" << "lavori.2024/firma.v2.bmp";
    QTest::newRow("hidden file") << "out/.firma" << "out/.firma.bmp";
}

void TestCommandLine::blackAndWhiteName()
{
    QFETCH(QString, output);
    QFETCH(QString, bmp);
    QCOMPARE(PictureCommands::BlackAndWhiteName(output), bmp);
}

void TestCommandLine::threshold_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // -1: refused
    QTest::newRow("whole") << "170" << 170;
    QTest::newRow("half goes to even, down") << "170.5" << 170;
    QTest::newRow("half goes to even, up") << "171.5" << 172;
    QTest::newRow("blanks") << " 12 " << 12;
    QTest::newRow("below the range") << "-3" << 0;
    QTest::newRow("just below zero rounds to zero") << "-0.4" << 0;
    QTest::newRow("above the range") << "256" << 255;
    QTest::newRow("far above") << "1e300" << 255;
    QTest::newRow("words") << "alta" << -1;
    QTest::newRow("comma decimal") << "170,5" << -1;
    QTest::newRow("not a number") << "nan" << -1;
    QTest::newRow("infinite") << "inf" << -1;
    QTest::newRow("empty") << "" << -1;
}

void TestCommandLine::threshold()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(CommandLine::ParseThreshold(text).value_or(-1), expected);
}

void TestCommandLine::guessAgreesWithTheReading_data()
{
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("guessed");
    const struct {
        const char* name;
        QStringList words;
        bool guessed;
    } rows[] = {
        {"separate values", {"firma", "a.jpg", "--ritaglio", "1,2,3,4", "-o", "b.jpg"}, true},
        {"value after =", {"foto", "a.jpg", "--ritaglio=1,2,3,4", "-o", "b.jpg"}, true},
        {"options first", {"foto", "--ritaglio", "1,2,3,4", "-o", "b.jpg", "a.jpg"}, true},
        {"every signature option",
         {"firma", "a.jpg", "--bn", "--soglia", "90", "--200dpi", "--ritaglio", "1,2,3,4", "-o", "b.jpg"}, true},
        {"threshold after =", {"firma", "a.jpg", "--bn", "--soglia=90", "--ritaglio", "1,2,3,4", "-o", "b"}, true},
        {"source after --", {"foto", "--ritaglio", "1,2,3,4", "-o", "b.jpg", "--", "-a.jpg"}, true},
        {"blanks and signs in the crop", {"foto", "a.jpg", "--ritaglio", " +1, 2 ,3,4 ", "-o", "b.jpg"}, true},
        {"help", {"foto", "a.jpg", "--ritaglio", "1,2,3,4", "-o", "b.jpg", "--help"}, false},
        {"crop found by itself", {"foto", "a.jpg", "--auto", "-o", "b.jpg"}, false},
        {"no crop", {"foto", "a.jpg", "-o", "b.jpg"}, false},
        {"two sources", {"foto", "a.jpg", "c.jpg", "--ritaglio", "1,2,3,4", "-o", "b.jpg"}, false},
        {"the output's name is no source", {"foto", "--ritaglio", "1,2,3,4", "-o", "a.jpg"}, false},
        {"negative corner", {"foto", "a.jpg", "--ritaglio", "-1,2,3,4", "-o", "b.jpg"}, false},
        {"empty crop", {"foto", "a.jpg", "--ritaglio", "1,2,0,4", "-o", "b.jpg"}, false},
        {"three numbers", {"foto", "a.jpg", "--ritaglio", "1,2,3", "-o", "b.jpg"}, false},
        {"five numbers", {"foto", "a.jpg", "--ritaglio", "1,2,3,4,5", "-o", "b.jpg"}, false},
        {"not a number", {"foto", "a.jpg", "--ritaglio", "1,2,3,4x", "-o", "b.jpg"}, false},
        {"beyond an int", {"foto", "a.jpg", "--ritaglio", "1,2,3,4294967300", "-o", "b.jpg"}, false},
        {"unknown option", {"foto", "a.jpg", "--ritaglio", "1,2,3,4", "-o", "b.jpg", "--nuova"}, false},
        {"crop's value missing", {"foto", "a.jpg", "--ritaglio"}, false},
        {"another command", {"controlla", "a.jpg"}, false},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << r.words << r.guessed;
}

// The launcher's guess of the source and the crop, where it makes one, is
// what the command line's own reading finds.
void TestCommandLine::guessAgreesWithTheReading()
{
    QFETCH(QStringList, words);
    QFETCH(bool, guessed);
    std::vector<std::string> plain;
    for (const QString& word : words)
        plain.push_back(word.toStdString());
    const std::optional<FastPrefetch::Guess> guess = FastPrefetch::GuessCrop(plain);
    QCOMPARE(guess.has_value(), guessed);
    if (!guess)
        return;
    const bool photo = words.first() == u"foto";
    const CommandLine::Outcome outcome = CommandLine::Parse(
        words.mid(1), photo ? PictureCommands::PhotoOptions() : PictureCommands::SignatureOptions(), words.first());
    QVERIFY(outcome.parsed);
    const auto read = PictureCommands::ReadRequest(*outcome.parsed);
    const PictureCommands::Request* request = std::get_if<PictureCommands::Request>(&read);
    QVERIFY(request);
    QCOMPARE(QString::fromStdString(guess->source), request->source);
    QCOMPARE(QRect(guess->crop.x, guess->crop.y, guess->crop.width, guess->crop.height),
             QRect(int(request->box.x), int(request->box.y), int(request->box.width), int(request->box.height)));
}

RITRAX_TEST(TestCommandLine)
#include "tst_commandline.moc"
