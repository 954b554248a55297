#include "OutputNames.h"

#include "PathText.h"

namespace OutputNames {

namespace {
bool EndsWithAnyCase(const QString& name, QStringView ending)
{
    return name.size() >= ending.size() && name.right(ending.size()).toUpper() == ending;
}
} // namespace

QString WithJpgEnding(const QString& name)
{
    return EndsWithAnyCase(name, u".JPG") ? name : name + QStringLiteral(".JPG");
}

SignatureFiles ForSignature(const QString& name)
{
    SignatureFiles files{name, false, QString()};
    if (EndsWithAnyCase(name, u".JBN")) {
        files.blackAndWhite = true;
        files.jpeg.chop(4);
    }
    files.jpeg = WithJpgEnding(files.jpeg);
    files.bmp = files.jpeg.left(files.jpeg.size() - 4) + QStringLiteral(".bmp");
    return files;
}

QString BareName(const QString& fileName)
{
    QString bare = fileName.left(qMax<qsizetype>(0, fileName.size() - 4));
    const qsizetype separator = qMax(bare.lastIndexOf(u'\\'), bare.lastIndexOf(u'/'));
    if (separator >= 0)
        bare = bare.mid(separator + 1);
    return bare;
}

QString StartFolder(const QString& stored)
{
    return stored.isEmpty() ? QStringLiteral("C:\\") : FolderOfStoredPath(stored);
}

} // namespace OutputNames
