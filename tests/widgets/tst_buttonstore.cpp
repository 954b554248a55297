// The stored side of the button: the property bag, its text form, the keys
// the button writes and reads, and buttons built from a layout file.

#include "LayoutButtons.h"
#include "LayoutFile.h"
#include "PropertyBag.h"
#include "TestRegistry.h"
#include "WidgetTests.h"
#include "chameleonButton.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

ButtonPicture SmallPicture(QColor colour)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(colour);
    return ButtonPicture::FromImage(image);
}

QString Describe(const PropertyBag& bag)
{
    QStringList lines;
    for (const PropertyBag::Entry& e : bag.entries())
        lines << e.key + QStringLiteral(":") + QString::number(int(TypeOf(e.value)));
    return lines.join(u' ');
}

} // namespace

class TestButtonStore : public QObject {
    Q_OBJECT
private slots:
    void bagKeys();
    void bagReads();
    void writeOrderAndTypes();
    void readDefaults();
    void roundTripKeepsEveryValue();
    void layoutText();
    void layoutErrors_data();
    void layoutErrors();
    void himetric();
    void buttonsFromALayoutFile();
    void initProperties();
    void storedPointerSurvivesWithoutHand();
};

void TestButtonStore::bagKeys()
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("BTYPE"), qint32(3));
    bag.WriteProperty(QStringLiteral("tx"), QStringLiteral("a"));
    bag.WriteProperty(QStringLiteral("BType"), qint32(5));
    QCOMPARE(bag.entries().size(), 2);
    QCOMPARE(bag.entries()[0].key, QStringLiteral("btype")); // replaced in place, lower case
    QCOMPARE(bag.ReadInt32(u"bTyPe", 0), 5);
    QVERIFY(!bag.contains(u"missing"));
}

void TestButtonStore::bagReads()
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("yes"), true);
    bag.WriteProperty(QStringLiteral("n"), qint32(70000));
    bag.WriteProperty(QStringLiteral("colour"), qint32(0x8000000F));
    bag.WriteProperty(QStringLiteral("text"), QStringLiteral("12"));
    QCOMPARE(bag.ReadInt32(u"yes", 0), -1); // true is -1
    QCOMPARE(bag.ReadInt16(u"n", 0), qint16(32767)); // clamped, never wrapped
    QCOMPARE(static_cast<quint32>(bag.ReadInt32(u"colour", 0)), 0x8000000Fu);
    QCOMPARE(bag.ReadInt32(u"text", 0), 12);
    QVERIFY(bag.ReadBool(u"n", false));
    QCOMPARE(bag.ReadString(u"absent", QStringLiteral("d")), QStringLiteral("d"));
    QVERIFY(bag.ReadPicture(u"yes").isNull()); // not a picture
}

void TestButtonStore::writeOrderAndTypes()
{
    chameleonButton b;
    PropertyBag bag;
    b.WriteProperties(bag);
    // Types: 0 int32, 1 int16, 2 boolean, 3 string, 4 font, 5 picture.
    QCOMPARE(Describe(bag), QStringLiteral("btype:0 tx:3 enab:2 font:4 coltype:0 focusr:2 bcol:0 bcolo:0 fcol:0 "
                                           "fcolo:0 mcol:0 mptr:1 micon:5 picn:5 pich:5 umcol:2 soft:2 picpos:0 "
                                           "ngrey:2 fx:0 hand:2 check:2 value:2"));
}

void TestButtonStore::readDefaults()
{
    chameleonButton b;
    b.setButtonType(7);
    b.setUseMaskColor(false);
    b.setMaskColor(5);
    b.ReadProperties(PropertyBag());
    QCOMPARE(b.ButtonType(), 2);
    QCOMPARE(b.Caption(), QString());
    QVERIFY(b.Enabled());
    QCOMPARE(b.ColorScheme(), 1);
    QVERIFY(b.ShowFocusRect());
    QVERIFY(b.UseMaskColor());
    QCOMPARE(b.MaskColor(), OleColor(12632256));
    const QColor face = b.palette().color(QPalette::Active, QPalette::Button);
    QCOMPARE(b.BackColor(), MakeOleColor(face.red(), face.green(), face.blue()));
    QCOMPARE(b.BackOver(), b.BackColor());

    // An absent "bcolo" takes the "bcol" just read.
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("bcol"), qint32(65535));
    bag.WriteProperty(QStringLiteral("fcol"), qint32(255));
    b.ReadProperties(bag);
    QCOMPARE(b.BackOver(), OleColor(65535));
    QCOMPARE(b.ForeOver(), OleColor(255));
}

void TestButtonStore::roundTripKeepsEveryValue()
{
    chameleonButton a;
    a.setButtonType(9);
    a.setCaption(QStringLiteral("Salva \"&&\" &Tutto"));
    a.setEnabled(false);
    a.setFont(QFont(QStringLiteral("Arial")));
    a.setFontSize(28);
    a.setFontBold(true);
    a.setFontItalic(true);
    a.setColorScheme(2);
    a.setShowFocusRect(false);
    a.setBackColor(MakeOleColor(0, 128, 0));
    a.setBackOver(MakeOleColor(1, 2, 3));
    a.setForeColor(0x80000012);
    a.setForeOver(MakeOleColor(4, 5, 6));
    a.setMaskColor(MakeOleColor(255, 0, 255));
    a.setMouseIcon(SmallPicture(Qt::green));
    a.setMousePointer(99);
    a.setPictureNormal(SmallPicture(Qt::red));
    a.setPictureOver(SmallPicture(Qt::blue));
    a.setUseMaskColor(false);
    a.setSoftBevel(true);
    a.setPicturePosition(3);
    a.setUseGreyscale(true);
    a.setSpecialEffect(2);
    a.setCheckBoxBehaviour(true);
    a.setValue(true);
    PropertyBag first;
    a.WriteProperties(first);

    // Through the text form and back into a second button.
    QString error;
    const auto parsed = ParseLayout(FormatLayout({StoredControl{QStringLiteral("B"), QStringLiteral("Ritrax.chameleonButton"), 0, 0, first}}),
                                    QString(), &error);
    QVERIFY2(parsed, qPrintable(error));
    chameleonButton b;
    b.ReadProperties(parsed->first().bag);
    PropertyBag second;
    b.WriteProperties(second);
    QCOMPARE(Describe(second), Describe(first));
    for (qsizetype i = 0; i < first.entries().size(); ++i)
        QVERIFY2(first.entries()[i].value == second.entries()[i].value, qPrintable(first.entries()[i].key));
    QCOMPARE(b.AccessKey(), QChar(u't'));
    QVERIFY(!b.Enabled());
    QCOMPARE(b.font().pixelSize(), 37);
}

void TestButtonStore::layoutText()
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("s"), QStringLiteral("a \"b\" \\ \r\n\tc"));
    bag.WriteProperty(QStringLiteral("i"), qint32(-2147483647 - 1));
    bag.WriteProperty(QStringLiteral("h"), qint16(-32768));
    bag.WriteProperty(QStringLiteral("f"), StoredFont{QStringLiteral("Liberation Sans"), 27.75, 700, true, false, true, 1});
    bag.WriteProperty(QStringLiteral("p"), SmallPicture(Qt::red));
    bag.WriteProperty(QStringLiteral("none"), ButtonPicture());
    const QList<StoredControl> controls{{QStringLiteral("X(2)"), QStringLiteral("Altro.Controllo"), -4, 7, bag}};
    const auto back = ParseLayout(FormatLayout(controls), QString());
    QVERIFY(back);
    QCOMPARE(back->size(), 1);
    const StoredControl& c = back->first();
    QCOMPARE(c.name, QStringLiteral("X(2)"));
    QCOMPARE(c.className, QStringLiteral("Altro.Controllo"));
    QCOMPARE(QPoint(c.left, c.top), QPoint(-4, 7));
    QCOMPARE(Describe(c.bag), Describe(bag));
    for (qsizetype i = 0; i < bag.entries().size(); ++i)
        QVERIFY2(bag.entries()[i].value == c.bag.entries()[i].value, qPrintable(bag.entries()[i].key));
}

void TestButtonStore::layoutErrors_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("unknown type") << "[A]\nbtype = long 3\n" << "riga 2: valore non valido per «btype»";
    QTest::newRow("open quote") << "# x\n[A]\ntx = string \"abc\n" << "riga 3: virgolette non chiuse";
    QTest::newRow("int16 out of range") << "[A]\nmptr = int16 40000\n" << "riga 2: valore non valido per «mptr»";
    QTest::newRow("before any control") << "tx = string \"a\"\n" << "riga 1: proprietà fuori da un controllo";
    QTest::newRow("missing picture") << "[A]\npicn = picture \"nope.png\"\n" << "riga 2: immagine non trovata: nope.png";
    QTest::newRow("no equals sign") << "[A]\nbtype\n" << "riga 2: manca «=»";
}

void TestButtonStore::layoutErrors()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    QString got;
    QVERIFY(!ParseLayout(text, QDir::tempPath(), &got));
    QCOMPARE(got, error);
}

void TestButtonStore::himetric()
{
    // 975 x 615 twips are 65 x 41 pixels.
    QCOMPARE(PixelsToHimetric(65), 1720);
    QCOMPARE(PixelsToHimetric(41), 1085);
    for (int px = 0; px <= 4000; ++px)
        QCOMPARE(HimetricToPixels(PixelsToHimetric(px)), px);
}

void TestButtonStore::buttonsFromALayoutFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QImage picture(5, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QVERIFY(picture.save(dir.filePath(QStringLiteral("p.png"))));
    QFile file(dir.filePath(QStringLiteral("W.layout")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# a window\n"
               "[OkP]\nclass = Ritrax.chameleonButton\nleft = 10\ntop = 20\n"
               "_extentx = int32 1720\n_extenty = int32 1085\nBTYPE = int32 3\ntx = string \"&Ok\"\n"
               "picn = picture \"p.png\"\nenab = bool false\n\n"
               "[Label1]\nclass = Altro.Etichetta\n\n"
               "[EsciP]\nclass = ritrax.chameleonbutton\nleft = 0\ntop = 0\n");
    file.close();
    QWidget window;
    const LayoutButtons buttons(&window, file.fileName());
    QCOMPARE(buttons.all().size(), 2);
    chameleonButton* ok = buttons.button(u"OkP");
    QCOMPARE(ok->parentWidget(), &window);
    QCOMPARE(ok->objectName(), QStringLiteral("OkP"));
    QCOMPARE(ok->geometry(), QRect(10, 20, 65, 41));
    QCOMPARE(ok->ButtonType(), 3);
    QCOMPARE(ok->Caption(), QStringLiteral("&Ok"));
    QCOMPARE(ok->PictureNormal().size(), QSize(5, 4));
    QVERIFY(!ok->Enabled());
    QCOMPARE(buttons.all().last(), buttons.button(u"EsciP"));
    QCOMPARE(window.children().indexOf(ok) < window.children().indexOf(buttons.button(u"EsciP")), true);
}

void TestButtonStore::initProperties()
{
    QWidget window;
    window.setFont(QFont(QStringLiteral("Liberation Sans"), 15));
    auto* b = new chameleonButton(&window);
    b->setObjectName(QStringLiteral("chameleonButton1"));
    b->setButtonType(9);
    b->setBackColor(1);
    b->InitProperties();
    QCOMPARE(b->Caption(), QStringLiteral("chameleonButton1"));
    QCOMPARE(b->ButtonType(), 2);
    QCOMPARE(b->BackColor(), b->colors().FaceColor);
    QCOMPARE(b->BackOver(), b->colors().FaceColor);
    QCOMPARE(b->ForeOver(), b->colors().TextColor);
    QCOMPARE(b->font().pointSize(), 15);
}

void TestButtonStore::storedPointerSurvivesWithoutHand()
{
    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("mptr"), qint16(11));
    chameleonButton b;
    b.ReadProperties(bag);
    QCOMPARE(b.MousePointer(), qint16(11));
    QCOMPARE(b.cursor().shape(), Qt::WaitCursor);
    bag.WriteProperty(QStringLiteral("hand"), true);
    b.ReadProperties(bag);
    QCOMPARE(b.MousePointer(), qint16(99));
    QCOMPARE(b.cursor().shape(), Qt::PointingHandCursor);
}

RITRAX_TEST(TestButtonStore)

#include "tst_buttonstore.moc"
