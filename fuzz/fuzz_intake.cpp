// Picture files as operators bring them in: the type check, the header
// check and the decode, over any bytes.

#include "SourcePicture.h"

#include <FreeImage.h>

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FreeImage_Initialise(FALSE);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QString path = QDir::temp().filePath(QStringLiteral("ritrax-fuzz-intake-%1").arg(getpid()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char*>(data), qint64(size));
    file.close();
    // A budget of its own keeps a crafted header from asking for the
    // machine's whole memory.
    const SourcePicture::Loaded loaded = SourcePicture::Load(path, 8LL << 20);
    if (loaded.problem == SourcePicture::Problem::None) {
        if (loaded.picture.isNull() || loaded.picture.width() > SourcePicture::MaxSide
            || loaded.picture.height() > SourcePicture::MaxSide || loaded.picture.hasAlphaChannel())
            std::abort();
        (void)loaded.picture.copy(0, 0, 16, 16);
    } else if (!loaded.picture.isNull()) {
        std::abort();
    }
    return 0;
}
