#pragma once
// ritrax-cli: the authority's photo and signature files from a source
// picture and a crop, without windows, byte for byte as the editors save
// them; the crop found by itself on request; the offline check of a photo. Each command is one entry of a table (name, usage, options, the
// function that runs it); a new command is a new entry.

#include "CommandLine.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace Cli {

enum ExitCode : int {
    Done = 0,
    InternalFailure = 1,  // the files could not be made (memory)
    BadUsage = 2,         // the command line is wrong
    SourceUnreadable = 3, // no such picture, or one that cannot be read
    CropOutside = 4,      // the crop is empty or leaves the picture
    OutputUnwritable = 5, // the output file cannot be written
    NothingFound = 6,     // --auto found no face or no signature
};

// What a command prints: out for its results and the help, err for
// messages. Texts, not streams, so that tests read them directly.
struct Streams {
    QString out;
    QString err;
    // When set, hands out and err as they stand to the terminal and empties
    // them: a long command shows its lines as they come.
    std::function<void(Streams&)> flush;
};

// An exit code a command has of its own, with its line for the help.
struct CommandExitCode {
    int code;
    QString text;
};

struct Command {
    QString name;
    QString usage;   // the words after the command's name
    QString summary; // one line for the general help
    QList<CommandLine::Option> options;
    int (*run)(const CommandLine::Parsed& arguments, Streams& streams);
    // Beside the general ones; never one of their values.
    QList<CommandExitCode> exitCodes;
};

const QList<Command>& Commands();

// Runs the command line (the program's name left out) and gives the exit code.
int Run(const QStringList& arguments, Streams& streams);

QString GeneralHelp();
QString CommandHelp(const Command& command);

// A message on err, prefixed with the program's name; gives code back.
int Fail(Streams& streams, const QString& message, int code);
// The same for a wrong command line, with a pointer to the help.
int UsageError(Streams& streams, const QString& message);

} // namespace Cli
