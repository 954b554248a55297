// The quick road as a module that ritrax-cli loads while it decodes the
// crop ahead: this is where Qt Core, FreeImage and the output pipeline come
// in.

#include "FastPath.h"

#include <QString>
#include <QStringList>

extern "C" __attribute__((visibility("default"))) int RitraxCliFastRun(int argc, char** argv,
                                                                      const FastPrefetch::Region* ahead)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const std::optional<int> code = FastPath::Run(arguments, ahead);
    return code ? *code : -1;
}

// The launcher looks the entry up by this name.
static_assert(sizeof(&RitraxCliFastRun) == sizeof(FastPrefetch::RunFunction));
