#include "PortalCommand.h"

#include "PictureCommands.h"
#include "PortalCheck.h"
#include "ProgramFolders.h"
#include "SettingsStore.h"
#include "SourceCrop.h"
#include "WebPage.h"

#include <FreeImage.h>

namespace PortalCommand {

namespace {

// The line under the communication error that says what went wrong.
QString FailureText(PortalCheck::Outcome::Failure failure)
{
    using Failure = PortalCheck::Outcome::Failure;
    switch (failure) {
    case Failure::NoPageInTime:
        return QStringLiteral("nessuna pagina completa dal portale nel tempo concesso");
    case Failure::PageTooLarge:
        return QStringLiteral("la pagina del portale supera i %1 MB").arg(WebPage::MaximumPageBytes / (1024 * 1024));
    case Failure::NoForm:
        return QStringLiteral("la pagina del portale non ha il modulo di verifica");
    case Failure::NoVerdict:
        return QStringLiteral("la risposta del portale non contiene l'esito");
    case Failure::Unreachable:
    case Failure::None:
        break;
    }
    return QStringLiteral("il portale non risponde o risponde con un errore");
}

// "127.0.0.1:8080" or "portale.local" would otherwise reach no portal and
// read as a communication error; a mistyped command line is the user's to fix.
bool IsWebAddress(const QString& base)
{
    const QUrl url(base, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

} // namespace

int Run(const CommandLine::Parsed& a, Cli::Streams& s)
{
    if (a.positional.size() != 1)
        return Cli::UsageError(s, a.positional.isEmpty() ? QStringLiteral("Manca l'immagine sorgente")
                                                         : QStringLiteral("Una sola immagine sorgente"));
    const std::optional<SourceCrop::Box> box = CommandLine::ParseCrop(a.value(PictureCommands::CropOption));
    if (!a.has(PictureCommands::CropOption) || !box)
        return Cli::UsageError(s, QStringLiteral("Manca o non è valida l'opzione %1 X,Y,L,A")
                                      .arg(PictureCommands::CropOption));
    if (a.has(PortalOption) && !IsWebAddress(PortalCheck::PortalBase(a.value(PortalOption))))
        return Cli::UsageError(s, QStringLiteral("L'indirizzo del portale deve cominciare con http:// o https:// "
                                                 "e nominare un host: %1")
                                      .arg(a.value(PortalOption)));
    const SourceCrop::Result cropped = SourceCrop::Crop(a.positional[0], *box);
    if (cropped.outcome == SourceCrop::Outcome::Unreadable)
        return Cli::Fail(s, SourcePicture::MessageFor(cropped.problem) + QStringLiteral(": ") + a.positional[0],
                         PictureCommands::SourceExitCode(cropped.problem));
    if (cropped.outcome != SourceCrop::Outcome::Cropped)
        return Cli::Fail(s, QStringLiteral("Impossibile ritagliare l'immagine %1").arg(a.positional[0]),
                         cropped.outcome == SourceCrop::Outcome::Outside || cropped.outcome == SourceCrop::Outcome::Empty
                             ? Cli::CropOutside
                             : Cli::SourceUnreadable);

    // The portal's address as the photo editor takes it, unless one is given.
    const QString base = PortalCheck::PortalBase(
        a.has(PortalOption) ? a.value(PortalOption)
                            : SettingsStore(SettingsStore::DefaultFilePath()).read(PortalCheck::PortalSetting));

    WebPage page;
    FIBITMAP* photo = nullptr;
    const PortalCheck::Outcome outcome
        = PortalCheck::Run({page, base, ProgramFolders::ForApplication().workFolder, PortalCheck::EventLoopWait(page)},
                           cropped.crop, photo);
    if (photo)
        FreeImage_Unload(photo);

    switch (outcome.kind) {
    case PortalCheck::Outcome::Kind::Verdict: {
        const PortalCheck::VerdictMessage message = PortalCheck::TreatVerdict(outcome.verdict);
        QString text = message.text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        s.out += text + u'\n';
        return message.conforms ? Conforms : Rejected;
    }
    case PortalCheck::Outcome::Kind::PhotoNotWritten:
        return Cli::Fail(s, QStringLiteral("Impossibile scrivere il file: %1").arg(outcome.photoFile),
                         Cli::OutputUnwritable);
    case PortalCheck::Outcome::Kind::CommunicationError:
        break;
    }
    Cli::Fail(s, PortalCheck::CommunicationErrorMessage, CommunicationError);
    return Cli::Fail(s, FailureText(outcome.failure), CommunicationError);
}

} // namespace PortalCommand
