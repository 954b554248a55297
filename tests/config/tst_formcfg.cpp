#include "FormCFG.h"
#include "FormCFGcam.h"
#include "ModalScript.h"
#include "RitraxVersion.h"
#include "TestEnvironment.h"
#include "TestRegistry.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

// Receives the links the dialog hands to the desktop.
class LinkCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> links;
public slots:
    void open(const QUrl& url) { links << url; }
};

class TestFormCFG : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void mailLink_data();
    void mailLink();
    void f200FromSetting_data();
    void f200FromSetting();
    void f200RoundTrip();
    void esciStoresNothing();
    void scannerAndWebCamChoices();
    void emailOpensTheMailLink();

private:
    std::unique_ptr<TestEnvironment> env_;
};

void TestFormCFG::init()
{
    env_ = std::make_unique<TestEnvironment>();
}

void TestFormCFG::cleanup()
{
    env_.reset();
}

void TestFormCFG::mailLink_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("link");
    QTest::newRow("3.10")
        << 3 << 10
        << "mailto:aiuto@example.org?subject=Richiesta servizio tecnico programma Ritrax versione 3.10";
    QTest::newRow("1.0") << 1 << 0
                         << "mailto:aiuto@example.org?subject=Richiesta servizio tecnico programma Ritrax versione 1.0";
}

void TestFormCFG::mailLink()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, link);
    QCOMPARE(FormCFG::MailLink(QStringLiteral("aiuto@example.org"), major, minor), link);
}

void TestFormCFG::f200FromSetting_data()
{
    QTest::addColumn<QString>("stored"); // "-" for no value at all
    QTest::addColumn<bool>("ticked");
    QTest::newRow("never stored") << "-" << false;
    QTest::newRow("0") << "0" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("2, not a check box state") << "2" << true;
    QTest::newRow("-1") << "-1" << true;
    QTest::newRow("1x reads as 1") << "1x" << true;
    QTest::newRow("abc reads as 0") << "abc" << false;
}

void TestFormCFG::f200FromSetting()
{
    QFETCH(QString, stored);
    QFETCH(bool, ticked);
    if (stored != QLatin1String("-"))
        env_->settings().write(QStringLiteral("F200"), stored);
    FormCFG dialog(env_->services());
    QCOMPARE(dialog.F200->isChecked(), ticked);
    QCOMPARE(dialog.F200->text(), QStringLiteral("Firma a 200 DPI"));
}

void TestFormCFG::f200RoundTrip()
{
    {
        FormCFG dialog(env_->services());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Ritrax - configurazione"));
        dialog.F200->setChecked(true);
        dialog.OkP_Click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    QCOMPARE(env_->settings().read(QStringLiteral("F200")), QStringLiteral("1"));
    {
        FormCFG dialog(env_->services());
        QVERIFY(dialog.F200->isChecked());
        dialog.F200->setChecked(false);
        dialog.OkP_Click();
    }
    QCOMPARE(env_->settings().read(QStringLiteral("F200")), QStringLiteral("0"));
}

void TestFormCFG::esciStoresNothing()
{
    FormCFG dialog(env_->services());
    dialog.show();
    dialog.F200->setChecked(true);
    dialog.EsciP_Click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(env_->settings().read(QStringLiteral("F200"), QStringLiteral("none")), QStringLiteral("none"));
}

void TestFormCFG::scannerAndWebCamChoices()
{
    env_->camera().inputs = QStringList{"Cam A", "Cam B"};
    FormCFG dialog(env_->services());
    dialog.show();
    dialog.ScannerP_Click();
    QCOMPARE(env_->scanner().selectCalls, 1);

    // The webcam choice opens over the configuration and stores its choice.
    QWidget* owner = nullptr;
    ModalScript script("FormCFGcam", [&](QWidget* w) {
        owner = w->parentWidget();
        auto* choice = static_cast<FormCFGcam*>(w);
        choice->List1->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        choice->OkP_Click();
    });
    dialog.WebCamP_Click();
    QVERIFY(script.acted());
    QCOMPARE(owner, &dialog);
    QCOMPARE(env_->settings().read(QStringLiteral("WebCam")), QStringLiteral("Cam B"));
    QVERIFY(dialog.isVisible());
    // Neither choice touches the dialog's own option.
    QCOMPARE(env_->settings().read(QStringLiteral("F200"), QStringLiteral("none")), QStringLiteral("none"));
}

void TestFormCFG::emailOpensTheMailLink()
{
    LinkCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    FormCFG dialog(env_->services());
    dialog.show();
    QCOMPARE(dialog.email->text(), FormCFG::SupportAddress());
    QCOMPARE(dialog.email->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(dialog.email, Qt::LeftButton, {}, QPoint(4, dialog.email->height() / 2));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));

    QCOMPARE(catcher.links.size(), 1);
    const QUrl& url = catcher.links.first();
    QCOMPARE(url.scheme(), QStringLiteral("mailto"));
    QCOMPARE(url.path(), FormCFG::SupportAddress());
    QCOMPARE(QUrlQuery(url).queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
             QStringLiteral("Richiesta servizio tecnico programma Ritrax versione %1.%2")
                 .arg(RitraxVersion::Major)
                 .arg(RitraxVersion::Minor));
}

RITRAX_TEST(TestFormCFG)
#include "tst_formcfg.moc"
