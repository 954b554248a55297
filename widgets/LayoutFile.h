#pragma once
// The text form of a window layout: the controls of one window, in creation
// order, each with its place and its property bag.
//
//     # comment
//     [ScannerP(0)]
//     class = Ritrax.chameleonButton
//     left = 8                              pixels, from the window's client area
//     top = 32
//     _extentx = int32 3413                 hundredths of a millimetre
//     tx = string "  &Scanner"              escapes: \" \\ \r \n \t
//     enab = bool true
//     font = font "Arial" 12 700 false false false 0
//            (name, points, weight, italic, underline, strikethrough, character set)
//     mptr = int16 0
//     picn = picture ":/buttons/scanner.png"  a resource, or a file beside the layout
//     micon = picture none                      or: picture base64 <data>
//
// class, left and top belong to the window; every other line is a typed
// entry of the control's property bag, stored under the key as written.

#include "PropertyBag.h"

#include <QList>
#include <QString>

#include <optional>

struct StoredControl {
    QString name;      // "ScannerP(0)" for a member of a control array
    QString className; // "Ritrax.chameleonButton"
    int left = 0;
    int top = 0;
    PropertyBag bag;
};

// Reads a layout text; relative picture paths are taken from baseFolder.
// On a syntax error or an unreadable picture: nothing, and *error says where.
std::optional<QList<StoredControl>> ParseLayout(const QString& text, const QString& baseFolder,
                                                QString* error = nullptr);

// Reads a layout file or resource.
std::optional<QList<StoredControl>> ReadLayoutFile(const QString& path, QString* error = nullptr);

// The text ParseLayout reads back to the same controls. Pictures that came
// from a file are written as its path, others inline.
QString FormatLayout(const QList<StoredControl>& controls);

// Sizes in hundredths of a millimetre at 96 dots per inch (1 pixel = 15
// twips = 26.4583 hundredths), rounded half to even both ways.
int PixelsToHimetric(int pixels);
int HimetricToPixels(int himetric);
