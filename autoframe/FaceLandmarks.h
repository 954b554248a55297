#pragma once
// Faces and their 68 landmarks (the iBUG 300-W layout: jaw 0-16, brows
// 17-26, nose 27-35, eyes 36-47, mouth 48-67), found with dlib's frontal
// face detector and shape predictor. The models are read once per process
// (LandmarkModel); every function here may be called from any thread.

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <array>
#include <optional>

namespace FaceLandmarks {

inline constexpr int PointCount = 68;

struct Face {
    QRectF box; // the detector's box, in picture pixels
    std::array<QPointF, PointCount> points{};

    // Centre of the eye on the picture's left (points 36-41) and on its
    // right (42-47), and the point between them.
    QPointF leftEye() const;
    QPointF rightEye() const;
    QPointF eyeMiddle() const;
    double eyeDistance() const;
    // The lowest point of the jaw line (point 8).
    QPointF chin() const;
    // The highest point of the brows (17-26), smallest y.
    double browTop() const;
    // Angle of the eye line in degrees, positive when the eye on the
    // picture's right is lower (the head leans to its left shoulder).
    double rollDegrees() const;
    // The same face in a picture moved by offset and scaled by factor
    // (new = (old - offset) * factor).
    Face mapped(QPointF offset, double factor) const;
};

enum class Status {
    Found,
    NoFace,
    NoModel, // the detector or the landmark model could not be read
};

struct Result {
    Status status = Status::NoFace;
    Face face;           // the largest frontal face
    int others = 0;      // how many more faces were found
    bool turned = false; // found only in the picture turned by 180°: the
                         // face's coordinates are those of the turned picture
};

// The largest frontal face of the picture; when the upright picture shows
// none and tryTurned is set, the picture turned by 180° is searched too.
Result Find(const QImage& picture, bool tryTurned = true);

// The landmarks of a face whose detector box is already known (a face
// found earlier, mapped into a crop of the picture).
std::optional<Face> LandmarksIn(const QImage& picture, const QRectF& box);

} // namespace FaceLandmarks
