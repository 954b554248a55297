#pragma once
// Shared by the bridge's routines: releasing a bitmap handed over with
// unloadSource, and failing with the bridge error after releasing it.

#include <FreeImage.h>

#include <QString>

namespace MFreeImage {

void Release(FIBITMAP* bitmap, bool unloadSource);

// A bitmap handed over with unloadSource is the routine's to release even
// when the routine fails with the bridge error.
[[noreturn]] void Fail(FIBITMAP* bitmap, bool unloadSource, const QString& sentence);

} // namespace MFreeImage
