#include "FormCFG.h"
#include "FormMain.h"
#include "FormWebCam.h"
#include "ImageControl.h"
#include "ModalScript.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"
#include "modWebCam.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
constexpr int WebCamWay = 2;
constexpr int ScannerWay = 0;
} // namespace

class TestWebCamIntake : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void stillBecomesTheSource();
    void withoutStillEverythingStays_data();
    void withoutStillEverythingStays();
    void configurationOpensOverTheMainWindow();

private:
    QString workFile() const { return QDir(env_->programFolder()).filePath(QStringLiteral("FILE.BMP")); }
    QList<chameleonButton*> commands() const
    {
        return {form_->ScannerP[0], form_->ScannerP[1], form_->ScannerP[2], form_->CfgP, form_->EsciP,
                form_->FotoP, form_->FirmaP};
    }

    QTemporaryDir pictures_;
    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<FormMain> form_;
    QString startDir_;
    int settle_ = 0;
};

void TestWebCamIntake::initTestCase()
{
    startDir_ = QDir::currentPath();
    settle_ = modWebCam::SettleMilliseconds;
    modWebCam::SettleMilliseconds = 0;
    QVERIFY(TestPictures::SavePicture(pictures_.filePath(QStringLiteral("scan.bmp")), FIF_BMP, 300, 600,
                                      Qt::yellow));
}

void TestWebCamIntake::cleanupTestCase()
{
    modWebCam::SettleMilliseconds = settle_;
}

void TestWebCamIntake::init()
{
    env_ = std::make_unique<TestEnvironment>();
    env_->camera().inputs = QStringList{QStringLiteral("Integrated Camera")};
    form_ = std::make_unique<FormMain>(env_->services());
}

void TestWebCamIntake::cleanup()
{
    form_.reset();
    env_.reset();
    QDir::setCurrent(startDir_);
}

void TestWebCamIntake::stillBecomesTheSource()
{
    QWidget* owner = nullptr;
    bool commandsOff = true;
    ModalScript script("FormWebCam", [&](QWidget* w) {
        owner = w->parentWidget();
        for (chameleonButton* b : commands())
            commandsOff = commandsOff && !b->Enabled();
        static_cast<FormWebCam*>(w)->OkP_Click();
    });
    form_->ScannerP_Click(WebCamWay);

    QVERIFY(script.acted());
    QCOMPARE(owner, form_.get());
    QVERIFY(commandsOff);
    QVERIFY(env_->dialogs().messages.isEmpty());
    QCOMPARE(form_->SourceFile, workFile());
    QVERIFY(QFile::exists(workFile()));
    // 640 x 480 fitted into the 433 x 585 box centred on 224.5, 372.5.
    QVERIFY(form_->Img->isShownFlag());
    QCOMPARE(form_->Img->geometry(), QRect(8, 210, 433, 325));
    QVERIFY(form_->FotoP->Enabled() && form_->FirmaP->Enabled() && form_->CfgP->Enabled());
    QVERIFY(!env_->camera().isRunning());
}

void TestWebCamIntake::withoutStillEverythingStays_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QStringList>("messages");
    const QString lost = QStringLiteral("Immagine non acquisita");
    QTest::newRow("EsciP") << "esci" << QStringList{lost};
    QTest::newRow("close box") << "close" << QStringList{lost};
    QTest::newRow("no webcam")
        << "none"
        << QStringList{"Sembra non esserci alcuna WebCam installata.\r\nControllare la configurazione", lost};
    QTest::newRow("webcam does not start, then OkP")
        << "failed" << QStringList{"Errore su WM_CAP_DRIVER_CONNECT", lost};
}

void TestWebCamIntake::withoutStillEverythingStays()
{
    QFETCH(QString, way);
    QFETCH(QStringList, messages);
    // A scanned page is the current source, in FILE.BMP.
    env_->scanner().queuePicture(pictures_.filePath(QStringLiteral("scan.bmp")));
    form_->ScannerP_Click(ScannerWay);
    QCOMPARE(form_->SourceFile, workFile());
    const QByteArray before = TestPictures::ReadBytes(workFile());
    const QImage shown = form_->Img->picture();
    const QRect box = form_->Img->geometry();

    if (way == QLatin1String("none"))
        env_->camera().inputs.clear();
    env_->camera().failStart = way == QLatin1String("failed");
    ModalScript script("FormWebCam", [&](QWidget* w) {
        auto* window = static_cast<FormWebCam*>(w);
        if (way == QLatin1String("esci"))
            window->EsciP_Click();
        else if (way == QLatin1String("close"))
            window->close();
        else
            window->OkP_Click();
    });
    form_->ScannerP_Click(WebCamWay);

    QCOMPARE(script.acted(), way != QLatin1String("none"));
    QStringList shownMessages;
    for (const RecordedMessage& m : env_->dialogs().messages)
        shownMessages << m.text;
    QCOMPARE(shownMessages, messages);
    QCOMPARE(env_->dialogs().messages.last().icon, MessageIcon::Warning);
    // The source, its file and its picture are as they were.
    QCOMPARE(TestPictures::ReadBytes(workFile()), before);
    QCOMPARE(form_->SourceFile, workFile());
    QVERIFY(form_->Img->isShownFlag());
    QCOMPARE(form_->Img->picture(), shown);
    QCOMPARE(form_->Img->geometry(), box);
    for (chameleonButton* b : commands())
        QVERIFY(b->Enabled());
}

void TestWebCamIntake::configurationOpensOverTheMainWindow()
{
    QWidget* owner = nullptr;
    bool commandsOff = true;
    ModalScript script("FormCFG", [&](QWidget* w) {
        owner = w->parentWidget();
        for (chameleonButton* b : {form_->ScannerP[0], form_->ScannerP[1], form_->ScannerP[2], form_->CfgP,
                                   form_->EsciP})
            commandsOff = commandsOff && !b->Enabled();
        static_cast<FormCFG*>(w)->EsciP_Click();
    });
    form_->CfgP_Click();
    QVERIFY(script.acted());
    QCOMPARE(owner, form_.get());
    QVERIFY(commandsOff);
    QVERIFY(form_->CfgP->Enabled() && form_->ScannerP[2]->Enabled());
    // Before any intake the editors stay unavailable.
    QVERIFY(!form_->FotoP->Enabled());
}

RITRAX_TEST(TestWebCamIntake)
#include "tst_webcamintake.moc"
