#include "AccessKey.h"

QChar AccessKeyOf(QStringView caption)
{
    const qsizetype n = caption.size();
    if (n < 2)
        return {};
    qsizetype amp = caption.indexOf(u'&');
    if (amp < 0 || amp == n - 1)
        return {};
    if (caption[amp + 1] != u'&')
        return caption[amp + 1].toLower();
    // A doubled ampersand is a literal one: look once more after the pair.
    amp = caption.indexOf(u'&', amp + 2);
    if (amp < 0 || amp == n - 1 || caption[amp + 1] == u'&')
        return {};
    return caption[amp + 1].toLower();
}
