#include "AnalizzaFirma.h"
#include "AnalizzaFoto.h"
#include "ImageControl.h"
#include "PictureView.h"
#include "TestEnvironment.h"
#include "TestPictures.h"
#include "TestRegistry.h"
#include "chameleonButton.h"

#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The crop shows exactly the pattern's pixels from (x0, y0) on.
bool CropIsPatternAt(const QImage& crop, int x0, int y0)
{
    for (int y = 0; y < crop.height(); y += 17)
        for (int x = 0; x < crop.width(); x += 13)
            if (crop.pixelColor(x, y) != TestPictures::PatternColor(x0 + x, y0 + y))
                return false;
    const int lastX = crop.width() - 1, lastY = crop.height() - 1;
    return crop.pixelColor(lastX, lastY) == TestPictures::PatternColor(x0 + lastX, y0 + lastY);
}

void SavePattern(const QString& path, int width, int height)
{
    FIBITMAP* pattern = TestPictures::MakePatternBitmap(width, height);
    QVERIFY(FreeImage_Save(FIF_BMP, pattern, QFile::encodeName(path).constData(), 0));
    FreeImage_Unload(pattern);
}

} // namespace

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void photoLoad();
    void signatureLoad();
    void smallPicture();
    void panCommitsAtOnce();
    void dragCommitsOnRelease();
    void otherButtonsStartNothing();
    void presetsTableOverridesAndClamps();
    void frameIsXorOverThePicture();
    void busyPhotoEditorIgnoresEverything();
    void unloadablePicture();
    void cancelReturnsNothingAndStepsCallerAside();

private:
    QTemporaryDir dir_;
    QString big_, small_;
    std::unique_ptr<TestEnvironment> env_;
};

void TestEditorWindow::initTestCase()
{
    big_ = dir_.filePath(QStringLiteral("page.bmp"));
    small_ = dir_.filePath(QStringLiteral("small.bmp"));
    SavePattern(big_, 2200, 2800); // wide and tall: built-in scroll values apply
    SavePattern(small_, 300, 200);
}

void TestEditorWindow::init()
{
    env_ = std::make_unique<TestEnvironment>();
}

void TestEditorWindow::photoLoad()
{
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = big_;
    QVERIFY(editor.Form_Load());
    QVERIFY(editor.Sh->isEnabled() && editor.Sv->isEnabled());
    QCOMPARE(editor.Sh->singleStep(), 34);
    QCOMPARE(editor.Sh->pageStep(), 336);
    QCOMPARE(editor.Sh->maximum(), 2200 - 671);
    QCOMPARE(editor.Sv->singleStep(), 32);
    QCOMPARE(editor.Sv->pageStep(), 316);
    QCOMPARE(editor.Sv->maximum(), 2800 - 633);
    QCOMPARE(int(editor.ViewWidth), 671);
    QCOMPARE(int(editor.ViewHeight), 633);
    QCOMPARE(QRect(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight), QRect(100, 32, 472, 570));
    // Wide and tall: the built-in starting values, each panning and committing.
    QCOMPARE(editor.Sh->value(), 210);
    QCOMPARE(editor.Sv->value(), 280);
    QCOMPARE(editor.Pbi->pos(), QPoint(-210, -280));
    QCOMPARE(editor.Imgd->geometry(), QRect(736, 184, 265, 320));
    QCOMPARE(editor.Imgd->picture().size(), QSize(472, 570));
    QVERIFY(CropIsPatternAt(editor.Imgd->picture(), 100 + 210, 32 + 280));
    QCOMPARE(editor.help->text(), EditorKind::Photo().helpText);
    QCOMPARE(int(editor.DragMode), 0);
    QVERIFY(!editor.Busy);
}

void TestEditorWindow::signatureLoad()
{
    AnalizzaFirma editor(env_->services());
    editor.SourcePath = big_;
    QVERIFY(editor.Form_Load());
    QCOMPARE(editor.Sh->singleStep(), 49);
    QCOMPARE(editor.Sh->pageStep(), 488);
    QCOMPARE(editor.Sv->singleStep(), 21);
    QCOMPARE(editor.Sv->pageStep(), 212);
    QCOMPARE(QRect(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight), QRect(49, 124, 879, 176));
    QCOMPARE(editor.Sh->value(), 244);
    QCOMPARE(editor.Sv->value(), 874);
    QVERIFY(CropIsPatternAt(editor.Imgd->picture(), 49 + 244, 124 + 874));
    // 879 x 176 fitted: height 138, width 879 / (176 / 138) = 689.2 -> 689, centred.
    QCOMPARE(editor.Imgd->geometry(), QRect(15, 526, 689, 138));
}

void TestEditorWindow::smallPicture()
{
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = small_;
    QVERIFY(editor.Form_Load());
    QVERIFY(!editor.Sh->isEnabled() && !editor.Sv->isEnabled());
    QCOMPARE(editor.Sh->maximum(), 32767);
    QCOMPARE(int(editor.ViewWidth), 300);
    QCOMPARE(int(editor.ViewHeight), 200);
    QCOMPARE(QRect(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight), QRect(76, 10, 149, 180));
    QVERIFY(CropIsPatternAt(editor.Imgd->picture(), 76, 10));
}

void TestEditorWindow::panCommitsAtOnce()
{
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = big_;
    QVERIFY(editor.Form_Load());
    editor.Sh->setValue(500);
    QCOMPARE(editor.Pbi->x(), -500);
    QVERIFY(CropIsPatternAt(editor.Imgd->picture(), 100 + 500, 32 + 280));
    editor.Sv->setValue(1000);
    QCOMPARE(editor.Pbi->y(), -1000);
    QVERIFY(CropIsPatternAt(editor.Imgd->picture(), 100 + 500, 32 + 1000));
    QCOMPARE(int(editor.DrawnScrollX), 500);
    QCOMPARE(int(editor.DrawnScrollY), 1000);
}

void TestEditorWindow::dragCommitsOnRelease()
{
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = big_;
    QVERIFY(editor.Form_Load());
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const QImage before = editor.Imgd->picture();
    // Picture coordinates: the selection's top-left is at (100 + 210, 32 + 280).
    const QPoint grab(100 + 210 + 50, 32 + 280 + 50);
    QTest::mousePress(editor.Pbi, Qt::LeftButton, {}, grab);
    QCOMPARE(int(editor.DragMode), 1);
    QTest::mouseMove(editor.Pbi, grab + QPoint(30, -20));
    // Only the frame follows the mouse; the crop waits for the release.
    QCOMPARE(QPoint(editor.SelLeft, editor.SelTop), QPoint(130, 12));
    QCOMPARE(editor.Imgd->picture(), before);
    QTest::mouseRelease(editor.Pbi, Qt::LeftButton, {}, grab + QPoint(30, -20));
    QCOMPARE(int(editor.DragMode), 0);
    QVERIFY(CropIsPatternAt(editor.Imgd->picture(), 130 + 210, 12 + 280));

    // Resizing by the bottom-right grip keeps 0.828.
    const QPoint corner(130 + 210 + 472, 12 + 280 + 570);
    QTest::mousePress(editor.Pbi, Qt::LeftButton, {}, corner - QPoint(2, 2));
    QCOMPARE(int(editor.DragMode), 2);
    QTest::mouseMove(editor.Pbi, corner - QPoint(200, 2));
    QCOMPARE(editor.PointerCode(), 7);
    QCOMPARE(editor.Pbi->cursor().shape(), Qt::SizeVerCursor);
    QTest::mouseRelease(editor.Pbi, Qt::LeftButton, {}, corner - QPoint(200, 2));
    QCOMPARE(editor.Imgd->picture().size(), QSize(editor.SelWidth, editor.SelHeight));
    QVERIFY(qAbs(editor.SelWidth / double(editor.SelHeight) - 0.828) < 0.003);
}

void TestEditorWindow::otherButtonsStartNothing()
{
    AnalizzaFirma editor(env_->services());
    editor.SourcePath = big_;
    QVERIFY(editor.Form_Load());
    const QImage before = editor.Imgd->picture();
    const QRect selection(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight);
    const float x = 49 + 244 + 100, y = 124 + 874 + 50;
    editor.Pbi_MouseDown(2, 0, x, y);
    editor.Pbi_MouseMove(2, 0, x + 50, y + 50);
    editor.Pbi_MouseUp(2, 0, x + 50, y + 50);
    editor.Pbi_MouseDown(3, 0, x, y); // left with right held
    editor.Pbi_MouseUp(1, 0, x, y);
    // A release without a press on the selection commits nothing either.
    editor.Pbi_MouseUp(1, 0, 5, 5);
    QCOMPARE(QRect(editor.SelLeft, editor.SelTop, editor.SelWidth, editor.SelHeight), selection);
    QCOMPARE(editor.Imgd->picture(), before);
}

void TestEditorWindow::presetsTableOverridesAndClamps()
{
    QFile table(env_->file(QStringLiteral("formati.txt")));
    QVERIFY(table.open(QIODevice::WriteOnly));
    table.write("2000 2300 2700 2900 400.5 9000 10 20\r\n1 2 3 4 5 6 7 8\r\n");
    table.close();
    AnalizzaFoto photo(env_->services());
    photo.SourcePath = big_;
    QVERIFY(photo.Form_Load());
    QCOMPARE(photo.Sh->value(), 400);                   // 400.5 to even
    QCOMPARE(photo.Sv->value(), photo.Sv->maximum());   // 9000 beyond the bar: clamped
    QVERIFY(CropIsPatternAt(photo.Imgd->picture(), 100 + 400, 32 + photo.Sv->maximum()));
    AnalizzaFirma signature(env_->services());
    signature.SourcePath = big_;
    QVERIFY(signature.Form_Load());
    QCOMPARE(signature.Sh->value(), 10);
    QCOMPARE(signature.Sv->value(), 20);
}

void TestEditorWindow::frameIsXorOverThePicture()
{
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = small_;
    QVERIFY(editor.Form_Load());
    // The frame's top-left corner lies on picture pixel (76, 10).
    const QImage seen = editor.Pbi->rendered(QRect(0, 0, 300, 200));
    const QColor under = TestPictures::PatternColor(76, 10);
    QCOMPARE(seen.pixelColor(76, 10), QColor(under.red() ^ 255, under.green() ^ 255, under.blue()));
    // Away from the frame the picture shows as it is, and the picture itself is untouched.
    QCOMPARE(seen.pixelColor(150, 100), TestPictures::PatternColor(150, 100));
    QCOMPARE(editor.Pbi->picture().pixelColor(76, 10), under);
    QCOMPARE(editor.Pbi->figures().size(), 1);
}

void TestEditorWindow::busyPhotoEditorIgnoresEverything()
{
    AnalizzaFoto editor(env_->services());
    editor.SourcePath = big_;
    QVERIFY(editor.Form_Load());
    const QImage before = editor.Imgd->picture();
    editor.Busy = true;
    editor.Pbi_MouseDown(1, 0, 100 + 210 + 20, 32 + 280 + 20);
    QCOMPARE(int(editor.DragMode), 0);
    editor.Sh->setValue(700); // the bar moves, the picture does not
    QCOMPARE(editor.Pbi->x(), -210);
    QCOMPARE(editor.Imgd->picture(), before);
    editor.show();
    editor.EsciP_Click();
    QVERIFY(editor.isVisible());
    editor.Busy = false;
    editor.EsciP_Click();
    QVERIFY(!editor.isVisible());
}

void TestEditorWindow::unloadablePicture()
{
    const QString damaged = dir_.filePath(QStringLiteral("damaged.jpg"));
    QVERIFY(TestPictures::WriteBytes(damaged, QByteArray("\xff\xd8\xff\xe0 not really", 15)));
    QWidget caller;
    caller.move(40, 30);
    caller.show();
    const QPoint where = caller.pos();
    AnalizzaFoto editor(env_->services(), &caller);
    bool shown = false;
    // Tied to the editor: no event loop runs here when Go refuses, and the
    // timer must not outlive this function's locals.
    QTimer::singleShot(0, &editor, [&] { shown = QApplication::activeModalWidget() != nullptr; });
    QVERIFY(editor.Go(dir_.filePath(QStringLiteral("gone.bmp")), &caller) == nullptr);
    QVERIFY(editor.Go(damaged, &caller) == nullptr);
    QCOMPARE(env_->dialogs().messages.size(), 2);
    for (const RecordedMessage& m : env_->dialogs().messages)
        QCOMPARE(m.icon, MessageIcon::Critical);
    QCOMPARE(caller.pos(), where);
    QVERIFY(!editor.isVisible());
    QVERIFY(!shown);
}

void TestEditorWindow::cancelReturnsNothingAndStepsCallerAside()
{
    QWidget caller;
    caller.move(40, 30);
    caller.show();
    AnalizzaFirma editor(env_->services(), &caller);
    QPoint callerWhileOpen;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        wasModal = QApplication::activeModalWidget() == &editor;
        callerWhileOpen = caller.pos();
        QTest::mouseClick(editor.EsciP, Qt::LeftButton);
    });
    QVERIFY(editor.Go(small_, &caller) == nullptr);
    QVERIFY(wasModal);
    // Beyond the right edge of the screens while the editor was open.
    QVERIFY(callerWhileOpen.x() >= caller.screen()->virtualGeometry().right());
}

RITRAX_TEST(TestEditorWindow)
#include "tst_editorwindow.moc"
