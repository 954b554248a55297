#pragma once
// Conversion of the program's "Description|*.A;*.B|Description|*.*" filters
// into the name filters of Qt's file dialog.

#include <QStringList>

namespace FileFilter {

// One entry per description/patterns pair, in order, written
// "Description (*.A *.B)". "*.*" means every file and becomes "*". Empty
// patterns between ";" are dropped; a description without patterns is kept
// with "*".
QStringList ToNameFilters(const QString& filter);

} // namespace FileFilter
