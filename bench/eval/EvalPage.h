// One page of the evaluation set: an A4 form at 300 DPI with a pasted
// photograph and a handwritten signature, and where everything ended up.
#pragma once

#include <QImage>
#include <QJsonObject>
#include <QLineF>
#include <QPointF>
#include <QPolygonF>
#include <QRandomGenerator>
#include <QRectF>
#include <QString>
#include <QStringList>

namespace EvalPage {

constexpr int PageWidth = 2480;
constexpr int PageHeight = 3508;

// A source photograph and its hand-marked points, in the file's pixels.
struct Source {
    QString id;
    QString person;
    QString file;
    QPointF crown, chin, leftEye, rightEye;
    QRectF photo; // the cut pasted on a form
    QImage picture;
};

// What the page generator is asked to make.
struct Plan {
    int index = 0;
    const Source* main = nullptr;
    const Source* second = nullptr; // a smaller photo elsewhere, or none
    QString name;                   // signed in the signature box
    bool tight = false;             // photograph cut close around the head
    bool upsideDown = false;
    quint32 seed = 1;
};

// The labels of a page, in the final page's pixels.
struct Truth {
    QPolygonF photo;
    QPointF crown, chin, leftEye, rightEye;
    QPolygonF secondPhoto;
    QPointF secondFace;
    QRectF ink;
    QPolygonF signatureBox;
    QRectF label;
    struct Line {
        QLineF line;
        bool touchedByInk = false;
    };
    QList<Line> lines;
    double tilt = 0;
    int quality = 85;
    double headPixels = 0;
    QString font;
    QJsonObject toJson() const;
};

struct Made {
    QImage page;
    Truth truth;
};

// Draws the page of the plan; fonts are the script fonts already loaded.
Made Make(const Plan& plan, const QStringList& scriptFonts);

} // namespace EvalPage
