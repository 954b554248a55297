#include "FormMain.h"
#include "FrameShape.h"
#include "ImageControl.h"
#include "RitraxVersion.h"
#include "TestEnvironment.h"
#include "chameleonButton.h"
#include "TestRegistry.h"

#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <functional>

class TestFormMain : public QObject {
    Q_OBJECT
private slots:
    void init();
    void title_data();
    void title();
    void titleAfterLoadAndActivate();
    void window();
    void buttons_data();
    void buttons();
    void images_data();
    void images();
    void labelsAndFrames();
    void imgFrameAndTag();
    void tabOrder();
    void drawingOrder();
    void enableCommands_data();
    void enableCommands();
    void enableCommandsRepaintsAtOnce();
    void programFolderBecomesCurrent();
    void programFolderUnusable();
    void backgroundClickWithoutPreviewChangesNothing();
    void esciClosesTheWindow();

private:
    std::unique_ptr<TestEnvironment> env_;
};

void TestFormMain::init()
{
    env_ = std::make_unique<TestEnvironment>();
}

void TestFormMain::title_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("expected");
    QTest::newRow("3.10.0") << 3 << 10 << 0 << "Ritrax versione 3.10.0";
    QTest::newRow("revision 0 is written") << 1 << 2 << 0 << "Ritrax versione 1.2.0";
    QTest::newRow("no leading zeros") << 10 << 0 << 7 << "Ritrax versione 10.0.7";
}

void TestFormMain::title()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, expected);
    QCOMPARE(FormMain::TitleFor(QStringLiteral("Ritrax"), major, minor, revision), expected);
}

void TestFormMain::titleAfterLoadAndActivate()
{
    FormMain form(env_->services());
    const QString expected = QStringLiteral("Ritrax versione %1.%2.%3")
                                 .arg(RitraxVersion::Major)
                                 .arg(RitraxVersion::Minor)
                                 .arg(RitraxVersion::Revision);
    QCOMPARE(form.windowTitle(), expected);
    QCOMPARE(form.Tag, expected);
    QVERIFY(form.FaiAct);

    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(!form.FaiAct);
    QCOMPARE(form.windowTitle(), expected);

    // Later activations leave the title alone: the editor launch uses the
    // tag for something else meanwhile.
    form.Tag = QStringLiteral("123");
    form.Form_Activate();
    QCOMPARE(form.windowTitle(), expected);
}

void TestFormMain::window()
{
    FormMain form(env_->services());
    QCOMPARE(form.size(), QSize(1018, 676));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage shot = form.grab().toImage();
    QCOMPARE(shot.pixelColor(1010, 300), QColor(Qt::white));
    QCOMPARE(shot.pixelColor(720, 200), QColor(Qt::white));
    // Centred on the screen.
    const QRect area = form.screen()->availableGeometry();
    const QPoint offCentre = form.geometry().center() - area.center();
    QVERIFY2(qAbs(offCentre.x()) <= 4 && qAbs(offCentre.y()) <= 40, qPrintable(QString::number(offCentre.x())));
}

namespace {
using ButtonOf = std::function<chameleonButton*(FormMain&)>;
using ImageOf = std::function<ImageControl*(FormMain&)>;
} // namespace

void TestFormMain::buttons_data()
{
    QTest::addColumn<ButtonOf>("button");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<int>("picturePosition"); // -1: no picture
    QTest::newRow("ScannerP(0)") << ButtonOf([](FormMain& f) { return f.ScannerP[0]; })
                                 << QRect(8, 32, 129, 41) << "  &Scanner" << true << true << 0;
    QTest::newRow("ScannerP(2)") << ButtonOf([](FormMain& f) { return f.ScannerP[2]; })
                                 << QRect(152, 32, 137, 41) << "  &WebCam" << true << true << 0;
    QTest::newRow("ScannerP(1)") << ButtonOf([](FormMain& f) { return f.ScannerP[1]; })
                                 << QRect(312, 32, 129, 41) << "  &File" << true << true << 0;
    QTest::newRow("AnteprimaP") << ButtonOf([](FormMain& f) { return f.AnteprimaP; })
                                << QRect(760, 32, 169, 41) << "&Anteprima patente" << true << true << -1;
    QTest::newRow("FotoP") << ButtonOf([](FormMain& f) { return f.FotoP; }) << QRect(464, 96, 209, 209)
                           << "\rFo&to" << false << true << 2;
    QTest::newRow("FirmaP") << ButtonOf([](FormMain& f) { return f.FirmaP; })
                            << QRect(464, 368, 209, 209) << "\rFir&ma" << false << true << 2;
    QTest::newRow("MsgL") << ButtonOf([](FormMain& f) { return f.MsgL; }) << QRect(304, 280, 329, 89)
                          << "Attendi..." << true << false << -1;
    QTest::newRow("CfgP") << ButtonOf([](FormMain& f) { return f.CfgP; }) << QRect(560, 616, 209, 49)
                          << "&Configurazione" << true << true << 0;
    QTest::newRow("EsciP") << ButtonOf([](FormMain& f) { return f.EsciP; }) << QRect(792, 616, 209, 49)
                           << "  &Esci" << true << true << 0;
}

void TestFormMain::buttons()
{
    QFETCH(ButtonOf, button);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    QFETCH(bool, visible);
    QFETCH(int, picturePosition);
    FormMain form(env_->services());
    chameleonButton* b = button(form);
    QCOMPARE(b->geometry(), geometry);
    QCOMPARE(b->Caption(), caption);
    QCOMPARE(b->Enabled(), enabled);
    QCOMPARE(b->Visible(), visible);
    QCOMPARE(b->ButtonType(), 3);
    QCOMPARE(b->PictureNormal().isNull(), picturePosition < 0);
    if (picturePosition >= 0) {
        QCOMPARE(b->PicturePosition(), picturePosition);
        // The picture fits inside the button beside or above its caption.
        const ButtonLayout& l = b->layout();
        QVERIFY(l.pictureLeft >= 0 && l.pictureTop >= 0);
        QVERIFY(l.pictureLeft + b->PictureNormal().width() <= geometry.width());
        QVERIFY(l.pictureTop + b->PictureNormal().height() <= geometry.height());
        if (picturePosition == 0)
            QVERIFY(l.pictureLeft + b->PictureNormal().width() <= l.caption.left);
        else
            QVERIFY(l.pictureTop + b->PictureNormal().height() <= l.caption.top);
    }
    // Every caption fits its button.
    QVERIFY(b->layout().caption.left >= 0 && b->layout().caption.right <= geometry.width());
    QVERIFY(b->layout().caption.top >= 0 && b->layout().caption.bottom <= geometry.height());

    const bool isMsgL = b == form.MsgL;
    QCOMPARE(b->ColorScheme(), isMsgL ? 2 : 1);
    QCOMPARE(b->BackColor(), isMsgL ? MakeOleColor(255, 255, 0) : MakeOleColor(236, 233, 216));
    QCOMPARE(b->font().pixelSize(), isMsgL ? 37 : 16);
    QVERIFY(b->font().bold());
}

void TestFormMain::images_data()
{
    QTest::addColumn<ImageOf>("image");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("stretch");
    QTest::newRow("Img") << ImageOf([](FormMain& f) { return f.Img; }) << QRect(8, 80, 433, 585) << false;
    QTest::newRow("FotoI") << ImageOf([](FormMain& f) { return f.FotoI; }) << QRect(762, 98, 169, 205) << true;
    QTest::newRow("FirmaI") << ImageOf([](FormMain& f) { return f.FirmaI; }) << QRect(682, 410, 324, 65)
                            << true;
    QTest::newRow("AnteprimaI") << ImageOf([](FormMain& f) { return f.AnteprimaI; })
                                << QRect(752, 544, 81, 57) << true;
    QTest::newRow("FotoA") << ImageOf([](FormMain& f) { return f.FotoA; }) << QRect(840, 544, 81, 57) << true;
    QTest::newRow("FirmaA") << ImageOf([](FormMain& f) { return f.FirmaA; }) << QRect(928, 544, 76, 57)
                            << true;
    QTest::newRow("Neutro") << ImageOf([](FormMain& f) { return f.Neutro; }) << QRect(840, 480, 81, 57)
                            << true;
}

void TestFormMain::images()
{
    QFETCH(ImageOf, image);
    QFETCH(QRect, geometry);
    QFETCH(bool, stretch);
    FormMain form(env_->services());
    ImageControl* i = image(form);
    QCOMPARE(i->geometry(), geometry);
    QCOMPARE(i->stretch(), stretch);
    QVERIFY(!i->isShownFlag());
}

void TestFormMain::labelsAndFrames()
{
    FormMain form(env_->services());
    const struct {
        QLabel* label;
        QRect geometry;
        QString text;
    } labels[] = {
        {form.Label1[0], QRect(8, 8, 559, 25),
         QStringLiteral("1) Usare lo Scanner (a 300 DPI), la WebCam, oppure selezionare il file")},
        {form.Label1[1], QRect(464, 72, 439, 25), QStringLiteral("2) Selezionare la foto")},
        {form.Label1[2], QRect(464, 344, 439, 25), QStringLiteral("3) Selezionare la firma")},
    };
    for (const auto& l : labels) {
        QCOMPARE(l.label->geometry(), l.geometry);
        QCOMPARE(l.label->text(), l.text);
        QCOMPARE(l.label->font().pixelSize(), 16);
        QVERIFY(l.label->font().bold());
        QVERIFY(!l.label->isHidden());
        // The text fits on its one line.
        QVERIFY2(l.label->fontMetrics().horizontalAdvance(l.text) <= l.geometry.width(), qPrintable(l.text));
    }
    QCOMPARE(form.FotoS->geometry(), QRect(760, 96, 173, 209));
    QCOMPARE(form.FirmaS->geometry(), QRect(680, 408, 328, 69));
    for (FrameShape* frame : {form.ImgS, form.FotoS, form.FirmaS}) {
        QCOMPARE(frame->color(), QColor(192, 192, 192));
        QVERIFY(!frame->isHidden());
    }
}

void TestFormMain::imgFrameAndTag()
{
    FormMain form(env_->services());
    QCOMPARE(form.ImgS->geometry(), QRect(6, 78, 437, 589));
    QCOMPARE(form.Img->tag(), QStringLiteral("224.5 372.5 433 585"));
}

void TestFormMain::tabOrder()
{
    FormMain form(env_->services());
    form.FotoP->setEnabled(true);
    form.FirmaP->setEnabled(true);
    form.OnePassP->setEnabled(true);
    const QList<QWidget*> expected{form.ScannerP[0], form.ScannerP[2], form.ScannerP[1], form.FotoP,
                                   form.FirmaP, form.CfgP, form.EsciP, form.AnteprimaP, form.OnePassP};
    QWidget* w = expected.first();
    for (qsizetype i = 1; i < expected.size(); ++i) {
        do {
            w = w->nextInFocusChain();
        } while (!(w->focusPolicy() & Qt::TabFocus));
        QCOMPARE(w, expected[i]);
    }
}

void TestFormMain::drawingOrder()
{
    FormMain form(env_->services());
    // Siblings later in the list draw above earlier ones.
    const QObjectList children = form.children();
    const auto z = [&](QWidget* w) { return children.indexOf(w); };
    const QList<QWidget*> buttons{form.ScannerP[0], form.ScannerP[1], form.ScannerP[2], form.AnteprimaP,
                                  form.FotoP, form.FirmaP, form.MsgL, form.CfgP, form.EsciP};
    const QList<QWidget*> underCard{form.Label1[0], form.Label1[1], form.Label1[2], form.FotoI, form.FirmaI,
                                    form.Img, form.ImgS, form.FotoS, form.FirmaS};
    for (QWidget* b : buttons) {
        for (QWidget* other : underCard + QList<QWidget*>{form.AnteprimaI, form.FotoA, form.FirmaA})
            QVERIFY(z(b) > z(other));
        QVERIFY(z(form.MsgL) >= z(b));
    }
    for (QWidget* w : underCard)
        QVERIFY(z(form.AnteprimaI) > z(w));
    QVERIFY(z(form.FotoA) > z(form.AnteprimaI));
    QVERIFY(z(form.FirmaA) > z(form.AnteprimaI));
}

void TestFormMain::enableCommands_data()
{
    QTest::addColumn<bool>("editorsEnabledBefore");
    QTest::newRow("before any picture") << false;
    QTest::newRow("after an intake") << true;
}

void TestFormMain::enableCommands()
{
    QFETCH(bool, editorsEnabledBefore);
    FormMain form(env_->services());
    form.FotoP->setEnabled(editorsEnabledBefore);
    form.FirmaP->setEnabled(editorsEnabledBefore);
    form.OnePassP->setEnabled(editorsEnabledBefore);
    const QList<chameleonButton*> group{form.ScannerP[0], form.ScannerP[1], form.ScannerP[2], form.CfgP,
                                        form.EsciP};

    form.EnableCommands(false);
    for (chameleonButton* b : group + QList<chameleonButton*>{form.FotoP, form.FirmaP, form.OnePassP})
        QVERIFY(!b->Enabled());
    QVERIFY(form.AnteprimaP->Enabled()); // not part of the group

    form.EnableCommands(true);
    for (chameleonButton* b : group)
        QVERIFY(b->Enabled());
    QCOMPARE(form.FotoP->Enabled(), editorsEnabledBefore);
    QCOMPARE(form.FirmaP->Enabled(), editorsEnabledBefore);
    QCOMPARE(form.OnePassP->Enabled(), editorsEnabledBefore);
    QVERIFY(form.AnteprimaP->Enabled());
}

void TestFormMain::enableCommandsRepaintsAtOnce()
{
    FormMain form(env_->services());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage before = form.CfgP->grab().toImage();
    form.EnableCommands(false);
    // Without returning to the event loop the button already looks disabled.
    QVERIFY(form.CfgP->grab().toImage() != before);
    form.EnableCommands(true);
}

void TestFormMain::programFolderBecomesCurrent()
{
    const QString before = QDir::currentPath();
    FormMain form(env_->services());
    QCOMPARE(QDir::currentPath(), QDir(env_->programFolder()).canonicalPath());
    QVERIFY(env_->dialogs().messages.isEmpty());
    QDir::setCurrent(before);
}

void TestFormMain::programFolderUnusable()
{
    Services services = env_->services();
    services.folders.programFolder = env_->file(QStringLiteral("gone"));
    FormMain form(services);
    QCOMPARE(env_->dialogs().messages.size(), 1);
    const RecordedMessage& m = env_->dialogs().messages.first();
    QCOMPARE(m.icon, MessageIcon::Critical);
    QCOMPARE(m.title, QStringLiteral("Ritrax"));
    QVERIFY(m.text.startsWith(QStringLiteral("Impossibile impostare come cartella corrente")));
    QVERIFY(m.text.endsWith(services.folders.programFolder));
    // The start-up went on.
    QCOMPARE(form.Img->tag(), QStringLiteral("224.5 372.5 433 585"));
    QCOMPARE(form.ImgS->geometry(), QRect(6, 78, 437, 589));
}

void TestFormMain::backgroundClickWithoutPreviewChangesNothing()
{
    FormMain form(env_->services());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const auto snapshot = [&] {
        QList<QPair<bool, bool>> state;
        for (QObject* child : form.children())
            if (auto* w = qobject_cast<QWidget*>(child))
                state.append({w->isHidden(), w->isEnabled()});
        return state;
    };
    const auto before = snapshot();
    const QString title = form.windowTitle();
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(700, 20));  // plain background
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(760, 200)); // on the FotoS frame line
    QCOMPARE(snapshot(), before);
    QCOMPARE(form.windowTitle(), title);
}

void TestFormMain::esciClosesTheWindow()
{
    FormMain form(env_->services());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    emit form.EsciP->Click();
    QVERIFY(!form.isVisible());
}

RITRAX_TEST(TestFormMain)
#include "tst_formmain.moc"
