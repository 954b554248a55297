#pragma once
// "verifica": the photo of a crop checked on the motorists' portal, as the
// photo editor's Test button does, with the verdict printed.

#include "CliCommands.h"

namespace PortalCommand {

inline const QString PortalOption = QStringLiteral("--portale");

// Exit codes of this command.
enum : int { Conforms = 0, Rejected = 1, CommunicationError = 2 };

int Run(const CommandLine::Parsed& arguments, Cli::Streams& streams);

} // namespace PortalCommand
