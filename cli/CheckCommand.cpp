#include "CheckCommand.h"

#include "LandmarkModel.h"
#include "PhotoCheck.h"
#include "PictureCommands.h"
#include "SourcePicture.h"

#include <QFileInfo>

namespace CheckCommand {

int Run(const CommandLine::Parsed& a, Cli::Streams& s)
{
    if (a.positional.size() != 1)
        return Cli::UsageError(s, a.positional.isEmpty() ? QStringLiteral("Manca la foto da controllare")
                                                         : QStringLiteral("Una sola foto da controllare"));
    const QString& path = a.positional[0];
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return Cli::Fail(s, QStringLiteral("File non trovato o non leggibile: %1").arg(path), Cli::SourceUnreadable);
    // The face models are read while the photo is decoded.
    LandmarkModel::StartLoading();
    const SourcePicture::Loaded loaded = SourcePicture::Load(path);
    if (loaded.problem != SourcePicture::Problem::None)
        return Cli::Fail(s, SourcePicture::MessageFor(loaded.problem) + QStringLiteral(": ") + path,
                         PictureCommands::SourceExitCode(loaded.problem));
    const PhotoCheck::Report report = PhotoCheck::Check(loaded.picture);
    s.out += PhotoCheck::PlainText(report);
    if (report.modelMissing)
        s.err += QStringLiteral("ritrax-cli: modello dei punti del viso non trovato: %1\n").arg(LandmarkModel::ModelPath());
    return report.allPass() ? AllPass : SomeFail;
}

} // namespace CheckCommand
