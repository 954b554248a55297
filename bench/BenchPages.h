#pragma once
// Generated A4 scans for the benchmarks, made once in the temporary folder.

#include <QString>

// An A4 page at the given resolution (300: 2480 x 3508, 600: 4960 x 7016),
// written as a JPEG with smooth gradients and some dark shapes.
QString BenchPage(int dpi);
