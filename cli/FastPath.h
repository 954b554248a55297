#pragma once
// The quick road of "foto" and "firma": a crop of a JPEG stored upright,
// decoded only where it lies, through the output pipeline's bitmap stages,
// written whole. It needs no Qt GUI, no scanner and no network libraries,
// so the program that runs it starts in a fraction of the full program's
// time. Everything else (help, mistakes, other pictures, turned JPEGs,
// --auto, the other commands, any failure) is left to the full program,
// which gives the same files for what this road does.

#include "FastPrefetch.h"

#include <QStringList>

#include <optional>

namespace FastPath {

// The exit code when the command was carried out here; nothing, with
// nothing written, when the full program has to run the command line.
// ahead: the crop the launcher decoded while this road was loading.
std::optional<int> Run(const QStringList& arguments, const FastPrefetch::Region* ahead = nullptr);

} // namespace FastPath
