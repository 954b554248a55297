// ritrax-cli: the photo and signature files without windows.

#include "CliCommands.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // No GUI application: nothing here needs a display or a platform plugin.
    QCoreApplication app(argc, argv);
    Cli::Streams streams;
    streams.flush = [](Cli::Streams& s) {
        std::fputs(s.out.toUtf8().constData(), stdout);
        std::fputs(s.err.toUtf8().constData(), stderr);
        std::fflush(stdout);
        s.out.clear();
        s.err.clear();
    };
    const int code = Cli::Run(CommandLine::Arguments(argc, argv), streams);
    streams.flush(streams);
    return code;
}
