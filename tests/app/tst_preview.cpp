#include "FormMain.h"
#include "FrameShape.h"
#include "ImageControl.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

// A produced photo: white paper with a dark face-sized block in the middle.
QImage MakePhoto()
{
    QImage photo = TestPictures::MakeImage(265, 320, QColor(250, 248, 246), QImage::Format_BGR888);
    QPainter(&photo).fillRect(QRect(80, 80, 105, 160), QColor(60, 40, 30));
    return photo;
}

// A produced signature canvas: white with one dark stroke across.
QImage MakeSignature(QSize size)
{
    QImage canvas = TestPictures::MakeImage(size.width(), size.height(), Qt::white, QImage::Format_BGR888);
    QPainter(&canvas).fillRect(QRect(size.width() / 4, size.height() / 2 - 4, size.width() / 2, 8),
                               QColor(10, 10, 40));
    return canvas;
}

bool Opaque(const QImage& picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(argb.pixel(x, y)) != 255)
                return false;
    return true;
}

struct WidgetState {
    bool hidden;
    bool enabled;
    bool operator==(const WidgetState&) const = default;
};

QList<WidgetState> Snapshot(const FormMain& form)
{
    QList<WidgetState> state;
    for (QObject* child : form.children())
        if (auto* w = qobject_cast<QWidget*>(child))
            state.append({w->isHidden(), w->isEnabled()});
    return state;
}

// Names, sizes and contents of every file below the folder.
QStringList FolderContents(const QString& folder)
{
    QStringList contents;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            contents.append(path + QStringLiteral(" unreadable"));
        else
            contents.append(path + u' '
                            + QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex()));
    }
    contents.sort();
    return contents;
}

} // namespace

class TestPreview : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cardPicturesAtLoad();
    void layout_data();
    void layout();
    void cardShowsThroughTheWhite();
    void newIntakeShowsThePlaceholder();
    void leavingRestoresEveryControl_data();
    void leavingRestoresEveryControl();
    void clickLeaves_data();
    void clickLeaves();
    void clickWithoutPreviewKeepsTheSource();
    void spaceInThePreviewActsOnNoHiddenButton_data();
    void spaceInThePreviewActsOnNoHiddenButton();
    void changesNoFileAndNoSetting();

private:
    void showForm();
    void setPhoto(const QImage& photo);
    void setSignature(const QImage& signature);

    QTemporaryDir pictures_;
    QString startDir_;
    std::unique_ptr<TestEnvironment> env_;
    std::unique_ptr<FormMain> form_;
};

void TestPreview::initTestCase()
{
    startDir_ = QDir::currentPath();
    QVERIFY(TestPictures::SavePicture(pictures_.filePath(QStringLiteral("source.jpg")), FIF_JPEG, 600, 800,
                                      Qt::darkCyan));
}

void TestPreview::init()
{
    env_ = std::make_unique<TestEnvironment>();
    form_ = std::make_unique<FormMain>(env_->services());
}

void TestPreview::cleanup()
{
    form_.reset();
    env_.reset();
    QDir::setCurrent(startDir_);
}

void TestPreview::showForm()
{
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void TestPreview::setPhoto(const QImage& photo)
{
    form_->FotoI->setPicture(photo);
    form_->FotoI->show();
}

void TestPreview::setSignature(const QImage& signature)
{
    form_->FirmaI->setPicture(signature);
    form_->FirmaI->show();
}

void TestPreview::cardPicturesAtLoad()
{
    QCOMPARE(form_->AnteprimaI->picture().size(), QSize(839, 540));
    QCOMPARE(form_->Neutro->picture().size(), QSize(260, 314));
    QVERIFY(Opaque(form_->AnteprimaI->picture()));
    QVERIFY(Opaque(form_->Neutro->picture()));
}

void TestPreview::layout_data()
{
    QTest::addColumn<bool>("photo");
    QTest::addColumn<QSize>("signatureSize"); // empty: no signature
    QTest::newRow("neither photo nor signature") << false << QSize();
    QTest::newRow("signature without photo") << false << QSize(710, 142);
    QTest::newRow("photo without signature") << true << QSize();
    QTest::newRow("photo and 200 DPI signature") << true << QSize(237, 48);
}

void TestPreview::layout()
{
    QFETCH(bool, photo);
    QFETCH(QSize, signatureSize);
    if (photo)
        setPhoto(MakePhoto());
    if (!signatureSize.isEmpty())
        setSignature(MakeSignature(signatureSize));
    form_->Img->show();
    const bool editorsEnabled = form_->FotoP->isEnabled();

    form_->AnteprimaP_Click();

    const QList<QWidget*> hidden{form_->Label1[0], form_->ScannerP[0], form_->ScannerP[1], form_->ScannerP[2],
                                 form_->AnteprimaP, form_->FotoP, form_->FirmaP, form_->CfgP, form_->EsciP,
                                 form_->Img, form_->ImgS, form_->FirmaI, form_->FirmaS};
    for (QWidget* w : hidden)
        QVERIFY(w->isHidden());
    // These lie under the card, which draws above them.
    QVERIFY(!form_->Label1[1]->isHidden() && !form_->Label1[2]->isHidden() && !form_->FotoS->isHidden());
    QCOMPARE(form_->FotoI->isShownFlag(), photo);
    QCOMPARE(form_->FotoP->isEnabled(), editorsEnabled);

    QVERIFY(form_->AnteprimaI->isShownFlag());
    QCOMPARE(form_->AnteprimaI->geometry(), QRect(94, 74, 839, 540));

    QVERIFY(form_->FotoA->isShownFlag());
    QCOMPARE(form_->FotoA->geometry(), QRect(94 + 56, 74 + 164, 162, 196));
    if (photo) {
        // Made from the full-size photo, not from the thumbnail's box.
        QCOMPARE(form_->FotoA->picture().size(), QSize(265, 320));
        QCOMPARE(form_->FotoA->picture().pixelColor(10, 10).alpha(), 0);
        QCOMPARE(form_->FotoA->picture().pixelColor(130, 160).alpha(), 255);
    } else {
        // The placeholder as it is, not made see-through.
        QCOMPARE(form_->FotoA->picture(), form_->Neutro->picture());
    }

    QCOMPARE(form_->FirmaA->isShownFlag(), !signatureSize.isEmpty());
    if (!signatureSize.isEmpty()) {
        QCOMPARE(form_->FirmaA->geometry(), QRect(94 + 297, 74 + 296, 237, 47));
        QCOMPARE(form_->FirmaA->picture().size(), signatureSize);
        QCOMPARE(form_->FirmaA->picture().pixelColor(2, 2).alpha(), 0);
        QCOMPARE(form_->FirmaA->picture().pixelColor(signatureSize.width() / 2, signatureSize.height() / 2).alpha(),
                 255);
    }
}

void TestPreview::cardShowsThroughTheWhite()
{
    setPhoto(MakePhoto());
    setSignature(MakeSignature(QSize(710, 142)));
    showForm();
    form_->AnteprimaP_Click();
    const QImage shot = form_->grab().toImage();
    const QImage& card = form_->AnteprimaI->picture();

    const auto close = [](QColor a, QColor b) {
        return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2
            && std::abs(a.blue() - b.blue()) <= 2;
    };
    // On the white of the photo and of the signature: the card's own print.
    for (const QPoint onCard : {QPoint(56 + 8, 164 + 8), QPoint(56 + 150, 164 + 185), QPoint(297 + 10, 296 + 5),
                                QPoint(297 + 225, 296 + 40)}) {
        const QColor seen = shot.pixelColor(onCard + QPoint(94, 74));
        QVERIFY2(close(seen, card.pixelColor(onCard)),
                 qPrintable(QStringLiteral("%1,%2: %3 instead of %4")
                                .arg(onCard.x()).arg(onCard.y()).arg(seen.name(), card.pixelColor(onCard).name())));
    }
    // On the face and on the ink: the overlay, grey and dark.
    for (const QPoint onCard : {QPoint(56 + 81, 164 + 98), QPoint(297 + 118, 296 + 23)}) {
        const QColor seen = shot.pixelColor(onCard + QPoint(94, 74));
        QVERIFY2(seen.red() == seen.green() && seen.green() == seen.blue() && seen.red() < 80,
                 qPrintable(seen.name()));
    }
}

void TestPreview::newIntakeShowsThePlaceholder()
{
    setPhoto(MakePhoto());
    setSignature(MakeSignature(QSize(710, 142)));
    env_->dialogs().queueOpen(pictures_.filePath(QStringLiteral("source.jpg")));
    form_->ScannerP_Click(1);
    QVERIFY(form_->Img->isShownFlag());

    form_->AnteprimaP_Click();
    QCOMPARE(form_->FotoA->picture(), form_->Neutro->picture());
    QVERIFY(!form_->FirmaA->isShownFlag());

    // Leaving and opening again after a new photo builds the overlay anew.
    form_->Background_Click();
    setPhoto(MakePhoto());
    form_->AnteprimaP_Click();
    QCOMPARE(form_->FotoA->picture().size(), QSize(265, 320));
    QVERIFY(!form_->FirmaA->isShownFlag());
}

void TestPreview::leavingRestoresEveryControl_data()
{
    QTest::addColumn<bool>("img");
    QTest::addColumn<bool>("photo");
    QTest::addColumn<bool>("signature");
    QTest::addColumn<bool>("editors");
    QTest::newRow("at start") << false << false << false << false;
    QTest::newRow("source only") << true << false << false << true;
    QTest::newRow("source and signature") << true << false << true << true;
    QTest::newRow("everything") << true << true << true << true;
    QTest::newRow("thumbnails without source") << false << true << true << false;
}

void TestPreview::leavingRestoresEveryControl()
{
    QFETCH(bool, img);
    QFETCH(bool, photo);
    QFETCH(bool, signature);
    QFETCH(bool, editors);
    form_->Img->setVisible(img);
    if (photo)
        setPhoto(MakePhoto());
    if (signature)
        setSignature(MakeSignature(QSize(710, 142)));
    form_->FotoP->setEnabled(editors);
    form_->FirmaP->setEnabled(editors);
    showForm();
    const QList<WidgetState> before = Snapshot(*form_);

    form_->AnteprimaP_Click();
    QVERIFY(Snapshot(*form_) != before);
    form_->Background_Click();

    QCOMPARE(Snapshot(*form_), before);
    QCOMPARE(form_->Img->isShownFlag(), img);
    QCOMPARE(form_->FirmaI->isShownFlag(), signature);
}

namespace {
using ClickTarget = std::function<QPoint(const FormMain&)>;
}

void TestPreview::clickLeaves_data()
{
    QTest::addColumn<ClickTarget>("where"); // in window coordinates
    QTest::newRow("card") << ClickTarget([](const FormMain&) { return QPoint(94 + 700, 74 + 60); });
    QTest::newRow("card over the photo thumbnail")
        << ClickTarget([](const FormMain& f) { return f.FotoI->geometry().center(); });
    QTest::newRow("photo overlay") << ClickTarget([](const FormMain& f) { return f.FotoA->geometry().center(); });
    QTest::newRow("signature overlay")
        << ClickTarget([](const FormMain& f) { return f.FirmaA->geometry().topLeft() + QPoint(5, 5); });
    QTest::newRow("background left of the card") << ClickTarget([](const FormMain&) { return QPoint(40, 300); });
    QTest::newRow("background below the card") << ClickTarget([](const FormMain&) { return QPoint(500, 650); });
}

void TestPreview::clickLeaves()
{
    QFETCH(ClickTarget, where);
    setPhoto(MakePhoto());
    setSignature(MakeSignature(QSize(710, 142)));
    showForm();
    form_->AnteprimaP_Click();
    QVERIFY(form_->AnteprimaI->isShownFlag());

    // Through the window, so the click reaches whatever control lies there.
    QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, {}, where(*form_));

    QVERIFY(!form_->AnteprimaI->isShownFlag());
    QVERIFY(!form_->FotoA->isShownFlag());
    QVERIFY(!form_->FirmaA->isShownFlag());
    QVERIFY(form_->AnteprimaP->Visible());
    QVERIFY(form_->FirmaI->isShownFlag());
}

void TestPreview::clickWithoutPreviewKeepsTheSource()
{
    // After an intake the remembered visibilities are still the initial
    // false ones: a leave without a preview would hide the source.
    env_->dialogs().queueOpen(pictures_.filePath(QStringLiteral("source.jpg")));
    form_->ScannerP_Click(1);
    setSignature(MakeSignature(QSize(710, 142)));
    showForm();
    const QList<WidgetState> before = Snapshot(*form_);

    QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, {}, QPoint(700, 330));
    QTest::mouseClick(form_->windowHandle(), Qt::LeftButton, {}, QPoint(500, 650));
    form_->Background_Click();

    QCOMPARE(Snapshot(*form_), before);
    QVERIFY(form_->Img->isShownFlag());
    QVERIFY(form_->FirmaI->isShownFlag());
}

namespace {
using ButtonOf = std::function<chameleonButton*(const FormMain&)>;

// Space as the keyboard sends it: to whatever widget has the focus.
void PressSpace(FormMain& form)
{
    QTest::keyPress(form.windowHandle(), Qt::Key_Space);
    QTest::keyRelease(form.windowHandle(), Qt::Key_Space);
}
} // namespace

void TestPreview::spaceInThePreviewActsOnNoHiddenButton_data()
{
    QTest::addColumn<ButtonOf>("focused");
    QTest::newRow("Esci") << ButtonOf([](const FormMain& f) { return f.EsciP; });
    QTest::newRow("file") << ButtonOf([](const FormMain& f) { return f.ScannerP[1]; });
    QTest::newRow("scanner") << ButtonOf([](const FormMain& f) { return f.ScannerP[0]; });
}

void TestPreview::spaceInThePreviewActsOnNoHiddenButton()
{
    QFETCH(ButtonOf, focused);
    showForm();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    focused(*form_)->setFocus(Qt::TabFocusReason);
    QCOMPARE(QApplication::focusWidget(), focused(*form_));
    QList<std::shared_ptr<QSignalSpy>> clicks;
    for (chameleonButton* button : form_->findChildren<chameleonButton*>())
        clicks.append(std::make_shared<QSignalSpy>(button, &chameleonButton::Click));

    form_->AnteprimaP_Click();
    PressSpace(*form_);
    QVERIFY(form_->isVisible());
    for (const auto& spy : clicks)
        QCOMPARE(spy->count(), 0);
    QVERIFY(form_->AnteprimaI->isShownFlag());

    // Back from the preview the focus is on the preview's own button.
    form_->Background_Click();
    QCOMPARE(QApplication::focusWidget(), form_->AnteprimaP);
    PressSpace(*form_);
    QVERIFY(form_->isVisible());
    QVERIFY(form_->AnteprimaI->isShownFlag());
    QVERIFY(env_->dialogs().fileDialogs.isEmpty());
    QCOMPARE(env_->scanner().acquireCalls, 0);
}

void TestPreview::changesNoFileAndNoSetting()
{
    setPhoto(MakePhoto());
    setSignature(MakeSignature(QSize(710, 142)));
    showForm();
    const QStringList program = FolderContents(env_->programFolder());
    const QStringList settings = FolderContents(QFileInfo(env_->settingsFile()).path());
    const QString current = QDir::currentPath();

    form_->AnteprimaP_Click();
    form_->Background_Click();

    QCOMPARE(FolderContents(env_->programFolder()), program);
    QCOMPARE(FolderContents(QFileInfo(env_->settingsFile()).path()), settings);
    QCOMPARE(QDir::currentPath(), current);
    QVERIFY(env_->dialogs().messages.isEmpty());
}

RITRAX_TEST(TestPreview)
#include "tst_preview.moc"
