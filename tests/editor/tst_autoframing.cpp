// The editors' automatic and keyboard framing: where a found rectangle is
// scrolled to and placed, what each key does with the bounds of a drag,
// the switch "AutoInquadra", the Centra buttons and the keys' wiring.

#include "AnalizzaFirma.h"
#include "AnalizzaFoto.h"
#include "FrameShape.h"
#include "FramingRules.h"
#include "ImageControl.h"
#include "PictureView.h"
#include "SignatureFinder.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QApplication>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Sample = QStringLiteral(RITRAX_SAMPLES_DIR "/modulo-300dpi.jpg");

struct Shown {
    QRect selection;
    int h, v;
    QImage crop;
    bool operator==(const Shown&) const = default;
};

Shown StateOf(const FramingEditor& e)
{
    return {QRect(e.SelLeft, e.SelTop, e.SelWidth, e.SelHeight), e.Sh->value(), e.Sv->value(), e.Imgd->picture()};
}

// The selection in picture pixels.
QRect InPicture(const FramingEditor& e)
{
    return QRect(e.SelLeft + e.Sh->value(), e.SelTop + e.Sv->value(), e.SelWidth, e.SelHeight);
}

// The preview holds exactly the selected pixels.
bool Committed(const FramingEditor& e)
{
    return e.Imgd->picture() == e.Pbi->picture().copy(InPicture(e));
}

} // namespace

class TestAutoFraming : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void placeInView_data();
    void placeInView();
    void keySteps_data();
    void keySteps();
    void switchedOffOpensAsLoaded();
    void photoFramedAtLoad();
    void signatureFramedAtLoadAndOnDemand();
    void nothingFoundLeavesTheLoad();
    void keysFrameAndCommit();
    void checkAndHelpShareTheirPlace();
    void largeSubjectFramedAndTold_data();
    void largeSubjectFramedAndTold();
    void upsideDownPageTurned();

private:
    QTemporaryDir dir_;
    QString pattern_, small_;
    std::unique_ptr<TestEnvironment> env_;
};

void TestAutoFraming::initTestCase()
{
    pattern_ = dir_.filePath(QStringLiteral("pattern.bmp"));
    small_ = dir_.filePath(QStringLiteral("small.bmp"));
    for (const auto& [path, w, h] : {std::tuple{pattern_, 2200, 2800}, std::tuple{small_, 300, 200}}) {
        FIBITMAP* bitmap = TestPictures::MakePatternBitmap(w, h);
        QVERIFY(FreeImage_Save(FIF_BMP, bitmap, QFile::encodeName(path).constData(), 0));
        FreeImage_Unload(bitmap);
    }
    QVERIFY(QFile::exists(Sample));
}

void TestAutoFraming::init()
{
    env_ = std::make_unique<TestEnvironment>();
}

void TestAutoFraming::placeInView_data()
{
    QTest::addColumn<QRect>("target");
    QTest::addColumn<QSize>("view");
    QTest::addColumn<int>("maximumH");
    QTest::addColumn<int>("maximumV");
    QTest::addColumn<QRect>("selection");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("v");
    QTest::newRow("no bars") << QRect(100, 50, 120, 145) << QSize(300, 200) << 0 << 0 << QRect(100, 50, 120, 145) << 0 << 0;
    // Middle (1994, 880.5): h = 1658.5 -> 1658, v = 564.
    QTest::newRow("scrolled to the middle") << QRect(1818, 668, 352, 425) << QSize(671, 633) << 1809 << 2875
                                            << QRect(160, 104, 352, 425) << 1658 << 564;
    QTest::newRow("bar at its end") << QRect(2300, 100, 170, 200) << QSize(671, 633) << 1809 << 2875
                                    << QRect(491, 100, 170, 200) << 1809 << 0;
    // Wider than the view: 976 across, 600 x 976 / 1500 = 390.4 -> 390 down.
    QTest::newRow("shrunk to the view") << QRect(0, 0, 1500, 600) << QSize(977, 425) << 1503 << 3083
                                        << QRect(0, 17, 976, 390) << 262 << 88;
    // 300 x 424 / 900 = 141.3 -> 141 across; 190 - 70.5 = 119.5 -> 120.
    QTest::newRow("taller than the view") << QRect(40, 0, 300, 900) << QSize(977, 425) << 0 << 3083
                                          << QRect(120, 0, 141, 424) << 0 << 238;
}

void TestAutoFraming::placeInView()
{
    QFETCH(QRect, target);
    QFETCH(QSize, view);
    QFETCH(int, maximumH);
    QFETCH(int, maximumV);
    QFETCH(QRect, selection);
    QFETCH(int, h);
    QFETCH(int, v);
    const Framing::Placement p = Framing::PlaceInView(target, {qint16(view.width()), qint16(view.height())}, maximumH, maximumV);
    QCOMPARE(QRect(p.selection.left, p.selection.top, p.selection.width, p.selection.height), selection);
    QCOMPARE(p.h, h);
    QCOMPARE(p.v, v);
}

void TestAutoFraming::keySteps_data()
{
    QTest::addColumn<bool>("photo");
    QTest::addColumn<QRect>("from");
    QTest::addColumn<bool>("resize");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("expected");
    const QRect photo(100, 32, 472, 570);
    QTest::newRow("right") << true << photo << false << QPoint(1, 0) << QRect(101, 32, 472, 570);
    QTest::newRow("up ten") << true << photo << false << QPoint(0, -10) << QRect(100, 22, 472, 570);
    QTest::newRow("left at the edge") << true << QRect(0, 32, 472, 570) << false << QPoint(-10, 0) << QRect(0, 32, 472, 570);
    // 198 + 472 = 670 is the last place left of 671.
    QTest::newRow("right at the edge") << true << QRect(198, 32, 472, 570) << false << QPoint(1, 0)
                                       << QRect(198, 32, 472, 570);
    // 473 / 0.828 = 571.3; 471 / 0.828 = 568.8.
    QTest::newRow("photo wider") << true << photo << true << QPoint(1, 0) << QRect(100, 32, 473, 571);
    QTest::newRow("photo narrower") << true << photo << true << QPoint(-1, 0) << QRect(100, 32, 471, 569);
    // 571 x 0.828 = 472.8; 560 x 0.828 = 463.7.
    QTest::newRow("photo taller") << true << photo << true << QPoint(0, 1) << QRect(100, 32, 473, 571);
    QTest::newRow("photo shorter by ten") << true << photo << true << QPoint(0, -10) << QRect(100, 32, 464, 560);
    // 62 + 571 reaches 633: held at 570, and 570 x 0.828 = 471.96 -> 472.
    QTest::newRow("photo at the bottom") << true << QRect(100, 62, 472, 570) << true << QPoint(0, 1)
                                         << QRect(100, 62, 472, 570);
    QTest::newRow("photo at its smallest") << true << QRect(100, 32, 20, 24) << true << QPoint(-10, 0)
                                           << QRect(100, 32, 20, 24);
    const QRect signature(49, 124, 879, 176);
    QTest::newRow("signature wider") << false << signature << true << QPoint(1, 0) << QRect(49, 124, 880, 176);
    QTest::newRow("signature lower") << false << signature << true << QPoint(0, -10) << QRect(49, 124, 879, 166);
}

void TestAutoFraming::keySteps()
{
    QFETCH(bool, photo);
    QFETCH(QRect, from);
    QFETCH(bool, resize);
    QFETCH(QPoint, delta);
    QFETCH(QRect, expected);
    const EditorKind& kind = photo ? EditorKind::Photo() : EditorKind::Signature();
    const Framing::View view = photo ? Framing::View{671, 633} : Framing::View{977, 425};
    const Framing::Selection s{qint16(from.x()), qint16(from.y()), qint16(from.width()), qint16(from.height())};
    // Scroll values must not matter: the corner is moved where it is seen.
    const Framing::Step step = resize ? Framing::KeyResizeStep(s, delta.x(), delta.y(), 300, 700, view, kind)
                                      : Framing::KeyMoveStep(s, delta.x(), delta.y(), view);
    const Framing::Selection& n = step.selection;
    QCOMPARE(QRect(n.left, n.top, n.width, n.height), expected);
}

void TestAutoFraming::switchedOffOpensAsLoaded()
{
    env_->settings().write(QStringLiteral("AutoInquadra"), QStringLiteral("0"));
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = Sample;
    QVERIFY(editor.Form_Load());
    QCoreApplication::processEvents();
    QCOMPARE(QRect(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight), QRect(100, 32, 472, 570));
    QCOMPARE(editor.Sh->value(), 210);
    QCOMPARE(editor.Sv->value(), 280);
    QVERIFY(editor.checkPanel->isHidden());
    QVERIFY(editor.CentraP->isVisible() || !editor.isVisible());
    QCOMPARE(editor.CentraP->Caption(), QStringLiteral("Centra &viso"));
}

void TestAutoFraming::photoFramedAtLoad()
{
    env_->settings().write(QStringLiteral("AutoInquadra"), QStringLiteral(" 1.0")); // read leniently
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = Sample;
    QVERIFY(editor.Form_Load());
    // The photo glued on the sample form: its face framed, proportion kept.
    const QRect framed = InPicture(editor);
    QVERIFY2(QRect(1760, 640, 472, 570).intersected(framed).width() > 300, qPrintable(QString::number(framed.x())));
    QVERIFY(qAbs(framed.width() - framed.height() * 0.828) <= 0.5);
    QVERIFY(Committed(editor));
    QCOMPARE(int(editor.DragMode), 0);
    QCoreApplication::processEvents();
    QVERIFY(!editor.checkPanel->isHidden());
    QVERIFY2(editor.lastCheck.allPass(), qPrintable(PhotoCheck::PlainText(editor.lastCheck)));
    QVERIFY(editor.checkPanel->text().contains(QStringLiteral("Altezza della testa")));
}

void TestAutoFraming::signatureFramedAtLoadAndOnDemand()
{
    const QImage page = QImage(Sample).convertToFormat(QImage::Format_RGB32);
    const QRect signature = SignatureFinder::Find(page, 170).selection;
    QVERIFY(!signature.isEmpty());
    {
        AnalizzaFirma editor(env_->services());
        editor.SourcePath = Sample;
        QVERIFY(editor.Form_Load());
        QCOMPARE(InPicture(editor), signature);
        QVERIFY(Committed(editor));
    }
    env_->settings().write(QStringLiteral("AutoInquadra"), QStringLiteral("0"));
    AnalizzaFirma editor(env_->services());
    editor.SourcePath = Sample;
    QVERIFY(editor.Form_Load());
    QCOMPARE(QRect(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight), QRect(49, 124, 879, 176));
    emit editor.CentraP->Click();
    QCOMPARE(InPicture(editor), signature);
    QVERIFY(Committed(editor));
    // The preview is fitted to the new crop as after a release.
    QCOMPARE(editor.Imgd->geometry(), Framing::SignaturePreview(editor.SelWidth, editor.SelHeight, editor.Imgs->pos()));
}

void TestAutoFraming::nothingFoundLeavesTheLoad()
{
    for (const bool photo : {true, false}) {
        const auto open = [&](const QString& setting) {
            env_->settings().write(QStringLiteral("AutoInquadra"), setting);
            AnalizzaFoto photoEditor(env_->services());
            AnalizzaFirma signatureEditor(env_->services());
            FramingEditor& editor = photo ? static_cast<FramingEditor&>(photoEditor) : signatureEditor;
            editor.SourcePath = pattern_;
            editor.Form_Load();
            return StateOf(editor);
        };
        QVERIFY(open(QStringLiteral("1")) == open(QStringLiteral("0")));
    }
}

void TestAutoFraming::keysFrameAndCommit()
{
    env_->settings().write(QStringLiteral("AutoInquadra"), QStringLiteral("0"));
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = small_;
    QVERIFY(editor.Form_Load());
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QCOMPARE(QRect(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight), QRect(76, 10, 149, 180));

    // A button keeps moving the focus with the arrows, as it always did.
    editor.SalvaP->setFocus();
    QTest::keyClick(editor.SalvaP, Qt::Key_Right);
    QVERIFY(QApplication::focusWidget() != editor.SalvaP);
    QCOMPARE(int(editor.SelLeft), 76);

    QTest::mouseClick(editor.Pbi, Qt::LeftButton, {}, QPoint(5, 5)); // outside the selection
    QCOMPARE(QApplication::focusWidget(), editor.Pbi);
    QTest::keyClick(editor.Pbi, Qt::Key_Right);
    QCOMPARE(QRect(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight), QRect(77, 10, 149, 180));
    QVERIFY(Committed(editor));
    QTest::keyClick(editor.Pbi, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(int(editor.SelTop), 19); // 10 + 10 would reach the bottom: 19 + 180 = 199
    QTest::keyClick(editor.Pbi, Qt::Key_Left, Qt::ControlModifier);
    // 148 wide: 148 / 0.828 = 178.7 -> 179 high.
    QCOMPARE(QSize(editor.SelWidth, editor.SelHeight), QSize(148, 179));
    QVERIFY(Committed(editor));
    QCOMPARE(QApplication::focusWidget(), editor.Pbi);
    QCOMPARE(int(editor.DragMode), 0);

    editor.Busy = true;
    const Shown before = StateOf(editor);
    QTest::keyClick(editor.Pbi, Qt::Key_Up);
    QTest::keyClick(editor.Pbi, Qt::Key_Up, Qt::ControlModifier);
    QVERIFY(StateOf(editor) == before);
    editor.Busy = false;
}

void TestAutoFraming::checkAndHelpShareTheirPlace()
{
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = Sample;
    QVERIFY(editor.Form_Load());
    editor.show();
    QCoreApplication::processEvents();
    QVERIFY(editor.checkPanel->isVisible());
    QVERIFY(editor.checkToggle->isVisible());
    QVERIFY(editor.checkToggle->text().contains(QStringLiteral("istruzioni")));
    emit editor.checkToggle->linkActivated(QStringLiteral("#"));
    QVERIFY(editor.checkPanel->isHidden());
    QVERIFY(editor.help->isVisible());
    // Further commits refresh the check without taking the help away.
    editor.KeyFrame(Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::processEvents();
    QVERIFY(editor.checkPanel->isHidden());
    QVERIFY(editor.checkToggle->text().contains(QStringLiteral("controllo")));
    emit editor.checkToggle->linkActivated(QStringLiteral("#"));
    QVERIFY(editor.checkPanel->isVisible());
}

void TestAutoFraming::largeSubjectFramedAndTold_data()
{
    QTest::addColumn<bool>("photo");
    QTest::addColumn<int>("fileDpi");
    QTest::addColumn<QString>("advice");
    QTest::newRow("photo") << true << 600 << QString();
    QTest::newRow("signature") << false << 600 << QStringLiteral("(300 DPI)");
    // The same pixels from a file that says 300 DPI: lower still.
    QTest::newRow("signature, file at 300 DPI") << false << 300 << QStringLiteral("(150 DPI)");
}

// The sample form at 600 DPI: the face's ideal crop and the signature are
// larger than the view, so what fits is framed and the operator is told.
void TestAutoFraming::largeSubjectFramedAndTold()
{
    QFETCH(bool, photo);
    QFETCH(int, fileDpi);
    QFETCH(QString, advice);
    const QString large = dir_.filePath(QStringLiteral("modulo-%1dpi.jpg").arg(fileDpi));
    if (!QFile::exists(large)) {
        QImage page = QImage(Sample).scaled(QImage(Sample).size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        page.setDotsPerMeterX(qRound(fileDpi / 0.0254));
        page.setDotsPerMeterY(qRound(fileDpi / 0.0254));
        QVERIFY(page.save(large, "JPEG", 90));
    }
    AnalizzaFoto photoEditor(env_->services());
    AnalizzaFirma signatureEditor(env_->services());
    FramingEditor& editor = photo ? static_cast<FramingEditor&>(photoEditor) : signatureEditor;
    editor.SourcePath = large;
    QVERIFY(editor.Form_Load());
    QCoreApplication::processEvents();
    QVERIFY(editor.SelLeft + editor.SelWidth < editor.ViewWidth);
    QVERIFY(editor.SelTop + editor.SelHeight < editor.ViewHeight);
    QVERIFY(Committed(editor));
    if (photo) {
        QVERIFY2(photoEditor.framingNote.contains(QStringLiteral("più grande della vista")), qPrintable(photoEditor.framingNote));
        QVERIFY(photoEditor.checkPanel->text().contains(QStringLiteral("più grande della vista")));
    } else {
        QVERIFY(!signatureEditor.notePanel->isHidden());
        QVERIFY(signatureEditor.notePanel->text().contains(QStringLiteral("più grande della vista")));
        QVERIFY2(signatureEditor.notePanel->text().contains(advice), qPrintable(signatureEditor.notePanel->text()));
        emit signatureEditor.notePanel->linkActivated(QStringLiteral("#"));
        QVERIFY(signatureEditor.notePanel->isHidden());
    }
}

void TestAutoFraming::upsideDownPageTurned()
{
    const QString turned = dir_.filePath(QStringLiteral("capovolto.jpg"));
    const QImage upright = QImage(Sample).convertToFormat(QImage::Format_RGB32);
    QVERIFY(upright.mirrored(true, true).save(turned, "JPEG", 92));
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = turned;
    QVERIFY(editor.Form_Load());
    QCoreApplication::processEvents();
    QVERIFY2(editor.framingNote.contains(QStringLiteral("capovolta")), qPrintable(editor.framingNote));
    // The view shows the page upright again, and the crop is taken from it.
    QVERIFY(QRect(1760, 640, 472, 570).intersected(InPicture(editor)).width() > 300);
    QVERIFY(Committed(editor));
}

RITRAX_TEST(TestAutoFraming)
#include "tst_autoframing.moc"
