#include "PresetsTable.h"
#include "TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using PresetsTable::ScrollValues;

class TestPresets : public QObject {
    Q_OBJECT
private slots:
    void matchingRows_data();
    void matchingRows();
    void photoAndSignatureColumnsOfOneRow();
    void programFolderFirstThenUserFolder();
};

void TestPresets::matchingRows_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QList<int>>("photoValues"); // sh, sv of every matching row
    QTest::newRow("one row, CR LF") << QByteArray("2000 3000 3000 4000 11 22 33 44\r\n") << QSize(2480, 3508)
                                    << QList<int>{11, 22};
    QTest::newRow("LF only, last line without end")
        << QByteArray("0 10 0 10 1 1 1 1\n2000 3000 3000 4000 5 6 7 8") << QSize(2480, 3508) << QList<int>{5, 6};
    QTest::newRow("bounds are inclusive")
        << QByteArray("2480 2480 3000 3508 1 2 3 4\r\n") << QSize(2480, 3508) << QList<int>{1, 2};
    QTest::newRow("no match") << QByteArray("1 2 3 4 5 6 7 8\r\n") << QSize(2480, 3508) << QList<int>{};
    QTest::newRow("two matching rows, both in order")
        << QByteArray("0 9999 0 9999 1 2 3 4\r\n0 9999 0 9999 5 6 7 8\r\n") << QSize(100, 100)
        << QList<int>{1, 2, 5, 6};
    QTest::newRow("two spaces shift the fields")
        << QByteArray("0 9999 0 9999  50 60\r\n") << QSize(100, 100) << QList<int>{0, 50};
    QTest::newRow("two spaces among the bounds") << QByteArray("0  9999 0 9999 1 2\r\n") << QSize(100, 100)
                                                 << QList<int>{};
    QTest::newRow("halves to even") << QByteArray("0 9999 0 9999 150.5 151.5 0 0\r\n") << QSize(100, 100)
                                    << QList<int>{150, 152};
    QTest::newRow("non-numeric field is 0")
        << QByteArray("0 9999 0 9999 abc 7x 0 0\r\n") << QSize(100, 100) << QList<int>{0, 7};
    QTest::newRow("blank and short lines skipped")
        << QByteArray("\r\n0 9999\r\n0 9999 0 9999 4 5 6 7\r\n") << QSize(100, 100) << QList<int>{4, 5};
    QTest::newRow("matching row too short for the photo skipped")
        << QByteArray("0 9999 0 9999 4\r\n") << QSize(100, 100) << QList<int>{};
    QTest::newRow("fractional bounds") << QByteArray("99.5 100.5 0 9999 1 2\r\n") << QSize(100, 100)
                                       << QList<int>{1, 2};
}

void TestPresets::matchingRows()
{
    QFETCH(QByteArray, content);
    QFETCH(QSize, picture);
    QFETCH(QList<int>, photoValues);
    QList<int> got;
    for (const ScrollValues& v :
         PresetsTable::MatchingRows(content, picture.width(), picture.height(), EditorKind::Photo()))
        got << v.sh << v.sv;
    QCOMPARE(got, photoValues);
}

void TestPresets::photoAndSignatureColumnsOfOneRow()
{
    const QByteArray row("0 9999 0 9999 1 2 3 4\r\n");
    QCOMPARE(PresetsTable::MatchingRows(row, 10, 10, EditorKind::Photo()), (std::vector<ScrollValues>{{1, 2}}));
    QCOMPARE(PresetsTable::MatchingRows(row, 10, 10, EditorKind::Signature()),
             (std::vector<ScrollValues>{{3, 4}}));
    // Six fields serve the photo editor but not the signature editor.
    const QByteArray six("0 9999 0 9999 1 2\r\n");
    QCOMPARE(PresetsTable::MatchingRows(six, 10, 10, EditorKind::Photo()).size(), std::size_t(1));
    QVERIFY(PresetsTable::MatchingRows(six, 10, 10, EditorKind::Signature()).empty());
}

void TestPresets::programFolderFirstThenUserFolder()
{
    QTemporaryDir program;
    const QString userFile
        = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/Kelm/formati.txt");
    QDir().mkpath(QFileInfo(userFile).path());
    QFile user(userFile);
    QVERIFY(user.open(QIODevice::WriteOnly));
    user.write("user");
    user.close();

    QCOMPARE(PresetsTable::Read(program.path()), QByteArray("user"));
    QFile own(QDir(program.path()).filePath(QStringLiteral("formati.txt")));
    QVERIFY(own.open(QIODevice::WriteOnly));
    own.write("program");
    own.close();
    QCOMPARE(PresetsTable::Read(program.path()), QByteArray("program"));
    QVERIFY(QFile::remove(userFile));
    QVERIFY(PresetsTable::Read(QStringLiteral("/nowhere")).isEmpty());
}

RITRAX_TEST(TestPresets)
#include "tst_presets.moc"
