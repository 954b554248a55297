#include "OutputSave.h"

#include "Numbers.h"
#include "OperatorDialogs.h"
#include "OutputNames.h"
#include "OutputPipeline.h"
#include "SettingsStore.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace OutputSave {

namespace {

const QString PhotoFilter = QStringLiteral("File immagine JPG|*.JPG|Tutti i file|*.*");
const QString JpegFirstFilter
    = QStringLiteral("File immagine JPG|*.JPG|File immagine JPG e BMP b/n|*.jbn;*.jpg;*.bmp;|Tutti i file|*.*");
const QString BlackAndWhiteFirstFilter
    = QStringLiteral("File immagine JPG e BMP b/n|*.jbn;*.jpg;*.bmp;|File immagine JPG|*.JPG|Tutti i file|*.*");

void Release(FIBITMAP*& bitmap)
{
    if (bitmap)
        FreeImage_Unload(bitmap);
    bitmap = nullptr;
}

// The name chosen in the save dialog, trimmed; empty for a cancel.
QString AskName(const Context& c, const QString& startFolder, const QString& filter, const QString& proposed)
{
    const std::optional<QString> chosen = c.dialogs.saveFile(c.parent, {startFolder, filter, proposed});
    return chosen ? chosen->trimmed() : QString();
}

bool MayWrite(const Context& c, const QString& name)
{
    return !QFileInfo::exists(name) || c.dialogs.askYesNo(c.parent, OverwriteQuestion);
}

void RememberPhoto(const Context& c, const QString& name)
{
    c.settings.write(QStringLiteral("InitDirFoto"), name);
    LastPhotoName() = OutputNames::BareName(name);
}

void RememberSignature(const Context& c, const OutputNames::SignatureFiles& files)
{
    c.settings.write(QStringLiteral("LastNome"), QStringLiteral("JPG"));
    if (files.blackAndWhite)
        c.settings.write(QStringLiteral("LastNome"), QStringLiteral("JBN"));
    c.settings.write(QStringLiteral("InitDirFirma"), files.jpeg);
}

QStringList SignaturePaths(const OutputNames::SignatureFiles& files)
{
    return files.blackAndWhite ? QStringList{files.jpeg, files.bmp} : QStringList{files.jpeg};
}

QString InFolder(const QString& folder, const QString& name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

} // namespace

QString& LastPhotoName()
{
    static QString name;
    return name;
}

QString WriteFailedMessage(const QStringList& fileNames)
{
    return (fileNames.size() > 1 ? QStringLiteral("Impossibile scrivere i file:\r\n")
                                 : QStringLiteral("Impossibile scrivere il file:\r\n"))
        + fileNames.join(QStringLiteral("\r\n"));
}

bool SavePhoto(const Context& c, const QImage& crop, FIBITMAP*& resultBitmap)
{
    Release(resultBitmap);
    resultBitmap = OutputPipeline::MakePhoto(crop);
    if (!resultBitmap)
        return false;

    const QString folder = OutputNames::StartFolder(c.settings.read(QStringLiteral("InitDirFoto")));
    QString name = AskName(c, folder, PhotoFilter, QString());
    if (name.isEmpty()) {
        Release(resultBitmap);
        return false;
    }
    name = OutputNames::WithJpgEnding(name);
    if (!MayWrite(c, name)) {
        Release(resultBitmap);
        return false;
    }
    if (!OutputPipeline::WriteFiles({{FIF_JPEG, resultBitmap, name}})) {
        Release(resultBitmap);
        c.dialogs.showMessage(c.parent, WriteFailedMessage(name), MessageIcon::Critical);
        return false;
    }
    RememberPhoto(c, name);
    QCoreApplication::processEvents();
    return true;
}

bool SaveSignature(const Context& c, const QImage& crop, qint16& selWidth, qint16& selHeight,
                   FIBITMAP*& resultBitmap)
{
    const qint16 selectedWidth = selWidth;
    const qint16 selectedHeight = selHeight;
    const auto giveUp = [&] {
        Release(resultBitmap);
        // A second press fits the operator's selection again, not the fitted size.
        selWidth = selectedWidth;
        selHeight = selectedHeight;
        return false;
    };

    Release(resultBitmap);
    const OutputPipeline::SignatureGeometry geometry = OutputPipeline::SignatureGeometryFor(SignatureAt200(c.settings));
    QSize fitted;
    resultBitmap = OutputPipeline::MakeSignature(crop, selWidth, selHeight, geometry, &fitted);
    if (!resultBitmap)
        return giveUp();
    selWidth = Numbers::ClampInt16(fitted.width());
    selHeight = Numbers::ClampInt16(fitted.height());

    const QString folder = OutputNames::StartFolder(c.settings.read(QStringLiteral("InitDirFirma")));
    const QString filter
        = c.settings.read(QStringLiteral("LastNome")) == u"JBN" ? BlackAndWhiteFirstFilter : JpegFirstFilter;
    const QString name = AskName(c, folder, filter, LastPhotoName());
    if (name.isEmpty())
        return giveUp();
    const OutputNames::SignatureFiles files = OutputNames::ForSignature(name);
    if (!MayWrite(c, files.jpeg))
        return giveUp();

    QList<OutputPipeline::FileToWrite> writes{{FIF_JPEG, resultBitmap, files.jpeg}};
    FIBITMAP* blackAndWhite = nullptr;
    if (files.blackAndWhite) {
        blackAndWhite = OutputPipeline::BlackAndWhite(resultBitmap, BlackAndWhiteThreshold(c.settings));
        writes.append({FIF_BMP, blackAndWhite, files.bmp});
    }
    const bool written = OutputPipeline::WriteFiles(writes);
    if (blackAndWhite)
        FreeImage_Unload(blackAndWhite);
    if (!written) {
        c.dialogs.showMessage(c.parent, WriteFailedMessage(SignaturePaths(files)), MessageIcon::Critical);
        return giveUp();
    }
    RememberSignature(c, files);
    return true;
}

int BlackAndWhiteThreshold(const SettingsStore& settings)
{
    // A threshold outside the byte range is brought into it.
    return int(qBound(0LL, Numbers::RoundHalfEven(settings.readNumber(QStringLiteral("bnVal"), QStringLiteral("170"))),
                      255LL));
}

bool SignatureAt200(const SettingsStore& settings)
{
    return settings.readNumber(QStringLiteral("F200"), QStringLiteral("0")) != 0;
}

ApplicantFiles FilesFor(const QString& photoFolder, const QString& signatureFolder, const QString& name,
                        bool blackAndWhite, const QString& signatureSuffix)
{
    const QString bare = name.trimmed();
    return {OutputNames::WithJpgEnding(InFolder(photoFolder, bare)),
            OutputNames::ForSignature(InFolder(signatureFolder, bare + signatureSuffix)
                                      + (blackAndWhite ? QStringLiteral(".jbn") : QString()))};
}

bool SamePath(const ApplicantFiles& files)
{
    const auto same = [](const QString& a, const QString& b) {
        return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
    };
    return same(files.photo, files.signature.jpeg) || (files.signature.blackAndWhite && same(files.photo, files.signature.bmp));
}

bool SaveBoth(const Context& c, const QImage& photoCrop, const QImage& signatureCrop, const ApplicantFiles& files,
              FIBITMAP*& photoResult, FIBITMAP*& signatureResult)
{
    Release(photoResult);
    Release(signatureResult);
    if (SamePath(files))
        return false;
    const auto giveUp = [&] {
        Release(photoResult);
        Release(signatureResult);
        return false;
    };
    photoResult = OutputPipeline::MakePhoto(photoCrop);
    signatureResult = OutputPipeline::MakeSignature(signatureCrop, signatureCrop.width(), signatureCrop.height(),
                                                    OutputPipeline::SignatureGeometryFor(SignatureAt200(c.settings)));
    if (!photoResult || !signatureResult)
        return giveUp();
    if (!MayWrite(c, files.photo) || !MayWrite(c, files.signature.jpeg))
        return giveUp();

    QList<OutputPipeline::FileToWrite> writes{{FIF_JPEG, photoResult, files.photo},
                                              {FIF_JPEG, signatureResult, files.signature.jpeg}};
    FIBITMAP* blackAndWhite = nullptr;
    if (files.signature.blackAndWhite) {
        blackAndWhite = OutputPipeline::BlackAndWhite(signatureResult, BlackAndWhiteThreshold(c.settings));
        writes.append({FIF_BMP, blackAndWhite, files.signature.bmp});
    }
    const bool written = OutputPipeline::WriteFiles(writes);
    if (blackAndWhite)
        FreeImage_Unload(blackAndWhite);
    if (!written) {
        c.dialogs.showMessage(c.parent, WriteFailedMessage(QStringList{files.photo} + SignaturePaths(files.signature)),
                              MessageIcon::Critical);
        return giveUp();
    }
    RememberPhoto(c, files.photo);
    RememberSignature(c, files.signature);
    QCoreApplication::processEvents();
    return true;
}

} // namespace OutputSave
