#pragma once
// The words after the command: options from a command's own list, in the
// forms "--name value", "--name=value" and "-o value", flags without a
// value, and the positional arguments. Errors are Italian sentences for the
// operator or the script's author.

#include "SourceCrop.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace CommandLine {

struct Option {
    QString name;      // as typed: "--ritaglio", "-o"
    QString valueName; // empty for a flag
    QString help;      // Italian, one or more lines
};

struct Parsed {
    QStringList positional;
    QHash<QString, QString> given; // option name -> value (empty for a flag)
    bool help = false;             // "-h" or "--help" anywhere

    bool has(const QString& name) const { return given.contains(name); }
    QString value(const QString& name) const { return given.value(name); }
};

struct Outcome {
    std::optional<Parsed> parsed;
    QString error; // when nothing was parsed
};

// The words of argv after the program's name. A word that is not valid
// UTF-8 cannot be spelled in a QString and back (Qt decodes file names as
// UTF-8): when it names something that can be opened it becomes the path
// of a descriptor of ours, "/proc/self/fd/N", kept open while the program
// runs, so that a source with such a name is read. The word after "-o" is
// left as it decodes: it names a file to be made.
QStringList Arguments(int argc, char** argv);

// "-h" and "--help" are known to every command; "--" ends the options.
Outcome Parse(const QStringList& words, const QList<Option>& options, const QString& command);

// "X,Y,L,A": four whole numbers (signs allowed, blanks around them too).
std::optional<SourceCrop::Box> ParseCrop(const QString& text);

// A number, rounded half to even and brought into 0..255.
std::optional<int> ParseThreshold(const QString& text);

} // namespace CommandLine
