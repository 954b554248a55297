#pragma once
// "verifica": the photo of a crop checked on the motorists' portal, as the
// photo editor's Test button does, with the verdict printed.

#include "CliCommands.h"

namespace PortalCommand {

inline const QString PortalOption = QStringLiteral("--portale");

// Exit codes of this command, apart from the general ones (Cli::ExitCode)
// so that a script can tell a rejection from a failure.
enum : int { Conforms = 0, Rejected = 7, CommunicationError = 8 };

int Run(const CommandLine::Parsed& arguments, Cli::Streams& streams);

} // namespace PortalCommand
