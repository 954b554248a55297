#pragma once
// The program's texts break lines with CR LF or a lone CR; Qt's text drawing
// breaks only at LF.

#include <QString>

// Every CR LF and every lone CR becomes LF.
QString WithLineFeeds(const QString& text);
