// ritrax-cli: the photo and signature files without windows. This launcher
// loads no library of the program's: it loads the quick road (a module with
// Qt Core, FreeImage and the output pipeline) on a second thread while it
// decodes, on this one, the crop the command line names. The quick road
// does the common case, a crop of an upright JPEG; every other command line
// is handed, as it stands, to the full program.

#include "FastPrefetch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

namespace {

// As the full program exits when something inside it fails.
constexpr int InternalFailure = 1;

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

// Beside this program in the build folder; in the libexec folder once
// installed. Empty when neither is there with the access asked for.
std::string Companion(const std::string& folder, const char* name, int accessMode)
{
    for (const std::string& path : {folder + "/" + name, folder + "/" RITRAX_CLI_LIBEXEC_RELATIVE "/" + name})
        if (access(path.c_str(), accessMode) == 0)
            return path;
    return {};
}

// The quick road's exit code, or -1 where it leaves the command line to the
// full program (or cannot be loaded: the full program then does it all).
int RunQuickRoad(const std::string& folder, int argc, char** argv)
{
    const std::string module = Companion(folder, RITRAX_CLI_MODULE_NAME, R_OK);
    if (module.empty())
        return -1;
    void* handle = nullptr;
    const auto load = [&handle, &module] { handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL); };
    std::thread loader;
    try {
        loader = std::thread(load);
    } catch (const std::system_error&) {
        load(); // no thread to be had: loaded first, decoded after
    }
    std::unique_ptr<FastPrefetch::Region> ahead;
    if (const std::optional<FastPrefetch::Guess> guess = FastPrefetch::GuessCrop({argv + 1, argv + argc}))
        ahead = FastPrefetch::Fetch(*guess);
    if (loader.joinable())
        loader.join();
    if (!handle)
        return -1;
    const auto run = reinterpret_cast<FastPrefetch::RunFunction>(dlsym(handle, FastPrefetch::RunFunctionName));
    return run ? run(argc, argv, ahead.get()) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = OwnFolder();
    if (const int code = RunQuickRoad(folder, argc, argv); code >= 0) {
        // The files are written and closed: what is left of exit, the
        // loaded libraries' clean-up, only costs a script's time.
        std::fflush(nullptr);
        _exit(code);
    }

    const std::string full = Companion(folder, RITRAX_CLI_FULL_NAME, X_OK);
    if (full.empty()) {
        std::fprintf(stderr, "ritrax-cli: programma non trovato: %s\n",
                     (folder + "/" RITRAX_CLI_LIBEXEC_RELATIVE "/" RITRAX_CLI_FULL_NAME).c_str());
        return InternalFailure;
    }
    execv(full.c_str(), argv);
    std::fprintf(stderr, "ritrax-cli: impossibile avviare %s: %s\n", full.c_str(), std::strerror(errno));
    return InternalFailure;
}
