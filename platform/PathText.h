#pragma once
// Rules over file names kept as text in the settings.

#include <QString>

// The folder part of a stored path: the text before its last "\" (or "/"),
// or the whole text when it has no separator. "C:\\" gives "C:\",
// "/home/op/a.jpg" gives "/home/op", "/a.jpg" gives "/".
QString FolderOfStoredPath(const QString& text);

// A folder to start from: folder when it exists here; otherwise (a drive
// letter from another system, a folder removed since) the user's pictures,
// or the home folder.
QString UsableFolder(const QString& folder);
