// The switch of the automatic framing in the configuration dialog: read
// leniently, on by default, written on OK only.

#include "FormCFG.h"
#include "TestEnvironment.h"
#include "TestRegistry.h"

#include <QCheckBox>
#include <QTest>

class TestAutoInquadra : public QObject {
    Q_OBJECT
private slots:
    void init() { env_ = std::make_unique<TestEnvironment>(); }
    void fromSetting_data();
    void fromSetting();
    void okWritesEsciDoesNot();

private:
    std::unique_ptr<TestEnvironment> env_;
};

void TestAutoInquadra::fromSetting_data()
{
    QTest::addColumn<QString>("stored"); // "-" for no value at all
    QTest::addColumn<bool>("ticked");
    QTest::newRow("never stored") << "-" << true;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("0.0, leniently 0") << " 0.0" << false;
    QTest::newRow("not a number reads 0") << "no" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("0.4, not 0") << "0.4" << true;
}

void TestAutoInquadra::fromSetting()
{
    QFETCH(QString, stored);
    QFETCH(bool, ticked);
    if (stored != u"-")
        env_->settings().write(QStringLiteral("AutoInquadra"), stored);
    FormCFG dialog(env_->services());
    QCOMPARE(dialog.AutoInquadra->isChecked(), ticked);
    QCOMPARE(dialog.AutoInquadra->text(), QStringLiteral("Inquadratura automatica"));
}

void TestAutoInquadra::okWritesEsciDoesNot()
{
    {
        FormCFG dialog(env_->services());
        dialog.AutoInquadra->setChecked(false);
        dialog.EsciP_Click();
    }
    QCOMPARE(env_->settings().read(QStringLiteral("AutoInquadra"), QStringLiteral("none")), QStringLiteral("none"));
    {
        FormCFG dialog(env_->services());
        dialog.AutoInquadra->setChecked(false);
        dialog.OkP_Click();
    }
    QCOMPARE(env_->settings().read(QStringLiteral("AutoInquadra")), QStringLiteral("0"));
    FormCFG dialog(env_->services());
    QVERIFY(!dialog.AutoInquadra->isChecked());
    dialog.AutoInquadra->setChecked(true);
    dialog.OkP_Click();
    QCOMPARE(env_->settings().read(QStringLiteral("AutoInquadra")), QStringLiteral("1"));
}

RITRAX_TEST(TestAutoInquadra)
#include "tst_autoinquadra.moc"
