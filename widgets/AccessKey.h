#pragma once
// The access key of a button caption: the character after the first single
// "&", in lower case; "&&" stands for a literal ampersand.

#include <QChar>
#include <QStringView>

// A null QChar when the caption has no access key.
QChar AccessKeyOf(QStringView caption);
