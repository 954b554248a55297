#pragma once
// The face detector and the landmark model as one read-only object, and
// how it is read: from our own cache file when that is present and sound
// (a few tens of milliseconds), otherwise from dlib's files, after which
// the cache is written for the next process. LandmarkModel holds the
// process's instance; tests load their own from chosen paths.

#include "ShapeModel.h"

#include <QFile>
#include <QString>

#include <dlib/image_processing/frontal_face_detector.h>

#include <memory>
#include <mutex>
#include <vector>

class FaceModels {
public:
    using Detector = dlib::frontal_face_detector;

    FaceModels(std::unique_ptr<QFile> mapped, std::vector<char> owned, const ShapeLayout& layout,
               const char* shapeData, Detector detector);
    ~FaceModels();
    FaceModels(const FaceModels&) = delete;
    FaceModels& operator=(const FaceModels&) = delete;

    const ShapeModel& shape() const { return landmarks; }
    // The faces in a grey picture, best first; may run on several threads
    // at once (each borrows a detector of its own).
    std::vector<dlib::rect_detection> detect(const dlib::array2d<unsigned char>& grey) const;

private:
    std::unique_ptr<QFile> file; // the mapped cache, or null
    std::vector<char> bytes;     // the arrays read from dlib's file, or empty
    ShapeModel landmarks;
    Detector master;
    mutable std::mutex idleLock;
    mutable std::vector<std::unique_ptr<Detector>> idle;
};

namespace FaceModelFiles {

enum class Source {
    None,      // neither could be read
    Cache,     // our cache file
    ModelFile, // dlib's model (the cache was missing, stale or damaged)
};

struct Loaded {
    std::shared_ptr<const FaceModels> models; // null when nothing could be read
    Source source = Source::None;
    QString problem; // why the cache was not used or the model not read
};

// The models of the landmark file at modelPath, through the cache kept in
// cacheFolder (created when missing; a folder that cannot be written only
// costs the next process the slow reading).
Loaded Load(const QString& modelPath, const QString& cacheFolder);

// The cache file inside cacheFolder.
QString CachePath(const QString& cacheFolder);

} // namespace FaceModelFiles

namespace LandmarkModel {

// The process's models (see LandmarkModel.h), waiting for their reading
// when it is under way; null when they cannot be read.
std::shared_ptr<const FaceModels> Shared();

// $XDG_CACHE_HOME/Kelm/ritrax, or ~/.cache/Kelm/ritrax.
QString CacheFolder();

} // namespace LandmarkModel
