#include "FormWork.h"

#include "ApplicantProposal.h"
#include "LandmarkModel.h"
#include "MFreeImage.h"
#include "OutputPipeline.h"
#include "PictureCommands.h"
#include "SourceCrop.h"
#include "SourcePicture.h"
#include "WholeFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <atomic>
#include <exception>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace FormWork {

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

const QString NoMemory = QStringLiteral("memoria insufficiente per preparare i file");

QString Box(const QRect& r)
{
    return QStringLiteral("%1,%2,%3,%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The page as "foto --auto" and "firma --auto" load it, or what they would
// say about it.
std::optional<QString> LoadPage(const QString& source, QImage& page)
{
    const QFileInfo file(source);
    if (!file.isFile() || !file.isReadable())
        return QStringLiteral("File sorgente non trovato o non leggibile");
    if (!SourceCrop::IntakeTakes(SourcePicture::FileType(source)))
        return SourcePicture::MessageFor(SourcePicture::Problem::UnknownType);
    SourcePicture::Loaded loaded = SourcePicture::Load(source);
    if (loaded.problem != SourcePicture::Problem::None)
        return SourcePicture::MessageFor(loaded.problem);
    page = std::move(loaded.picture);
    return std::nullopt;
}

// The crops found, and what is missing when one was not.
QString Crops(const ApplicantProposal::Proposal& p)
{
    QStringList parts;
    if (p.hasPhoto())
        parts << QStringLiteral("foto ") + Box(p.portrait.selection)
                     + (p.portrait.turned ? QStringLiteral(" (pagina girata di 180°)") : QString());
    if (p.hasSignature())
        parts << QStringLiteral("firma ") + Box(p.signature);
    QString line = parts.join(u' ');
    QString missing;
    if (!p.hasPhoto() && !p.hasSignature())
        missing = QStringLiteral("nessun viso e nessuna firma trovati");
    else if (!p.hasPhoto())
        missing = QStringLiteral("nessun viso trovato");
    else if (!p.hasSignature())
        missing = QStringLiteral("nessuna firma trovata");
    if (!missing.isEmpty())
        line += (line.isEmpty() ? QString() : QStringLiteral("; ")) + missing + QStringLiteral(", nessun file scritto");
    return line;
}

QString OtherFaces(int others)
{
    if (others <= 0)
        return {};
    return QStringLiteral("; %1 nella pagina, inquadrato il più grande")
        .arg(others == 1 ? QStringLiteral("c'è un altro viso") : QStringLiteral("ci sono altri %1 visi").arg(others));
}

// The crop of PhotoPage taken without turning the whole page: the same
// pixels, and one page less in memory.
QImage PhotoCrop(const QImage& page, const ApplicantProposal::Proposal& p)
{
    const QRect s = p.portrait.selection;
    if (!p.portrait.turned)
        return page.copy(s);
    const QRect inPage(page.width() - s.x() - s.width(), page.height() - s.y() - s.height(), s.width(), s.height());
    return page.copy(inPage).mirrored(true, true);
}

// Names every file that stands in the way of the form's files, or empty.
QString Obstacles(const QList<OutputPipeline::FileToWrite>& files)
{
    QStringList blocked;
    for (const OutputPipeline::FileToWrite& f : files)
        if (QFileInfo::exists(f.path) && !IsReplaceable(f.path))
            blocked << f.path;
    if (blocked.isEmpty())
        return {};
    return QStringLiteral("%1 non è un file normale (cartella, dispositivo, FIFO o socket): nessun file scritto")
        .arg(blocked.join(QStringLiteral(", ")));
}

QString WriteFailed(const QList<OutputPipeline::FileToWrite>& files)
{
    QStringList paths;
    for (const OutputPipeline::FileToWrite& f : files)
        paths << f.path;
    const QString last = paths.takeLast();
    return QStringLiteral("impossibile scrivere i file %1 e %2").arg(paths.join(QStringLiteral(", ")), last);
}

// Both crops of the page made into the form's files and the photo checked.
Outcome MakeFiles(const QImage& page, const ApplicantProposal::Proposal& p, const QString& baseName,
                  const Settings& settings)
{
    const QString crops = Crops(p) + OtherFaces(p.portrait.others);
    const OutputPipeline::SignatureGeometry geometry = OutputPipeline::SignatureGeometryFor(settings.dpi200);
    const QSize ink = p.signature.size();
    if (OutputPipeline::FitSignature(ink.width(), ink.height(), geometry).isEmpty())
        return {crops + QStringLiteral("; la firma trovata, di %1 x %2 pixel, è troppo sottile per la tela, "
                                       "nessun file scritto")
                            .arg(ink.width())
                            .arg(ink.height())};
    const Bitmap photo(OutputPipeline::MakePhoto(PhotoCrop(page, p)));
    const Bitmap canvas(OutputPipeline::MakeSignature(page.copy(p.signature), ink.width(), ink.height(), geometry));
    if (!photo || !canvas)
        return {crops + QStringLiteral("; ") + NoMemory};
    const QString signaturePath = SignaturePath(settings, baseName);
    QList<OutputPipeline::FileToWrite> files{{FIF_JPEG, photo.get(), PhotoPath(settings, baseName)},
                                             {FIF_JPEG, canvas.get(), signaturePath}};
    Bitmap bmp;
    if (settings.blackAndWhite) {
        bmp.reset(OutputPipeline::BlackAndWhite(canvas.get(), PictureCommands::DefaultThreshold));
        if (!bmp)
            return {crops + QStringLiteral("; ") + NoMemory};
        files.append({FIF_BMP, bmp.get(), PictureCommands::BlackAndWhiteName(signaturePath)});
    }
    if (const QString blocked = Obstacles(files); !blocked.isEmpty())
        return {crops + QStringLiteral("; ") + blocked};
    if (!OutputPipeline::WriteFiles(files))
        return {crops + QStringLiteral("; ") + WriteFailed(files)};
    const PhotoCheck::Report report = ApplicantProposal::CheckPhoto(
        MFreeImage::PictureFromLibraryBitmap(photo.get(), false), p, p.portrait.selection);
    return {crops + CheckVerdict(report), report.allPass()};
}

Outcome MakeOrThrow(const QString& source, const Settings& settings)
{
    QImage page;
    if (const std::optional<QString> problem = LoadPage(source, page))
        return {*problem};
    const ApplicantProposal::Proposal p =
        ApplicantProposal::Propose(page, page.size(), PictureCommands::DefaultThreshold, false);
    if (p.portrait.status == FaceLandmarks::Status::NoModel)
        return {QStringLiteral("Riconoscimento del viso non disponibile: manca il modello dei punti del viso in %1 "
                               "(pacchetto libdlib-data)")
                    .arg(LandmarkModel::ModelPath())};
    if (!p.hasPhoto() || !p.hasSignature())
        return {Crops(p) + OtherFaces(p.portrait.others)};
    return MakeFiles(page, p, BaseName(source), settings);
}

} // namespace

QString PhotoPath(const Settings& settings, const QString& baseName)
{
    return QDir(settings.photoFolder).filePath(baseName + QStringLiteral(".JPG"));
}

QString SignaturePath(const Settings& settings, const QString& baseName)
{
    return QDir(settings.signatureFolder).filePath(baseName + QStringLiteral(".JPG"));
}

QString CheckVerdict(const PhotoCheck::Report& report)
{
    if (report.allPass())
        return QStringLiteral("; controllo superato");
    QStringList failed;
    for (const PhotoCheck::Value& v : report.values)
        if (!v.pass())
            failed << QStringLiteral("%1 %2 (%3)").arg(PhotoCheck::NameOf(v.item), PhotoCheck::ValueText(v),
                                                        PhotoCheck::RangeText(v));
    if (failed.isEmpty())
        return QStringLiteral("; controllo: nessun valore misurato");
    return QStringLiteral("; controllo: ") + failed.join(QStringLiteral(", "));
}

QString BaseName(const QString& source)
{
    const QFileInfo file(source);
    const QString base = file.completeBaseName();
    // ".jpg" alone has no base name: the whole name stands for it.
    return base.isEmpty() ? file.fileName() : base;
}

Outcome Make(const QString& source, const Settings& settings)
{
    // One form's failure, memory above all on a large page, must not take
    // the other forms' results with it.
    try {
        return MakeOrThrow(source, settings);
    } catch (const std::bad_alloc&) {
        return {NoMemory};
    } catch (const std::exception& e) {
        return {QStringLiteral("errore interno: %1").arg(QString::fromLocal8Bit(e.what()))};
    }
}

void RunPool(int count, int workers, const std::function<void(int)>& work)
{
    std::atomic<int> next{0};
    const auto loop = [&next, count, &work] {
        for (int i = next++; i < count; i = next++)
            work(i);
    };
    std::vector<std::thread> threads;
    for (int w = 1; w < workers && w < count; ++w) {
        try {
            threads.emplace_back(loop);
        } catch (const std::system_error&) {
            break; // fewer threads to be had: those running share the forms
        }
    }
    loop();
    for (std::thread& t : threads)
        t.join();
}

} // namespace FormWork
