#include "PortalCheck.h"

#include "MFreeImage.h"
#include "Numbers.h"
#include "OutputPipeline.h"
#include "OutputSave.h"
#include "WebPage.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryFile>
#include <QTimer>

#include <limits>

namespace PortalCheck {

namespace {

// The portal's own wording for each rejection reason; the sentence after
// the dash is the same for every reason, so it is folded into a line end.
const QString ReasonTail
    = QStringLiteral(" \u2013 acquisire una nuova foto (riferimento circolare 23176/8.3 del 20/10/2016). ");

Outcome CommunicationError(Outcome::Failure failure, const QString& detail)
{
    Outcome outcome;
    outcome.kind = Outcome::Kind::CommunicationError;
    outcome.failure = failure;
    outcome.detail = detail;
    return outcome;
}

// After a navigation: the page is complete and loaded without error, or
// failure says why not.
bool PageArrived(const Context& c, double seconds, Outcome& failure)
{
    if (!c.wait(seconds)) {
        // Nothing more is wanted from a load that missed its deadline; drop
        // the connection rather than leave it hanging until the next check.
        c.page.Navigate(QUrl(QStringLiteral("about:blank")));
        failure = CommunicationError(Outcome::Failure::NoPageInTime,
                                     QStringLiteral("no complete page within %1 s").arg(seconds));
        return false;
    }
    if (c.page.loadError() != WebPage::LoadError::None) {
        failure = CommunicationError(c.page.loadError() == WebPage::LoadError::TooLarge
                                         ? Outcome::Failure::PageTooLarge
                                         : Outcome::Failure::Unreachable,
                                     c.page.errorText());
        return false;
    }
    return true;
}

// The verification page loaded, and the address its form posts to.
bool OpenForm(const Context& c, QUrl& target, Outcome& failure)
{
    c.page.Navigate(PageAddress(c.base));
    if (!PageArrived(c, PageSeconds, failure))
        return false;
    const WebElement form = c.page.Document().GetElementById(FormId);
    const std::optional<QString> action = form.GetAttribute(u"action");
    if (form.isNull() || !action) {
        failure = CommunicationError(Outcome::Failure::NoForm,
                                     QStringLiteral("the page has no form %1 with an action").arg(FormId));
        return false;
    }
    // A relative action leads where it would lead a browser on that page.
    target = c.page.resolve(*action);
    return true;
}

// The JPEG bytes of the photo as the save writes them, by way of a working
// file of this check's own, which is gone again whatever happens; path is
// set to its name, or to the usual name when none could be made.
std::optional<QByteArray> ThroughWorkFile(FIBITMAP* photo, const QString& workFolder, QString& path)
{
    // Two checks at once, from two windows or two command lines, must
    // never write, read or delete each other's photo.
    const QDir folder(workFolder);
    QTemporaryFile reserved(folder.filePath(QStringLiteral("_foto_XXXXXX.jpg")));
    if (!reserved.open()) {
        path = folder.filePath(TemporaryPhotoName);
        return std::nullopt;
    }
    path = reserved.fileName();
    reserved.close();
    const auto removeFile = qScopeGuard([&path] { QFile::remove(path); });
    if (!photo || !MFreeImage::SaveBitmapToFile(FIF_JPEG, photo, path, 0))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty() || bytes.size() != file.size())
        return std::nullopt;
    return bytes;
}

Outcome Submit(const Context& c, const QUrl& target, FIBITMAP* photo)
{
    QString path;
    const std::optional<QByteArray> jpeg = ThroughWorkFile(photo, c.workFolder, path);
    if (!jpeg) {
        Outcome outcome;
        outcome.kind = Outcome::Kind::PhotoNotWritten;
        outcome.detail = QStringLiteral("the photo could not be written to and read from the working file");
        outcome.photoFile = path;
        return outcome;
    }

    c.page.Navigate(target, MultipartBody(*jpeg), RequestHeader);
    Outcome failure;
    if (!PageArrived(c, AnswerSeconds, failure))
        return failure;
    const QList<WebElement> paragraphs = c.page.Document().GetElementById(AnswerId).GetElementsByTagName(u"P");
    if (paragraphs.isEmpty())
        return CommunicationError(Outcome::Failure::NoVerdict,
                                  QStringLiteral("the answer has no paragraph in %1").arg(AnswerId));

    Outcome outcome;
    outcome.kind = Outcome::Kind::Verdict;
    outcome.verdict = paragraphs.first().InnerText();
    return outcome;
}

} // namespace

QString PortalBase(const QString& settingValue)
{
    QString base = settingValue.trimmed();
    while (base.endsWith(u'/'))
        base.chop(1);
    return base.isEmpty() ? DefaultPortal : base;
}

QUrl PageAddress(const QString& base)
{
    return QUrl(base + PagePath);
}

QByteArray MultipartBody(QByteArrayView jpeg)
{
    const QByteArray before = "--" + Boundary + "\r\n"
        "Content-Disposition: form-data; name=\"action:Read_verificaFileUpload\"\r\n"
        "\r\n"
        "Verifica Foto\r\n"
        "--" + Boundary + "\r\n"
        "Content-Disposition: form-data; name=\"upload\"; filename=\"foto.jpg\"\r\n"
        "Content-Type: image/jpeg\r\n"
        "\r\n";
    const QByteArray after = "\r\n--" + Boundary + "--\r\n";
    QByteArray body;
    body.reserve(before.size() + jpeg.size() + after.size());
    body.append(before).append(jpeg).append(after);
    return body;
}

VerdictMessage TreatVerdict(const QString& verdict)
{
    if (verdict == ConformitySentence)
        return {verdict, MessageIcon::Information, true};
    QString text = verdict;
    text.replace(ReasonTail, QStringLiteral(".\r\n"));
    return {text, MessageIcon::Critical, false};
}

Outcome Run(const Context& context, const QImage& crop, FIBITMAP*& resultBitmap)
{
    QUrl target;
    Outcome failure;
    if (!OpenForm(context, target, failure))
        return failure;
    if (resultBitmap)
        FreeImage_Unload(resultBitmap);
    resultBitmap = OutputPipeline::MakePhoto(crop);
    return Submit(context, target, resultBitmap);
}

Outcome Run(const Context& context, FIBITMAP* photo)
{
    QUrl target;
    Outcome failure;
    if (!OpenForm(context, target, failure))
        return failure;
    return Submit(context, target, photo);
}

WaitFunction EventLoopWait(WebPage& page, int msPerSecond)
{
    return [&page, msPerSecond](double seconds) {
        const auto complete = [&page] { return page.ReadyState() == WebPage::Complete && !page.Busy(); };
        if (complete())
            return true;
        const double ms = qBound(0.0, double(Numbers::RoundHalfEven(seconds)) * msPerSecond,
                                 double(std::numeric_limits<int>::max()));
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&page, &WebPage::loadFinished, &loop, &QEventLoop::quit);
        deadline.start(int(ms));
        loop.exec();
        return complete();
    };
}

void Tell(OperatorDialogs& dialogs, QWidget* parent, const Outcome& outcome)
{
    switch (outcome.kind) {
    case Outcome::Kind::Verdict: {
        const VerdictMessage message = TreatVerdict(outcome.verdict);
        dialogs.showMessage(parent, message.text, message.icon);
        break;
    }
    case Outcome::Kind::CommunicationError:
        dialogs.showMessage(parent, CommunicationErrorMessage, MessageIcon::Critical);
        break;
    case Outcome::Kind::PhotoNotWritten:
        dialogs.showMessage(parent, OutputSave::WriteFailedMessage(outcome.photoFile), MessageIcon::Critical);
        break;
    }
}

} // namespace PortalCheck
