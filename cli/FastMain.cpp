// ritrax-cli: the photo and signature files without windows. The common
// case, a crop of an upright JPEG, is done here; every other command line
// is handed, as it stands, to the full program beside this one.

#include "CliCommands.h"
#include "FastPath.h"

#include <QByteArray>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <unistd.h>

namespace {

// This program's folder, from the link the kernel keeps to it.
std::string OwnFolder()
{
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    const std::string path(buffer, std::size_t(length));
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<int> code = FastPath::Run(arguments))
        return *code;

    // Beside this program in the build folder; in the libexec folder once
    // installed.
    const std::string folder = OwnFolder();
    const std::string candidates[] = {folder + "/" RITRAX_CLI_FULL_NAME,
                                      folder + "/" RITRAX_CLI_FULL_RELATIVE "/" RITRAX_CLI_FULL_NAME};
    for (const std::string& full : candidates)
        if (access(full.c_str(), X_OK) == 0) {
            execv(full.c_str(), argv);
            std::fprintf(stderr, "ritrax-cli: impossibile avviare %s: %s\n", full.c_str(), std::strerror(errno));
            return Cli::InternalFailure;
        }
    std::fprintf(stderr, "ritrax-cli: programma non trovato: %s\n", candidates[1].c_str());
    return Cli::InternalFailure;
}
