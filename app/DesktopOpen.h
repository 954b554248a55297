#pragma once
// How a picture reaches the main window from the desktop instead of the
// File button: named as the program's argument by a file manager or a
// shell, or dropped on the window. These rules only pick the file; the
// main window then takes it in as a file chosen with the File button.

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace DesktopOpen {

// The file named by the program's arguments (without the program's own
// name and without the options Qt has already taken): the first argument
// that does not look like an option, or the first one after "--"; a file:
// URL names its local file. The name is made absolute against startFolder,
// because the program changes its current folder before taking it in.
// Everything else on the command line is ignored.
std::optional<QString> FileFromArguments(const QStringList& arguments, const QString& startFolder);

// What a drop on the main window leads to: a file to take in, or a refusal
// to tell the operator. Both empty when the drop carries no address.
struct Dropped {
    QString file;
    QString refusal;
};
Dropped FileFromDrop(const QList<QUrl>& urls);

inline const QString SeveralFiles = QStringLiteral("Rilasciare un solo file alla volta");
inline const QString NotLocal = QStringLiteral("Si possono aprire solo i file di questo computer");

} // namespace DesktopOpen
