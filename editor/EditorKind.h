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

    // Controls, in window pixels.
    QRect PbeS, Pbe, Sh, Sv, help, Label1, resultFrame, Imgd, SalvaP, EsciP;
    QRect TestP; // empty when the editor has no portal check
    QRect MsgL;  // empty when the editor has no wait panel

    bool hasPortalCheck() const { return !TestP.isEmpty(); }

    static const EditorKind& Photo();
    static const EditorKind& Signature();
};
