// ritrax-cli: the photo and signature files without windows.

#include "CliCommands.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // No GUI application: nothing here needs a display or a platform plugin.
    QCoreApplication app(argc, argv);
    Cli::Streams streams;
    const int code = Cli::Run(CommandLine::Arguments(argc, argv), streams);
    std::fputs(streams.out.toUtf8().constData(), stdout);
    std::fputs(streams.err.toUtf8().constData(), stderr);
    return code;
}
