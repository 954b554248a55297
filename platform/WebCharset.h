#pragma once
// Turning a web page's bytes into text the way a browser picks the page's
// character encoding: a byte order mark first, then the charset named by the
// Content-Type header, then a <meta> tag near the top of the page, UTF-8 when
// nothing says otherwise. The Latin labels (ISO-8859-1, US-ASCII, ...) all
// mean windows-1252, as they do in browsers.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace WebCharset {

// The value of the "charset" parameter in a Content-Type value or in the
// content of a <meta http-equiv="Content-Type">, quotes removed; empty when
// there is none. "text/html; charset=\"ISO-8859-1\"" -> "ISO-8859-1".
QByteArray FromContentType(QByteArrayView contentType);

// The charset that a <meta charset> or <meta http-equiv="Content-Type"> tag
// within the first 1024 bytes of the page names; empty when none does.
// Comments are skipped.
QByteArray FromMeta(QByteArrayView page);

// The encoding the page is to be read with, as a lower-case canonical name
// ("utf-8", "windows-1252", "utf-16le", "utf-16be", or another name the
// text converters know).
QByteArray Sniff(QByteArrayView page, QByteArrayView contentType);

// The bytes decoded with the encoding of the given label; a label that is
// unknown reads as UTF-8. A byte order mark is dropped. Invalid sequences
// become U+FFFD.
QString Decode(QByteArrayView bytes, QByteArrayView label);

// Sniff, then Decode.
QString DecodePage(QByteArrayView page, QByteArrayView contentType);

} // namespace WebCharset
