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
    c.settings.write(QStringLiteral("InitDirFoto"), name);
    LastPhotoName() = OutputNames::BareName(name);
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
    const bool dpi200 = c.settings.readNumber(QStringLiteral("F200"), QStringLiteral("0")) != 0;
    const OutputPipeline::SignatureGeometry geometry = OutputPipeline::SignatureGeometryFor(dpi200);
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
        // A threshold outside the byte range is brought into it.
        const long long threshold = qBound(
            0LL, Numbers::RoundHalfEven(c.settings.readNumber(QStringLiteral("bnVal"), QStringLiteral("170"))), 255LL);
        blackAndWhite = OutputPipeline::BlackAndWhite(resultBitmap, int(threshold));
        writes.append({FIF_BMP, blackAndWhite, files.bmp});
    }
    const bool written = OutputPipeline::WriteFiles(writes);
    if (blackAndWhite)
        FreeImage_Unload(blackAndWhite);
    if (!written) {
        const QStringList failed = files.blackAndWhite ? QStringList{files.jpeg, files.bmp} : QStringList{files.jpeg};
        c.dialogs.showMessage(c.parent, WriteFailedMessage(failed), MessageIcon::Critical);
        return giveUp();
    }
    c.settings.write(QStringLiteral("LastNome"), QStringLiteral("JPG"));
    if (files.blackAndWhite)
        c.settings.write(QStringLiteral("LastNome"), QStringLiteral("JBN"));
    c.settings.write(QStringLiteral("InitDirFirma"), files.jpeg);
    return true;
}

} // namespace OutputSave
