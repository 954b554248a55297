#include "FileFilter.h"
#include "ProgramFolders.h"
#include "QtOperatorDialogs.h"
#include "SettingsStore.h"
#include "TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void settingsDefaultsWhenNothingStored();
    void settingsReadingCreatesNothing();
    void settingsRoundTripKeepsText_data();
    void settingsRoundTripKeepsText();
    void settingsFileLayout();
    void settingsHandWrittenValues_data();
    void settingsHandWrittenValues();
    void settingsUnusableFileNeverStops();
    void nameFilters_data();
    void nameFilters();
    void workFolderRule();
    void makeFolderCurrent();
};

namespace {
void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}
} // namespace

void TestPlatform::settingsDefaultsWhenNothingStored()
{
    QTemporaryDir dir;
    // Missing file.
    SettingsStore missing(dir.filePath(QStringLiteral("Kelm.ini")));
    QCOMPARE(missing.read(QStringLiteral("InitDirFile"), QStringLiteral("C:\\")), QStringLiteral("C:\\"));
    QCOMPARE(missing.read(QStringLiteral("WebCam")), QString());
    QCOMPARE(missing.readNumber(QStringLiteral("bnVal"), QStringLiteral("170")), 170.0);

    // File with another section only, and a section without the key.
    WriteFile(dir.filePath(QStringLiteral("other.ini")), "[Altro]\nF200=1\n");
    SettingsStore otherSection(dir.filePath(QStringLiteral("other.ini")));
    QCOMPARE(otherSection.read(QStringLiteral("F200"), QStringLiteral("0")), QStringLiteral("0"));
    WriteFile(dir.filePath(QStringLiteral("nokey.ini")), "[Ritrax]\nLastNome=JBN\n");
    SettingsStore noKey(dir.filePath(QStringLiteral("nokey.ini")));
    QCOMPARE(noKey.read(QStringLiteral("F200"), QStringLiteral("0")), QStringLiteral("0"));
    QCOMPARE(noKey.read(QStringLiteral("LastNome")), QStringLiteral("JBN"));
}

void TestPlatform::settingsReadingCreatesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sub/Kelm.ini"));
    {
        SettingsStore store(path);
        store.read(QStringLiteral("InitDirFoto"));
        store.readNumber(QStringLiteral("F200"), QStringLiteral("0"));
    }
    QVERIFY(!QFile::exists(path));
    QVERIFY(!QDir(dir.filePath(QStringLiteral("sub"))).exists());
}

void TestPlatform::settingsRoundTripKeepsText_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("path") << "/home/operatore/Foto/rossi.JPG";
    QTest::newRow("windows path") << "C:\\Archivio\\rossi.JPG";
    QTest::newRow("zero") << "0";
    QTest::newRow("leading and trailing blanks") << "  Logitech HD  ";
    QTest::newRow("comma") << "Camera, USB";
    QTest::newRow("at sign first") << "@home";
    QTest::newRow("accents and quotes") << "Fotocamera \"città\" ;#=";
    QTest::newRow("empty") << "";
}

void TestPlatform::settingsRoundTripKeepsText()
{
    QFETCH(QString, value);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kelm.ini"));
    {
        SettingsStore store(path);
        store.write(QStringLiteral("WebCam"), value);
    }
    // A fresh store, as at the next start of the program.
    SettingsStore again(path);
    QCOMPARE(again.read(QStringLiteral("WebCam"), QStringLiteral("default")), value);
}

void TestPlatform::settingsFileLayout()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kelm.ini"));
    SettingsStore store(path);
    store.write(QStringLiteral("F200"), QStringLiteral("1"));
    store.write(QStringLiteral("F200"), QStringLiteral("0")); // replaces, never duplicates
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY2(content.contains("[Ritrax]"), content.constData());
    QCOMPARE(content.count("F200="), 1);
    QVERIFY(content.contains("F200=0"));
    QVERIFY(SettingsStore::DefaultFilePath().endsWith(QStringLiteral("/Kelm.ini")));
}

void TestPlatform::settingsHandWrittenValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");
    QTest::newRow("1x") << QByteArray("F200=1x") << "1x" << 1.0;
    QTest::newRow("abc") << QByteArray("F200=abc") << "abc" << 0.0;
    QTest::newRow("blanks") << QByteArray("F200=\"  42\"") << "  42" << 42.0;
    QTest::newRow("empty") << QByteArray("F200=") << "" << 0.0;
    QTest::newRow("list-looking") << QByteArray("F200=1,5") << "1,5" << 1.0;
}

void TestPlatform::settingsHandWrittenValues()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, text);
    QFETCH(double, number);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Kelm.ini"));
    WriteFile(path, "[Ritrax]\n" + line + "\n");
    SettingsStore store(path);
    QCOMPARE(store.read(QStringLiteral("F200"), QStringLiteral("0")), text);
    QCOMPARE(store.readNumber(QStringLiteral("F200"), QStringLiteral("0")), number);
}

void TestPlatform::settingsUnusableFileNeverStops()
{
    QTemporaryDir dir;
    // A folder where the file should be: nothing can be read or written.
    const QString path = dir.filePath(QStringLiteral("Kelm.ini"));
    QVERIFY(QDir().mkdir(path));
    SettingsStore store(path);
    store.write(QStringLiteral("InitDirFile"), QStringLiteral("/tmp/a.jpg"));
    QCOMPARE(store.read(QStringLiteral("F200"), QStringLiteral("0")), QStringLiteral("0"));

    // Garbage bytes read as no settings at all.
    const QString garbage = dir.filePath(QStringLiteral("garbage.ini"));
    WriteFile(garbage, QByteArray("\x00\xff\xfe[[[=\n\x01", 10));
    SettingsStore broken(garbage);
    QCOMPARE(broken.read(QStringLiteral("bnVal"), QStringLiteral("170")), QStringLiteral("170"));
}

void TestPlatform::nameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("intake")
        << "File immagine JPG|*.JPG|File immagine BMP|*.BMP|File immagine GIF|*.GIF|Tutti i file|*.*"
        << QStringList{"File immagine JPG (*.JPG)", "File immagine BMP (*.BMP)",
                       "File immagine GIF (*.GIF)", "Tutti i file (*)"};
    QTest::newRow("several patterns, trailing semicolon")
        << "File immagine JPG e BMP b/n|*.jbn;*.jpg;*.bmp;|File immagine JPG|*.JPG|Tutti i file|*.*"
        << QStringList{"File immagine JPG e BMP b/n (*.jbn *.jpg *.bmp)", "File immagine JPG (*.JPG)",
                       "Tutti i file (*)"};
    QTest::newRow("description without patterns") << "Tutto" << QStringList{"Tutto (*)"};
    QTest::newRow("empty") << "" << QStringList{};
}

void TestPlatform::nameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(FileFilter::ToNameFilters(filter), expected);
}

void TestPlatform::workFolderRule()
{
    QTemporaryDir dir;
    QCOMPARE(WorkFolder(dir.path()), QDir::cleanPath(dir.path()));
    const ProgramFolders folders = ProgramFolders::For(dir.path());
    QCOMPARE(folders.WorkFile(QStringLiteral("FILE.BMP")), QDir(dir.path()).filePath(QStringLiteral("FILE.BMP")));
    // The probe leaves nothing behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());

    const QString userFolder = QDir::cleanPath(
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kelm"));
    QCOMPARE(WorkFolder(dir.filePath(QStringLiteral("missing"))), userFolder);
    QVERIFY(QDir(userFolder).exists());
    // An installed program's folder is never the work folder, even for root.
    QCOMPARE(WorkFolder(QStringLiteral("/usr/bin")), userFolder);
    QCOMPARE(WorkFolder(QStringLiteral("/opt/ritrax/bin")), userFolder);
}

void TestPlatform::makeFolderCurrent()
{
    const QString before = QDir::currentPath();
    QTemporaryDir dir;
    QVERIFY(MakeFolderCurrent(dir.path()));
    QCOMPARE(QDir::currentPath(), QDir(dir.path()).canonicalPath());
    QVERIFY(!MakeFolderCurrent(dir.filePath(QStringLiteral("missing"))));
    QVERIFY(!MakeFolderCurrent(QString()));
    QVERIFY(QDir::setCurrent(before));
}

RITRAX_TEST(TestPlatform)
#include "tst_platform.moc"
