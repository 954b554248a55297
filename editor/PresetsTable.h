#pragma once
// formati.txt: rows of "minW maxW minH maxH photoSh photoSv signatureSh
// signatureSv", fields separated by single spaces, that set where the
// editors first scroll a picture of a size class. The file is optional.

#include "EditorKind.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace PresetsTable {

struct ScrollValues {
    int sh;
    int sv;
    bool operator==(const ScrollValues&) const = default;
};

// The scroll values of every row that matches a width x height picture, in
// file order (the last one stands once all are applied). Rows with fewer
// than four fields, and matching rows without the editor's two columns, are
// skipped. Values are rounded half to even.
std::vector<ScrollValues> MatchingRows(const QByteArray& content, int width, int height, const EditorKind& kind);

// Where formati.txt is looked for: the program folder, then the user's
// configuration folder Kelm/.
QStringList Locations(const QString& programFolder);

// The content of the first existing file among the locations; empty when
// there is none.
QByteArray Read(const QString& programFolder);

} // namespace PresetsTable
