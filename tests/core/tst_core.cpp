#include "LineBreaks.h"
#include "Numbers.h"
#include "TestRegistry.h"

#include <QTest>

#include <limits>

class TestCore : public QObject {
    Q_OBJECT
private slots:
    void roundHalfEven_data();
    void roundHalfEven();
    void toInt16_data();
    void toInt16();
    void lenientNumber_data();
    void lenientNumber();
    void lenientInteger_data();
    void lenientInteger();
    void lineBreaks();
};

void TestCore::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qlonglong>("expected");
    QTest::newRow("224.5 to even below") << 224.5 << 224LL;
    QTest::newRow("372.5 to even below") << 372.5 << 372LL;
    QTest::newRow("99.5 to even above") << 99.5 << 100LL;
    QTest::newRow("488.5") << 488.5 << 488LL;
    QTest::newRow("48.85 nearest") << 48.85 << 49LL;
    QTest::newRow("217.5") << 217.5 << 218LL;
    QTest::newRow("-2.5") << -2.5 << -2LL;
    QTest::newRow("-3.5") << -3.5 << -4LL;
    QTest::newRow("just below a half") << 2.4999999 << 2LL;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0LL;
    QTest::newRow("huge saturates") << 1e300 << std::numeric_limits<qlonglong>::max();
}

void TestCore::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(qlonglong, expected);
    QCOMPARE(Numbers::RoundHalfEven(value), expected);
}

void TestCore::toInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("in range") << 471.96 << 472;
    QTest::newRow("upper bound") << 32767.0 << 32767;
    QTest::newRow("above saturates, never wraps") << 40000.0 << 32767;
    QTest::newRow("half above bound") << 32767.5 << 32767;
    QTest::newRow("below saturates") << -40000.0 << -32768;
}

void TestCore::toInt16()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int(Numbers::ToInt16(value)), expected);
}

void TestCore::lenientNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("1x") << "1x" << 1.0;
    QTest::newRow("abc") << "abc" << 0.0;
    QTest::newRow("leading blanks") << "  42" << 42.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("170") << "170" << 170.0;
    QTest::newRow("fraction") << "150.5" << 150.5;
    QTest::newRow("fraction then junk") << "151.5mm" << 151.5;
    QTest::newRow("negative") << "-12" << -12.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point without digits after") << "7." << 7.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("blank inside ends it") << "1 2" << 1.0;
    QTest::newRow("comma is not a decimal point") << "2,5" << 2.0;
    QTest::newRow("tab skipped") << "\t9" << 9.0;
}

void TestCore::lenientNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(Numbers::LenientNumber(text), expected);
}

void TestCore::lenientInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("150.5 to even") << "150.5" << 150;
    QTest::newRow("151.5 to even") << "151.5" << 152;
    QTest::newRow("1x") << "1x" << 1;
    QTest::newRow("beyond int saturates") << "99999999999999" << std::numeric_limits<int>::max();
}

void TestCore::lenientInteger()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(Numbers::LenientInteger(text), expected);
}

void TestCore::lineBreaks()
{
    QCOMPARE(WithLineFeeds(QStringLiteral("File già presente.\rDevo sovrascriverlo ?")),
             QStringLiteral("File già presente.\nDevo sovrascriverlo ?"));
    QCOMPARE(WithLineFeeds(QStringLiteral("a\r\nb\nc")), QStringLiteral("a\nb\nc"));
}

RITRAX_TEST(TestCore)
#include "tst_core.moc"
