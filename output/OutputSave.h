#pragma once
// The save buttons of the two editors: ask where, write the authority's
// files, remember the folder and the name, and leave the result for the
// main window. A cancelled or refused save, and a save whose files cannot be
// written, leave nothing behind: the result bitmap is released and null and
// no setting changes; a failed write is reported to the operator.

#include "OutputNames.h"

#include <FreeImage.h>

#include <QImage>
#include <QString>
#include <QStringList>

class OperatorDialogs;
class SettingsStore;
class QWidget;

namespace OutputSave {

struct Context {
    SettingsStore& settings;
    OperatorDialogs& dialogs;
    QWidget* parent;
};

// The bare name of the last photo saved in this run; the signature save
// proposes it.
QString& LastPhotoName();

// The photo of crop as a 265 x 320 JPEG at 200 DPI. True when it was
// written: resultBitmap then holds the photo (the caller owns it). Any
// bitmap already in resultBitmap is released first.
bool SavePhoto(const Context& context, const QImage& crop, FIBITMAP*& resultBitmap);

// The signature canvas of crop as a JPEG, with the ".jbn" ending also as a
// 1-bit BMP. selWidth and selHeight are the selection's size; they hold the
// fitted size while the save runs and get the selection back when nothing
// was saved. True when the files were written: resultBitmap holds the
// canvas.
bool SaveSignature(const Context& context, const QImage& crop, qint16& selWidth, qint16& selHeight,
                   FIBITMAP*& resultBitmap);

// The files of one applicant saved at once: the photo and the signature
// under one name, each in its own folder.
struct ApplicantFiles {
    QString photo;                         // photoFolder/name.JPG
    OutputNames::SignatureFiles signature; // signatureFolder/name.JPG, and name.bmp
};
// signatureSuffix goes after the name of the signature's files only.
ApplicantFiles FilesFor(const QString& photoFolder, const QString& signatureFolder, const QString& name,
                        bool blackAndWhite, const QString& signatureSuffix = QString());
// What the signature's name gets when it would take the photo's file.
inline const QString SignatureSuffix = QStringLiteral("-firma");
// Whether the signature would be written over the photo.
bool SamePath(const ApplicantFiles& files);

// Writes both files of an applicant from the two crops, as a photo save and
// a signature save would each write theirs, with their settings, and leaves
// the two bitmaps for the thumbnails (the caller owns them). Each file
// already there is asked about; the files are written all or none, and a
// failure is reported. Files that would land on one path are never written.
bool SaveBoth(const Context& context, const QImage& photoCrop, const QImage& signatureCrop, const ApplicantFiles& files,
              FIBITMAP*& photoResult, FIBITMAP*& signatureResult);

// The threshold of the black-and-white file, "bnVal" brought into 0..255.
int BlackAndWhiteThreshold(const SettingsStore& settings);
// Whether the signature is written at 200 DPI ("F200").
bool SignatureAt200(const SettingsStore& settings);

// Texts of the prompts.
inline const QString OverwriteQuestion = QStringLiteral("File già presente.\rDevo sovrascriverlo ?");
// The files that could not be written, one a line; the plural for more
// than one.
QString WriteFailedMessage(const QStringList& fileNames);
inline QString WriteFailedMessage(const QString& fileName)
{
    return WriteFailedMessage(QStringList{fileName});
}

} // namespace OutputSave
