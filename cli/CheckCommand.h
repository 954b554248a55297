#pragma once
// "controlla": the offline check of a photo file, as the photo editor shows
// it, printed one value to a line.

#include "CliCommands.h"

namespace CheckCommand {

// Exit codes of this command besides the table's.
enum : int { AllPass = 0, SomeFail = 1 };

int Run(const CommandLine::Parsed& arguments, Cli::Streams& streams);

} // namespace CheckCommand
