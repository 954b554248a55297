#include "FastPath.h"

#include "CommandLine.h"
#include "OutputPipeline.h"
#include "PictureCommands.h"
#include "SourceCrop.h"
#include "WholeFile.h"

#include <memory>

namespace FastPath {

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// A request the quick road can carry out: a crop given, not found.
std::optional<PictureCommands::Request> ReadRequest(const CommandLine::Parsed& a)
{
    if (a.help)
        return std::nullopt;
    const std::variant<PictureCommands::Request, QString> read = PictureCommands::ReadRequest(a);
    const PictureCommands::Request* request = std::get_if<PictureCommands::Request>(&read);
    if (!request || request->automatic || request->box.width <= 0 || request->box.height <= 0
        || !IsReplaceable(request->output))
        return std::nullopt;
    return *request;
}

std::optional<int> Photo(const CommandLine::Parsed& a, const FastPrefetch::Region* ahead)
{
    const std::optional<PictureCommands::Request> r = ReadRequest(a);
    if (!r)
        return std::nullopt;
    const Bitmap crop(SourceCrop::CropUprightJpeg(r->source, r->box, ahead));
    if (!crop)
        return std::nullopt;
    const Bitmap photo(OutputPipeline::MakePhotoBitmap(crop.get()));
    if (!photo || !OutputPipeline::WriteFiles({{FIF_JPEG, photo.get(), r->output}}))
        return std::nullopt;
    return Cli::Done;
}

std::optional<int> Signature(const CommandLine::Parsed& a, const FastPrefetch::Region* ahead)
{
    using namespace PictureCommands;
    const std::optional<PictureCommands::Request> r = ReadRequest(a);
    if (!r)
        return std::nullopt;
    const std::variant<BlackAndWhiteChoice, QString> choice = ReadBlackAndWhite(a, r->output);
    if (!std::holds_alternative<BlackAndWhiteChoice>(choice))
        return std::nullopt;
    const auto [blackAndWhite, threshold] = std::get<BlackAndWhiteChoice>(choice);
    if (blackAndWhite && !IsReplaceable(BlackAndWhiteName(r->output)))
        return std::nullopt;
    const OutputPipeline::SignatureGeometry geometry = OutputPipeline::SignatureGeometryFor(a.has(Dpi200Option));
    if (OutputPipeline::FitSignature(int(r->box.width), int(r->box.height), geometry).isEmpty())
        return std::nullopt;

    const Bitmap crop(SourceCrop::CropUprightJpeg(r->source, r->box, ahead));
    if (!crop)
        return std::nullopt;
    const Bitmap canvas(OutputPipeline::MakeSignatureBitmap(crop.get(), int(r->box.width), int(r->box.height), geometry));
    if (!canvas)
        return std::nullopt;
    QList<OutputPipeline::FileToWrite> files{{FIF_JPEG, canvas.get(), r->output}};
    Bitmap bmp;
    if (blackAndWhite) {
        bmp.reset(OutputPipeline::BlackAndWhite(canvas.get(), threshold));
        if (!bmp)
            return std::nullopt;
        files.append({FIF_BMP, bmp.get(), BlackAndWhiteName(r->output)});
    }
    if (!OutputPipeline::WriteFiles(files))
        return std::nullopt;
    return Cli::Done;
}

} // namespace

std::optional<int> Run(const QStringList& arguments, const FastPrefetch::Region* ahead)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString& command = arguments.first();
    const bool photo = command == u"foto";
    if (!photo && command != u"firma")
        return std::nullopt;
    const CommandLine::Outcome parsed = CommandLine::Parse(
        arguments.mid(1), photo ? PictureCommands::PhotoOptions() : PictureCommands::SignatureOptions(), command);
    if (!parsed.parsed)
        return std::nullopt;
    return photo ? Photo(*parsed.parsed, ahead) : Signature(*parsed.parsed, ahead);
}

} // namespace FastPath
