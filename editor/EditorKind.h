#pragma once
// What tells the photo editor and the signature editor apart. The shared
// framing code reads one of these descriptions; nothing else differs.

#include "OleColor.h"

#include <QRect>
#include <QString>

struct EditorKind {
    enum class Which { Photo, Signature };
    Which which;

    // Selection proportion, width / height; the photo keeps it while
    // resizing, the signature only starts with it.
    float proportion;
    double proportionExact;
    bool keepsProportion;
    OleColor penColor; // the frame is drawn in this colour, XOR the picture

    // Built-in starting scroll values by picture size.
    int wideSh;
    int tallSv;
    int middleSh;
    int middleSv;
    // Columns of formati.txt with the starting scroll values, counted from 1.
    int presetColumnSh;
    int presetColumnSv;

    QString helpText;

    // Controls other than buttons, in window pixels.
    QRect PbeS, Pbe, Sh, Sv, help, Label1, resultFrame, Imgd;
    // The stored layout of the window's buttons.
    QString buttonLayout;

    static const EditorKind& Photo();
    static const EditorKind& Signature();
};
