#include "FastPath.h"

#include "CommandLine.h"
#include "OutputPipeline.h"
#include "PictureCommands.h"
#include "SourceCrop.h"

#include <memory>

namespace FastPath {

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// The source, crop and output of a command line the full program would
// accept as it stands.
struct Request {
    QString source;
    SourceCrop::Box box;
    QString output;
};

std::optional<Request> ReadRequest(const CommandLine::Parsed& a)
{
    using namespace PictureCommands;
    if (a.help || a.has(AutoOption) || a.positional.size() != 1 || !a.has(CropOption) || !a.has(OutputOption))
        return std::nullopt;
    const std::optional<SourceCrop::Box> box = CommandLine::ParseCrop(a.value(CropOption));
    if (!box || box->width <= 0 || box->height <= 0 || a.value(OutputOption).isEmpty())
        return std::nullopt;
    return Request{a.positional[0], *box, a.value(OutputOption)};
}

std::optional<int> Photo(const CommandLine::Parsed& a)
{
    const std::optional<Request> r = ReadRequest(a);
    if (!r)
        return std::nullopt;
    const Bitmap crop(SourceCrop::CropUprightJpeg(r->source, r->box));
    if (!crop)
        return std::nullopt;
    const Bitmap photo(OutputPipeline::MakePhotoBitmap(crop.get()));
    if (!photo || !OutputPipeline::WriteFiles({{FIF_JPEG, photo.get(), r->output}}))
        return std::nullopt;
    return Cli::Done;
}

std::optional<int> Signature(const CommandLine::Parsed& a)
{
    using namespace PictureCommands;
    const std::optional<Request> r = ReadRequest(a);
    if (!r)
        return std::nullopt;
    const bool blackAndWhite = a.has(BlackAndWhiteOption);
    int threshold = DefaultThreshold;
    if (a.has(ThresholdOption)) {
        const std::optional<int> given = CommandLine::ParseThreshold(a.value(ThresholdOption));
        if (!blackAndWhite || !given)
            return std::nullopt;
        threshold = *given;
    }
    if (blackAndWhite && CheckBlackAndWhiteName(r->output) != BmpName::Usable)
        return std::nullopt;
    const OutputPipeline::SignatureGeometry geometry = OutputPipeline::SignatureGeometryFor(a.has(Dpi200Option));
    if (OutputPipeline::FitSignature(int(r->box.width), int(r->box.height), geometry).isEmpty())
        return std::nullopt;

    const Bitmap crop(SourceCrop::CropUprightJpeg(r->source, r->box));
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

std::optional<int> Run(const QStringList& arguments)
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
    return photo ? Photo(*parsed.parsed) : Signature(*parsed.parsed);
}

} // namespace FastPath
