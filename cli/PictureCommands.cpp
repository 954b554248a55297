#include "PictureCommands.h"

#include "LandmarkModel.h"
#include "OutputPipeline.h"
#include "PortraitFraming.h"
#include "SignatureFinder.h"
#include "SourceCrop.h"
#include "WholeFile.h"

#include <QFileInfo>

#include <memory>

namespace PictureCommands {

using Cli::Streams;

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// The request of the command line; Done, or the exit code of a message given.
int ReadRequest(const CommandLine::Parsed& a, Streams& s, Request& request)
{
    std::variant<Request, QString> read = PictureCommands::ReadRequest(a);
    if (const QString* problem = std::get_if<QString>(&read))
        return Cli::UsageError(s, *problem);
    request = std::get<Request>(std::move(read));
    return Cli::Done;
}

// The crop the editor would take; Done, or the exit code of a message given.
int CropSource(const Request& r, Streams& s, QImage& crop)
{
    const SourceCrop::Result result = SourceCrop::Crop(r.source, r.box);
    switch (result.outcome) {
    case SourceCrop::Outcome::Cropped:
        crop = result.crop;
        return Cli::Done;
    case SourceCrop::Outcome::NotFound:
        return Cli::Fail(s, QStringLiteral("File sorgente non trovato o non leggibile: %1").arg(r.source), Cli::SourceUnreadable);
    case SourceCrop::Outcome::Unreadable:
        return Cli::Fail(s, SourcePicture::MessageFor(result.problem) + QStringLiteral(": ") + r.source,
                         SourceExitCode(result.problem));
    case SourceCrop::Outcome::Empty:
        return Cli::Fail(s, QStringLiteral("Il ritaglio è vuoto: larghezza e altezza devono essere maggiori di zero"),
                         Cli::CropOutside);
    case SourceCrop::Outcome::Outside:
        break;
    }
    return Cli::Fail(s,
                     QStringLiteral("Il ritaglio %1,%2,%3,%4 esce dall'immagine, che misura %5 x %6 pixel")
                         .arg(r.box.x)
                         .arg(r.box.y)
                         .arg(r.box.width)
                         .arg(r.box.height)
                         .arg(result.pictureSize.width())
                         .arg(result.pictureSize.height()),
                     Cli::CropOutside);
}

enum class Subject { Face, Signature };

// The crop --auto finds in the whole picture, loaded as the editors load it;
// the crop's place goes to out. Done, or the exit code of a message given.
int FindCrop(const Request& r, Subject subject, int threshold, Streams& s, QImage& crop)
{
    const QFileInfo file(r.source);
    if (!file.isFile() || !file.isReadable())
        return Cli::Fail(s, QStringLiteral("File sorgente non trovato o non leggibile: %1").arg(r.source),
                         Cli::SourceUnreadable);
    if (!SourceCrop::IntakeTakes(SourcePicture::FileType(r.source)))
        return Cli::Fail(s, SourcePicture::MessageFor(SourcePicture::Problem::UnknownType) + QStringLiteral(": ")
                                + r.source,
                         Cli::SourceUnreadable);
    // The face models are read while the picture is decoded.
    if (subject == Subject::Face)
        LandmarkModel::StartLoading();
    SourcePicture::Loaded loaded = SourcePicture::Load(r.source);
    if (loaded.problem != SourcePicture::Problem::None)
        return Cli::Fail(s, SourcePicture::MessageFor(loaded.problem) + QStringLiteral(": ") + r.source,
                         SourceExitCode(loaded.problem));
    QRect found;
    bool turned = false;
    if (subject == Subject::Face) {
        const PortraitFraming::Proposal proposal = PortraitFraming::Propose(loaded.picture, loaded.picture.size());
        if (proposal.status == FaceLandmarks::Status::NoModel)
            return Cli::Fail(s, QStringLiteral("Riconoscimento del viso non disponibile: manca il modello dei punti "
                                               "del viso in %1 (pacchetto libdlib-data)").arg(LandmarkModel::ModelPath()),
                             Cli::NothingFound);
        found = proposal.selection;
        if (found.isEmpty())
            return Cli::Fail(s, QStringLiteral("Nessun viso trovato in %1").arg(r.source), Cli::NothingFound);
        // A page scanned upside down: the crop is taken from it turned.
        turned = proposal.turned;
        if (turned)
            loaded.picture = loaded.picture.mirrored(true, true);
        if (proposal.others > 0)
            s.err += QStringLiteral("ritrax-cli: %1 nella pagina; inquadrato il più grande\n")
                         .arg(proposal.others == 1 ? QStringLiteral("c'è un altro viso")
                                                   : QStringLiteral("ci sono altri %1 visi").arg(proposal.others));
    } else {
        found = SignatureFinder::Find(loaded.picture, threshold).selection;
        if (found.isEmpty())
            return Cli::Fail(s, QStringLiteral("Nessuna firma trovata in %1").arg(r.source), Cli::NothingFound);
    }
    s.out += QStringLiteral("Ritaglio automatico: %1,%2,%3,%4%5\n")
                 .arg(found.x())
                 .arg(found.y())
                 .arg(found.width())
                 .arg(found.height())
                 .arg(turned ? QStringLiteral(" (pagina girata di 180°)") : QString());
    crop = loaded.picture.copy(found);
    return Cli::Done;
}

// A folder, a device, a FIFO or a socket named as an output is refused
// before anything is decoded, and left as it is.
int RefuseSpecialOutputs(const QStringList& outputs, Streams& s)
{
    for (const QString& output : outputs) {
        if (QFileInfo::exists(output) && !IsReplaceable(output))
            return Cli::Fail(s,
                             QStringLiteral("%1 non è un file normale (cartella, dispositivo, FIFO o socket): "
                                            "non viene sostituito")
                                 .arg(output),
                             Cli::OutputUnwritable);
    }
    return Cli::Done;
}

int NoMemory(Streams& s)
{
    return Cli::Fail(s, QStringLiteral("Memoria insufficiente per preparare il file"), Cli::InternalFailure);
}

int Write(const QList<OutputPipeline::FileToWrite>& files, Streams& s)
{
    if (OutputPipeline::WriteFiles(files))
        return Cli::Done;
    if (files.size() == 1)
        return Cli::Fail(s, QStringLiteral("Impossibile scrivere il file %1").arg(files[0].path), Cli::OutputUnwritable);
    return Cli::Fail(s, QStringLiteral("Impossibile scrivere i file %1 e %2").arg(files[0].path, files[1].path),
                     Cli::OutputUnwritable);
}

} // namespace

int RunPhoto(const CommandLine::Parsed& a, Streams& s)
{
    Request request;
    if (const int code = ReadRequest(a, s, request); code != Cli::Done)
        return code;
    if (const int code = RefuseSpecialOutputs({request.output}, s); code != Cli::Done)
        return code;
    QImage crop;
    if (const int code = request.automatic ? FindCrop(request, Subject::Face, 0, s, crop) : CropSource(request, s, crop);
        code != Cli::Done)
        return code;
    const Bitmap photo(OutputPipeline::MakePhoto(crop));
    if (!photo)
        return NoMemory(s);
    return Write({{FIF_JPEG, photo.get(), request.output}}, s);
}

int RunSignature(const CommandLine::Parsed& a, Streams& s)
{
    Request request;
    if (const int code = ReadRequest(a, s, request); code != Cli::Done)
        return code;
    const std::variant<BlackAndWhiteChoice, QString> choice = ReadBlackAndWhite(a, request.output);
    if (const QString* problem = std::get_if<QString>(&choice))
        return Cli::UsageError(s, *problem);
    const bool blackAndWhite = std::get<BlackAndWhiteChoice>(choice).wanted;
    const int threshold = std::get<BlackAndWhiteChoice>(choice).threshold;
    QStringList outputs{request.output};
    if (blackAndWhite)
        outputs.append(BlackAndWhiteName(request.output));
    if (const int code = RefuseSpecialOutputs(outputs, s); code != Cli::Done)
        return code;

    const OutputPipeline::SignatureGeometry geometry = OutputPipeline::SignatureGeometryFor(a.has(Dpi200Option));
    if (request.box.width > 0 && request.box.height > 0) {
        const QSize fitted = OutputPipeline::FitSignature(int(request.box.width), int(request.box.height), geometry);
        if (fitted.isEmpty())
            return Cli::Fail(s,
                             QStringLiteral("Il ritaglio di %1 x %2 pixel è troppo sottile per la firma: "
                                            "portato sulla tela di %3 x %4 non avrebbe più pixel")
                                 .arg(request.box.width)
                                 .arg(request.box.height)
                                 .arg(geometry.canvasWidth)
                                 .arg(geometry.canvasHeight),
                             Cli::CropOutside);
    }

    QImage crop;
    if (const int code = request.automatic ? FindCrop(request, Subject::Signature, threshold, s, crop)
                                           : CropSource(request, s, crop);
        code != Cli::Done)
        return code;
    if (OutputPipeline::FitSignature(crop.width(), crop.height(), geometry).isEmpty())
        return Cli::Fail(s, QStringLiteral("La firma trovata, di %1 x %2 pixel, è troppo sottile per la tela")
                                .arg(crop.width())
                                .arg(crop.height()),
                         Cli::CropOutside);
    const Bitmap canvas(OutputPipeline::MakeSignature(crop, crop.width(), crop.height(), geometry));
    if (!canvas)
        return NoMemory(s);
    QList<OutputPipeline::FileToWrite> files{{FIF_JPEG, canvas.get(), request.output}};
    Bitmap bmp;
    if (blackAndWhite) {
        bmp.reset(OutputPipeline::BlackAndWhite(canvas.get(), threshold));
        if (!bmp)
            return NoMemory(s);
        files.append({FIF_BMP, bmp.get(), BlackAndWhiteName(request.output)});
    }
    return Write(files, s);
}

} // namespace PictureCommands
