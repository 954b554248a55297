#include "OnePassWindow.h"

#include "AnalizzaFirma.h"
#include "AnalizzaFoto.h"
#include "Fonts.h"
#include "FrameShape.h"
#include "ImageControl.h"
#include "LayoutButtons.h"
#include "MFreeImage.h"
#include "NotePanel.h"
#include "OperatorDialogs.h"
#include "OutputNames.h"
#include "OutputPipeline.h"
#include "PathText.h"
#include "PortalCheck.h"
#include "SettingsStore.h"
#include "SourcePicture.h"
#include "WebPage.h"
#include "WindowAside.h"
#include "chameleonButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QScreen>

#include <array>
#include <utility>

namespace {

constexpr int Left = 16;
constexpr int PhotoTop = 28;
constexpr int SignatureTop = 376;
constexpr int Column = 728; // the right-hand column: name, files, buttons
constexpr int ColumnWidth = 276;

QLabel* MakeLabel(QWidget* parent, const QRect& box, double points, bool bold)
{
    auto* label = new QLabel(parent);
    label->setGeometry(box);
    label->setFont(UiFont(points, bold));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

FrameShape* FrameAround(QWidget* parent, const QRect& box)
{
    auto* frame = new FrameShape(parent);
    frame->setGeometry(box.adjusted(-2, -2, 2, 2));
    return frame;
}

void Release(FIBITMAP*& bitmap)
{
    if (bitmap)
        FreeImage_Unload(bitmap);
    bitmap = nullptr;
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path).toHtmlEscaped();
}

} // namespace

OnePassWindow::OnePassWindow(const Services& services, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , services_(services)
{
    wb = new WebPage(this);
    setWindowTitle(QStringLiteral("Foto e firma"));
    setFixedSize(ClientWidth, ClientHeight);
    setModal(true);
    CreateControls();
}

OnePassWindow::~OnePassWindow()
{
    Release(photoResult_);
    Release(signatureResult_);
}

void OnePassWindow::CreateControls()
{
    MakeLabel(this, {Left, 4, 700, 22}, 12, true)->setText(QStringLiteral("Foto, come sarà salvata (265 × 320)"));
    const QRect photoBox(Left, PhotoTop, OutputPipeline::PhotoWidth, OutputPipeline::PhotoHeight);
    photoFrame = FrameAround(this, photoBox);
    photo = new ImageControl(this);
    photo->setGeometry(photoBox);

    checkPanel = MakeLabel(this, {296, PhotoTop, 416, OutputPipeline::PhotoHeight}, 8, false);
    StyleAsNotePanel(checkPanel);
    checkPanel->setMargin(2);

    signatureCaption = MakeLabel(this, {Left, SignatureTop - 24, 700, 22}, 12, true);
    signatureFrame = new FrameShape(this);
    signature = new ImageControl(this);
    blackAndWhiteFrame = new FrameShape(this);
    blackAndWhite = new ImageControl(this);

    MakeLabel(this, {Column, 4, ColumnWidth, 22}, 12, true)->setText(QStringLiteral("Nome del richiedente"));
    nameEdit = new QLineEdit(this);
    nameEdit->setGeometry(Column, 30, ColumnWidth, 30);
    nameEdit->setFont(UiFont(12, false));
    connect(nameEdit, &QLineEdit::textChanged, this, &OnePassWindow::ShowFiles);
    photoFile = MakeLabel(this, {Column, 70, ColumnWidth, 60}, 9, false);
    photoFile->setTextFormat(Qt::RichText);
    signatureFile = MakeLabel(this, {Column, 168, ColumnWidth, 60}, 9, false);
    signatureFile->setTextFormat(Qt::RichText);
    blackAndWhiteBox = new QCheckBox(QStringLiteral("Anche la firma in bianco e nero (BMP)"), this);
    blackAndWhiteBox->setGeometry(Column, 268, ColumnWidth, 24);
    blackAndWhiteBox->setFont(UiFont(9, false));
    connect(blackAndWhiteBox, &QCheckBox::toggled, this, [this] {
        ShowSignature();
        ShowFiles();
    });
    problem = MakeLabel(this, {Column, 296, ColumnWidth, 72}, 9, true);
    problem->setStyleSheet(QStringLiteral("color: #c00000;"));

    buttons_ = std::make_unique<LayoutButtons>(this, QStringLiteral(":/layouts/OnePassWindow.layout"));
    photoFolderP = buttons_->button(u"photoFolderP");
    signatureFolderP = buttons_->button(u"signatureFolderP");
    FotoP = buttons_->button(u"FotoP");
    FirmaP = buttons_->button(u"FirmaP");
    TestP = buttons_->button(u"TestP");
    SalvaP = buttons_->button(u"SalvaP");
    EsciP = buttons_->button(u"EsciP");
    MsgL = buttons_->button(u"MsgL");
    MsgL->setFocusPolicy(Qt::NoFocus); // a message panel, not a command
    MsgL->hide();
    connect(photoFolderP, &chameleonButton::Click, this, [this] { ChooseFolder(true); });
    connect(signatureFolderP, &chameleonButton::Click, this, [this] { ChooseFolder(false); });
    connect(FotoP, &chameleonButton::Click, this, &OnePassWindow::FotoP_Click);
    connect(FirmaP, &chameleonButton::Click, this, &OnePassWindow::FirmaP_Click);
    connect(TestP, &chameleonButton::Click, this, &OnePassWindow::TestP_Click);
    connect(SalvaP, &chameleonButton::Click, this, &OnePassWindow::SalvaP_Click);
    connect(EsciP, &chameleonButton::Click, this, &OnePassWindow::EsciP_Click);

    const std::array<QWidget*, 9> order{nameEdit, SalvaP, FotoP, FirmaP, TestP, EsciP, photoFolderP,
                                        signatureFolderP, blackAndWhiteBox};
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
}

bool OnePassWindow::Load(const QString& sourcePath, std::optional<ProposalAhead::Ready> ahead)
{
    sourcePath_ = sourcePath;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const SettingsStore& settings = services_.settings;
    if (ahead) {
        page_ = std::move(ahead->page);
        proposal_ = std::move(ahead->proposal);
    } else {
        SourcePicture::Loaded loaded = SourcePicture::Load(sourcePath);
        if (loaded.problem != SourcePicture::Problem::None) {
            services_.dialogs.showMessage(parentWidget(), SourcePicture::MessageFor(loaded.problem),
                                          MessageIcon::Critical);
            return false;
        }
        page_ = loaded.picture;
        proposal_ = ApplicantProposal::Propose(page_, page_.size(), OutputSave::BlackAndWhiteThreshold(settings));
    }
    photoPage_ = ApplicantProposal::PhotoPage(page_, proposal_);
    photoCrop = proposal_.portrait.selection;
    signatureCrop = proposal_.signature;

    const PortraitFraming::Proposal& p = proposal_.portrait;
    framingNote_.clear();
    if (p.status == FaceLandmarks::Status::NoModel)
        framingNote_ = QStringLiteral("viso non cercato, manca libdlib-data. ");
    if (p.turned)
        framingNote_ += QStringLiteral("pagina capovolta: girata di 180°. ");
    if (!photoCrop.isEmpty() && !p.ideal)
        framingNote_ += QStringLiteral("foto stretta: ritaglio preso dentro la foto. ");
    if (p.others > 0)
        framingNote_ += p.others == 1 ? QStringLiteral("c'è un altro viso; inquadrato il più grande.")
                                      : QStringLiteral("ci sono altri %1 visi; inquadrato il più grande.").arg(p.others);

    photoFolder = UsableFolder(OutputNames::StartFolder(settings.read(QStringLiteral("InitDirFoto"))));
    signatureFolder = UsableFolder(OutputNames::StartFolder(settings.read(QStringLiteral("InitDirFirma"))));
    {
        const QSignalBlocker quiet(blackAndWhiteBox);
        blackAndWhiteBox->setChecked(settings.read(QStringLiteral("LastNome")) == u"JBN");
    }
    nameEdit->clear();
    ShowPhoto();
    ShowSignature();
    ShowFiles();
    return true;
}

bool OnePassWindow::Go(const QString& sourcePath, QWidget* caller, FIBITMAP*& photoResult, FIBITMAP*& signatureResult,
                       std::optional<ProposalAhead::Ready> ahead)
{
    photoResult = nullptr;
    signatureResult = nullptr;
    if (!Load(sourcePath, std::move(ahead)))
        return false;
    const QScreen* screen = caller && caller->screen() ? caller->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    nameEdit->setFocus(Qt::OtherFocusReason);
    {
        const WindowAside aside(caller);
        exec();
    }
    if (result() != QDialog::Accepted)
        return false;
    photoResult = std::exchange(photoResult_, nullptr);
    signatureResult = std::exchange(signatureResult_, nullptr);
    return true;
}

void OnePassWindow::ShowPhoto()
{
    photo->clearPicture();
    if (photoCrop.isEmpty()) {
        checkPanel->setText(QStringLiteral("<b>Nessun viso trovato.</b><br><font color=#c00000>La foto non si può "
                                           "salvare da qui: usare «Correggi la foto».</font><br>%1")
                                .arg(framingNote_.toHtmlEscaped()));
        return;
    }
    FIBITMAP* made = OutputPipeline::MakePhoto(photoPage_.copy(photoCrop));
    if (!made) {
        checkPanel->setText(QStringLiteral("<b>Memoria insufficiente per preparare la foto.</b>"));
        return;
    }
    const QImage shown = MFreeImage::PictureFromLibraryBitmap(made, true);
    photo->setPicture(shown);
    lastCheck = ApplicantProposal::CheckPhoto(shown, proposal_, photoCrop);
    checkPanel->setText(CheckPanelHtml(lastCheck, framingNote_));
}

void OnePassWindow::ShowSignature()
{
    signature->clearPicture();
    blackAndWhite->clearPicture();
    blackAndWhite->hide();
    blackAndWhiteFrame->hide();
    const bool at200 = OutputSave::SignatureAt200(services_.settings);
    const OutputPipeline::SignatureGeometry geometry = OutputPipeline::SignatureGeometryFor(at200);
    const QRect canvasBox(Left, SignatureTop, geometry.canvasWidth, geometry.canvasHeight);
    signature->setGeometry(canvasBox);
    signatureFrame->setGeometry(canvasBox.adjusted(-2, -2, 2, 2));
    const QString size = QStringLiteral("%1 × %2 a %3 DPI")
                             .arg(geometry.canvasWidth)
                             .arg(geometry.canvasHeight)
                             .arg(at200 ? 200 : 600);
    FIBITMAP* canvas = signatureCrop.isEmpty()
        ? nullptr
        : OutputPipeline::MakeSignature(page_.copy(signatureCrop), signatureCrop.width(), signatureCrop.height(), geometry);
    if (!canvas) {
        signatureCaption->setText(
            QStringLiteral("Firma (%1): <font color=#c00000>%2 Usare «Correggi la firma».</font>")
                .arg(size, signatureCrop.isEmpty() ? QStringLiteral("nessuna firma trovata.")
                                                   : QStringLiteral("la firma trovata è troppo sottile per la tela.")));
        signatureCaption->setTextFormat(Qt::RichText);
        return;
    }
    signatureCaption->setTextFormat(Qt::PlainText);
    signatureCaption->setText(blackAndWhiteBox->isChecked()
                                  ? QStringLiteral("Firma, come sarà salvata (%1), e in bianco e nero").arg(size)
                                  : QStringLiteral("Firma, come sarà salvata (%1)").arg(size));
    signature->setPicture(MFreeImage::PictureFromLibraryBitmap(canvas, false));
    if (blackAndWhiteBox->isChecked()) {
        FIBITMAP* bw = OutputPipeline::BlackAndWhite(canvas, OutputSave::BlackAndWhiteThreshold(services_.settings));
        if (bw) {
            const QRect bwBox = canvasBox.translated(0, canvasBox.height() + 6);
            blackAndWhite->setGeometry(bwBox);
            blackAndWhiteFrame->setGeometry(bwBox.adjusted(-2, -2, 2, 2));
            blackAndWhite->setPicture(MFreeImage::PictureFromLibraryBitmap(bw, true));
            blackAndWhite->show();
            blackAndWhiteFrame->show();
        }
    }
    FreeImage_Unload(canvas);
}

OutputSave::ApplicantFiles OnePassWindow::Files() const
{
    return OutputSave::FilesFor(photoFolder, signatureFolder, nameEdit->text(), blackAndWhiteBox->isChecked());
}

QString OnePassWindow::NameProblem(const QString& name)
{
    const QString bare = name.trimmed();
    if (bare.isEmpty())
        return QStringLiteral("Scrivere il nome del richiedente: è il nome dei due file.");
    if (bare.contains(u'/') || bare.contains(u'\\'))
        return QStringLiteral("Il nome non può contenere «/» o «\\»: le cartelle si scelgono con i loro pulsanti.");
    if (bare == u"." || bare == u"..")
        return QStringLiteral("«%1» non è un nome di file.").arg(bare);
    return {};
}

void OnePassWindow::ShowFiles()
{
    const bool named = !nameEdit->text().trimmed().isEmpty();
    const OutputSave::ApplicantFiles files = Files();
    const QString pending = QStringLiteral("<i>(nome)</i>.JPG");
    photoFile->setText(QStringLiteral("<b>Foto:</b> %1")
                           .arg(named ? Shown(files.photo) : Shown(photoFolder + u'/') + pending));
    QString signatureText = named ? Shown(files.signature.jpeg) : Shown(signatureFolder + u'/') + pending;
    if (files.signature.blackAndWhite)
        signatureText += QStringLiteral("<br>e ") + (named ? Shown(files.signature.bmp) : QStringLiteral("<i>(nome)</i>.bmp"));
    signatureFile->setText(QStringLiteral("<b>Firma:</b> %1").arg(signatureText));
    problem->setText(named && OutputSave::SamePath(files)
                         ? QStringLiteral("La firma andrebbe sullo stesso file della foto: scegliere un'altra cartella "
                                          "o, al salvataggio, un altro nome per la firma.")
                         : (named ? NameProblem(nameEdit->text()) : QString()));
}

void OnePassWindow::ChooseFolder(bool forPhoto)
{
    if (busy_)
        return;
    QString& folder = forPhoto ? photoFolder : signatureFolder;
    if (const std::optional<QString> chosen = services_.dialogs.chooseFolder(this, folder))
        folder = *chosen;
    ShowFiles();
}

void OnePassWindow::SalvaP_Click()
{
    if (busy_)
        return;
    OperatorDialogs& dialogs = services_.dialogs;
    if (photoCrop.isEmpty() || signature->picture().isNull()) {
        dialogs.showMessage(this,
                            photoCrop.isEmpty() ? QStringLiteral("Manca la foto: correggerla con «Correggi la foto».")
                                                : QStringLiteral("Manca la firma: correggerla con «Correggi la firma»."),
                            MessageIcon::Warning);
        return;
    }
    if (const QString wrong = NameProblem(nameEdit->text()); !wrong.isEmpty()) {
        dialogs.showMessage(this, wrong, MessageIcon::Warning);
        nameEdit->setFocus(Qt::OtherFocusReason);
        return;
    }
    OutputSave::ApplicantFiles files = Files();
    if (OutputSave::SamePath(files)) {
        // One folder for both: the signature takes another name, once the
        // operator has agreed to it, or the operator picks another folder.
        const OutputSave::ApplicantFiles renamed = OutputSave::FilesFor(
            photoFolder, signatureFolder, nameEdit->text(), blackAndWhiteBox->isChecked(), OutputSave::SignatureSuffix);
        if (OutputSave::SamePath(renamed)
            || !dialogs.askYesNo(this, QStringLiteral("La foto e la firma andrebbero sullo stesso file:\r\n%1\r\n"
                                                      "Salvare la firma come %2?\r\n"
                                                      "(No: scegliere un'altra cartella per la firma.)")
                                           .arg(QDir::toNativeSeparators(files.photo),
                                                QFileInfo(renamed.signature.jpeg).fileName())))
            return;
        files = renamed;
    }
    if (OutputSave::SaveBoth({services_.settings, dialogs, this}, photoPage_.copy(photoCrop), page_.copy(signatureCrop),
                             files, photoResult_, signatureResult_))
        accept();
}

void OnePassWindow::FotoP_Click()
{
    if (busy_)
        return;
    AnalizzaFoto editor(services_, this);
    if (!editor.Correct(sourcePath_, photoCrop, proposal_.portrait.turned, this))
        return;
    photoCrop = editor.CorrectedCrop;
    // What the framing said of its own crop no longer applies.
    framingNote_.clear();
    ShowPhoto();
}

void OnePassWindow::FirmaP_Click()
{
    if (busy_)
        return;
    AnalizzaFirma editor(services_, this);
    if (!editor.Correct(sourcePath_, signatureCrop, false, this))
        return;
    signatureCrop = editor.CorrectedCrop;
    ShowSignature();
}

void OnePassWindow::TestP_Click()
{
    if (busy_)
        return;
    if (photoCrop.isEmpty()) {
        services_.dialogs.showMessage(this, QStringLiteral("Manca la foto: correggerla con «Correggi la foto»."),
                                      MessageIcon::Warning);
        return;
    }
    busy_ = true;
    const auto done = qScopeGuard([this] {
        MsgL->hide();
        busy_ = false;
    });
    MsgL->show();
    MsgL->raise();
    MsgL->repaint();
    const PortalCheck::Context context{
        *wb,
        PortalCheck::PortalBase(services_.settings.read(PortalCheck::PortalSetting)),
        services_.folders.workFolder,
        PortalCheck::EventLoopWait(*wb),
    };
    FIBITMAP* sent = nullptr;
    const PortalCheck::Outcome outcome = PortalCheck::Run(context, photoPage_.copy(photoCrop), sent);
    Release(sent);
    MsgL->hide();
    PortalCheck::Tell(services_.dialogs, this, outcome);
}

void OnePassWindow::EsciP_Click()
{
    if (busy_)
        return;
    reject();
}

void OnePassWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SalvaP_Click();
        return;
    case Qt::Key_Escape:
        EsciP_Click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

void OnePassWindow::closeEvent(QCloseEvent* event)
{
    if (busy_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}
