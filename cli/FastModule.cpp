// The quick road as a module that ritrax-cli loads while it decodes the
// crop ahead: this is where Qt Core, FreeImage and the output pipeline come
// in.

#include "CommandLine.h"
#include "FastPath.h"

#include <QString>
#include <QStringList>

extern "C" __attribute__((visibility("default"))) int RitraxCliFastRun(int argc, char** argv,
                                                                      const FastPrefetch::Region* ahead)
{
    const std::optional<int> code = FastPath::Run(CommandLine::Arguments(argc, argv), ahead);
    return code ? *code : -1;
}

// The launcher looks the entry up by this name.
static_assert(sizeof(&RitraxCliFastRun) == sizeof(FastPrefetch::RunFunction));
