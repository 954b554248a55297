#pragma once
// The rules that turn the name typed in a save dialog into the files
// written, and back into the bare name the next save proposes.

#include <QString>

namespace OutputNames {

// ".JPG" appended unless the last four characters read ".JPG" in any case:
// foto -> foto.JPG, foto.jpg stays, foto.jpeg -> foto.jpeg.JPG.
QString WithJpgEnding(const QString& name);

struct SignatureFiles {
    QString jpeg;            // N
    bool blackAndWhite;      // the name ended in ".jbn"
    QString bmp;             // N with ".bmp" in place of its last four characters
};
// A name ending in ".jbn" (any case) asks for the black-and-white variant;
// that ending is never written itself.
SignatureFiles ForSignature(const QString& name);

// N without its last four characters and without its folder:
// "/arch/rossi.JPG" -> "rossi".
QString BareName(const QString& fileName);

// The folder a save dialog opens in, from the stored path of the last file
// saved: its folder, "C:\" when nothing was stored.
QString StartFolder(const QString& stored);

} // namespace OutputNames
