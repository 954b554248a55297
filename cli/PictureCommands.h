#pragma once
// The commands that write the authority's files: "foto" and "firma", on a
// crop given or, with --auto, on the face or the signature found in the
// whole picture.

#include "CliCommands.h"

#include <variant>

namespace PictureCommands {

inline const QString CropOption = QStringLiteral("--ritaglio");
inline const QString OutputOption = QStringLiteral("-o");
inline const QString Dpi200Option = QStringLiteral("--200dpi");
inline const QString BlackAndWhiteOption = QStringLiteral("--bn");
inline const QString ThresholdOption = QStringLiteral("--soglia");
inline const QString AutoOption = QStringLiteral("--auto");
inline constexpr int DefaultThreshold = 170;

int RunPhoto(const CommandLine::Parsed& arguments, Cli::Streams& streams);

// The exit code for a source the loader refused: a picture too large for
// the memory the program can have is the program's failure, not the file's.
inline int SourceExitCode(SourcePicture::Problem problem)
{
    return problem == SourcePicture::Problem::OutOfMemory ? Cli::InternalFailure : Cli::SourceUnreadable;
}
int RunSignature(const CommandLine::Parsed& arguments, Cli::Streams& streams);

// The black-and-white BMP beside the signature JPEG: the file name's
// extension (after its last dot, a leading dot not counting) replaced by
// "bmp", or ".bmp" added when it has none. A dot in a folder's name is no
// extension.
QString BlackAndWhiteName(const QString& output);

// What a picture command line asks for. Read by the full commands, which
// tell the operator what is wrong, and by the quick road, which leaves a
// wrong command line to them.
struct Request {
    QString source;
    SourceCrop::Box box;
    bool automatic = false; // --auto: the crop is found, not given
    QString output;
};
// The request, or the sentence that says what is wrong with the command line.
std::variant<Request, QString> ReadRequest(const CommandLine::Parsed& arguments);

// The black-and-white file of "firma": whether it is asked for and its
// threshold (the default, or --soglia brought into 0..255).
struct BlackAndWhiteChoice {
    bool wanted = false;
    int threshold = DefaultThreshold;
};
// The choice, or the sentence that says what is wrong: --soglia without
// --bn or not a number, or an output name whose BMP would be the JPEG
// itself.
std::variant<BlackAndWhiteChoice, QString> ReadBlackAndWhite(const CommandLine::Parsed& arguments,
                                                              const QString& output);

// The options of the two commands, as the help lists them; the crop's is
// the portal check's too.
const CommandLine::Option& CropOptionHelp();
const QList<CommandLine::Option>& PhotoOptions();
const QList<CommandLine::Option>& SignatureOptions();

} // namespace PictureCommands
