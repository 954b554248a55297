#pragma once
// The commands that write the authority's files: "foto" and "firma", on a
// crop given or, with --auto, on the face or the signature found in the
// whole picture.

#include "CliCommands.h"

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
QString BlackAndWhiteName(const QString& output);

} // namespace PictureCommands
