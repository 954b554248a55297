// The signature field of an evaluation page: a ruled box with its printed
// label and a handwritten-looking name, and the scanner's grain.
#pragma once

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPainter>
#include <QRandomGenerator>
#include <QRectF>
#include <QStringList>
#include <QTransform>

namespace EvalSignature {

struct Rule {
    QLineF line;
    bool touchedByInk = false;
};

struct Ink {
    QImage layer; // ARGB, transparent where there is no ink
    QPoint origin; // of the layer on the page
};

struct Field {
    QRectF box;
    QRectF label;
    QList<Rule> rules;
    Ink ink;
    QString font;
};

// Draws the field on the unturned page and says where its parts are.
Field Draw(QPainter& p, QRandomGenerator& r, const QColor& print, const QString& name, const QStringList& fonts,
           bool serif);

// The bounding box of the ink once the page is turned by turn.
QRectF InkBox(const Ink& ink, const QTransform& turn);

// Gaussian-like grain of a scanner, a few levels deep.
void AddGrain(QImage& page, QRandomGenerator& r);

} // namespace EvalSignature
