#pragma once
// The Haar cascades of the face and the eyes, read once from OpenCV's data
// folder. A folder without them gives cascades that find nothing; callers
// tell the operator so instead of failing.

#include <QString>

#include <memory>

namespace cv {
class CascadeClassifier;
}

// Keeps OpenCV's work on the thread that calls it and its messages off the
// terminal; every function of this folder calls it before using OpenCV.
void OpenCvOnCallingThread();

class Cascades {
public:
    // Reads the cascade files from folder.
    explicit Cascades(const QString& folder);
    ~Cascades();
    Cascades(const Cascades&) = delete;
    Cascades& operator=(const Cascades&) = delete;

    // The cascades of the folder the program was built with, read on first use.
    static Cascades& Default();
    static QString DefaultFolder();

    // True when the face and the eye cascades were both read.
    bool loaded() const;

    // The face cascade that confirms and measures a face.
    cv::CascadeClassifier& face() const { return *face_; }
    // The faster one that looks for candidates over a whole picture; the
    // confirming one stands in when its file is missing.
    cv::CascadeClassifier& search() const;
    cv::CascadeClassifier& eyes() const { return *eyes_; }
    // The second eye cascade, trained with glasses; may be empty.
    cv::CascadeClassifier& eyesWithGlasses() const { return *glasses_; }

private:
    std::unique_ptr<cv::CascadeClassifier> search_;
    std::unique_ptr<cv::CascadeClassifier> face_;
    std::unique_ptr<cv::CascadeClassifier> eyes_;
    std::unique_ptr<cv::CascadeClassifier> glasses_;
};
