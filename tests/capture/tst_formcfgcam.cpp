#include "FormCFGcam.h"
#include "TestEnvironment.h"
#include "TestRegistry.h"

#include <QListWidget>
#include <QTest>

class TestFormCFGcam : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void preselection_data();
    void preselection();
    void okStoresTheSelection_data();
    void okStoresTheSelection();
    void esciKeepsTheSetting();

private:
    std::unique_ptr<TestEnvironment> env_;
};

void TestFormCFGcam::init()
{
    env_ = std::make_unique<TestEnvironment>();
}

void TestFormCFGcam::cleanup()
{
    env_.reset();
}

void TestFormCFGcam::preselection_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("selected");
    const QStringList two{"Cam A", "Cam B"};
    QTest::newRow("remembered input") << two << "Cam B" << 1;
    QTest::newRow("nothing remembered") << two << "" << -1;
    QTest::newRow("remembered input no longer installed") << two << "Cam C" << -1;
    QTest::newRow("differs only in letter case") << two << "CAM B" << -1;
    QTest::newRow("same description twice: the first") << QStringList{"Other", "Cam", "Cam"} << "Cam" << 1;
    QTest::newRow("no input at all") << QStringList() << "Cam A" << -1;
}

void TestFormCFGcam::preselection()
{
    QFETCH(QStringList, inputs);
    QFETCH(QString, setting);
    QFETCH(int, selected);
    env_->camera().inputs = inputs;
    if (!setting.isEmpty())
        env_->settings().write(QStringLiteral("WebCam"), setting);

    FormCFGcam dialog(env_->services());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Selezionare la WebCam"));
    QCOMPARE(dialog.List1->count(), inputs.size());
    const QList<QListWidgetItem*> items = dialog.List1->selectedItems();
    QCOMPARE(items.isEmpty() ? -1 : dialog.List1->row(items.first()), selected);
    QVERIFY(env_->dialogs().messages.isEmpty());
}

void TestFormCFGcam::okStoresTheSelection_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("stored");
    QTest::newRow("first") << 0 << "Cam A";
    QTest::newRow("blanks trimmed") << 1 << "Cam B";
    QTest::newRow("second of two alike stores the same text") << 3 << "Cam A";
    QTest::newRow("nothing selected: stays open, stores nothing") << -1 << "unchanged";
}

void TestFormCFGcam::okStoresTheSelection()
{
    QFETCH(int, row);
    QFETCH(QString, stored);
    env_->camera().inputs = QStringList{"Cam A", "  Cam B ", "Other", "Cam A"};
    env_->settings().write(QStringLiteral("WebCam"), QStringLiteral("unchanged"));
    FormCFGcam dialog(env_->services());
    dialog.show();
    if (row >= 0)
        dialog.List1->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    else
        dialog.List1->setCurrentRow(0, QItemSelectionModel::NoUpdate); // current, not selected

    dialog.OkP_Click();
    QCOMPARE(env_->settings().read(QStringLiteral("WebCam")), stored);
    QCOMPARE(dialog.isVisible(), row < 0);
    QVERIFY(env_->dialogs().messages.isEmpty());
}

void TestFormCFGcam::esciKeepsTheSetting()
{
    env_->camera().inputs = QStringList{"Cam A", "Cam B"};
    env_->settings().write(QStringLiteral("WebCam"), QStringLiteral("Cam A"));
    FormCFGcam dialog(env_->services());
    dialog.show();
    dialog.List1->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
    dialog.EsciP_Click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(env_->settings().read(QStringLiteral("WebCam")), QStringLiteral("Cam A"));
}

RITRAX_TEST(TestFormCFGcam)
#include "tst_formcfgcam.moc"
