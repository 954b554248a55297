#pragma once
// "modulo": the photo and the signature of each applicant's form found and
// written together, many forms at once on every core, with a line a form
// and the list of the forms a person has to look at.

#include "CliCommands.h"

namespace FormCommand {

inline const QString PhotoFolderOption = QStringLiteral("--foto");
inline const QString SignatureFolderOption = QStringLiteral("--firma");
inline const QString WorkersOption = QStringLiteral("--lavori");
inline constexpr int MaxWorkers = 64;

// Exit code of this command besides the general ones: some form did not
// give both files, or its photo did not pass the check.
enum : int { NeedsPerson = 9 };

const QList<CommandLine::Option>& Options();

int Run(const CommandLine::Parsed& arguments, Cli::Streams& streams);

} // namespace FormCommand
