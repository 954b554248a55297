#pragma once
// The commands that write the authority's files: "foto" and "firma", on a
// crop given or, with --auto, on the face or the signature found in the
// whole picture.

#include "CliCommands.h"

#include <QFileInfo>

namespace PictureCommands {

inline const QString CropOption = QStringLiteral("--ritaglio");
inline const QString OutputOption = QStringLiteral("-o");
inline const QString Dpi200Option = QStringLiteral("--200dpi");
inline const QString BlackAndWhiteOption = QStringLiteral("--bn");
inline const QString ThresholdOption = QStringLiteral("--soglia");
inline const QString AutoOption = QStringLiteral("--auto");
inline constexpr int DefaultThreshold = 170;

int RunPhoto(const CommandLine::Parsed& arguments, Cli::Streams& streams);
int RunSignature(const CommandLine::Parsed& arguments, Cli::Streams& streams);

// The black-and-white BMP beside the signature JPEG: ".bmp" in place of
// the name's last four characters.
inline QString BlackAndWhiteName(const QString& output)
{
    return output.left(qMax<qsizetype>(0, output.size() - 4)) + QStringLiteral(".bmp");
}

// Why the black-and-white BMP cannot go beside output: the name has no
// four characters to replace, or the BMP's name would be the JPEG's own.
enum class BmpName { Usable, TooShort, SameAsJpeg };
inline BmpName CheckBlackAndWhiteName(const QString& output)
{
    if (QFileInfo(output).fileName().size() <= 4)
        return BmpName::TooShort;
    if (QFileInfo(BlackAndWhiteName(output)).absoluteFilePath() == QFileInfo(output).absoluteFilePath())
        return BmpName::SameAsJpeg;
    return BmpName::Usable;
}

// The options of the two commands, as the help lists them; the crop's is
// the portal check's too.
const CommandLine::Option& CropOptionHelp();
const QList<CommandLine::Option>& PhotoOptions();
const QList<CommandLine::Option>& SignatureOptions();

} // namespace PictureCommands
