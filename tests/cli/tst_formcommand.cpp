// ritrax-cli modulo, run as the executable: the files byte for byte as
// "foto --auto" and "firma --auto" write them, the refusals before any
// form is read, and the forms that need a person.

#include "FormWork.h"
#include "RunCli.h"
#include "TestPictures.h"
#include "TestRegistry.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sample = QStringLiteral(RITRAX_SAMPLES_DIR "/modulo-300dpi.jpg");

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestFormCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void sameBytesAsAuto_data();
    void sameBytesAsAuto();
    void refusals_data();
    void refusals();
    void formsThatNeedAPerson();
    void checkVerdict_data();
    void checkVerdict();

private:
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

void TestFormCommand::initTestCase()
{
    QVERIFY(QFile::copy(Sample, path("form.jpg")));
    // A page fed upside down: its photo is taken from the page turned back.
    QVERIFY(QImage(Sample).mirrored(true, true).save(path("turned.jpg"), "JPEG", 90));
    QVERIFY(TestPictures::SavePicture(path("blank.jpg"), FIF_JPEG, 800, 600, QColor(250, 250, 250)));
    QVERIFY(QDir(dir_.path()).mkpath("other"));
    QVERIFY(QFile::copy(Sample, path("other/form.jpg")));
}

void TestFormCommand::init()
{
    for (const QString& folder : {path("photos"), path("signatures")}) {
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
    }
}

void TestFormCommand::sameBytesAsAuto_data()
{
    QTest::addColumn<QStringList>("forms");
    QTest::addColumn<QStringList>("options");
    QTest::newRow("two forms, one upside down") << QStringList{"form", "turned"} << QStringList{};
    QTest::newRow("black and white") << QStringList{"form"} << QStringList{"--bn"};
    QTest::newRow("200 DPI, black and white") << QStringList{"form"} << QStringList{"--200dpi", "--bn"};
}

void TestFormCommand::sameBytesAsAuto()
{
    QFETCH(QStringList, forms);
    QFETCH(QStringList, options);
    QStringList arguments{"modulo"};
    for (const QString& form : forms)
        arguments << form + ".jpg";
    const CliRun batch = RunCli(
        arguments + QStringList{"--foto", "photos", "--firma", "signatures", "--lavori", "2"} + options, dir_.path());
    QCOMPARE(batch.code, 0);
    const QStringList lines = batch.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), forms.size());
    for (qsizetype i = 0; i < forms.size(); ++i) {
        const QString& form = forms[i];
        QVERIFY2(lines[i].startsWith(form + ".jpg: foto ") && lines[i].endsWith("; controllo superato"),
                 qPrintable(lines[i]));
        QCOMPARE(RunCli({"foto", form + ".jpg", "--auto", "-o", "photo.jpg"}, dir_.path()).code, 0);
        QCOMPARE(RunCli(QStringList{"firma", form + ".jpg", "--auto", "-o", "signature.jpg"} + options,
                        dir_.path()).code,
                 0);
        QCOMPARE(TestPictures::ReadBytes(path("photos/" + form + ".JPG")), TestPictures::ReadBytes(path("photo.jpg")));
        QCOMPARE(TestPictures::ReadBytes(path("signatures/" + form + ".JPG")),
                 TestPictures::ReadBytes(path("signature.jpg")));
        if (options.contains("--bn"))
            QCOMPARE(TestPictures::ReadBytes(path("signatures/" + form + ".bmp")),
                     TestPictures::ReadBytes(path("signature.bmp")));
    }
    QCOMPARE(Entries(path("signatures")).size(), forms.size() * (options.contains("--bn") ? 2 : 1));
}

void TestFormCommand::refusals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const QStringList folders{"--foto", "photos", "--firma", "signatures"};
    QTest::newRow("one folder for both, spelled apart")
        << QStringList{"form.jpg", "--foto", "photos", "--firma", "./photos/"} << 2
        << "--foto e --firma indicano la stessa cartella";
    QTest::newRow("no photo folder") << QStringList{"form.jpg", "--firma", "signatures"} << 2
                                     << "Manca l'opzione --foto CARTELLA";
    QTest::newRow("no signature folder") << QStringList{"form.jpg", "--foto", "photos"} << 2
                                         << "Manca l'opzione --firma CARTELLA";
    QTest::newRow("no form") << folders << 2 << "Manca il modulo da inquadrare";
    QTest::newRow("no workers") << QStringList{"form.jpg", "--lavori", "0"} + folders << 2
                                << "Numero di lavori non valido: \"0\"";
    QTest::newRow("workers not a whole number") << QStringList{"form.jpg", "--lavori", "1.5"} + folders << 2
                                                << "Numero di lavori non valido";
    QTest::newRow("photo folder missing")
        << QStringList{"form.jpg", "--foto", "absent", "--firma", "signatures"} << 5 << "La cartella absent non esiste";
    QTest::newRow("signature folder is a file")
        << QStringList{"form.jpg", "--foto", "photos", "--firma", "form.jpg"} << 5 << "form.jpg non è una cartella";
}

void TestFormCommand::refusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, message);
    const CliRun r = RunCli(QStringList{"modulo"} + arguments, dir_.path());
    QCOMPARE(r.code, code);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(r.out, QString());
    QVERIFY(Entries(path("photos")).isEmpty() && Entries(path("signatures")).isEmpty());
}

void TestFormCommand::formsThatNeedAPerson()
{
    const CliRun r = RunCli({"modulo", "blank.jpg", "form.jpg", "other/form.jpg", "--foto", "photos", "--firma",
                             "signatures", "--lavori", "3"},
                            dir_.path());
    QCOMPARE(r.code, 9);
    const QStringList lines = r.out.split(u'\n');
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[0], "blank.jpg: nessun viso e nessuna firma trovati, nessun file scritto");
    QVERIFY2(lines[1].startsWith("form.jpg: foto "), qPrintable(lines[1]));
    QCOMPARE(lines[2], "other/form.jpg: stesso nome di form.jpg (photos/form.JPG): non scritto");
    QCOMPARE(lines.mid(3), (QStringList{"", "Da rivedere: 2 moduli su 3", "  blank.jpg", "  other/form.jpg", ""}));
    QCOMPARE(Entries(path("photos")), QStringList{"form.JPG"});
    QCOMPARE(Entries(path("signatures")), QStringList{"form.JPG"});
}

void TestFormCommand::checkVerdict_data()
{
    using PhotoCheck::Item;
    using PhotoCheck::Value;
    QTest::addColumn<QList<Value>>("values");
    QTest::addColumn<QString>("verdict");
    const Value head{Item::HeadHeight, true, 75, 70, 80, PhotoCheck::Reading::Measured, 75};
    Value tall = head;
    tall.value = tall.judged = 84;
    const Value roll{Item::Roll, false, 0, -5, 5, PhotoCheck::Reading::Measured, 0};
    QTest::newRow("all within") << QList<Value>{head} << "; controllo superato";
    QTest::newRow("one out") << QList<Value>{tall} << "; controllo: Altezza della testa 84 % (70–80 %)";
    QTest::newRow("one out, one not measured")
        << QList<Value>{tall, roll} << "; controllo: Altezza della testa 84 % (70–80 %), " + PhotoCheck::NameOf(Item::Roll)
               + " — (" + PhotoCheck::RangeText(roll) + ")";
    QTest::newRow("nothing measured") << QList<Value>{} << "; controllo: nessun valore misurato";
}

void TestFormCommand::checkVerdict()
{
    QFETCH(QList<PhotoCheck::Value>, values);
    QFETCH(QString, verdict);
    PhotoCheck::Report report;
    report.values = values;
    QCOMPARE(FormWork::CheckVerdict(report), verdict);
}

RITRAX_TEST(TestFormCommand)
#include "tst_formcommand.moc"
